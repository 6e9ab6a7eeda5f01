#include "session/frmMain.h"

#include "app/Globals.h"
#include "app/Strings.h"

#include <QPalette>
#include <QWidget>

TfrmMain::TfrmMain(QWidget* parent) : TMainScreen(parent) {
    // The main window is an ordinary top-level window, not a dialog.
    setWindowFlags(Qt::Window);
    setObjectName("frmMain");
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80)); // navy, $00800000
    setPalette(pal);
    setAutoFillBackground(true);

    panTest = new QWidget(this);
    panTest->setObjectName("panTest");
    panTest->hide();
    imgResult = new QWidget(this);
    imgResult->setObjectName("imgResult");
    imgResult->hide();
}

void TfrmMain::FormCreate() {
    if (GlobalFailure)
        return;
    SetCaption(Title);
}

void TfrmMain::BackToSelection() {
    if (frmRule)
        frmRule->HideRule();
    if (frmHelp)
        frmHelp->HideHelp();
    if (frmSplash)
        frmSplash->hide();
    imgResult->hide();
    if (!isVisible())
        ShowMaximized();
    if (frmVariant)
        frmVariant->ShowSelection();
}

void TfrmMain::StartSession() {}

void TfrmMain::FormKeyDown(platform::WORD& key, platform::TShiftState shift) {
    TForm::FormKeyDown(key, shift);
}

void TfrmMain::FormKeyPress(char& key) {
    TForm::FormKeyPress(key);
}

void TfrmMain::ShowButtonPanel(bool visible) {
    panTest->setVisible(visible);
}

void TfrmMain::HideResults() {
    imgResult->hide();
}

bool TfrmMain::ButtonPanelVisible() const {
    return !panTest->isHidden();
}

bool TfrmMain::ResultsVisible() const {
    return !imgResult->isHidden();
}
