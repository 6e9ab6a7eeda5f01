#include "platform/Application.h"

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/QtMessageBox.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace platform {

namespace {

TApplication* Instance = nullptr;
TQtMessagePresenter QtBoxes;

// Ends the event loop once the main window has closed: a close that was refused leaves it
// visible, so the test runs after the close event has been handled.
class TMainFormWatcher : public QObject {
public:
    explicit TMainFormWatcher(QObject* parent) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            QPointer<QWidget> form = qobject_cast<QWidget*>(watched);
            QTimer::singleShot(0, this, [form] {
                if (form && !form->isVisible() && Instance && Instance->MainForm() == form)
                    QCoreApplication::exit(0);
            });
        }
        return false;
    }
};

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    Instance = this;
    // Boxes are windows while there is an application to show them.
    SetDefaultMessagePresenter(&QtBoxes);
    setQuitOnLastWindowClosed(false);
    // A failed write is reported where it happens; it never ends the program.
    IgnoreWriteSignals();
}

TApplication::~TApplication() {
    if (Instance == this) {
        Instance = nullptr;
        SetDefaultMessagePresenter(nullptr);
    }
}

TApplication* Application() {
    return Instance;
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception("Unknown exception"));
    }
    return false;
}

void TApplication::ShowException(const std::exception& e) {
    MessageBox(e.what(), Title, MB_OK | MB_ICONERROR);
}

void TApplication::SetMainForm(QWidget* form) {
    if (!MainWatcher)
        MainWatcher = new TMainFormWatcher(this);
    if (Main)
        Main->removeEventFilter(MainWatcher);
    Main = form;
    if (!form)
        return;
    form->installEventFilter(MainWatcher);
    connect(form, &QObject::destroyed, this, [this, form] {
        if (Main == form) {
            Main = nullptr;
            exit(0);
        }
    });
}

int TApplication::Run() {
    return exec();
}

} // namespace platform
