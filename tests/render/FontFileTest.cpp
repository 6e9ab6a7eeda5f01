#include "FontTestGlyphs.h"
#include "app/Globals.h"
#include "app/Reports.h"
#include "app/Strings.h"
#include "platform/Bitmap.h"
#include "render/FFont.h"
#include "render/SymbolTable.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"

#include <QFile>
#include <gtest/gtest.h>
#include <set>

using namespace fonttest;

namespace {

// The fonts of a file's bytes, read as the trainer reads them; the error it stops with, if any.
struct TLoaded {
    std::unique_ptr<TFFont> Fonts = std::make_unique<TFFont>(TFFont::TBlank{}, 1024);
    std::string Error;
};

TLoaded Load(const std::string& bytes) {
    TLoaded l;
    try {
        l.Fonts->LoadFromBytes(bytes);
    } catch (const std::exception& e) {
        l.Error = e.what();
    }
    return l;
}

std::vector<std::vector<std::uint8_t>> MaskOf(const TFFont& f, std::uint16_t size, char ch) {
    const TNFFont* font = size == Size12x18   ? f.Font12x18()
                          : size == Size16x24 ? f.Font16x24()
                          : size == Size24x36 ? f.Font24x36()
                                              : f.Font32x48();
    return font->GetSymbol(SymbolIndex(ch)).Mask;
}

bool Blank(const std::vector<std::vector<std::uint8_t>>& mask) {
    for (const auto& row : mask)
        for (auto cell : row)
            if (cell)
                return false;
    return true;
}

// A 12x18 glyph: the first column ink, the rest blank (216 cells).
const std::string BarRuns = Cells(1, 18) + Cells(0, 198);

} // namespace

TEST(FontFile, RunsFillColumnByColumnAndEachGlyphGoesToItsSize) {
    // Sizes mixed and out of order; a value byte other than 1 is blank; a count below 0x1F adds
    // nothing.
    const std::string bytes =
        Header + Record('b', 0x20, Cells(1, 48) + Cells(0, 48 * 31)) +
        Record('a', 0x0C,
               Cells(1, 3) + Cells('\x02', 16) + "\x01\x05" + Cells(1, 1) + Cells(0, 196)) +
        Record('\xC6', 0x10, Cells(0, 24) + Cells(1, 24) + Cells(0, 24 * 14)) +
        Record('\xFF', 0x18, Cells(1, 224) + Cells(1, 224) + Cells(0, 416)) + "STOP";
    const TLoaded l = Load(bytes);
    ASSERT_EQ(l.Error, "");
    auto a = MaskOf(*l.Fonts, Size12x18, 'a');
    EXPECT_EQ(a[0][0] + a[1][0] + a[2][0], 3);
    EXPECT_EQ(a[3][0], 0);
    EXPECT_EQ(a[17][0], 0);
    EXPECT_EQ(a[1][1], 1) << "the 20th cell is row 1 of column 1";
    EXPECT_EQ(a[0][1], 0);
    auto b = MaskOf(*l.Fonts, Size32x48, 'b');
    for (int r = 0; r < 48; ++r)
        EXPECT_TRUE(b[static_cast<std::size_t>(r)][0] && !b[static_cast<std::size_t>(r)][1]);
    auto zh = MaskOf(*l.Fonts, Size16x24, '\xC6');
    EXPECT_TRUE(!zh[5][0] && zh[5][1] && !zh[5][2]);
    auto ya = MaskOf(*l.Fonts, Size24x36, '\xFF');
    EXPECT_TRUE(ya[35][11] && ya[15][12] && !ya[16][12]); // 448 cells: 12 columns, 16 rows more
    // Nothing went to the other sizes.
    EXPECT_TRUE(Blank(MaskOf(*l.Fonts, Size16x24, 'a')));
    EXPECT_TRUE(Blank(MaskOf(*l.Fonts, Size12x18, 'b')));
}

