#include "screens/RuleDrawing.h"
#include "render/FFont.h"

#include <gtest/gtest.h>
#include <optional>

using namespace platform;

namespace {

// A glyph whose ink is the whole cell, or only its left column.
TSymbol Block(char ch, bool leftColumnOnly = false) {
    TSymbol s;
    s.Code = ch;
    s.Width = 12;
    s.Height = 18;
    s.Mask.assign(18, std::vector<std::uint8_t>(12, leftColumnOnly ? 0 : 1));
    if (leftColumnOnly)
        for (auto& row : s.Mask)
            row[0] = 1;
    return s;
}

// The ink rectangle of a colour inside [left, right) x [top, bottom) of a bitmap.
struct TBox {
    int Left = 0, Top = 0, Right = 0, Bottom = 0; // inclusive
    bool operator==(const TBox&) const = default;
};
std::ostream& operator<<(std::ostream& out, const TBox& b) {
    return out << "(" << b.Left << "," << b.Top << ")-(" << b.Right << "," << b.Bottom << ")";
}
// An upper arc from `left` to `right` (the rasteriser may keep a pixel short of the right end),
// rising from row 8 to row 1.
void ExpectArc(const std::optional<TBox>& box, int left, int right) {
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Left, left);
    EXPECT_NEAR(box->Right, right, 1);
    EXPECT_EQ(box->Top, 1);
    EXPECT_EQ(box->Bottom, 8);
}

std::optional<TBox> InkBox(const TBitmap& b, TColor colour, int left, int top, int right,
                           int bottom) {
    std::optional<TBox> box;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (b.GetPixel(x, y) == colour) {
                if (!box)
                    box = TBox{x, y, x, y};
                box->Left = std::min(box->Left, x);
                box->Right = std::max(box->Right, x);
                box->Top = std::min(box->Top, y);
                box->Bottom = std::max(box->Bottom, y);
            }
    return box;
}

// A 1024-pixel screen: small font 12 x 18, large 24 x 36; glyphs rows 9 to 26, yb = 28.
class RuleDrawing : public testing::Test {
protected:
    RuleDrawing() {
        TNFFont& small = *Fonts.FontOfSize(Size12x18);
        for (char c : std::string("ABCDEF0123456789"))
            small.SetSymbol(Block(c));
        small.SetSymbol(Block('I', true));
    }
    TBitmap Line(const std::string& s) {
        TColor colour = HintTextColor;
        return DrawRuleLine(s, *Fonts.SmallFont(), M, colour);
    }
    // Ink of the text colour above the glyphs, where arcs, bars and roofs go.
    std::optional<TBox> Above(const TBitmap& b) { return InkBox(b, Blue, 0, 0, b.Width(), Y); }
    std::optional<TBox> Below(const TBitmap& b) {
        return InkBox(b, Blue, 0, Y + 18, b.Width(), b.Height());
    }

    TFFont Fonts{TFFont::TBlank{}, 1024};
    const TRuleMetrics M = RuleMetrics(Fonts.SmallSize(), Fonts.LargeSize(), 1024);
    static constexpr int Y = 9, YB = 28;
    static constexpr TColor Blue = HintTextColor, Red = HintMarkColor, Back = HintBackColor;
};

} // namespace

TEST_F(RuleDrawing, MetricsFollowTheFontsAndTheScreenWidth) {
    EXPECT_EQ(M.Margin, 9);
    EXPECT_EQ(M.Gap, 4);
    EXPECT_EQ(M.Pitch(), 33);
    EXPECT_EQ(M.PageHeight(3), 99);
    EXPECT_EQ(M.WindowWidth(), 444);
    EXPECT_EQ(M.EW, 24);
    EXPECT_EQ(M.EH, 36);
    EXPECT_EQ(RuleMetrics(Size12x18, Size16x24, 999).Gap, 3);
    const TRuleMetrics wide = RuleMetrics(Size24x36, Size32x48, 1920);
    EXPECT_EQ(wide.Pitch(), 18 + 36 + 4 + 2);
    EXPECT_EQ(wide.WindowWidth(), 888);
}

TEST_F(RuleDrawing, ArcOverSixLettersOnACentredStrip) {
    const TBitmap strip = Line("&ABCDEF&");
    ASSERT_EQ(strip.Width(), 6 * 12);
    ASSERT_EQ(strip.Height(), 33);
    // The upper half of the ellipse in (1, 1)-(71, 17): from the glyphs' top row up to row 1,
    // over the whole strip but its outer columns.
    ExpectArc(Above(strip), 1, 70);
    EXPECT_EQ(strip.GetPixel(35, 1), Blue);
    EXPECT_EQ(strip.GetPixel(2, 1), Back); // a curve, not a bar
    EXPECT_FALSE(Below(strip));

    TBitmap page(444, 33, clBlack);
    DrawRule({"&ABCDEF&"}, *Fonts.SmallFont(), M, page);
    const int left = (444 - 72) / 2;
    EXPECT_EQ(InkBox(page, Blue, 0, Y, 444, Y + 18), (TBox{left, Y, left + 71, Y + 17}));
    EXPECT_EQ(page.GetPixel(0, 0), Back);
    EXPECT_EQ(page.GetPixel(443, 32), Back);
}

