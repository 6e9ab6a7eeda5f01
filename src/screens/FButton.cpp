#include "screens/FButton.h"

#include "platform/Files.h"
#include "platform/Picture.h"

TFButton::TFButton(QWidget* owner) : platform::TImage(owner) {
    SetAutoSize(true);
    SetCenter(true);
    SetEnabled(true);
    SetStretch(false);
    SetTransparent(false);
    // A button without an owner is a window of its own; showing it here would open that window.
    if (owner)
        SetVisible(true);
    resize(50, 50);
    // Which mouse button and where the pointer is do not matter: the face follows the press, and
    // the release comes back to this control even when the pointer has left it.
    OnMouseDown = [this](platform::TMouseButton, platform::TShiftState, int, int) {
        SetPicture(Down);
    };
    OnMouseUp = [this](platform::TMouseButton, platform::TShiftState, int, int) { SetPicture(Up); };
}

void TFButton::LoadUpImage(const std::string& path) {
    if (!platform::FileExists(path))
        return;
    Up = platform::LoadBitmapFile(path);
    SetPicture(Up);
}

void TFButton::LoadDownImage(const std::string& path) {
    if (!platform::FileExists(path))
        return;
    Down = platform::LoadBitmapFile(path);
}

void TFButton::SetUpImage(const platform::TBitmap& image) {
    Up = image;
    SetPicture(Up);
}

void TFButton::SetDownImage(const platform::TBitmap& image) {
    Down = image;
}
