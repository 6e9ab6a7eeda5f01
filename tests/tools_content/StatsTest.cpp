// The figures a teacher sizes variants by, on a source small enough to count by hand, and the
// totals of the bundled set adding up.

#include "Stats.h"
#include "Source.h"
#include "Tool.h"

#include "platform/Text.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string Bundled = std::string(ZARVO_SOURCE_DIR) + "/content/exercises/Zarvo.ff.txt";

TEST(Stats, CountsAVariantByHand) {
    const TVariantSource src =
        ParseVariantSource("Класс: 5 класс\nТема: Запятые\nВариант 3: Однородные\n"
                           "Мы пели[,|@ ОЧ] плясали[@|, ОЧИ] и смеялись.\n"
                           "В{о|а БГ}да[,|@ ОЧ] песок и камни.\n"
                           "Вариант 4: Ещё\nКто{-|@ ДЕФ}то пришёл.\n");
    ASSERT_TRUE(src.Errors.empty());
    const auto rows = LibraryStats(src.Classes);
    ASSERT_EQ(rows.size(), 5u); // two variants, the theme, the class, the total
    const TStatsRow& v = rows[0];
    EXPECT_EQ(v.Level, TStatsRow::Variant);
    EXPECT_EQ(v.VariantName, platform::Utf8ToAnsi("3. Однородные"));
    EXPECT_EQ(v.Sentences, 2);
    EXPECT_EQ(v.CheckPoints, 4);
    EXPECT_EQ(v.Punctuation, 3);
    EXPECT_EQ(v.Spelling, 1);
    EXPECT_EQ(v.NothingRight, 1);
    EXPECT_EQ(v.RightAnswers.at(','), 2);
    EXPECT_EQ(v.RightAnswers.at('@'), 1);
    EXPECT_EQ(v.Rules.at(platform::Utf8ToAnsi("ОЧ")), 2);
    EXPECT_EQ(v.Seconds(), 4 * 15 + 2 * 10);
    EXPECT_EQ(rows[2].Level, TStatsRow::Theme);
    EXPECT_EQ(rows[2].CheckPoints, 5);
    EXPECT_EQ(rows[4].Level, TStatsRow::Total);
    EXPECT_EQ(rows[4].Sentences, 3);
    EXPECT_EQ(rows[4].RightAnswers.at('-'), 1);

    const std::string text = StatsText(rows);
    EXPECT_NE(text.find("3. Однородные"), std::string::npos) << text;
    EXPECT_NE(text.find("33%"), std::string::npos) << "one \"@\" of three punctuation points";
    const std::string csv = StatsCsv(rows);
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "level,class,theme,variant,sentences,check_points,punctuation,spelling,"
              "nothing_right,nothing_share,minutes,right_answers,rules,guess_first,guess_comma,"
              "guess_nosign,guess_and,guess_frequent,paying_variants,punctuation_variants,"
              "punctuation_paying,and_points,and_right");
    EXPECT_NE(csv.find("variant,5 класс,1. Запятые,3. Однородные,2,4,3,1,1,0.333,1.3,"),
              std::string::npos)
        << csv;
}

TEST(Stats, BundledSetAddsUp) {
    std::ostringstream out, err;
    ASSERT_EQ(RunContentTool({"stats", "--csv", Bundled}, out, err), 0) << err.str();
    int variants = 0, sentences = 0, points = 0, totalSentences = -1, totalPoints = -1;
    std::istringstream lines(out.str());
    std::string line;
    std::getline(lines, line); // header
    while (std::getline(lines, line)) {
        std::vector<std::string> f(1);
        bool quoted = false;
        for (char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                f.emplace_back();
            else if (c != '\r')
                f.back() += c;
        }
        ASSERT_GE(f.size(), 7u) << line;
        if (f[0] == "variant") {
            ++variants;
            sentences += std::stoi(f[4]);
            points += std::stoi(f[5]);
        } else if (f[0] == "total") {
            totalSentences = std::stoi(f[4]);
            totalPoints = std::stoi(f[5]);
        }
    }
    EXPECT_GT(variants, 0);
    EXPECT_EQ(totalSentences, sentences);
    EXPECT_EQ(totalPoints, points);
}

} // namespace
