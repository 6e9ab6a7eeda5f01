// The checks that catch what misleads pupils or draws wrongly although the trainer would load it:
// each on a small source that has the fault and on one that does not.

#include "Check.h"
#include "Source.h"
#include "Tool.h"

#include "support/Sandbox.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

std::vector<TMessage> Authoring(const std::string& source) {
    TVariantSource src = ParseVariantSource(source);
    EXPECT_TRUE(src.Errors.empty()) << src.Errors.front().Text;
    std::vector<TMessage> out;
    CheckAuthoring(src.Classes, out);
    return out;
}

std::vector<TMessage> Rules(const std::string& source) {
    TRulesSource src = ParseRulesSource(source);
    EXPECT_TRUE(src.Errors.empty()) << src.Errors.front().Text;
    std::vector<TMessage> out;
    CheckRules(src.Rules, out);
    return out;
}

std::string Texts(const std::vector<TMessage>& messages) {
    std::string s;
    for (const TMessage& m : messages)
        s += std::to_string(m.Line) + (m.Warning ? " warning: " : ": ") + m.Text + "\n";
    return s;
}

const std::string Head = "Класс: 5 класс\nТема: Знаки\n";

TEST(AuthoringChecks, VariantNumbersAreUniqueWithinATheme) {
    const auto twice = Authoring(
        Head + "Вариант 1: а\nОн пришёл[,|@ ОЧ] и сел.\nВариант 1: б\nМы шли[,|@ ОЧ] и пели.\n");
    ASSERT_EQ(twice.size(), 1u) << Texts(twice);
    EXPECT_FALSE(twice[0].Warning);
    EXPECT_EQ(twice[0].Line, 5);
    EXPECT_NE(twice[0].Text.find("line 3"), std::string::npos);
    // The same number in another theme is fine.
    EXPECT_TRUE(Authoring(Head + "Вариант 1: а\nОн пришёл[,|@ ОЧ] и сел.\nТема: Другая\n"
                                 "Вариант 1: б\nМы шли[,|@ ОЧ] и пели.\n")
                    .empty());
}

TEST(AuthoringChecks, AnswersMatchTheKindOfTheirCheckPoint) {
    const auto letters = Authoring(Head + "Вариант 1: а\nВ{о|а БГ}да[а|о БГ] тёплая.\n");
    ASSERT_EQ(letters.size(), 1u) << Texts(letters);
    EXPECT_TRUE(letters[0].Warning);
    EXPECT_NE(letters[0].Text.find("punctuation point"), std::string::npos);
    const auto signs = Authoring(Head + "Вариант 1: а\nОн пришёл{,|; ОЧ} и сел.\n");
    ASSERT_EQ(signs.size(), 1u) << Texts(signs);
    EXPECT_NE(signs[0].Text.find("spelling point"), std::string::npos);
    // Hyphen, apart and together belong to spelling; "@" and a dash to punctuation.
    EXPECT_TRUE(Authoring(Head + "Вариант 1: а\nКто{-|_|@ ДЕФ}то пришёл[,|@ ОЧ] и сел[@|- ТИР] "
                                 "тихо.\n")
                    .empty());
}

TEST(AuthoringChecks, WrongAnswersDifferingOnlyInCaseAreWarned) {
    const auto cased = Authoring(Head + "Вариант 1: а\nМы приехали в {М|м ИС}оскву.\n");
    ASSERT_EQ(cased.size(), 1u) << Texts(cased);
    EXPECT_TRUE(cased[0].Warning);
    EXPECT_NE(cased[0].Text.find("only in case"), std::string::npos);
    EXPECT_TRUE(Authoring(Head + "Вариант 1: а\nМы приехали в {М|Н ИС}оскву.\n").empty());
}

TEST(AuthoringChecks, RulesNoCheckPointNamesAreWarned) {
    TVariantSource src = ParseVariantSource(Head + "Вариант 1: а\nОн пришёл[,|@ ОЧ] и сел.\n");
    TRulesSource rules =
        ParseRulesSource("Правило: ОЧ\nТекст.\n\nПравило: ЛИШ\nНикому не нужно.\n");
    std::vector<TMessage> out;
    CheckRulesUsed(src.Classes, rules.Rules, out);
    ASSERT_EQ(out.size(), 1u) << Texts(out);
    EXPECT_EQ(out[0].Line, 4);
    EXPECT_TRUE(out[0].Warning);
}