TEST(FontFile, GlyphMustNotOverrunItsCells) {
    // Runs covering exactly all cells, in pieces, are accepted.
    EXPECT_EQ(Load(Header + Record('a', 0x0C, Cells(1, 200) + Cells(0, 16)) + "STOP").Error, "");
    std::string full;
    for (int i = 0; i < 6; ++i)
        full += Cells(i % 2, 224);
    EXPECT_EQ(Load(Header + Record('a', 0x20, full + Cells(1, 192)) + "STOP").Error, "");
    // One cell more fails, and so does a run far past the end.
    EXPECT_EQ(Load(Header + Record('a', 0x0C, Cells(1, 200) + Cells(0, 17)) + "STOP").Error,
              "Out of Symbol.Mask!");
    EXPECT_EQ(Load(Header + Record('a', 0x0C, std::string(20, '\xFF'))).Error,
              "Out of Symbol.Mask!");
}

TEST(FontFile, UncoveredCellsAreBlankNotLeftFromThePreviousGlyph) {
    const std::string bytes = Header + Record('a', 0x0C, Cells(1, 216)) +
                              Record('b', 0x0C, Cells(0, 5)) + Record('c', 0x0C, "") + "STOP";
    const TLoaded l = Load(bytes);
    ASSERT_EQ(l.Error, "");
    EXPECT_FALSE(Blank(MaskOf(*l.Fonts, Size12x18, 'a')));
    EXPECT_TRUE(Blank(MaskOf(*l.Fonts, Size12x18, 'b')));
    EXPECT_TRUE(Blank(MaskOf(*l.Fonts, Size12x18, 'c')));
}

TEST(FontFile, EndsAndEndMarkers) {
    // Only a header and the end marker: every glyph stays blank.
    TLoaded l = Load("Zarvo%\nSTOP");
    EXPECT_EQ(l.Error, "");
    for (std::uint16_t size : {Size12x18, Size16x24, Size24x36, Size32x48})
        for (char ch : SymbolTable)
            ASSERT_TRUE(Blank(MaskOf(*l.Fonts, size, ch)));

    // Nothing after "STOP" is read; the physical end between records ends the file as well.
    EXPECT_EQ(Load(Header + Record('a', 0x0C, BarRuns) + "STOP" + "garbage").Error, "");
    EXPECT_EQ(Load(Header + Record('a', 0x0C, BarRuns)).Error, "");
    EXPECT_EQ(Load(Header).Error, "");

    // The byte 0x1A ends the stream: what follows it is never seen.
    l = Load(Header + Record('a', 0x0C, BarRuns) + "\x1A" + Record('b', 0x0C, "garbage"));
    EXPECT_EQ(l.Error, "");
    EXPECT_FALSE(Blank(MaskOf(*l.Fonts, Size12x18, 'a')));
    EXPECT_TRUE(Blank(MaskOf(*l.Fonts, Size12x18, 'b')));
}

TEST(FontFile, DamagedFilesStopWithAnErrorAndKeepEarlierGlyphs) {
    const std::string good = Header + Record('a', 0x0C, BarRuns);
    const std::string damaged[] = {
        "",                                             // empty
        "no percent sign anywhere",                     // ends inside the header
        "header%",                                      // ends right after the "%"
        "head\x1A%\nSTOP",                              // 0x1A inside the header
        good + "\r\n",                                  // ends inside a record's head
        good + "\r\nb\x0C",                             // ends before the runs
        good + Record('b', 0x0C, BarRuns).substr(0, 6), // ends inside the runs
        good + "\r\nb\x0C" + BarRuns + "%",             // only half the closing "%%"
        good + "\r\nb\x0C\x01\x1A",                     // 0x1A inside a glyph
        good + Record('b', 0x0D, ""),                   // a size no font has
        good + Record('b', 0x00, BarRuns),              // a size no font has
        good + Record('@', 0x0C, BarRuns),              // a character outside the set
        good + "STO",                                   // a cut end marker
    };
    for (const std::string& bytes : damaged) {
        const TLoaded l = Load(bytes);
        EXPECT_NE(l.Error, "") << testing::PrintToString(bytes);
        if (bytes.compare(0, good.size(), good) == 0) {
            EXPECT_FALSE(Blank(MaskOf(*l.Fonts, Size12x18, 'a'))) << testing::PrintToString(bytes);
        }
    }
    EXPECT_EQ(Load(good + Record('@', 0x0C, BarRuns)).Error,
              "Trying to insert an incorrect symbol!");
}

