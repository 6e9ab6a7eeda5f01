#pragma once
// Drawing the example into its text picture: the lines in the large font, the pencil pointer
// above the current check point and the red strokes under the check points answered wrongly.

#include "platform/Bitmap.h"
#include "session/ExampleLayout.h"

class TNFFont;

// Everything DrawExample needs beside the layout.
struct TExampleDrawing {
    const TNFFont* Font = nullptr; // null draws no text (tests of the overlays)
    const platform::TBitmap* Pointer = nullptr;
    TShownCheckPoints Points;
    int CheckPointMistakes = 0; // strokes under the current check point
};

// Redraws the whole picture, sized as the layout says: navy, the lines, the pointer, the strokes.
void DrawExample(const TExampleLayout& layout, const TExampleDrawing& what,
                 platform::TBitmap& picture);
// Every non-white pixel of the pointer, its left edge at the middle of the cell, its bottom just
// above the line; nothing while no check point is located.
void DrawPointer(const TExampleLayout& layout, const platform::TBitmap& pointer,
                 platform::TBitmap& picture);
// Count strokes 4 pixels apart under each marked cell, and under the current one.
void DrawMistakeMarks(const TExampleLayout& layout, int checkPointMistakes,
                      platform::TBitmap& picture);

// A plain pencil for when the drawn one is missing: 23 x 32, white meaning transparent.
platform::TBitmap PlainPointer();