TEST(RuleMarkupChecks, ColourSwitchLeftOpenOrInsideASpan) {
    const auto open = Rules("Правило: А\n0Заголовок\nтекст\n");
    ASSERT_EQ(open.size(), 1u) << Texts(open);
    EXPECT_NE(open[0].Text.find("left open"), std::string::npos);
    // Opened on one line and closed on the next is how a long red title is written.
    EXPECT_TRUE(Rules("Правило: А\n0Длинный\nзаголовок0\nтекст\n").empty());
    const auto inside = Rules("Правило: А\nкорень &в0о0д&а\n");
    ASSERT_EQ(inside.size(), 1u) << Texts(inside);
    EXPECT_NE(inside[0].Text.find("inside a marked span"), std::string::npos);
    EXPECT_TRUE(Rules("Правило: А\n0корень0 &вод&а\n").empty());
}

TEST(RuleMarkupChecks, DigitsWrittenAsText) {
    for (const char* line : {"Это правило 5 класса.", "Примерно 10 лет назад.", "В 1945 году.",
                             "Ударение 4 на слоге.", "Пять 44 раз."}) {
        SCOPED_TRACE(line);
        // A number may also leave marks open; the number itself must be named.
        const std::string found = Texts(Rules(std::string("Правило: А\n") + line + "\n"));
        EXPECT_NE(found.find("reads as a number"), std::string::npos) << found;
    }
    // Marks that meet, a closing mark before a blank, the digits 2 and 3, a zero ending.
    for (const char* line : {"7яблоки7, 7груши70 и0", "9Солнце9 село.", "2 и 3 пишутся.",
                             "&стол& 6 6 - нулевое", "в4ода, 5жи5ши"}) {
        SCOPED_TRACE(line);
        const auto found = Rules(std::string("Правило: А\n") + line + "\n");
        EXPECT_TRUE(found.empty()) << Texts(found);
    }
}

TEST(RuleMarkupChecks, RuleTallerThanTheSmallestScreenShows) {
    const int fit = RuleLinesOnSmallestScreen();
    EXPECT_EQ(fit, 11); // 12 x 18 font: pitch 9 + 18 + 3 + 2 = 32 of the 370 pixels
    std::string rule = "Правило: А\n";
    for (int i = 0; i < fit; ++i)
        rule += "строка\n";
    EXPECT_TRUE(Rules(rule).empty());
    const auto tall = Rules(rule + "ещё строка\n");
    ASSERT_EQ(tall.size(), 1u);
    EXPECT_FALSE(tall[0].Warning);
}

TEST(CheckCommand, WarningsFailUnlessAllowed) {
    TSandbox box;
    const std::string ff = box.Write("w.ff.txt", Head + "Вариант 1: а\nВ {М|м ИС}оскве.\n");
    const std::string frf = box.Write("w.frf.txt", "Правило: ИС\nТекст.\n");
    std::ostringstream out, err;
    EXPECT_EQ(RunContentTool({"check", "--rules", frf, ff}, out, err), 1);
    EXPECT_NE(out.str().find(": warning: check point 1"), std::string::npos) << out.str();
    std::ostringstream out2, err2;
    EXPECT_EQ(RunContentTool({"check", "--allow-warnings", "--rules", frf, ff}, out2, err2), 0)
        << out2.str() << err2.str();
    // An error still fails with the switch.
    const std::string bad = box.Write("b.ff.txt", Head + "Вариант 1: а\nВ {М|Н ИС}оскве.\n"
                                                         "Вариант 1: б\nВ {М|Н ИС}оскве.\n");
    std::ostringstream out3, err3;
    EXPECT_EQ(RunContentTool({"check", "--allow-warnings", "--rules", frf, bad}, out3, err3), 1);
}

} // namespace
