// The yardstick for the trainer's first frame: an empty Qt window, maximised, and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.showMaximized();
    return app.exec();
}