TEST_F(RuleDrawing, EachPairedMarkAtItsPlace) {
    // Three glyphs between the markers: xs = 1, xe = 35.
    const TBitmap bar = Line("#ABC#");
    EXPECT_EQ(Above(bar), (TBox{1, 1, 35, 8}));
    EXPECT_EQ(bar.GetPixel(35, 8), Blue); // the tick down at the right end
    EXPECT_EQ(bar.GetPixel(34, 8), Back);
    EXPECT_EQ(bar.GetPixel(1, 2), Back);

    const TBitmap roof = Line("1ABC1");
    EXPECT_EQ(Above(roof), (TBox{1, 1, 34, 8}));
    EXPECT_EQ(roof.GetPixel(1, 8), Blue);
    EXPECT_EQ(roof.GetPixel(18, 1), Blue); // the ridge, half way
    EXPECT_EQ(InkBox(roof, Blue, 0, 1, 36, 2), (TBox{17, 1, 19, 1}));
    EXPECT_EQ(roof.GetPixel(34, 8), Blue);
    EXPECT_EQ(roof.GetPixel(35, 8), Back);

    // The box takes a pixel on each side: the glyphs move right by one, the strip grows by two.
    const TBitmap box = Line("6ABC6");
    ASSERT_EQ(box.Width(), 36 + 2);
    for (int x = 0; x <= 37; ++x) {
        EXPECT_EQ(box.GetPixel(x, Y - 1), Blue) << x;
        EXPECT_EQ(box.GetPixel(x, YB), Blue) << x;
    }
    for (int y = Y - 1; y <= YB; ++y) {
        EXPECT_EQ(box.GetPixel(0, y), Blue) << y;
        EXPECT_EQ(box.GetPixel(37, y), Blue) << y;
    }
    EXPECT_EQ(box.GetPixel(1, Y), Blue);      // first glyph
    EXPECT_EQ(box.GetPixel(36, Y), Blue);     // last glyph
    EXPECT_EQ(box.GetPixel(1, Y + 18), Back); // between glyphs and the box's bottom
    EXPECT_FALSE(InkBox(box, Blue, 0, 0, box.Width(), Y - 1));

    const TBitmap solid = Line("9ABC9");
    EXPECT_EQ(Below(solid), (TBox{1, YB, 34, YB}));

    const TBitmap dotted = Line("7ABC7");
    EXPECT_EQ(Below(dotted), (TBox{1, YB, 33, YB}));
    for (int x = 1; x <= 34; ++x)
        EXPECT_EQ(dotted.GetPixel(x, YB), x % 2 ? Blue : Back) << x;
    // The pen is solid again for what follows.
    const TBitmap after = Line("7ABC79ABC9");
    EXPECT_EQ(InkBox(after, Blue, 36, YB, 72, YB + 1), (TBox{37, YB, 70, YB}));
    EXPECT_EQ(after.GetPixel(38, YB), Blue);

    // Wavy: 3 low, 4 rising, 3 high, 4 falling, between yb + Gap (32) and yb.
    const TBitmap wavy = Line("8ABC8");
    EXPECT_EQ(Below(wavy), (TBox{1, YB, 34, YB + 4}));
    for (auto [x, y] : {std::pair{1, 32},
                        {4, 32},
                        {6, 30},
                        {8, 28},
                        {11, 28},
                        {13, 30},
                        {15, 32},
                        {18, 32},
                        {22, 28}})
        EXPECT_EQ(wavy.GetPixel(x, y), Blue) << x << "," << y;
    EXPECT_EQ(wavy.GetPixel(6, 28), Back);
    EXPECT_EQ(wavy.GetPixel(9, 32), Back);
}

TEST_F(RuleDrawing, StressStrokeTwoCellArcAndColourSwitch) {
    const TBitmap stress = Line("A4B");
    ASSERT_EQ(stress.Width(), 24);
    // From (12 - 2 + 6, 7) up to (12 + 2 + 6, 3), the end point left out.
    EXPECT_EQ(Above(stress), (TBox{16, 4, 19, 7}));
    EXPECT_EQ(stress.GetPixel(16, 7), Blue);
    EXPECT_EQ(stress.GetPixel(19, 4), Blue);

    const TBitmap arc = Line("A5BCD");
    ASSERT_EQ(arc.Width(), 48);
    // The ellipse in (13, 1)-(35, 17): over the two cells after the marker, not the third.
    ExpectArc(Above(arc), 13, 34);

    TColor colour = HintTextColor;
    const TBitmap switched = DrawRuleLine("A0B0C0", *Fonts.SmallFont(), M, colour);
    ASSERT_EQ(switched.Width(), 36);
    EXPECT_EQ(switched.GetPixel(0, Y), Blue);
    EXPECT_EQ(switched.GetPixel(12, Y), Red);
    EXPECT_EQ(switched.GetPixel(24, Y), Blue);
    EXPECT_EQ(colour, Red) << "a switch left open goes on into the next line";

    // Marks take the colour in force where they close.
    const TBitmap redBar = Line("#A0B#");
    EXPECT_TRUE(InkBox(redBar, Red, 0, 0, redBar.Width(), Y));
    EXPECT_FALSE(Above(redBar));
}

