#include "session/ExampleLayout.h"
#include "render/NFFont.h"
#include "session/ExampleDrawing.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

std::vector<std::string> Texts(const TTextLines& lines) {
    std::vector<std::string> t;
    for (const TTextLine& l : lines)
        t.push_back(l.Text);
    return t;
}

using Strings = std::vector<std::string>;

// A layout of 16 x 24 cells in a box of `chars` + 3 cells, `height` high.
TExampleLayout Layout(const std::string& text, int chars, int height = 400) {
    TExampleLayout l;
    l.Metrics = {16, 24, 18};
    l.LayOut(text, {640, (chars + 3) * 16, height, height, 0});
    return l;
}

} // namespace

TEST(BreakLines, LinesEndAtSpacesStarsAndSplitWords) {
    EXPECT_EQ(Texts(BreakLines("", 10)), Strings{""});
    EXPECT_EQ(Texts(BreakLines("aaa bbb cccc", 10)), (Strings{"aaa bbb ", "cccc"}));
    // A "*" ends a short line and stays at its end.
    EXPECT_EQ(Texts(BreakLines("ab*cd", 10)), (Strings{"ab*", "cd"}));
    // ... also just before the last character, which then stands alone.
    EXPECT_EQ(Texts(BreakLines("abcd*e", 10)), (Strings{"abcd*", "e"}));
    // A word longer than a line is split with "-" after each full piece.
    EXPECT_EQ(Texts(BreakLines("abcdefghijklmnopqrstu", 8)),
              (Strings{"abcdefg-", "hijklmn-", "opqrstu"}));
    // The rest is taken whole when at most LineChars characters follow the start: LineChars + 1.
    EXPECT_EQ(Texts(BreakLines("aaaa bbbbbb", 10)), (Strings{"aaaa bbbbbb"}));
    EXPECT_EQ(Texts(BreakLines("aaaa bbbbbbb", 10)), (Strings{"aaaa ", "bbbbbbb"}));
    // Too short a line is taken as two cells, so that every piece advances.
    EXPECT_EQ(Texts(BreakLines("abcdef", 0)), (Strings{"a-", "b-", "c-", "def"}));
}

TEST(BreakLines, PositionsCountTheTextNotTheHyphens) {
    const TTextLines lines = BreakLines("abcdefghijk lm", 6);
    ASSERT_EQ(Texts(lines), (Strings{"abcde-", "fghij-", "k lm"}));
    EXPECT_EQ(LineStart(lines, 1), 6);
    EXPECT_EQ(LineStart(lines, 2), 11);
    EXPECT_EQ(LineStart(lines, 3), 0);
    EXPECT_EQ(LineOfPosition(lines, 5, 14), 0);
    EXPECT_EQ(LineOfPosition(lines, 6, 14), 1);
    EXPECT_EQ(LineOfPosition(lines, 14, 14), 2);
    EXPECT_EQ(LineOfPosition(lines, 0, 14), -1);
    EXPECT_EQ(LineOfPosition(lines, 15, 14), -1);
}

TEST(BreakLines, LongSentenceOnTheNarrowestScreen) {
    // 255 characters of one word on a 640-pixel screen with 12-pixel cells.
    const std::string word(255, 'x');
    TExampleLayout l;
    l.Metrics = {12, 18, 12};
    l.LayOut(word, {640, 640, 532, 532, 0});
    EXPECT_EQ(l.LineChars, 640 / 12 - 3);
    std::size_t total = 0;
    for (const TTextLine& line : l.Lines) {
        EXPECT_LE(line.Text.size(), static_cast<std::size_t>(l.LineChars) + 1);
        total += static_cast<std::size_t>(line.Length);
    }
    EXPECT_EQ(total, word.size());
    l.Locate(255, {640, 640, 532, 532, 0});
    TBitmap picture;
    TBitmap pointer = PlainPointer();
    const TNFFont font(Size12x18);
    TExampleDrawing what{&font, &pointer, {255, '@', {}}, 2};
    DrawExample(l, what, picture);
    EXPECT_EQ(picture.Width(), 640);
}

