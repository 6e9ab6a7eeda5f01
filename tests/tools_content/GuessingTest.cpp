// What blind habits answer and the marks they earn, on sources small enough to count by hand.

#include "Guessing.h"
#include "Source.h"
#include "Stats.h"
#include "Tool.h"

#include "platform/Text.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

const std::string Head = "Класс: 9 класс\nТема: Запятые\n";

TVariantSource Parse(const std::string& variants) {
    TVariantSource src = ParseVariantSource(Head + variants);
    EXPECT_TRUE(src.Errors.empty()) << (src.Errors.empty() ? "" : src.Errors[0].Text);
    return src;
}

const TVariant& FirstVariant(const TVariantSource& src) {
    return src.Classes.at(0).Themes.at(0).Variants.at(0);
}

std::string Choices(TGuess g, const TVariantSource& src) {
    const TAnswerCounts counts = RightAnswerCounts(src.Classes);
    std::string s;
    for (const TExample& e : FirstVariant(src).Examples)
        for (const TCheckPoint& cp : e.CheckPoints) {
            const char c = GuessAnswer(g, e, cp, counts);
            s += c == 0 ? std::string("?") : platform::AnsiToUtf8(std::string(1, c));
        }
    return s;
}

TEST(Guessing, WhatEachHabitAnswers) {
    // "и" after a line break and an empty place, "Или" in capitals, a word that only begins with
    // "и", "да", a point without "," or "@", and a point written together or apart.
    const TVariantSource src =
        Parse("Вариант 1: а\n"
              "Снег[@|, ОЧИ]* и ветер[,|@ ОЧ] иней[@|, ОЧИ] Или дождь[,|@ ОЧ] да град.\n"
              "Итог[:|- БСП] пришла з{и|е БГ}ма не{@|_ НЕ}настная.\n");
    EXPECT_EQ(Choices(TGuess::NoSignBeforeAnd, src), "@,@@???");
    EXPECT_EQ(Choices(TGuess::Comma, src), ",,,,???");
    EXPECT_EQ(Choices(TGuess::NoSign, src), "@@@@??@");
    EXPECT_EQ(Choices(TGuess::FirstShown, src), "???????");
}

TEST(Guessing, MostFrequentAnswerIsLearntOverTheLibraryAndTiesIgnoreTheKey) {
    // "е" is right three times, "и" once: "е" wins wherever it is offered, also where it is wrong.
    // "о" and "а" are right once each: the tie goes to the lower byte ("а"), right or not.
    const TVariantSource src = Parse("Вариант 1: а\n"
                                     "Б{е|и БГ}рёза, л{е|и БГ}са, м{и|е БГ}ры.\n"
                                     "В{о|а БГ}да, т{е|и БГ}пло.\n"
                                     "Вариант 2: б\n"
                                     "Тр{а|о БГ}ва.\n");
    EXPECT_EQ(Choices(TGuess::Frequent, src), "еееае");
    const TAnswerCounts counts = RightAnswerCounts(src.Classes);
    EXPECT_EQ(counts.at(platform::Utf8ToAnsi("е")[0]), 3);
}

TEST(Guessing, MarksFollowTheTrainersRules) {
    const TAnswerCounts none;
    // Five commas: "," makes no mistake, "@" five (one a point: two buttons), a random button
    // gets all five right in 1 session of 32, so its 5 is too rare and its 4 (at most four
    // mistakes, 31 of 32) sure.
    const TVariantSource five = Parse("Вариант 1: а\n"
                                      "А[,|@ ОЧ] б[,|@ ОЧ] в[,|@ ОЧ] г[,|@ ОЧ] д[,|@ ОЧ] е.\n");
    const TVariant& v = FirstVariant(five);
    EXPECT_EQ(GuessVariant(TGuess::Comma, v, none).Mark, 5);
    const TGuessResult noSign = GuessVariant(TGuess::NoSign, v, none);
    EXPECT_EQ(noSign.Mark, 3);
    EXPECT_DOUBLE_EQ(noSign.Punctuation, 5);
    EXPECT_DOUBLE_EQ(noSign.PaysChance, 0);
    const TGuessResult first = GuessVariant(TGuess::FirstShown, v, none);
    EXPECT_EQ(first.Mark, 4);
    EXPECT_NEAR(first.PaysChance, 31.0 / 32, 1e-12);
    EXPECT_DOUBLE_EQ(first.Punctuation, 2.5);

    // Three buttons: a wrong first answer is followed by a random one of the two left, so each
    // wrong point costs one or two mistakes, 1.5 to expect. Four such points give 4 to 8
    // mistakes; the mark is the best one reached in at least one session in ten: 4 at exactly
    // four mistakes has 1/16 and 3 (at most 7) has 15/16.
    const TVariantSource three = Parse("Вариант 1: а\n"
                                       "А[,|@|: ОЧ] б[,|@|: ОЧ] в[,|@|: ОЧ] г[,|@|: ОЧ] д.\n");
    const TGuessResult wrong = GuessVariant(TGuess::NoSign, FirstVariant(three), none);
    EXPECT_DOUBLE_EQ(wrong.Punctuation, 6);
    EXPECT_NEAR(wrong.PaysChance, 1.0 / 16, 1e-12);
    EXPECT_EQ(wrong.Mark, 3);

    // Spelling counts by its own limits: three spelling points answered at random (the habit
    // "," has no answer there) give no mistake in 1 of 8 sessions: a 5 one time in ten. A pupil
    // who knows the spelling gets the commas alone: 5 too. With "@" the commas fail it: 3 at
    // best, and 3 at best with the spelling known.
    const TVariantSource mixed = Parse("Вариант 1: а\n"
                                       "В{о|а БГ}да[,|@ ОЧ] л{е|и БГ}са[,|@ ОЧ] т{е|и БГ}пло.\n"
                                       "А[,|@ ОЧ] б[,|@ ОЧ] в[,|@ ОЧ] г.\n");
    const TGuessResult comma = GuessVariant(TGuess::Comma, FirstVariant(mixed), none);
    EXPECT_DOUBLE_EQ(comma.Spelling, 1.5);
    EXPECT_DOUBLE_EQ(comma.Punctuation, 0);
    EXPECT_EQ(comma.Mark, 5);
    EXPECT_EQ(comma.PunctuationMark, 5);
    const TGuessResult dot = GuessVariant(TGuess::NoSign, FirstVariant(mixed), none);
    EXPECT_EQ(dot.Mark, 3);
    EXPECT_EQ(dot.PunctuationMark, 3);
    // Without punctuation points there is no punctuation mark.
    const TVariantSource spelling = Parse("Вариант 1: а\nВ{о|а БГ}да.\n");
    EXPECT_EQ(GuessVariant(TGuess::Comma, FirstVariant(spelling), none).PunctuationMark, 0);
}

