#include "screens/frmVariant.h"

#include "app/Globals.h"

TfrmVariant::TfrmVariant(QWidget* parent) : TVariantScreen(parent) {
    setObjectName("frmVariant");
}

void TfrmVariant::FormCreate() {
    if (GlobalFailure)
        return;
}

// The selection itself is not built yet: it returns at once and the main window stays empty.
void TfrmVariant::ShowSelection() {}

void TfrmVariant::LoadBackground() {}
