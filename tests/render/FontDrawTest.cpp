#include "FontTestGlyphs.h"
#include "platform/Image.h"
#include "render/FFont.h"
#include "render/SymbolTable.h"

#include <climits>
#include <gtest/gtest.h>

using namespace fonttest;
using platform::TBitmap;
using platform::TColor;

namespace {

constexpr TColor Green = 0x0000FF00;
constexpr TColor Grey = 0x00808080;

TNFFont PatternFont(std::uint16_t size, const std::string& chars) {
    TNFFont f(size);
    for (char ch : chars)
        f.SetSymbol(PatternGlyph(ch, SizeWidth(size), SizeHeight(size)));
    return f;
}

// Checks one cell of a bitmap against a glyph pattern (or blank), ink in `ink` and the rest in
// `back`; pixels off the bitmap are skipped.
void ExpectCell(const TBitmap& b, int left, int top, int w, int h, char ch, bool blank, TColor ink,
                TColor back) {
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const int x = left + c, y = top + r;
            if (x < 0 || y < 0 || x >= b.Width() || y >= b.Height())
                continue;
            const TColor want = !blank && PatternInk(ch, r, c) ? ink : back;
            ASSERT_EQ(b.GetPixel(x, y), want) << "'" << ch << "' at " << x << "," << y;
        }
}

} // namespace

TEST(SymbolTable, SlotsOfTheCharacterSet) {
    EXPECT_EQ(SymbolIndex(' '), 1);
    EXPECT_EQ(SymbolIndex('\xA8'), 75);  // Ё
    EXPECT_EQ(SymbolIndex('\xFF'), 140); // я
    // Characters outside the set draw as a blank cell.
    for (char ch : {'@', '+', '\0', '\x1A', '\x98', '%', '\xB9'}) {
        EXPECT_EQ(SymbolIndex(ch), 1) << int(ch);
        EXPECT_FALSE(IsSymbol(ch));
    }
    // Every slot finds itself: no character is listed twice.
    for (int slot = 1; slot <= 140; ++slot)
        EXPECT_EQ(SymbolIndex(SymbolTable[static_cast<std::size_t>(slot - 1)]), slot);
}

TEST(NFFont, SizesSlotsAndCopies) {
    EXPECT_THROW(TNFFont(PackedSize(18, 12)), EFontError);
    try {
        TNFFont f(PackedSize(12, 24));
        ADD_FAILURE() << "a wrong size accepted";
    } catch (const EFontError& e) {
        EXPECT_STREQ(e.what(), "Trying to create a wrong-size font!");
    }

    TNFFont f(Size12x18);
    for (int bad : {0, 141}) {
        try {
            f.GetSymbol(bad);
            ADD_FAILURE() << "slot " << bad << " given";
        } catch (const EFontError& e) {
            EXPECT_STREQ(e.what(), "Trying to get a non-existing symbol");
        }
    }

    f.SetSymbol(PatternGlyph('\xC6', 12, 18)); // Ж
    TSymbol copy = f.GetSymbol(SymbolIndex('\xC6'));
    EXPECT_EQ(copy.Mask, PatternGlyph('\xC6', 12, 18).Mask);
    // The copy owns its cells.
    copy.Mask[0][0] ^= 1;
    copy.Mask[17][11] ^= 1;
    EXPECT_EQ(f.GetSymbol(SymbolIndex('\xC6')).Mask, PatternGlyph('\xC6', 12, 18).Mask);

    EXPECT_THROW(f.SetSymbol(PatternGlyph('@', 12, 18)), EFontError);
    EXPECT_THROW(f.SetSymbol(PatternGlyph('a', 16, 18)), EFontError);
    try {
        f.SetSymbol(PatternGlyph('a', 12, 24));
        ADD_FAILURE() << "a glyph of the wrong height stored";
    } catch (const EFontError& e) {
        EXPECT_STREQ(e.what(), "Trying to insert an incorrect symbol");
    }
    EXPECT_EQ(f.GetSymbol(SymbolIndex('a')).Mask, TNFFont(Size12x18).GetSymbol(1).Mask);

    // A cleared font draws nothing and takes glyphs again.
    f.ClearSymbols();
    TBitmap b(40, 20, Grey);
    f.DrawText("\xC6", b, Green, 0, 0, false);
    EXPECT_EQ(b, TBitmap(40, 20, Grey));
    f.SetSymbol(PatternGlyph('a', 12, 18));
    EXPECT_EQ(f.GetSymbol(SymbolIndex('a')).Mask, PatternGlyph('a', 12, 18).Mask);
}