namespace {
// The fonts as start-up loads them: read, then what the reader met shown as start-up shows it.
struct TShownFonts : TFFont {
    TShownFonts() { ShowReadErrors(Errors); }
};
} // namespace

TEST(FontManager, ReadsTheFontFileAndReportsOneItCannotRead) {
    TSandbox box({1280, 1024, 32});
    box.Write("content/Zarvo.fff", Header + Record('\xC0', 0x0C, BarRuns) + "STOP");
    {
        TShownFonts fonts;
        EXPECT_FALSE(GlobalFailure);
        EXPECT_FALSE(Blank(fonts.Font12x18()->GetSymbol(77).Mask));
        EXPECT_EQ(fonts.LargeSize(), Size32x48);
        EXPECT_EQ(fonts.SmallSize(), Size16x24);
    }

    // A glyph that overruns: the file error report names the font file; what came before stays;
    // the fonts are still chosen.
    box.Write("content/Zarvo.fff", Header + Record('\xC0', 0x0C, BarRuns) +
                                       Record('\xC1', 0x0C, Cells(1, 217)) + "STOP");
    {
        TShownFonts fonts;
        EXPECT_TRUE(GlobalFailure);
        const auto boxes = Recorder().Take();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Caption, strFileIOError);
        EXPECT_NE(boxes[0].Text.find(ContentDir + "Zarvo.fff"), std::string::npos) << boxes[0].Text;
        EXPECT_FALSE(Blank(fonts.Font12x18()->GetSymbol(77).Mask));
        EXPECT_TRUE(Blank(fonts.Font12x18()->GetSymbol(78).Mask));
        EXPECT_EQ(fonts.LargeSize(), Size32x48);
    }

    // A missing file.
    GlobalFailure = false;
    ASSERT_TRUE(QFile::remove(QString::fromStdString(box.ContentDir() + "Zarvo.fff")));
    {
        TShownFonts fonts;
        EXPECT_TRUE(GlobalFailure);
        const auto boxes = Recorder().Take();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].Text.find(ContentDir + "Zarvo.fff"), std::string::npos) << boxes[0].Text;
    }
}

// The font file the build makes: it loads without a word, every character of the set has a glyph
// in every size, and the Cyrillic letters of one size all look different.
TEST(BundledFont, LoadsSilentlyAndDrawsEveryCharacter) {
    TSandbox box({1920, 1080, 32});
    box.CopyBuiltContent("Zarvo.fff");
    ASSERT_TRUE(box.Exists("content/Zarvo.fff"))
        << "the build makes " ZARVO_CONTENT_BUILD_DIR "Zarvo.fff";
    TShownFonts fonts;
    EXPECT_FALSE(GlobalFailure);
    EXPECT_EQ(Recorder().Pending(), 0u);

    for (const TNFFont* f :
         {fonts.Font12x18(), fonts.Font16x24(), fonts.Font24x36(), fonts.Font32x48()}) {
        std::set<std::vector<std::vector<std::uint8_t>>> cyrillic;
        for (int slot = 1; slot <= 140; ++slot) {
            const TSymbol s = f->GetSymbol(slot);
            // Drawn alone, each glyph leaves ink in its own cell and nowhere else.
            platform::TBitmap b(3 * f->CellWidth(), f->CellHeight(), platform::clNavy);
            f->DrawText(std::string(" ") + s.Code, b, platform::clWhite, 0, 0, false);
            int ink = 0;
            for (int y = 0; y < b.Height(); ++y)
                for (int x = 0; x < b.Width(); ++x)
                    if (b.GetPixel(x, y) == platform::clWhite) {
                        ++ink;
                        ASSERT_TRUE(x >= f->CellWidth() && x < 2 * f->CellWidth());
                    }
            EXPECT_EQ(ink == 0, s.Code == ' ')
                << "slot " << slot << " of " << f->CellWidth() << "x" << f->CellHeight();
            if (slot >= 75)
                cyrillic.insert(s.Mask);
        }
        EXPECT_EQ(cyrillic.size(), 66u) << f->CellWidth() << "x" << f->CellHeight();
    }
}
