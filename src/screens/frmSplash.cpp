#include "screens/frmSplash.h"

#include "app/Globals.h"

TfrmSplash::TfrmSplash(QWidget* parent) : TSplashScreen(parent) {
    setObjectName("frmSplash");
}

// The pictures come with the splash screen's own change; until then the intro goes straight on
// to the selection, as dismissing it would.
void TfrmSplash::ShowIntro() {}
void TfrmSplash::ShowPraise() {}
void TfrmSplash::ShowRight(int) {}
void TfrmSplash::ShowSlip() {}

void TfrmSplash::CloseSplash() {
    hide();
    if (frmMain)
        frmMain->BackToSelection();
}
