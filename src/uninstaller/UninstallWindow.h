#pragma once
// The Uninstaller's one window: plain, light grey, 400 x 300, centred on the screen, with a
// caption and no close button (the program ends by itself). It shows the progress pie drawn into
// its bitmap; the bitmap is kept, so the pie survives being covered and uncovered.

#include "platform/Bitmap.h"
#include "uninstaller/Uninstaller.h"

#include <QWidget>
#include <string>

class TUninstallWindow : public QWidget, public IProgressView {
    Q_OBJECT
public:
    static constexpr int WindowWidth = 400;
    static constexpr int WindowHeight = 300;

    explicit TUninstallWindow(const std::string& caption);

    // Draws the pie into the bitmap and onto the screen at once.
    void ShowProgress(int progress) override;
    // The client area as last drawn (light grey until the first progress).
    const platform::TBitmap& Canvas() const { return Bitmap; }
    // Only the program closes the window, not the window system.
    void CloseByProgram();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    platform::TBitmap Bitmap;
    bool MayClose = false;
};
