#include "screens/frmHelp.h"

TfrmHelp::TfrmHelp(QWidget* parent) : THelpScreen(parent) {
    setObjectName("frmHelp");
}

void TfrmHelp::ShowHelp() {
    show();
}

void TfrmHelp::HideHelp() {
    hide();
}
