#include "EditorWindow.h"

#include <QApplication>
#include <iostream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains("--help") || args.contains("-h")) {
        std::cout << "Usage: zarvo-editor [FILE]\n"
                     "\n"
                     "The exercise editor: opens an exercise source (NAME.ff.txt) with its rules\n"
                     "(NAME.frf.txt), or a library pair (NAME.ff and NAME.frf, unpacked on open),\n"
                     "shows the sentence and rule under the cursor as pupils see them, the\n"
                     "content check's findings as you type, and installs the pair for pupils.\n";
        return 0;
    }
    TEditorWindow window;
    if (!args.isEmpty())
        window.OpenPath(args.front().toUtf8().toStdString());
    window.show();
    return app.exec();
}