TEST(Guessing, AndShareCountsOnlyCommaOrNothingPoints) {
    const TVariantSource src =
        Parse("Вариант 1: а\n"
              "Лес[@|, ОЧИ] и поле[,|@ ССП] и река[,|@ ОЧ] озеро[:|, БСП] всё наше.\n"
              "Он пришёл[@|,|: ОЧИ] и ушёл[,|@ ОЧ] т{е|и БГ}пло.\n");
    const TAndShare share = AndHabitShare(FirstVariant(src));
    EXPECT_EQ(share.Points, 5);
    EXPECT_EQ(share.Right, 4); // all but the comma of a compound sentence before "и"
}

TEST(Guessing, StatsAndCheckReportVariantsWhereGuessingPays) {
    // Twenty points, half of them without a sign: too many for a random button to pay.
    const std::string source = Head + "Вариант 1: даром\n"
                                      "А[,|@ ОЧ] б[,|@ ОЧ] в[,|@ ОЧ] г[,|@ ОЧ] д[,|@ ОЧ] е.\n"
                                      "Вариант 2: честно\n"
                                      "А[,|@ ОЧ] б[@|, ОЧ] в[,|@ ОЧ] г[@|, ОЧ] д[,|@ ОЧ] е[@|, ОЧ] "
                                      "ж[,|@ ОЧ] з[@|, ОЧ] к[,|@ ОЧ] л[@|, ОЧ] м.\n"
                                      "Н[,|@ ОЧ] о[@|, ОЧ] п[,|@ ОЧ] р[@|, ОЧ] с[,|@ ОЧ] т[@|, ОЧ] "
                                      "у[,|@ ОЧ] ф[@|, ОЧ] х[,|@ ОЧ] ц[@|, ОЧ] ч.\n";
    TSandbox box;
    const std::string ff = box.Write("g.ff.txt", source);
    const std::string frf = box.Write("g.frf.txt", "Правило: ОЧ\nТекст.\n");

    const auto rows = LibraryStats(ParseVariantSource(source).Classes);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].GuessMarks[1], 5); // "," in the first variant
    EXPECT_EQ(rows[0].PayingVariants, 1);
    EXPECT_EQ(rows[1].PayingVariants, 0);
    EXPECT_EQ(*std::max_element(rows[1].GuessMarks.begin(), rows[1].GuessMarks.end()), 3);
    EXPECT_EQ(rows[4].PayingVariants, 1);
    EXPECT_EQ(rows[4].Variants, 2);
    EXPECT_EQ(rows[4].GuessMarks[1], 5); // the worst over the variants
    EXPECT_EQ(rows[4].And.Points, 25);
    EXPECT_EQ(rows[4].And.Right, 15);
    const std::string text = StatsText(rows);
    EXPECT_NE(text.find("right at 15 of 25"), std::string::npos) << text;
    EXPECT_NE(text.find("pays in 1 of 2 variants"), std::string::npos) << text;

    std::ostringstream out, err;
    EXPECT_EQ(RunContentTool({"check", "--rules", frf, ff}, out, err), 1);
    EXPECT_NE(out.str().find("g.ff.txt:3: warning: guessing pays in variant 1: "),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("\"always ','\" earns 5 (0 punctuation, 0 spelling mistakes)"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("\"always the first button\" earns 4 or 5 in 97% of sessions"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(out.str().find(":5: "), std::string::npos) << out.str();
    // The build reports it without failing while the set is rebalanced; other warnings still
    // fail.
    std::ostringstream out2, err2;
    EXPECT_EQ(RunContentTool({"check", "--allow-guessing", "--rules", frf, ff}, out2, err2), 0);
    EXPECT_EQ(out2.str(), out.str());
    const std::string cased = box.Write("c.ff.txt", source + "Вариант 3: в\nВ {М|м ОЧ}оскве.\n");
    std::ostringstream out3, err3;
    EXPECT_EQ(RunContentTool({"check", "--allow-guessing", "--rules", frf, cased}, out3, err3), 1);
}

} // namespace