TEST(ExampleLayout, PlaceholdersAndTheClosedUpNoCharacterAnswer) {
    // "a@b c,d" with check points at 2 ("@" right), 6 (",") on one line.
    TExampleLayout l = Layout("a@b c,d*e,f", 20);
    ASSERT_EQ(Texts(l.Lines), (Strings{"a@b c,d*", "e,f"}));
    EXPECT_EQ(Texts(l.ShownLines({2, '_', {6, 10}})), (Strings{"a_b c_d*", "e_f"}));
    // While "@" is chosen the line closes up and the later placeholder on it moves left with it;
    // the one on the next line keeps its place.
    EXPECT_EQ(Texts(l.ShownLines({2, '@', {6, 10}})), (Strings{"ab c_d*", "e_f"}));
    EXPECT_EQ(Texts(l.ShownLines({2, ' ', {6, 10}})), (Strings{"a b c_d*", "e_f"}));
    // Once it is passed the "@" is gone from the text and later positions are one further left.
    l.RemoveAt(2);
    EXPECT_EQ(l.DisplayText, "ab c,d*e,f");
    EXPECT_EQ(Texts(l.ShownLines({6, '_', {10}})), (Strings{"ab c_d*", "e_f"}));
    // A check point beyond its sentence changes nothing and has no cell.
    EXPECT_EQ(Texts(l.ShownLines({40, '_', {41}})), (Strings{"ab c,d*", "e,f"}));
    l.Locate(40, {640, 23 * 16, 400, 400, 0});
    EXPECT_EQ(l.CellX, 0);
    EXPECT_EQ(l.CellY, 0);
}

TEST(ExampleLayout, LeadingBlanksDoNotShiftTheCheckPoints) {
    TExampleLayout l = Layout("  ab,c", 20);
    EXPECT_EQ(l.DisplayText, "ab,c");
    EXPECT_EQ(Texts(l.ShownLines({5, '_', {}})), (Strings{"ab_c"}));
}

TEST(ExampleLayout, CellAndCentring) {
    TExampleLayout l = Layout("abc def", 20, 400);
    l.Locate(5, {640, 23 * 16, 400, 400, 0});
    // Centred in the box that shows it.
    EXPECT_EQ(l.LeftMargin(), (23 * 16 - 20 * 16) / 2);
    EXPECT_EQ(l.TopMargin, (400 - 64) / 2);
    EXPECT_EQ(l.CellX, 4 * 16 + l.LeftMargin() + 1);
    EXPECT_EQ(l.CellY, l.TopMargin + 1);
    EXPECT_FALSE(l.ScrollBarVisible);
}

TEST(ExampleLayout, ReflowKeepsTheTextCellAndMarksInANarrowerBox) {
    // A window un-maximised from 640 to 272 pixels on a 640-pixel screen.
    TExampleLayout l;
    l.Metrics = {16, 24, 18};
    l.LayOut("abc de@f ghi,jk lmn", {640, 640, 400, 400, 0});
    ASSERT_EQ(l.Lines.size(), 1u);
    l.Locate(7, {640, 640, 400, 400, 0});
    l.MistakeMarks.push_back({l.CellX, l.CellY, 2, l.CellAt});
    l.RemoveAt(7); // the passed "@" closes up; the mark stays on its cell
    l.Locate(13, {640, 640, 400, 400, 0});

    const TBoxGeometry narrow{640, 272, 300, 300, 0};
    l.Reflow(narrow);
    l.Locate(13, narrow);
    EXPECT_EQ(l.LineChars, 14);
    EXPECT_EQ(Texts(l.Lines), (Strings{"abc def ", "ghi,jk lmn"}));
    // Every line fits the box that shows it, centred in it rather than on the screen.
    EXPECT_EQ(l.PictureWidth, 272);
    EXPECT_GE(l.LeftMargin(), 0);
    EXPECT_LE(l.LeftMargin() + l.LineChars * 16, 272);
    EXPECT_EQ(l.CellX, 3 * 16 + l.LeftMargin() + 1);
    EXPECT_EQ(l.CellY, 64 + l.TopMargin + 1);
    ASSERT_EQ(l.MistakeMarks.size(), 1u);
    EXPECT_EQ(l.MistakeMarks[0].X, 6 * 16 + l.LeftMargin() + 1);
    EXPECT_EQ(l.MistakeMarks[0].Y, l.TopMargin + 1);
    EXPECT_EQ(l.DisplayText, "abc def ghi,jk lmn") << "nothing closed up comes back";

    // Too low for the lines: the box scrolls, and back at full size it does not.
    l.Reflow({640, 272, 60, 60, 0});
    EXPECT_TRUE(l.ScrollBarVisible);
    l.Reflow({640, 640, 400, 400, 0});
    EXPECT_FALSE(l.ScrollBarVisible);
    EXPECT_EQ(l.Lines.size(), 1u);
    EXPECT_EQ(l.PictureWidth, 640);
}

