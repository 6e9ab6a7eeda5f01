#include "screens/frmSplash.h"

#include "config/Config.h"
#include "platform/Image.h"
#include "platform/Picture.h"
#include "platform/Screen.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

using namespace platform;

namespace {

const TConfig& Configuration(const TConfig* config) {
    if (!config)
        throw Exception("The splash picture cannot be shown without the configuration");
    return *config;
}

} // namespace

TfrmSplash::TfrmSplash(const TConfig* config, IIntroHost* host, QWidget* parent)
    : TForm(parent), Config(config), Host(host) {
    setObjectName("frmSplash");
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    resize(473, 304);

    imgBackground = new TImage(this);
    imgBackground->setObjectName("imgBackground");
    imgBackground->SetBounds(0, 0, 473, 304);
    imgBackground->SetAutoSize(true);
    imgBackground->SetCenter(true);
    imgBackground->SetExtendEdges(true);
    imgBackground->OnClick = [this] { CloseSplash(); };
}

void TfrmSplash::CentreImage() {
    // The picture stays centred in a control that fills the window, which continues the
    // picture's paper to the screen's edges.
    imgBackground->SetAutoSize(false);
    imgBackground->setGeometry(rect());
}

void TfrmSplash::FormResize() {
    if (!imgBackground)
        return;
    // The intro fills whatever the window system makes of a full-screen window.
    if (Mode == smIntro)
        CentreImage();
}

void TfrmSplash::ShowIntro() {
    Mode = smIntro;
    const TScreenMetrics screen = GetScreenMetrics();
    setGeometry(0, 0, screen.Width, screen.Height);
    // A picture that cannot be read leaves before anything is shown.
    imgBackground->LoadBitmap(Configuration(Config).GetIntroPicture());
    CentreImage();
    ShowMaximized();
    raise();
    activateWindow();
}

void TfrmSplash::ShowPicture(const std::string& fileName) {
    // A slip still up must not turn into a modal picture while shown non-modally.
    if (isVisible() && !IsModal())
        hide();
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
    resize(1, 1);
    imgBackground->SetAutoSize(true);
    TBitmap picture = LoadPicture(fileName);
    imgBackground->SetPicture(std::move(picture));
    imgBackground->move(0, 0);
    resize(imgBackground->Width(), imgBackground->Height());
    repaint();
    const TScreenMetrics screen = GetScreenMetrics();
    move((screen.Width - width()) / 2, (screen.Height - height()) / 2);
}

void TfrmSplash::ShowPraise() {
    Mode = smPraise;
    ShowPicture(Configuration(Config).GetPraisePicture());
    ShowModal();
}

void TfrmSplash::ShowRight(int top) {
    Mode = smRight;
    ShowPicture(Configuration(Config).GetRightPicture());
    move(x(), top);
    ShowModal();
}

void TfrmSplash::ShowSlip() {
    Mode = smSlip;
    ShowPicture(Configuration(Config).GetSlipPicture());
    show();
    raise();
    activateWindow();
}

void TfrmSplash::CloseSplash() {
    LoneModifier = 0;
    switch (Mode) {
    case smIntro:
        // Only a shown intro hands over: a second key that reaches the main window after the
        // intro went must not open the selection again.
        if (!isVisible())
            return;
        hide();
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
        if (Host)
            Host->IntroClosed();
        break;
    case smPraise:
    case smRight:
        SetModalResult(-1);
        break;
    case smSlip:
    default:
        hide();
        break;
    }
}

bool TfrmSplash::FormCloseQuery() {
    // Hidden without handing over, the intro would leave an empty screen that waits for a key.
    if (Mode == smIntro && isVisible()) {
        QTimer::singleShot(0, this, [this] { CloseSplash(); });
        return false;
    }
    if (Mode == smSlip)
        return true;
    CloseSplash();
    return false;
}

void TfrmSplash::FormDeactivate() {
    // The intro stays up when another window comes to the front.
    if (Mode != smIntro && isVisible())
        CloseSplash();
}

namespace {
bool IsModifier(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    default:
        return false;
    }
}
} // namespace

void TfrmSplash::keyPressEvent(QKeyEvent* e) {
    // Any key at all, a shift key alone included - that one once it is let go alone.
    e->accept();
    if (IsModifier(e->key()) && !e->isAutoRepeat()) {
        LoneModifier = e->key();
        return;
    }
    LoneModifier = 0;
    CloseSplash();
}

void TfrmSplash::keyReleaseEvent(QKeyEvent* e) {
    e->accept();
    if (e->isAutoRepeat() || e->key() != LoneModifier)
        return;
    LoneModifier = 0;
    CloseSplash();
}

void TfrmSplash::focusOutEvent(QFocusEvent* e) {
    // The window manager took the keys (Alt+Tab, its menu): the shift key was not pressed alone.
    LoneModifier = 0;
    TForm::focusOutEvent(e);
}

void TfrmSplash::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        LeftDown = true;
    e->accept();
}

void TfrmSplash::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = e->button() == Qt::LeftButton && LeftDown;
    if (e->button() == Qt::LeftButton)
        LeftDown = false;
    e->accept();
    if (click)
        CloseSplash();
}
