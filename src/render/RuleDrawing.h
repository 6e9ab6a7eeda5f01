#pragma once
// The picture of a grammar rule: its lines in the small bitmap font on a light blue page, with the
// marks of school grammar that the rule markup asks for (arcs over roots, bars over prefixes,
// roofs over suffixes, boxes round endings, three underlines, stress strokes, small gaps and a
// colour switch). It knows no window and no global object, so the rule window and the teachers'
// tool draw the same picture.

#include "platform/Bitmap.h"
#include "platform/Exception.h"

#include <cstdint>
#include <string>
#include <vector>

class TNFFont;

// Page and line-strip background; the help window uses it too.
constexpr platform::TColor HintBackColor = 0x00FFF3CB;
// Text and marks, and the colour every rule starts in (dark blue).
constexpr platform::TColor HintTextColor = 0x00800000;
// The other colour of the colour switch (red).
constexpr platform::TColor HintMarkColor = 0x000000FF;

// The rule window is this many small-font cells wide, frame included.
constexpr int RuleWindowCells = 37;

// A line that would need a strip wider than this is refused instead of drawn: only a page's width
// of it could ever be seen, and a broken library must not make the trainer allocate gigabytes.
constexpr int MaxRuleStripWidth = 1 << 15;

struct TRuleMetrics {
    int RW = 0, RH = 0; // the small font's cell, in which the rule is drawn
    int EW = 0, EH = 0; // the large font's cell, in which the sentence with the check point is
    int Margin = 0;     // RuleMargin: room above the glyphs for the arcs, bars and roofs
    int Gap = 0;        // depth of the wavy underline

    // The height of one rule line on the page.
    int Pitch() const { return Margin + RH + Gap + 2; }
    // The window's outer width.
    int WindowWidth() const { return RW * RuleWindowCells; }
    // The page (client) height for that many lines.
    int PageHeight(std::size_t lines) const { return static_cast<int>(lines) * Pitch(); }
};

// Metrics from the packed cell sizes of the small and the large font and the screen width.
TRuleMetrics RuleMetrics(std::uint16_t smallSize, std::uint16_t largeSize, int screenWidth);

// A rule line that cannot be drawn.
class ERuleDrawError : public Exception {
public:
    using Exception::Exception;
};

// Paints one glyph of the font with its top-left corner at (x, y): ink cells in the colour, blank
// cells leave the bitmap alone, pixels off the bitmap are dropped. A byte the font lacks draws as
// the space.
void DrawGlyph(const TNFFont& font, char byte, platform::TBitmap& bitmap, int x, int y,
               platform::TColor colour);

// Fills the page with HintBackColor and draws the lines on it, one line pitch each from the top,
// every line centred (and cut at both sides when wider than the page). Raises ERuleDrawError for
// a line too long to draw; the page may then hold the lines drawn before it.
void DrawRule(const std::vector<std::string>& lines, const TNFFont& font, const TRuleMetrics& m,
              platform::TBitmap& page);

// The strip of one line, as wide as its glyphs, gaps and boxes and one line pitch high. `colour`
// is the colour in force when the line starts; it comes back as the colour at its end, because a
// switch left open carries over to the next line.
platform::TBitmap DrawRuleLine(const std::string& line, const TNFFont& font, const TRuleMetrics& m,
                               platform::TColor& colour);
