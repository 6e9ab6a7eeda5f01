#include "FontTool.h"
#include "FontBuild.h"
#include "render/SymbolTable.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

using namespace fonttool;

namespace {

TSymbol Glyph(char ch, std::uint16_t size, bool (*ink)(int r, int c)) {
    TSymbol s;
    s.Code = ch;
    s.Width = static_cast<std::uint8_t>(SizeWidth(size));
    s.Height = static_cast<std::uint8_t>(SizeHeight(size));
    s.Mask.assign(s.Height, std::vector<std::uint8_t>(s.Width));
    for (int r = 0; r < s.Height; ++r)
        for (int c = 0; c < s.Width; ++c)
            s.Mask[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = ink(r, c) ? 1 : 0;
    return s;
}

int Tool(const std::vector<std::string>& args, std::string* errText = nullptr) {
    std::ostringstream out, err;
    const int rc = RunFontTool(args, out, err);
    if (errText)
        *errText = err.str();
    return rc;
}

} // namespace

TEST(FontEncoding, RunsAreColumnByColumnAndSplitAt224Cells) {
    // 12x18: the first column ink, one cell of the second, the rest blank.
    const TSymbol bar =
        Glyph('a', Size12x18, [](int r, int c) { return c == 0 || (c == 1 && r == 0); });
    EXPECT_EQ(EncodeRuns(bar), std::string("\x01") + char(19 + 31) + '\x00' + char(197 + 31));
    // 32x48 all ink: 1536 cells as six runs of 224 and one of 192.
    const TSymbol full = Glyph('b', Size32x48, [](int, int) { return true; });
    std::string want;
    for (int i = 0; i < 6; ++i)
        want += "\x01\xFF";
    want += std::string("\x01") + char(192 + 31);
    EXPECT_EQ(EncodeRuns(full), want);
    // A blank glyph still covers its cells, so a reader that keeps the previous glyph's cells
    // shows nothing of it.
    const TSymbol blank = Glyph(' ', Size12x18, [](int, int) { return false; });
    EXPECT_EQ(EncodeRuns(blank), std::string("\x00", 1) + char(216 + 31));
}

TEST(FontEncoding, FileReadsBackAsTheSameFonts) {
    TFFont fonts(TFFont::TBlank{}, 1024);
    // Patterns that give long and short runs of both kinds, in every slot of every size.
    for (std::uint16_t size : {Size12x18, Size16x24, Size24x36, Size32x48})
        for (int slot = 1; slot <= 140; ++slot) {
            TSymbol s = Glyph(SymbolTable[static_cast<std::size_t>(slot - 1)], size,
                              [](int, int) { return false; });
            for (int r = 0; r < s.Height; ++r)
                for (int c = 0; c < s.Width; ++c)
                    s.Mask[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
                        (r * 7 + c * slot) % (slot % 5 + 2) == 0 || c < slot % 4;
            fonts.FontOfSize(size)->SetSymbol(s);
        }
    const std::string bytes = EncodeFontFile(fonts);
    EXPECT_EQ(bytes.find('\x1A'), std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "STOP");
    EXPECT_NE(bytes.find('%'), std::string::npos);

    TFFont back(TFFont::TBlank{}, 1024);
    back.LoadFromBytes(bytes);
    for (std::uint16_t size : {Size12x18, Size16x24, Size24x36, Size32x48})
        for (int slot = 1; slot <= 140; ++slot)
            ASSERT_EQ(back.FontOfSize(size)->GetSymbol(slot).Mask,
                      fonts.FontOfSize(size)->GetSymbol(slot).Mask)
                << "slot " << slot << " of size " << size;
}

// The bundled recipes on the fonts installed by scripts/setup.sh.
TEST(BundledFontBuild, EveryGlyphInkedWholeDistinctAndTheSameEachTime) {
    TFFont fonts(TFFont::TBlank{}, 1024);
    TBuildReport report;
    BuildFonts(BundledRecipes(TSourceDirs{}), fonts, report);
    EXPECT_TRUE(report.Warnings.empty()) << report.Warnings.front();

    for (std::uint16_t size : {Size12x18, Size16x24, Size24x36, Size32x48}) {
        const TNFFont& f = *fonts.FontOfSize(size);
        std::set<std::vector<std::vector<std::uint8_t>>> cyrillic, all;
        for (int slot = 1; slot <= 140; ++slot) {
            const TSymbol s = f.GetSymbol(slot);
            if (slot >= 75)
                cyrillic.insert(s.Mask);
            all.insert(s.Mask);
        }
        EXPECT_EQ(cyrillic.size(), 66u) << size;
        // Latin and Cyrillic letters of the same shape (A and А, o and о ...) may share a glyph;
        // nothing else may.
        EXPECT_GE(all.size(), 120u) << size;
        // The underscore marks the answer gaps: it must be there, low in the cell.
        const TSymbol gap = f.GetSymbol(SymbolIndex('_'));
        bool low = false;
        for (int r = gap.Height * 3 / 4; r < gap.Height; ++r)
            for (auto cell : gap.Mask[static_cast<std::size_t>(r)])
                low = low || cell;
        EXPECT_TRUE(low) << size;
    }

    TFFont again(TFFont::TBlank{}, 1024);
    TBuildReport report2;
    BuildFonts(BundledRecipes(TSourceDirs{}), again, report2);
    EXPECT_EQ(EncodeFontFile(again), EncodeFontFile(fonts));
}

TEST(FontTool, CommandLineAndFailures) {
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString() + "/";
    std::string err;

    EXPECT_EQ(Tool({}, &err), 2);
    EXPECT_NE(err.find("Usage"), std::string::npos);
    EXPECT_EQ(Tool({"--bogus"}, &err), 2);
    EXPECT_EQ(Tool({"--output"}, &err), 2);
    EXPECT_EQ(Tool({"--input", "a", "--output", "b"}, &err), 2);
    EXPECT_EQ(Tool({"--help"}), 0);

    // Source fonts that are not there: a failure that names the packages, and no file.
    EXPECT_EQ(Tool({"--output", d + "x.fff", "--terminus", d, "--dejavu", d}, &err), 1);
    EXPECT_NE(err.find("xfonts-terminus"), std::string::npos) << err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(d + "x.fff")));

