#include "platform/Form.h"

#include "platform/Text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

namespace platform {

namespace {

bool Shown(const QWidget* w) {
    return w && w->isWindow() && w->isVisible() && !w->isMinimized();
}

bool KeptOnTop(const QWidget* w) {
    return (w->windowFlags() & Qt::WindowStaysOnTopHint) != 0;
}

} // namespace

QWidget* TopWindow(const QWidget* except) {
    auto usable = [except](const QWidget* w) { return Shown(w) && w != except; };
    if (QWidget* modal = QApplication::activeModalWidget(); usable(modal))
        return modal;
    QWidget* active = QApplication::activeWindow();
    if (usable(active) && KeptOnTop(active))
        return active;
    const QWidgetList all = QApplication::topLevelWidgets();
    for (QWidget* w : all)
        if (usable(w) && KeptOnTop(w))
            return w;
    if (usable(active))
        return active;
    for (QWidget* w : all)
        if (usable(w))
            return w;
    return nullptr;
}

void MakeTransientForTop(QWidget* w) {
    QWidget* top = TopWindow(w);
    if (top && w->isAncestorOf(top))
        top = nullptr;
    if (top && KeptOnTop(top) && !KeptOnTop(w)) {
        // Setting a flag hides a shown window; only windows about to come up get it.
        const bool visible = w->isVisible();
        w->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        if (visible)
            w->show();
    }
    w->winId(); // the native window the hint is set on
    if (QWindow* handle = w->windowHandle())
        handle->setTransientParent(top ? top->windowHandle() : nullptr);
}

TForm::TForm(QWidget* parent) : QDialog(parent) {}

void TForm::SetCaption(const std::string& caption) {
    setWindowTitle(FromAnsi(caption));
}

std::string TForm::Caption() const {
    return ToAnsi(windowTitle());
}

void TForm::SetKeyPreview(bool on) {
    if (on == Preview)
        return;
    Preview = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

int TForm::ShowModal() {
    Result = mrNone;
    InModal = true;
    int r = exec();
    InModal = false;
    Result = r;
    return r;
}

void TForm::SetModalResult(int result) {
    Result = result;
    if (result != mrNone && InModal)
        done(result);
}

void TForm::ShowMaximized() {
    // A borderless window maximised on Windows covers the whole screen, task bar included.
    if (windowFlags() & Qt::FramelessWindowHint) {
        showFullScreen();
        return;
    }
    // Maximising is the window manager's business; without one (a bare X server, a kiosk
    // session) the window would keep its design size, so it is given the screen's work area too.
    if (QScreen* s = screen())
        setGeometry(s->availableGeometry());
    showMaximized();
}

void TForm::FormKeyDown(WORD&, TShiftState) {}
void TForm::FormKeyPress(char&) {}

bool TForm::HandleKey(QKeyEvent* e) {
    bool consumed = false;
    DispatchKey(
        *e,
        [&](WORD& key, TShiftState shift) {
            FormKeyDown(key, shift);
            consumed = key == 0;
        },
        [&](char& key) {
            FormKeyPress(key);
            consumed = key == 0;
        });
    return consumed;
}

bool TForm::eventFilter(QObject* watched, QEvent* event) {
    if (!Preview)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ShortcutOverride) {
        // Another key delivery has begun; the recorded one is over.
        Previewed = nullptr;
        PreviewedAt = nullptr;
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QDialog::eventFilter(watched, event);
    auto* target = static_cast<QWidget*>(watched);
    if (target == this || !isAncestorOf(target))
        return QDialog::eventFilter(watched, event);
    // The same event passed up from the control the preview already saw.
    if (event == Previewed && PreviewedAt && PreviewedAt != target &&
        target->isAncestorOf(PreviewedAt))
        return false;
    if (HandleKey(static_cast<QKeyEvent*>(event))) {
        Previewed = nullptr;
        PreviewedAt = nullptr;
        event->accept();
        return true;
    }
    Previewed = event;
    PreviewedAt = target;
    return false;
}

void TForm::keyPressEvent(QKeyEvent* e) {
    bool seen = Preview && e == Previewed && PreviewedAt && PreviewedAt != this &&
                isAncestorOf(PreviewedAt);
    Previewed = nullptr;
    PreviewedAt = nullptr;
    // Esc and Enter are the forms' own business: QDialog's handling (reject, default button)
    // is deliberately not called.
    if (!seen && HandleKey(e))
        e->accept();
    else
        e->ignore();
}

void TForm::closeEvent(QCloseEvent* e) {
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    e->accept();
    if (InModal)
        done(mrCancel);
}

void TForm::reject() {}

void TForm::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            FormActivate();
        else
            FormDeactivate();
    }
}

void TForm::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TForm::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (!e->spontaneous())
        FormHide();
}

void TForm::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    FormResize();
}

} // namespace platform
