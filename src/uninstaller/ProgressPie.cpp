#include "uninstaller/ProgressPie.h"

#include <cmath>
#include <numbers>
#include <string>

TPieGeometry PieGeometry(int progress, int w, int h) {
    // A full turn at 100, clockwise from 12 o'clock; coordinates kept even, as the box is.
    double a = progress * std::numbers::pi / 50;
    TPieGeometry g;
    g.BoxRight = 2 * (w / 2);
    g.BoxBottom = h;
    g.End = QPoint(2 * (static_cast<int>(std::lround((std::sin(a) + 1) * w)) / 4),
                   2 * (static_cast<int>(std::lround((1 - std::cos(a)) * h)) / 4));
    g.Start = QPoint(w / 2 - 1, 0);
    return g;
}

void DrawPie(platform::TBitmap& canvas, int progress) {
    const int w = canvas.Width(), h = canvas.Height();
    TPieGeometry g = PieGeometry(progress, w, h);
    canvas.SetPenColor(platform::clBlack);
    canvas.SetPenWidth(1);
    canvas.SetPenStyle(platform::TPenStyle::psSolid);
    canvas.SetBrushClear(false);
    if (progress < 100) {
        canvas.SetBrushColor(clLightGray);
        canvas.Ellipse(0, 0, g.BoxRight, g.BoxBottom);
        // Counter-clockwise from the progress radial back to 12 o'clock: the sector that the
        // progress has swept clockwise.
        canvas.SetBrushColor(platform::clRed);
        canvas.Pie(0, 0, g.BoxRight, g.BoxBottom, g.End.x(), g.End.y(), g.Start.x(), g.Start.y());
    } else {
        canvas.SetBrushColor(platform::clRed);
        canvas.Ellipse(0, 0, g.BoxRight, g.BoxBottom);
    }
}

void DrawPercentage(platform::TBitmap& canvas, int progress) {
    const int h = canvas.Height();
    canvas.TextCentered(0, h / 2 - 10, canvas.Width(), h / 2 + 10, std::to_string(progress) + "%",
                        platform::clBlack, 16, true);
}

void DrawProgressPie(platform::TBitmap& canvas, int progress) {
    DrawPie(canvas, progress);
    DrawPercentage(canvas, progress);
}
