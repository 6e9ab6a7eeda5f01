#include "render/RuleDrawing.h"
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
    EXPECT_EQ(M.PageHeight(3), 99);
    EXPECT_EQ(M.WindowWidth(), 444);
    EXPECT_EQ(RuleMetrics(Size12x18, Size16x24, 999).Gap, 3);
    EXPECT_EQ(RuleMetrics(Size24x36, Size32x48, 1920).Pitch(), 18 + 36 + 4 + 2);
}

TEST_F(RuleDrawing, ArcOverSixLettersOnACentredStrip) {
    const TBitmap strip = Line("&ABCDEF&");
    ASSERT_EQ(strip.Width(), 6 * 12);
    // The upper half of the ellipse in (1, 1)-(71, 17), over the whole strip but its outer
    // columns.
    ExpectArc(Above(strip), 1, 70);
    EXPECT_EQ(strip.GetPixel(2, 1), Back); // a curve, not a bar
    EXPECT_FALSE(Below(strip));

    TBitmap page(444, 33, clBlack);
    DrawRule({"&ABCDEF&"}, *Fonts.SmallFont(), M, page);
    EXPECT_EQ(InkBox(page, Blue, 0, Y, 444, Y + 18), (TBox{186, Y, 186 + 71, Y + 17}));
    EXPECT_EQ(page.GetPixel(0, 0), Back);
}

TEST_F(RuleDrawing, MarksAtTheirPixels) {
    // Three cells between paired markers put a span's ends at xs = 1 and xe = 35; lines leave
    // out their end points.
    struct TCase {
        const char* Line;
        bool Over; // above the glyphs, else under them
        TColor Colour;
        TBox Ink;
    } cases[] = {
        {"#ABC#", true, Blue, {1, 1, 35, 8}},        // bar with its tick down at xe
        {"1ABC1", true, Blue, {1, 1, 34, 8}},        // roof
        {"9ABC9", false, Blue, {1, YB, 34, YB}},     // solid underline
        {"7ABC7", false, Blue, {1, YB, 33, YB}},     // dotted
        {"8ABC8", false, Blue, {1, YB, 34, YB + 4}}, // wavy, Gap deep
        {"A4B", true, Blue, {16, 4, 19, 7}},         // stress from (16, 7) towards (20, 3)
        {"9AB9", false, Blue, {1, YB, 22, YB}},
        {"9A+B9", false, Blue, {3, YB, 24, YB}},   // a gap moves the span, not widens it
        {"AB9C0D9", false, Red, {13, YB, 46, YB}}, // a switch is a position: one cell wider
        {"#A0B#", true, Red, {0, 1, 23, 8}},       // marks take the colour where they close
    };
    for (const TCase& c : cases) {
        const TBitmap b = Line(c.Line);
        const int top = c.Over ? 0 : Y + 18;
        EXPECT_EQ(InkBox(b, c.Colour, 0, top, b.Width(), c.Over ? Y : 33), c.Ink) << c.Line;
    }
    const TBitmap bar = Line("#ABC#"), roof = Line("1ABC1");
    EXPECT_EQ(bar.GetPixel(34, 8), Back);
    EXPECT_EQ(InkBox(roof, Blue, 0, 1, 36, 2), (TBox{17, 1, 19, 1})); // the ridge, half way
    EXPECT_EQ(roof.GetPixel(1, 8), Blue);
    const TBitmap dotted = Line("7ABC79ABC9"); // and the pen is solid again after it
    for (int x = 1; x <= 34; ++x)
        EXPECT_EQ(dotted.GetPixel(x, YB), x % 2 ? Blue : Back) << x;
    EXPECT_EQ(InkBox(dotted, Blue, 37, YB, 72, YB + 1), (TBox{37, YB, 70, YB}));
    // Wavy: 3 low, 4 rising, 3 high, 4 falling.
    const TBitmap wavy = Line("8ABC8");
    for (auto [x, y] : {std::pair{1, 32}, {4, 32}, {6, 30}, {8, 28}, {11, 28}, {13, 30}, {15, 32}})
        EXPECT_EQ(wavy.GetPixel(x, y), Blue) << x << "," << y;
    EXPECT_EQ(wavy.GetPixel(6, 28), Back);

    // Two-cell arc: the ellipse in (13, 1)-(35, 17), over the cells after the marker.
    ExpectArc(Above(Line("A5BCD")), 13, 34);

    // The box takes a pixel on each side of the glyphs, which move right by one.
    const TBitmap box = Line("6ABC6");
    ASSERT_EQ(box.Width(), 36 + 2);
    for (int x = 0; x <= 37; ++x)
        ASSERT_TRUE(box.GetPixel(x, Y - 1) == Blue && box.GetPixel(x, YB) == Blue) << x;
    for (int y = Y - 1; y <= YB; ++y)
        ASSERT_TRUE(box.GetPixel(0, y) == Blue && box.GetPixel(37, y) == Blue) << y;
    EXPECT_EQ(InkBox(box, Blue, 1, Y, 37, YB), (TBox{1, Y, 36, Y + 17}));
}

