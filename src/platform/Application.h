#pragma once
// The application object: the Qt application with the Windows framework's "standard exception
// report" (an exception escaping an event handler is shown in an error box and the event loop
// goes on), the application title used as the caption of that box, and the rule that the program
// ends when its main window closes, not when the last window closes.

#include <QApplication>
#include <exception>
#include <string>

class QWidget;

namespace platform {

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // The standard exception report: an error box (MB_ICONERROR) with the title as caption and
    // the exception's message as text. Overridden by tests to fail instead.
    virtual void ShowException(const std::exception& e);

    void SetTitle(const std::string& title) { Title = title; }
    const std::string& GetTitle() const { return Title; }

    // The main window: the event loop of Run() ends when it closes.
    void SetMainForm(QWidget* form);
    QWidget* MainForm() const { return Main; }
    int Run();

private:
    std::string Title;
    QWidget* Main = nullptr;
    QObject* MainWatcher = nullptr; // ends Run() when the main window closes
};

// The running application object, or nullptr before it exists.
TApplication* Application();

} // namespace platform
