#pragma once
// The intro, praise, right-answer and slip pictures: one borderless picture window whose closing
// follows the use it is put to.

#include "platform/Form.h"
#include "screens/ScreenLinks.h"

#include <cstdint>
#include <string>

class TConfig;

namespace platform {
class TImage;
}

class TfrmSplash : public platform::TForm, public ISplashWindow {
    Q_OBJECT
public:
    // What the splash is showing now; selects the closing action.
    enum : std::uint8_t { smIntro = 0, smPraise = 1, smSlip = 2, smRight = 3 };

    // Where the pictures are, and whom the intro hands over to; either may be missing.
    TfrmSplash(const TConfig* config, IIntroHost* host, QWidget* parent = nullptr);

    // Not modal, full screen. The event loop paints it; what follows it is the host's to load.
    void ShowIntro();
    void ShowPraise() override;
    void ShowRight(int top) override;
    void ShowSlip() override;
    void CloseSplash() override;
    void HideSplash() override { hide(); }

    std::uint8_t Mode = smIntro;

    platform::TImage* imgBackground = nullptr;

protected:
    // The window manager's close acts as the key that ends what is shown.
    bool FormCloseQuery() override;
    void FormDeactivate() override;
    void FormResize() override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // Loads the file as the picture kind its extension names, else as JPEG data, and fits the
    // window to it, centred on the screen. On failure the window stays 1 x 1 and hidden.
    void ShowPicture(const std::string& fileName);
    void CentreImage();
    const TConfig* Config;
    IIntroHost* Host;
    bool LeftDown = false;
    // A shift, control or alt key pressed alone so far: it ends the picture when it is released
    // without another key, so that the window manager's Alt+F4 or Alt+Tab stay its own.
    int LoneModifier = 0;
};
