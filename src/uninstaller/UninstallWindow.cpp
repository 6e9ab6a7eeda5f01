#include "uninstaller/UninstallWindow.h"

#include "platform/Screen.h"
#include "platform/Text.h"
#include "uninstaller/ProgressPie.h"

#include <QCloseEvent>
#include <QPainter>
#include <QStyle>

TUninstallWindow::TUninstallWindow(const std::string& caption)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Bitmap(WindowWidth, WindowHeight, clLightGray) {
    setWindowTitle(platform::FromAnsi(caption));
    setWindowIcon(style()->standardIcon(QStyle::SP_MessageBoxCritical));
    setFixedSize(WindowWidth, WindowHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    platform::TScreenMetrics screen = platform::GetScreenMetrics();
    move((screen.Width - WindowWidth) / 2, (screen.Height - WindowHeight) / 2);
}

void TUninstallWindow::ShowProgress(int progress) {
    Bitmap = platform::TBitmap(width(), height(), clLightGray);
    DrawProgressPie(Bitmap, progress);
    // Painted now: no event loop runs between the steps.
    repaint();
}

void TUninstallWindow::CloseByProgram() {
    MayClose = true;
    close();
}

void TUninstallWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(platform::ColorToRgb(clLightGray)));
    p.drawImage(0, 0, Bitmap.Image());
}

void TUninstallWindow::closeEvent(QCloseEvent* event) {
    if (MayClose)
        event->accept();
    else
        event->ignore();
}
