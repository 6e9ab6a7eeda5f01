#pragma once
// The results screen's picture: the results background filling the screen and the pupil's
// figures written over it in the bitmap fonts, nine lines from the top-left of the text area.

#include "platform/Bitmap.h"

#include <array>
#include <string>
#include <vector>

class TFPupil;
class TNFFont;

// One of the nine lines as the pupil record gives it: cp1251 text and the font it asks for.
struct TResultLine {
    std::string Text;
    bool Large = false;
};

using TResultLines = std::array<TResultLine, 9>;

// The nine lines for the pupil's figures; the labels are Russian in every interface language.
TResultLines ResultLines(const TFPupil& pupil);

// Where the drawing put one piece of a line, for the tests and the screenshots' readers.
struct TResultRow {
    std::string Text;
    bool Large = false;
    int X = 0;
    int Y = 0;
};

// Composes the whole results picture, width x height: silver, the background stretched over it
// (an empty background leaves the silver), and the lines in black from (width div 8 + 10,
// height div 6 + 20), one row every large cell height + 10. A line too wide for the picture is
// not cut: a large line goes to the small font, and what is still too wide wraps onto further
// rows, moving the lines below it down. A non-empty `foot` (the key that offers work on mistakes)
// follows in the small font after one free row.
std::vector<TResultRow> DrawResults(const TResultLines& lines, const platform::TBitmap& background,
                                    const TNFFont& large, const TNFFont& small, int width,
                                    int height, platform::TBitmap& picture,
                                    const std::string& foot = {});

constexpr platform::TColor clSilver = 0x00C0C0C0;
