// A school's results file of many years, read piece by piece: the same sessions as from the whole
// text, lines of megabytes that cost only what the report shows of them, and dates read by hand.

#include "Results.h"
#include "Tool.h"

#include "support/Sandbox.h"

#include <QDateTime>
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string LanguageFile = std::string(ZARVO_CONTENT_BUILD_DIR) + "Zarvo.flt";
const std::string Caption = "The \"Zarvo\" Results file\r\n";

std::string Block(const std::string& date, const std::string& pupil, const std::string& variant,
                  const std::vector<std::string>& spelling, const std::string& last = "Mark: 4") {
    std::string b = "\r\n" + date + "\r\nPupil: " + pupil + "\r\nClass: 5a\r\nTheme: Roots" +
                    "\r\nVariant: " + variant + "\r\nNumber of questions: 20" +
                    "\r\nNumber of mistakes: " + std::to_string(spelling.size()) + "\r\n";
    if (spelling.empty()) {
        b += " including - no spelling mistakes\r\n";
    } else {
        b += " including - spelling mistakes: " + std::to_string(spelling.size()) + ":\r\n";
        for (const auto& r : spelling)
            b += std::string(32, ' ') + r + "\r\n";
    }
    return b + " including - no punctuation mistakes\r\nPrompts: 0\r\n" + last + "\r\n";
}