TEST_F(RuleDrawing, GapsMoveGlyphsAndShiftSpansWithoutWideningThem) {
    const TBitmap gap = Line("A+A");
    ASSERT_EQ(gap.Width(), 26);
    EXPECT_EQ(gap.GetPixel(11, Y), Blue);
    EXPECT_EQ(gap.GetPixel(12, Y), Back);
    EXPECT_EQ(gap.GetPixel(13, Y), Back);
    EXPECT_EQ(gap.GetPixel(14, Y), Blue);

    // Spans count positions, not pixels: the gap moves the underline 2 pixels right.
    EXPECT_EQ(Below(Line("9AB9")), (TBox{1, YB, 22, YB}));
    EXPECT_EQ(Below(Line("9A+B9")), (TBox{3, YB, 24, YB}));
    // A colour switch is a position too: the underline's left end moves one cell left.
    const TBitmap switched = Line("AB9C0D9");
    EXPECT_EQ(InkBox(switched, Red, 0, YB, switched.Width(), YB + 1), (TBox{13, YB, 46, YB}));
    EXPECT_EQ(InkBox(Line("AB9CD9"), Blue, 0, YB, 48, YB + 1), (TBox{25, YB, 46, YB}));
}

TEST_F(RuleDrawing, UnclosedMarkersDrawNothingAndDoNotReachTheNextLine) {
    for (char mark : std::string("&#19786")) {
        const TBitmap strip = Line(std::string(1, mark) + "AB");
        EXPECT_EQ(strip.Width(), mark == '6' ? 25 : 24) << mark;
        EXPECT_FALSE(Above(strip)) << mark;
        EXPECT_FALSE(Below(strip)) << mark;
    }
    // The second line's marker opens a span of its own, which is never closed either.
    TBitmap page(444, 66, clBlack);
    DrawRule({"&AB", "CD&"}, *Fonts.SmallFont(), M, page);
    EXPECT_FALSE(InkBox(page, Blue, 0, 0, 444, Y));
    EXPECT_FALSE(InkBox(page, Blue, 0, 33, 444, 33 + Y));
}

TEST_F(RuleDrawing, OnlyTheDigitsTwoAndThreeAreText) {
    for (char digit = '0'; digit <= '9'; ++digit) {
        const TBitmap strip = Line(std::string(1, digit));
        const bool text = digit == '2' || digit == '3';
        EXPECT_EQ(strip.Width(), text ? 12 : digit == '6' ? 1 : 0) << digit;
        if (text) {
            EXPECT_EQ(InkBox(strip, Blue, 0, 0, 12, 33), (TBox{0, Y, 11, Y + 17})) << digit;
        }
    }
}

TEST_F(RuleDrawing, LineWiderThanThePageIsCentredAndCutAtBothSides) {
    // 40 cells of a glyph with ink in its left column: the strip is 480 wide, 18 cut on each side.
    TBitmap page(444, 33, clBlack);
    DrawRule({std::string(40, 'I')}, *Fonts.SmallFont(), M, page);
    std::vector<int> ink;
    for (int x = 0; x < 444; ++x)
        if (page.GetPixel(x, Y) == Blue)
            ink.push_back(x);
    ASSERT_EQ(ink.size(), 37u);
    EXPECT_EQ(ink.front(), 6);  // strip column 24
    EXPECT_EQ(ink.back(), 438); // strip column 456
    EXPECT_EQ(page.GetPixel(0, 0), Back);
}

TEST_F(RuleDrawing, PageHoldsOneLinePerPitchAndGlyphsLeaveTheBackground) {
    TBitmap page(444, 99, clBlack);
    DrawRule({"A", "", "II"}, *Fonts.SmallFont(), M, page);
    EXPECT_EQ(InkBox(page, Blue, 0, 0, 444, 33), (TBox{216, Y, 227, Y + 17}));
    EXPECT_FALSE(InkBox(page, Blue, 0, 33, 444, 66));
    EXPECT_EQ(InkBox(page, Blue, 0, 66, 444, 99), (TBox{210, 66 + Y, 222, 66 + Y + 17}));
    EXPECT_EQ(page.GetPixel(211, 66 + Y), Back); // blank cells of the glyph
    // A character the font lacks is a blank cell that still takes its place.
    EXPECT_EQ(Line("A@A").Width(), 36);
    EXPECT_FALSE(InkBox(Line("A@A"), Blue, 12, 0, 24, 33));
}

TEST_F(RuleDrawing, LineTooLongToDrawIsRefused) {
    TBitmap page(444, 33);
    EXPECT_THROW(
        DrawRule({std::string(MaxRuleStripWidth / 12 + 1, 'A')}, *Fonts.SmallFont(), M, page),
        ERuleDrawError);
    EXPECT_NO_THROW(
        DrawRule({std::string(MaxRuleStripWidth / 12, '+')}, *Fonts.SmallFont(), M, page));
}
