#pragma once
// The image button: an image control that shows its up face while released and its down face
// while a mouse button is held down on it.

#include "platform/Image.h"

#include <string>

class TFButton : public platform::TImage {
    Q_OBJECT
public:
    explicit TFButton(QWidget* owner = nullptr);

    // Reads a BMP face; a file that does not exist is ignored, a damaged one raises the
    // decoder's error. Loading the up face also shows it.
    void LoadUpImage(const std::string& path);
    void LoadDownImage(const std::string& path);

    const platform::TBitmap& UpImage() const { return Up; }
    const platform::TBitmap& DownImage() const { return Down; }
    // Setting the up face shows it; setting the down face does not change what is shown.
    void SetUpImage(const platform::TBitmap& image);
    void SetDownImage(const platform::TBitmap& image);

private:
    platform::TBitmap Up;
    platform::TBitmap Down;
};