TEST(NFFontDraw, CellsSideBySideUnknownCharacterBlank) {
    const TNFFont f = PatternFont(Size12x18, "ab_");
    TBitmap b(60, 30, Grey);
    f.DrawText("a+b", b, Green, 5, 4, false);
    ExpectCell(b, 5, 4, 12, 18, 'a', false, Green, Grey);
    ExpectCell(b, 17, 4, 12, 18, '+', true, Green, Grey);
    ExpectCell(b, 29, 4, 12, 18, 'b', false, Green, Grey);
    // Nothing outside the three cells.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            if (x < 5 || x >= 41 || y < 4 || y >= 22) {
                ASSERT_EQ(b.GetPixel(x, y), Grey) << x << "," << y;
            }
        }
}

TEST(NFFontDraw, HighlightTurnsOnlyUnderscoresRed) {
    const TNFFont f = PatternFont(Size16x24, "ab_");
    TBitmap b(64, 24, Grey);
    f.DrawText("a__b", b, Green, 0, 0, true);
    ExpectCell(b, 0, 0, 16, 24, 'a', false, Green, Grey);
    ExpectCell(b, 16, 0, 16, 24, '_', false, platform::clRed, Grey);
    ExpectCell(b, 32, 0, 16, 24, '_', false, platform::clRed, Grey);
    ExpectCell(b, 48, 0, 16, 24, 'b', false, Green, Grey);
    f.DrawText("__", b, platform::clWhite, 0, 0, false);
    ExpectCell(b, 16, 0, 16, 24, '_', false, platform::clWhite, Grey);
}

TEST(NFFontDraw, ClippedAtEveryEdge) {
    const TNFFont f = PatternFont(Size12x18, "ab");
    for (auto [x, y] : {std::pair{-5, -7}, {-30, 0}, {20, 10}, {0, -17}, {25, 15}}) {
        TBitmap b(30, 20, Grey);
        f.DrawText("abab", b, Green, x, y, false);
        for (int p = 0; p < 4; ++p)
            ExpectCell(b, x + p * 12, y, 12, 18, "abab"[p], false, Green, Grey);
    }
    // Far off the bitmap, in every direction, nothing is drawn and nothing overflows.
    for (auto [x, y] : {std::pair{INT_MAX, 0},
                        {INT_MIN, 0},
                        {0, INT_MAX},
                        {0, INT_MIN},
                        {INT_MAX - 5, INT_MAX - 5},
                        {-12 * 3, 0}}) {
        TBitmap b(30, 20, Grey);
        f.DrawText("aba", b, Green, x, y, false);
        EXPECT_EQ(b, TBitmap(30, 20, Grey)) << x << "," << y;
    }
}

TEST(NFFontDraw, FillAndTransparencyOnTheImageControl) {
    const TNFFont f = PatternFont(Size12x18, "ab");
    platform::TImage image;
    image.resize(40, 30);

    // Fill: an empty string leaves one rectangle of the background, of the control's size.
    image.SetPicture(TBitmap(10, 10, Green));
    f.DrawText("", image, platform::clWhite, Grey, 0, 0, true, false);
    EXPECT_EQ(image.Picture(), TBitmap(40, 30, Grey));

    // Without fill an empty string changes nothing.
    TBitmap scene(40, 30, Green);
    scene.FillRect(0, 0, 20, 15, 0x00123456);
    image.SetPicture(scene);
    f.DrawText("", image, platform::clWhite, Grey, 0, 0, false, false);
    EXPECT_EQ(image.Picture(), scene);

    // Without fill only the ink pixels change; the background colour is not used.
    f.DrawText("ab", image, platform::clWhite, Grey, 3, 2, false, false);
    const TBitmap& out = image.Picture();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const int c = x - 3, r = y - 2;
            const bool inCell = c >= 0 && c < 24 && r >= 0 && r < 18;
            const bool ink = inCell && PatternInk(c < 12 ? 'a' : 'b', r, c % 12);
            ASSERT_EQ(out.GetPixel(x, y), ink ? platform::clWhite : scene.GetPixel(x, y))
                << x << "," << y;
        }

    // With fill the text lands on the background.
    f.DrawText("b", image, platform::clWhite, Grey, 0, 0, true, false);
    ExpectCell(image.Picture(), 0, 0, 12, 18, 'b', false, platform::clWhite, Grey);
    EXPECT_EQ(image.Picture().GetPixel(39, 29), Grey);
}

