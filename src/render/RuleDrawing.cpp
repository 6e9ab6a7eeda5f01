#include "render/RuleDrawing.h"

#include "render/NFFont.h"

#include <algorithm>
#include <array>
#include <optional>

using namespace platform;

TRuleMetrics RuleMetrics(std::uint16_t smallSize, std::uint16_t largeSize, int screenWidth) {
    TRuleMetrics m;
    m.RW = SizeWidth(smallSize);
    m.RH = SizeHeight(smallSize);
    m.EW = SizeWidth(largeSize);
    m.EH = SizeHeight(largeSize);
    m.Margin = m.RH / 2;
    m.Gap = screenWidth >= 1000 ? 4 : 3;
    return m;
}

void DrawGlyph(const TNFFont& font, char byte, TBitmap& bitmap, int x, int y, TColor colour) {
    // One cell of the font's own text drawing: the same lookup, the same transparent blank cells.
    font.DrawText(std::string(1, byte), bitmap, colour, x, y, false);
}

namespace {

// The paired markers, each of which opens a span and closes it at its next occurrence in a line.
constexpr std::array<char, 7> PairedMarks = {'&', '#', '1', '6', '9', '7', '8'};

std::optional<std::size_t> PairedMark(char c) {
    const auto* at = std::find(PairedMarks.begin(), PairedMarks.end(), c);
    if (at == PairedMarks.end())
        return std::nullopt;
    return static_cast<std::size_t>(at - PairedMarks.begin());
}

// The upper half of the ellipse in the box, from its right end round to its left end.
void UpperArc(TBitmap& b, int left, int top, int right, int bottom, int y) {
    b.Arc(left, top, right, bottom, right, y, left, y);
}

void WavyLine(TBitmap& b, int xs, int xe, int yb, int gap) {
    const int low = yb + gap;
    int x1 = xs;
    b.MoveTo(x1, low);
    while (x1 < xe) {
        b.LineTo(std::min(xe, x1 + 3), low);
        x1 += 3;
        if (x1 < xe) {
            const int t = std::min(xe, x1 + gap);
            b.LineTo(t, low - (t - x1));
            x1 += gap;
        }
        if (x1 < xe) {
            b.LineTo(std::min(xe, x1 + 3), yb);
            x1 += 3;
        }
        if (x1 < xe) {
            const int t = std::min(xe, x1 + gap);
            b.LineTo(t, yb + (t - x1));
            x1 += gap;
        }
    }
}

} // namespace

TBitmap DrawRuleLine(const std::string& line, const TNFFont& font, const TRuleMetrics& m,
                     TColor& colour) {
    const int RW = m.RW;
    const int pitch = m.Pitch();
    if (RW > 0 && line.size() > static_cast<std::size_t>(MaxRuleStripWidth / RW))
        throw ERuleDrawError("A rule line of " + std::to_string(line.size()) +
                             " characters is too long to draw");

    // The strip starts a cell per byte wide. Every markup byte takes its cell away again (a gap
    // or a box side gives back a pixel or two, never a whole cell), so the width only ever
    // shrinks: whatever is drawn right of the final width, at any moment, is cut off at the end,
    // and the strip is allocated once and cut once.
    int width = static_cast<int>(line.size()) * RW;
    TBitmap strip(width, pitch, HintBackColor);
    strip.SetBrushColor(HintBackColor);
    strip.SetPenColor(colour);

    const int y = m.Margin;
    const int yb = y + m.RH + 1; // the row just under the glyphs
    int x = 0;
    // Spans are measured in positions of the line as the markup leaves it: glyphs and colour
    // switches count, removed markers do not. `kept` is that position.
    int kept = 0;
    std::array<std::optional<int>, PairedMarks.size()> open{};

    for (const char c : line) {
        if (const auto kind = PairedMark(c)) {
            width -= RW; // the marker itself is never drawn
            std::optional<int>& start = open[*kind];
            if (!start) {
                start = kept;
                if (c == '6') {
                    ++x;
                    ++width;
                }
                continue;
            }
            const int n = kept - *start;
            start.reset();
            const int xs = x + 1 - RW * n;
            const int xe = x - 1;
            strip.SetPenColor(colour);
            switch (c) {
            case '&': // root
                UpperArc(strip, xs, y - m.Margin + 1, xe, y + m.Margin - 1, y);
                break;
            case '#': // prefix: a bar with a tick down at its right end
                strip.MoveTo(xs, y - m.Margin + 1);
                strip.LineTo(xe, y - m.Margin + 1);
                strip.LineTo(xe, y);
                break;
            case '1': // suffix
                strip.MoveTo(xs, y - 1);
                strip.LineTo(xs + (xe - xs) / 2, y - m.Margin + 1);
                strip.LineTo(xe, y - 1);
                break;
            case '6': { // ending: the box's left side stands in the pixel the opening added
                const int bx = x - RW * n - 1;
                strip.Polyline({{bx, y - 1}, {x, y - 1}, {x, yb}, {bx, yb}, {bx, y - 1}});
                ++x;
                ++width;
                break;
            }
            case '9':
                strip.MoveTo(xs, yb);
                strip.LineTo(xe, yb);
                break;
            case '7':
                strip.SetPenStyle(TPenStyle::psDot);
                strip.MoveTo(xs, yb);
                strip.LineTo(xe, yb);
                strip.SetPenStyle(TPenStyle::psSolid);
                break;
            case '8':
                WavyLine(strip, xs, xe, yb, m.Gap);
                break;
            }
            continue;
        }
        switch (c) {
        case '0': // the switch keeps its position but no cell
            colour = colour == HintTextColor ? HintMarkColor : HintTextColor;
            width -= RW;
            ++kept;
            break;
        case '4': // stress over the next glyph
            strip.SetPenColor(colour);
            strip.MoveTo(x - 2 + RW / 2, y - 2);
            strip.LineTo(x + 2 + RW / 2, y - 6);
            width -= RW;
            break;
        case '5': // arc over the next two cells
            strip.SetPenColor(colour);
            UpperArc(strip, x + 1, y - m.Margin + 1, x + 2 * RW - 1, y + m.Margin - 1, y);
            width -= RW;
            break;
        case '+':
            x += 2;
            width += 2 - RW;
            break;
        default:
            DrawGlyph(font, c, strip, x, y, colour);
            x += RW;
            ++kept;
            break;
        }
    }
    strip.SetSize(width, pitch);
    return strip;
}

void DrawRule(const std::vector<std::string>& lines, const TNFFont& font, const TRuleMetrics& m,
              TBitmap& page) {
    page.Fill(HintBackColor);
    TColor colour = HintTextColor;
    const int pitch = m.Pitch();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TBitmap strip = DrawRuleLine(lines[i], font, m, colour);
        // Integer division rounds toward zero, also for a strip wider than the page.
        page.Draw((page.Width() - strip.Width()) / 2, pitch * static_cast<int>(i), strip);
    }
}