std::size_t LongestRun(const std::string& text, char c) {
    std::size_t longest = 0, run = 0;
    for (char x : text) {
        run = x == c ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

class LargeResults : public testing::Test {
protected:
    std::vector<TResultLabels> Labels = LoadResultLabels(LanguageFile);
    TSandbox Box;
};

TEST_F(LargeResults, AFileReadInPiecesGivesWhatItsWholeTextGives) {
    // Enough blocks for many reads, with line ends falling anywhere in them, one of them torn,
    // the same block twice, no line end at the very end, and LF line ends in a part.
    std::string text = Caption;
    for (int i = 0; i < 3000; ++i) {
        std::string b = Block("08.12.2026 09:" + std::to_string(10 + i % 50) + ":00",
                              "Pupil " + std::to_string(i % 97), std::to_string(i % 7),
                              std::vector<std::string>(static_cast<std::size_t>(i % 3), "LAG"));
        if (i == 1500)
            b = b.substr(0, b.size() / 2) + "\r\n";
        if (i > 2000 && i < 2100)
            b.erase(std::remove(b.begin(), b.end(), '\r'), b.end());
        text += b;
    }
    text += Block("09.12.2026", "Last", "1", {}) + Block("09.12.2026", "Last", "1", {});
    text.resize(text.size() - 2);

    const std::string file = Box.Write("lab.rez", text);
    TReadResult whole, pieces;
    // The name is a copy that ends with the call: the sessions keep their own.
    ParseResults(text, std::string(file), Labels, whole);
    std::string error;
    bool anyText = false;
    ASSERT_TRUE(ReadResults(file, Labels, pieces, error, anyText)) << error;
    EXPECT_TRUE(anyText);
    EXPECT_EQ(pieces.Warnings, whole.Warnings);
    EXPECT_EQ(whole.Warnings.size(), 2u) << testing::PrintToString(whole.Warnings);
    ASSERT_EQ(pieces.Sessions.size(), whole.Sessions.size());
    EXPECT_EQ(whole.Sessions.size(), 3000u);
    for (std::size_t i = 0; i < whole.Sessions.size(); ++i) {
        const TSession &a = whole.Sessions[i], &b = pieces.Sessions[i];
        ASSERT_EQ(a.Line, b.Line) << i;
        EXPECT_EQ(a.DateText, b.DateText);
        EXPECT_EQ(a.Date, b.Date);
        EXPECT_EQ(a.Pupil, b.Pupil);
        EXPECT_EQ(a.Variant, b.Variant);
        EXPECT_EQ(a.SpellingRules, b.SpellingRules);
        EXPECT_EQ(a.Mark, b.Mark);
    }
    EXPECT_EQ(whole.Sessions.front().File, file);
    EXPECT_EQ(pieces.Sessions.front().Language, "English");
    EXPECT_EQ(whole.Sessions.back().Pupil, "Last");
    EXPECT_EQ(whole.Sessions.back().Mark, 4) << "the last line has no line end";

    // Read again, every block is known: a copied file adds nothing.
    ASSERT_TRUE(ReadResults(file, Labels, pieces, error, anyText));
    EXPECT_EQ(pieces.Sessions.size(), whole.Sessions.size());

    ASSERT_TRUE(ReadResults(Box.Write("blank.rez", " \r\n\t\r\n"), Labels, pieces, error, anyText));
    EXPECT_FALSE(anyText);
}

TEST_F(LargeResults, LinesOfMegabytesCostOnlyWhatIsShown) {
    const std::size_t huge = 3 * 1024 * 1024;
    const std::string name(huge, 'Z');
    std::string text = Caption + Block("08.12.2026 09:00:00", name, "1", {"LAG"});
    // A date line with a long tail of blanks is still a date; a line of blanks only is a blank
    // line; a long stray line costs one warning and the block after it is read.
    text += Block("08.12.2026 09:10:00" + std::string(100000, ' '), "Boris", "1", {}) +
            std::string(200000, ' ') + "\r\n" + std::string(150000, 'Y') + "\r\n" +
            Block("08.12.2026 09:20:00", "Vera", std::string(100000, 'Z'), {"OCH"}) +
            Block("08.12.2026 09:30:00" + std::string(100000, ' ') + "x", "Gleb", "1", {});
    const std::string file = Box.Write("lab.rez", text);

    TReadResult read;
    std::string error;
    bool anyText = false;
    ASSERT_TRUE(ReadResults(file, Labels, read, error, anyText)) << error;
    ASSERT_EQ(read.Sessions.size(), 4u) << testing::PrintToString(read.Warnings);
    EXPECT_EQ(read.Sessions[0].Pupil, std::string(MaxResultsFieldSize, 'Z'));
    EXPECT_EQ(read.Sessions[1].Date, QDateTime(QDate(2026, 12, 8), QTime(9, 10)));
    EXPECT_EQ(read.Sessions[1].DateText.size(), MaxResultsFieldSize);
    EXPECT_EQ(read.Sessions[2].Variant.size(), MaxResultsFieldSize);
    EXPECT_FALSE(read.Sessions[3].Date) << "a date line that goes on with text is no date";
    ASSERT_EQ(read.Warnings.size(), 5u) << testing::PrintToString(read.Warnings);
    EXPECT_NE(read.Warnings[0].find("longer than 255 bytes"), std::string::npos);
    EXPECT_NE(read.Warnings[2].find("a line that fits no results block"), std::string::npos);

    // Every output shows the name cut, not copied into each of its tables.
    std::ostringstream out, err;
    const std::string html = Box.Root() + "report.html", csv = Box.Root() + "csv";
    ASSERT_EQ(RunReportTool({"--html", html, "--csv", csv, file}, "/nonexistent", out, err), 0)
        << err.str();
    const std::string outputs[] = {out.str(), Box.Read("report.html"), Box.Read("csv/sessions.csv"),
                                   Box.Read("csv/rules.csv")};
    std::size_t total = 0;
    for (const std::string& o : outputs) {
        EXPECT_LE(LongestRun(o, 'Z'), MaxResultsFieldSize);
        total += o.size();
    }
    EXPECT_LT(total, 64u * 1024) << "the report holds no copy of the long fields";
}

TEST(ResultsDateByHand, NearMissesOfTheCommonFormatsAreNoDates) {
    EXPECT_EQ(ParseResultsDate(" 2026.12.8\t"), QDateTime(QDate(2026, 12, 8), QTime(0, 0)));
    EXPECT_EQ(ParseResultsDate("8 dec 2026"), QDateTime(QDate(2026, 12, 8), QTime(0, 0)));
    EXPECT_EQ(ParseResultsDate("8-12-2026  9:05:07 "),
              QDateTime(QDate(2026, 12, 8), QTime(9, 5, 7)));
    for (const char* wrong :
         {"08.12/2026", "08.12.2026 10:155", "08.12.2026 10:15:0",
          "08.12.2026 10:15:", "08.12.2026x", "08.12.2026 x", "1.2.3", "12345.1.1", "8 Dec 20266",
          "8  Dec 2026", "8 Dex 2026", "08.12.2026 100:15", "08.123.2026", ""}) {
        SCOPED_TRACE(wrong);
        EXPECT_FALSE(ParseResultsDate(wrong));
    }
    // Read as a C string: what follows a NUL byte is not looked at.
    EXPECT_EQ(ParseResultsDate(std::string("08.12.2026\0junk", 15)),
              QDateTime(QDate(2026, 12, 8), QTime(0, 0)));
}

} // namespace