TEST(ExampleLayout, TallTextScrollsToTheCheckPoint) {
    // Ten lines of 64 pixels in a box of 200: the picture grows and the box scrolls.
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += "abcdefgh*";
    text += "z";
    TExampleLayout l = Layout(text, 10, 200);
    ASSERT_EQ(l.Lines.size(), 11u);
    EXPECT_EQ(l.PictureHeight, 64 * 12);
    EXPECT_TRUE(l.ScrollBarVisible);
    EXPECT_EQ(l.ScrollRange, l.PictureHeight);
    const TBoxGeometry box{640, 13 * 16, 200, 200, 0};
    l.Locate(static_cast<int>(text.size()), box);
    EXPECT_EQ(l.CellY, 64 * 10 + 40 + 1);
    // The line is in view: below the top, its cell above the bottom edge.
    EXPECT_GE(l.CellY, l.ScrollPosition + 44);
    EXPECT_LE(l.CellY, 200 + l.ScrollPosition - 24 - 4);
    EXPECT_LE(l.ScrollPosition, l.ScrollRange - 200);
    // Back to the first line: scrolled up again.
    l.Locate(1, {640, 13 * 16, 200, 200, l.ScrollPosition});
    EXPECT_EQ(l.ScrollPosition, 0);
}

TEST(ExampleDrawing, PointerAndStrokes) {
    TExampleLayout l = Layout("abc def", 20);
    l.Locate(5, {640, 23 * 16, 400, 400, 0});
    l.MistakeMarks.push_back({l.CellX - 32, l.CellY, 1});
    TBitmap pointer(23, 32, clWhite);
    pointer.SetPixel(0, 31, clBlack);
    pointer.SetPixel(22, 0, clRed);
    TBitmap picture;
    DrawExample(l, {nullptr, &pointer, {5, '_', {}}, 2}, picture);
    ASSERT_EQ(picture.Width(), 23 * 16);
    ASSERT_EQ(picture.Height(), 400);
    // White pointer pixels are left out; the others stand above the middle of the cell.
    const int px = l.CellX + 8, py = l.CellY - 39;
    EXPECT_EQ(picture.GetPixel(px, py + 31), clBlack);
    EXPECT_EQ(picture.GetPixel(px + 22, py), clRed);
    EXPECT_EQ(picture.GetPixel(px + 1, py + 31), clNavy);
    // Two red strokes 4 pixels apart under the current cell, one under the marked cell.
    const int y = l.CellY + 24;
    auto red_row = [&](int x0, int x1, int row) {
        for (int x = x0; x <= x1; ++x)
            if (picture.GetPixel(x, row) != clRed)
                return false;
        return true;
    };
    EXPECT_TRUE(red_row(l.CellX + 1, l.CellX + 16 - 4, y));
    EXPECT_TRUE(red_row(l.CellX + 1, l.CellX + 16 - 4, y + 1));
    EXPECT_TRUE(red_row(l.CellX + 1, l.CellX + 16 - 4, y + 4));
    EXPECT_TRUE(red_row(l.CellX + 1, l.CellX + 16 - 4, y + 5));
    EXPECT_EQ(picture.GetPixel(l.CellX + 5, y - 1), clNavy);
    EXPECT_EQ(picture.GetPixel(l.CellX + 5, y + 2), clNavy);
    EXPECT_EQ(picture.GetPixel(l.CellX, y), clNavy);
    EXPECT_FALSE(red_row(l.CellX + 1, l.CellX + 12, y + 8));
    EXPECT_TRUE(red_row(l.CellX - 31, l.CellX - 32 + 12, y));
    EXPECT_FALSE(red_row(l.CellX - 31, l.CellX - 32 + 12, y + 4));
    // Nothing red right of the stroke's end.
    EXPECT_NE(picture.GetPixel(l.CellX + 16 - 3, y), clRed);
}

TEST(ExampleDrawing, TextInTheLargeFont) {
    // A font whose "_" is a full block: the placeholder's cell is white, its neighbours are not.
    TNFFont font(Size16x24);
    TSymbol bar;
    bar.Code = '_';
    bar.Width = 16;
    bar.Height = 24;
    bar.Mask.assign(24, std::vector<std::uint8_t>(16, 1));
    font.SetSymbol(bar);
    TExampleLayout l = Layout("ab,cd", 20);
    l.Locate(3, {640, 23 * 16, 400, 400, 0});
    TBitmap picture;
    DrawExample(l, {&font, nullptr, {3, '_', {}}, 0}, picture);
    const int x = l.LeftMargin(), y = l.TopMargin;
    EXPECT_EQ(picture.GetPixel(x + 2 * 16 + 8, y + 12), clWhite);
    EXPECT_EQ(picture.GetPixel(x + 1 * 16 + 8, y + 12), clNavy);
    EXPECT_EQ(picture.GetPixel(x + 3 * 16 + 8, y + 12), clNavy);
    // With the answer chosen the cell holds the answer, which this font leaves blank.
    DrawExample(l, {&font, nullptr, {3, ',', {}}, 0}, picture);
    EXPECT_EQ(picture.GetPixel(x + 2 * 16 + 8, y + 12), clNavy);
}