TEST_F(RuleDrawing, GapsSwitchesAndDigits) {
    const TBitmap gap = Line("A+A");
    ASSERT_EQ(gap.Width(), 26);
    EXPECT_EQ(InkBox(gap, Blue, 12, Y, 26, Y + 1), (TBox{14, Y, 25, Y}));

    TColor colour = HintTextColor;
    const TBitmap switched = DrawRuleLine("A0B0C0", *Fonts.SmallFont(), M, colour);
    ASSERT_EQ(switched.Width(), 36);
    EXPECT_EQ(switched.GetPixel(0, Y), Blue);
    EXPECT_EQ(switched.GetPixel(12, Y), Red);
    EXPECT_EQ(switched.GetPixel(24, Y), Blue);
    EXPECT_EQ(colour, Red) << "a switch left open goes on into the next line";

    for (char digit = '0'; digit <= '9'; ++digit) {
        const bool text = digit == '2' || digit == '3';
        const TBitmap strip = Line(std::string(1, digit));
        EXPECT_EQ(strip.Width(), text ? 12 : digit == '6' ? 1 : 0) << digit;
        EXPECT_EQ(InkBox(strip, Blue, 0, Y, strip.Width(), Y + 18).has_value(), text) << digit;
    }
}

TEST_F(RuleDrawing, UnclosedMarkersDrawNothingAndDoNotReachTheNextLine) {
    for (char mark : std::string("&#19786")) {
        const TBitmap strip = Line(std::string(1, mark) + "AB");
        EXPECT_FALSE(Above(strip) || Below(strip)) << mark;
    }
    TBitmap page(444, 66, clBlack);
    DrawRule({"&AB", "CD&"}, *Fonts.SmallFont(), M, page);
    EXPECT_FALSE(InkBox(page, Blue, 0, 0, 444, Y));
    EXPECT_FALSE(InkBox(page, Blue, 0, 33, 444, 33 + Y));
}

TEST_F(RuleDrawing, LinesAreCentredOnePitchApartAndCutAtBothSidesWhenTooWide) {
    TBitmap page(444, 99, clBlack);
    // 40 cells of a glyph inked in its left column: a strip of 480, 18 cut on each side.
    DrawRule({"A", "", std::string(40, 'I')}, *Fonts.SmallFont(), M, page);
    EXPECT_EQ(InkBox(page, Blue, 0, 0, 444, 33), (TBox{216, Y, 227, Y + 17}));
    EXPECT_FALSE(InkBox(page, Blue, 0, 33, 444, 66));
    std::vector<int> ink;
    for (int x = 0; x < 444; ++x)
        if (page.GetPixel(x, 66 + Y) == Blue)
            ink.push_back(x);
    ASSERT_EQ(ink.size(), 37u);
    EXPECT_EQ(ink.front(), 6);  // strip column 24
    EXPECT_EQ(ink.back(), 438); // strip column 456
}
