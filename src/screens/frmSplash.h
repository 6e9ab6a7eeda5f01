#pragma once
// The intro, praise, right-answer and slip pictures: one borderless picture window whose closing
// follows the use it is put to.

#include "screens/Screens.h"

#include <cstdint>
#include <string>

class QLabel;

namespace platform {
class TImage;
}

class TfrmSplash : public TSplashScreen {
    Q_OBJECT
public:
    // What the splash is showing now; selects the closing action.
    enum : std::uint8_t { smIntro = 0, smPraise = 1, smSlip = 2, smRight = 3 };

    explicit TfrmSplash(QWidget* parent = nullptr);
    void FormCreate() override;

    void ShowIntro() override;
    void ShowPraise() override;
    void ShowRight(int top) override;
    void ShowSlip() override;
    void CloseSplash() override;

    std::uint8_t Mode = smIntro;

    platform::TImage* imgBackground = nullptr;
    QLabel* lblCaption = nullptr;

protected:
    void FormDeactivate() override;
    void FormResize() override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // Loads the file as the picture kind its extension names, else as JPEG data, and fits the
    // window to it, centred on the screen. On failure the window stays 1 x 1 and hidden.
    void ShowPicture(const std::string& fileName);
    void CentreImage();
    bool LeftDown = false;
};
