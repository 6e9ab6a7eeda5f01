// The results picture: the nine lines from the pupil record and where they are drawn.

#include "session/ResultsDrawing.h"

#include "platform/Text.h"
#include "render/NFFont.h"
#include "session/Pupil.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Every glyph but the blank a full block of ink, so that each drawn cell is plain to see.
TNFFont SolidFont(std::uint16_t size) {
    TNFFont f(size);
    for (int i = 1; i <= 140; ++i) {
        TSymbol s = f.GetSymbol(i);
        s.Width = static_cast<std::uint8_t>(SizeWidth(size));
        s.Height = static_cast<std::uint8_t>(SizeHeight(size));
        s.Mask.assign(s.Height, std::vector<std::uint8_t>(s.Width, s.Code == ' ' ? 0 : 1));
        f.SetSymbol(s);
    }
    return f;
}

TResultLines Plain(const std::string& text = "ab") {
    TResultLines lines;
    for (std::size_t k = 0; k < lines.size(); ++k)
        lines[k] = {text, k == 0 || k >= 5};
    return lines;
}

class ResultsDrawing : public testing::Test {
protected:
    TNFFont Large = SolidFont(Size16x24);
    TNFFont Small = SolidFont(Size12x18);
    TBitmap Picture;
};

} // namespace

TEST(ResultLinesTest, FiguresAndMark) {
    TFPupil p("Petya", "5", "Commas", "Variant 1");
    p.AddSpellingMistake("R1");
    const TResultLines lines = ResultLines(p);
    EXPECT_EQ(lines[0].Text, Utf8ToAnsi("Ученик: Petya"));
    EXPECT_EQ(lines[4].Text, "Variant 1");
    EXPECT_EQ(lines[6].Text, Utf8ToAnsi("Ошибок: 1"));
    EXPECT_EQ(lines[8].Text, Utf8ToAnsi("Оценка: 4"));
    // More than two prompts: the training regime, whatever the mistakes.
    for (int i = 0; i < 3; ++i)
        p.AddPrompt();
    EXPECT_EQ(ResultLines(p)[7].Text, Utf8ToAnsi("Подсказок: 3"));
    EXPECT_EQ(ResultLines(p)[8].Text, Utf8ToAnsi("Без оценки - тренировочный режим!"));
}

TEST_F(ResultsDrawing, On800x600TheTextStartsAt110By120WithALargePitch) {
    const std::vector<TResultRow> rows =
        DrawResults(Plain(), TBitmap(), Large, Small, 800, 600, Picture);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(Picture.Width(), 800);
    EXPECT_EQ(Picture.GetPixel(110, 120), clBlack);
    EXPECT_EQ(Picture.GetPixel(109, 120), clSilver);
    EXPECT_EQ(Picture.GetPixel(110, 119), clSilver);
    // Two large cells wide, one large cell high.
    EXPECT_EQ(Picture.GetPixel(110 + 31, 120 + 23), clBlack);
    EXPECT_EQ(Picture.GetPixel(110 + 32, 120), clSilver);
    EXPECT_EQ(Picture.GetPixel(110, 120 + 24), clSilver);
    // Line k at 120 + k * (24 + 10), small lines too; a small line is 12 x 18 per cell.
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(rows[static_cast<std::size_t>(k)].Y, 120 + k * 34) << k;
        EXPECT_EQ(Picture.GetPixel(110, 120 + k * 34), clBlack) << k;
    }
    EXPECT_EQ(Picture.GetPixel(110 + 23, 154), clBlack);
    EXPECT_EQ(Picture.GetPixel(110 + 24, 154), clSilver);
    EXPECT_EQ(Picture.GetPixel(110, 154 + 18), clSilver);
}

TEST_F(ResultsDrawing, TheBackgroundIsStretchedOverTheScreen) {
    TBitmap background(400, 300, 0x00336699);
    background.FillRect(200, 150, 400, 300, 0x00FF0000);
    DrawResults(Plain(), background, Large, Small, 800, 600, Picture);
    EXPECT_EQ(Picture.GetPixel(5, 5), 0x00336699u);
    EXPECT_EQ(Picture.GetPixel(795, 595), 0x00FF0000u);
    EXPECT_EQ(Picture.GetPixel(390, 5), 0x00336699u);
    EXPECT_EQ(Picture.GetPixel(410, 595), 0x00FF0000u);
}

TEST_F(ResultsDrawing, LongLinesAreNeitherCutNorOverlapping) {
    // 690 pixels from x = 110: 43 large or 57 small cells.
    TResultLines lines = Plain();
    lines[0].Text = std::string(50, 'n');                              // small font, one row
    lines[2].Text = std::string(40, 't') + " " + std::string(40, 'u'); // wraps at the space
    lines[4].Text = std::string(120, 'v');                             // no space: hard breaks
    const std::vector<TResultRow> rows =
        DrawResults(lines, TBitmap(), Large, Small, 800, 600, Picture);
    ASSERT_EQ(rows.size(), 9u + 1 + 2);
    EXPECT_FALSE(rows[0].Large);
    EXPECT_EQ(rows[2].Text, std::string(40, 't'));
    EXPECT_EQ(rows[3].Text, std::string(40, 'u'));
    EXPECT_EQ(rows[5].Text.size(), 57u);
    EXPECT_EQ(rows[7].Text.size(), 6u);
    int y = 120;
    for (const TResultRow& r : rows) {
        EXPECT_EQ(r.Y, y);
        y += 34;
        const int cell = r.Large ? 16 : 12;
        EXPECT_LE(r.X + static_cast<int>(r.Text.size()) * cell, 800) << r.Text;
    }
    // Short lines keep their large font.
    EXPECT_TRUE(rows.back().Large);
}

TEST_F(ResultsDrawing, TheWorkOnMistakesKeyStandsAfterAFreeRowInTheSmallFont) {
    const std::vector<TResultRow> rows =
        DrawResults(Plain(), TBitmap(), Large, Small, 800, 600, Picture, "F3 - x");
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[9].Text, "F3 - x");
    EXPECT_FALSE(rows[9].Large);
    EXPECT_EQ(rows[9].Y, 120 + 10 * 34);
    EXPECT_EQ(Picture.GetPixel(110, 120 + 9 * 34), clSilver);
    EXPECT_EQ(Picture.GetPixel(110, 120 + 10 * 34), clBlack);
    // Still inside the smallest picture the screen classes have.
    EXPECT_LT(rows[9].Y + 18, 600);
}
