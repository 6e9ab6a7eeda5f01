#pragma once
// A window of the program with the behaviour of the Windows framework's forms that the screens
// rely on: a creation handler run after construction, key preview, the key-down / key-press split,
// modal showing with a modal result, close query, and activation events.

#include "platform/Keys.h"

#include <QDialog>
#include <QPointer>
#include <string>

namespace platform {

enum : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

// The program's window a new box or question must come over: a running modal dialog, else a
// shown window kept on top (the intro, the rule, help; the active one first), else the active
// window, else any shown one. `except` (the window about to come up) is never chosen. Null when
// no window is shown.
QWidget* TopWindow(const QWidget* except = nullptr);

// Makes `w` transient for TopWindow(w), so that the window manager keeps it above that window,
// and keeps it on top when that window is kept on top. Called before showing `w`.
void MakeTransientForTop(QWidget* w);

class TForm : public QDialog {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);

    // The creation handler. Start-up calls it right after constructing the form and reports an
    // exception from it with the standard exception report.
    virtual void FormCreate() {}

    // Caption in cp1251.
    void SetCaption(const std::string& caption);
    std::string Caption() const;

    // With key preview the form sees every key meant for its controls first.
    void SetKeyPreview(bool on);
    bool KeyPreview() const { return Preview; }

    // Runs the form modally until ModalResult is set or the form closes; returns the result.
    // Closing by the window system gives mrCancel.
    int ShowModal();
    // Setting a non-zero result while the form is modal ends its modal loop (and hides it).
    void SetModalResult(int result);
    int ModalResult() const { return Result; }
    bool IsModal() const { return InModal; }

    // Shown maximised / full screen as the Windows "wsMaximized" window state.
    void ShowMaximized();

    // Key handlers, public because other windows pass keys on: set key to 0 to mark it handled.
    virtual void FormKeyDown(WORD& key, TShiftState shift);
    virtual void FormKeyPress(char& key);

protected:
    // Close query: false keeps the window open.
    virtual bool FormCloseQuery() { return true; }
    virtual void FormActivate() {}
    virtual void FormDeactivate() {}
    virtual void FormShow() {}
    virtual void FormHide() {}
    virtual void FormResize() {}

    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc must not reject the dialog behind the program's back.
    void reject() override;

private:
    bool HandleKey(QKeyEvent* e);
    bool Preview = false;
    // The key event the preview last passed on, and the control it was meant for: when that
    // control ignores it, Qt hands the same event to the parents, and the form must not see it
    // a second time.
    const QEvent* Previewed = nullptr;
    QPointer<QWidget> PreviewedAt;
    bool InModal = false;
    int Result = mrNone;
};

} // namespace platform
