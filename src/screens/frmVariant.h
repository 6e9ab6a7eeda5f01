#pragma once
// The variant selection.

#include "app/Screens.h"

namespace platform {
class TImage;
}

class TfrmVariant : public TVariantScreen {
    Q_OBJECT
public:
    explicit TfrmVariant(QWidget* parent = nullptr);
    void FormCreate() override;
    void ShowSelection() override;
    void LoadBackground() override;

    // The background picture, filling the client area, centred.
    platform::TImage* imgIntro = nullptr;

protected:
    void FormResize() override;
};
