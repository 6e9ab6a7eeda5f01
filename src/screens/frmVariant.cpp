#include "screens/frmVariant.h"

#include "app/Globals.h"
#include "config/Config.h"
#include "platform/Image.h"

#include <QPalette>

using namespace platform;

TfrmVariant::TfrmVariant(QWidget* parent) : TVariantScreen(parent) {
    setObjectName("frmVariant");
    resize(612, 338);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80)); // navy, $00800000
    setPalette(colours);
    setAutoFillBackground(true);

    imgIntro = new TImage(this);
    imgIntro->setObjectName("imgIntro");
    imgIntro->SetCenter(true);
    imgIntro->SetBounds(0, 0, width(), height());
}

void TfrmVariant::FormCreate() {
    if (GlobalFailure)
        return;
}

void TfrmVariant::FormResize() {
    if (imgIntro)
        imgIntro->SetBounds(0, 0, width(), height());
}

void TfrmVariant::ShowSelection() {
    if (frmMain) {
        frmMain->ShowButtonPanel(false);
        frmMain->HideResults();
    }
}

// A missing or damaged picture is the caller's to report.
void TfrmVariant::LoadBackground() {
    if (!Config)
        throw Exception("The selection picture cannot be found without the configuration");
    imgIntro->LoadBitmap(Config->GetLayPicture());
}