    // A font file that does not read: named, and no proof drawn from it.
    {
        QFile f(QString::fromStdString(d + "bad.fff"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("header%\n\r\nA\x0C\x01\xFF\x01\xFF%%STOP");
    }
    EXPECT_EQ(Tool({"--input", d + "bad.fff", "--proof", d + "bad.png"}, &err), 1);
    EXPECT_NE(err.find("Out of Symbol.Mask!"), std::string::npos) << err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(d + "bad.png")));
    EXPECT_EQ(Tool({"--input", d + "none.fff", "--proof", d + "p.png"}, &err), 1);

    // An output that cannot be written.
    EXPECT_EQ(Tool({"--output", d + "no/such/dir/Zarvo.fff"}, &err), 1);
    EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
}

TEST(FontTool, BuildsTheFileAndItsProof) {
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString() + "/";
    std::string err;
    ASSERT_EQ(Tool({"--output", d + "Zarvo.fff", "--proof", d + "proof.png"}, &err), 0) << err;
    EXPECT_EQ(err, "");
    QFile f(QString::fromStdString(d + "Zarvo.fff"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    TFFont fonts(TFFont::TBlank{}, 1024);
    fonts.LoadFromBytes(f.readAll().toStdString());

    const QImage proof(QString::fromStdString(d + "proof.png"));
    ASSERT_FALSE(proof.isNull());
    // Wide enough for an exercise line of 51 cells of the largest font.
    EXPECT_GE(proof.width(), 51 * 32);
    EXPECT_GT(proof.height(), 7 * (18 + 24 + 36 + 48));

    // The proof of the file read back is the same picture.
    ASSERT_EQ(Tool({"--input", d + "Zarvo.fff", "--proof", d + "again.png"}, &err), 0) << err;
    EXPECT_EQ(QImage(QString::fromStdString(d + "again.png")), proof);
}