TEST(FontManager, LargeAndSmallFontByScreenWidth) {
    const std::pair<int, std::pair<std::uint16_t, std::uint16_t>> table[] = {
        {0, {Size12x18, Size12x18}},    {611, {Size12x18, Size12x18}},
        {612, {Size16x24, Size12x18}},  {815, {Size16x24, Size12x18}},
        {816, {Size24x36, Size12x18}},  {1091, {Size24x36, Size12x18}},
        {1092, {Size24x36, Size16x24}}, {1223, {Size24x36, Size16x24}},
        {1224, {Size32x48, Size16x24}}, {1455, {Size32x48, Size16x24}},
        {1456, {Size32x48, Size24x36}}, {1631, {Size32x48, Size24x36}},
        {1632, {Size32x48, Size24x36}}, {3840, {Size32x48, Size24x36}},
    };
    for (const auto& [width, sizes] : table) {
        const TFFont fonts(TFFont::TBlank{}, width);
        EXPECT_EQ(fonts.LargeSize(), sizes.first) << width;
        EXPECT_EQ(fonts.SmallSize(), sizes.second) << width;
        EXPECT_EQ(fonts.LargeFont()->Size(), sizes.first);
        EXPECT_EQ(fonts.SmallFont()->Size(), sizes.second);
    }
}

TEST(FontManager, WriteTextIsWhiteOnNavyInTheChosenFont) {
    TFFont fonts(TFFont::TBlank{}, 1024); // large 24x36, small 12x18
    fonts.FontOfSize(Size24x36)->SetSymbol(PatternGlyph('a', 24, 36));
    fonts.FontOfSize(Size12x18)->SetSymbol(PatternGlyph('a', 12, 18));
    platform::TImage image;
    image.resize(50, 40);

    fonts.WriteText("a", image, 1, 2, true, true, false);
    ExpectCell(image.Picture(), 1, 2, 24, 36, 'a', false, platform::clWhite, platform::clNavy);
    fonts.WriteText("a", image, 1, 2, false, true, false);
    ExpectCell(image.Picture(), 1, 2, 12, 18, 'a', false, platform::clWhite, platform::clNavy);
    EXPECT_EQ(image.Picture().GetPixel(1 + 12, 2), platform::clNavy);

    fonts.WriteColorText("a_", image, Green, Grey, 0, 0, false, true, true);
    ExpectCell(image.Picture(), 0, 0, 12, 18, 'a', false, Green, Grey);
    ExpectCell(image.Picture(), 12, 0, 12, 18, '_', true, Green, Grey); // no glyph for "_"
}

TEST(FontManager, WriteTextIntoABitmapKeepsItsSize) {
    TFFont fonts(TFFont::TBlank{}, 1024); // large 24x36, small 12x18
    fonts.FontOfSize(Size12x18)->SetSymbol(PatternGlyph('a', 12, 18));
    fonts.FontOfSize(Size24x36)->SetSymbol(PatternGlyph('b', 24, 36));

    // Fill: the whole bitmap becomes navy, then the text is drawn; nothing is resized, and a cell
    // running past the right edge is cut there.
    TBitmap b(30, 20, Green);
    fonts.WriteText("aaa", b, 0, 1, false, true, false);
    ASSERT_EQ(b.Width(), 30);
    ASSERT_EQ(b.Height(), 20);
    for (int left : {0, 12, 24})
        ExpectCell(b, left, 1, 12, 18, 'a', false, platform::clWhite, platform::clNavy);
    EXPECT_EQ(b.GetPixel(29, 0), platform::clNavy);

    // Without fill the text lands on what is there, in the large font with its own colours.
    TBitmap scene(40, 40, Grey);
    fonts.WriteColorText("b", scene, Green, platform::clRed, 2, 3, true, false, false);
    ExpectCell(scene, 2, 3, 24, 36, 'b', false, Green, Grey);
    EXPECT_EQ(scene.GetPixel(39, 39), Grey);
}
