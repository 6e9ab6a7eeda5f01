#pragma once
// The progress pie: a red sector growing clockwise from 12 o'clock inside a black-outlined
// ellipse on light grey, with the percentage in the middle. Drawn into a bitmap the size of the
// window's client area.

#include "platform/Bitmap.h"

#include <QPoint>

// The stock light grey brush of the window and of the empty ellipse.
constexpr platform::TColor clLightGray = 0x00C0C0C0;

struct TPieGeometry {
    int BoxRight = 0; // the ellipse box is (0, 0, BoxRight, BoxBottom)
    int BoxBottom = 0;
    QPoint End;   // where the red sector ends, on the ellipse at the progress angle
    QPoint Start; // the 12 o'clock end of the sector
};

// Box and radials for a client area of w x h at this percentage.
TPieGeometry PieGeometry(int progress, int w, int h);

// The ellipse with its red sector (the whole ellipse red from 100 on).
void DrawPie(platform::TBitmap& canvas, int progress);
// The percentage, black, centred in the band around the middle line.
void DrawPercentage(platform::TBitmap& canvas, int progress);
// Both, on a canvas that already shows the window's background.
void DrawProgressPie(platform::TBitmap& canvas, int progress);
