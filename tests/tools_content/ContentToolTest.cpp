#include "Check.h"
#include "Pack.h"
#include "Source.h"
#include "Stats.h"
#include "Tool.h"

#include "content/FRule.h"
#include "content/Task.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace {

const std::string SampleDir = std::string(ZARVO_SOURCE_DIR) + "/content/exercises/";

struct TRun {
    int Status;
    std::string Out, Err;
};

TRun Tool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int status = RunContentTool(args, out, err);
    return {status, out.str(), err.str()};
}

std::string A(const char* utf8) {
    return platform::Utf8ToAnsi(utf8);
}

bool Mentions(const std::vector<TMessage>& messages, int line, const std::string& part) {
    for (const TMessage& m : messages)
        if (m.Line == line && m.Text.find(part) != std::string::npos)
            return true;
    return false;
}

std::string Texts(const std::vector<TMessage>& messages) {
    std::string s;
    for (const TMessage& m : messages)
        s += std::to_string(m.Line) + ": " + m.Text + "\n";
    return s;
}

const TExample& OnlyExample(const TVariantSource& src) {
    const auto& examples = src.Classes.at(0).Themes.at(0).Variants.at(0).Examples;
    if (examples.empty())
        throw std::out_of_range("no example");
    return examples[0];
}

TVariantSource OneExample(const std::string& line) {
    return ParseVariantSource("Класс: 5\nТема: т\nВариант 1: в\n" + line + "\n");
}

} // namespace

TEST(BundledSet, PacksChecksAndRoundTrips) {
    TSandbox box;
    const std::string ff = box.Root() + "Zarvo.ff", frf = box.Root() + "Zarvo.frf";
    ASSERT_EQ(Tool({"pack", SampleDir + "Zarvo.ff.txt", ff}).Status, 0);
    ASSERT_EQ(Tool({"pack", SampleDir + "Zarvo.frf.txt", frf}).Status, 0);
    // Not even a variant where blind guessing pays.
    TRun clean = Tool({"check", ff});
    EXPECT_EQ(clean.Status, 0) << clean.Out << clean.Err;
    EXPECT_EQ(clean.Out, "");

    for (const char* name : {"Zarvo.ff", "Zarvo.frf"}) {
        const std::string lib = box.Root() + name, src = lib + ".txt", again = lib + ".again";
        ASSERT_EQ(Tool({"unpack", lib, src}).Status, 0) << name;
        ASSERT_EQ(Tool({"pack", src, again}).Status, 0) << name;
        EXPECT_EQ(box.Read(std::string(name) + ".again"), box.Read(name)) << name;
    }
}

// What a school is promised of the bundled set, which `check` alone does not see: themes of at
// least four variants with numbers of their own, ten sentences of two to four check points each,
// a session of 10 to 15 minutes, every check point with a rule and every rule used, names that fit
// the selection list, and no variant where the comma is always the right answer.
TEST(BundledSet, KeepsTheShapeTeachersRelyOn) {
    TSandbox box;
    const std::string ff = box.Root() + "Zarvo.ff", frf = box.Root() + "Zarvo.frf";
    ASSERT_EQ(Tool({"pack", SampleDir + "Zarvo.ff.txt", ff}).Status, 0);
    ASSERT_EQ(Tool({"pack", SampleDir + "Zarvo.frf.txt", frf}).Status, 0);
    TTask task(platform::FromNativePath(ff));
    TFRule rules(platform::FromNativePath(frf));
    EXPECT_EQ(Recorder().Pending(), 0u);
    const TAnswerCounts counts = RightAnswerCounts(task.Classes);
    TAndShare andHabit;

    std::map<std::string, int> used;
    for (const TRuleRecord& r : rules.RuleRecords) {
        used[r.Name] = 0;
        EXPECT_LE(r.Lines.size(), 8u) << platform::AnsiToUtf8(r.Name);
        // The title comes first, in red.
        EXPECT_TRUE(!r.Lines.empty() && r.Lines[0].size() > 2 && r.Lines[0].front() == '0')
            << platform::AnsiToUtf8(r.Name);
    }
    std::set<char> answers;
    std::set<int> kinds;
    ASSERT_FALSE(task.Classes.empty());
    for (const TClass& c : task.Classes) {
        ASSERT_FALSE(c.Themes.empty());
        for (const TTheme& t : c.Themes) {
            const std::string where = platform::AnsiToUtf8(std::string(t.Name));
            EXPECT_GE(t.Variants.size(), 4u) << where;
            // The selection list shows "N. name" in 50 cells; longer names are cut off.
            EXPECT_LE(t.Name.size(), 44u) << where;
            std::set<int> numbers;
            for (const TVariant& v : t.Variants) {
                EXPECT_TRUE(numbers.insert(v.Number).second) << where << " " << v.Number;
                EXPECT_LE(v.Name.size(), 44u) << platform::AnsiToUtf8(std::string(v.Name));
                EXPECT_EQ(v.Examples.size(), 10u) << where << " " << v.Number;
                for (const TExample& e : v.Examples) {
                    EXPECT_GE(e.CheckPoints.size(), 2u)
                        << platform::AnsiToUtf8(std::string(e.Text));
                    EXPECT_LE(e.CheckPoints.size(), 4u)
                        << platform::AnsiToUtf8(std::string(e.Text));
                    for (const TCheckPoint& cp : e.CheckPoints) {
                        const char right = e.Text.at(static_cast<std::size_t>(cp.Position - 1));
                        answers.insert(right);
                        kinds.insert(cp.Kind);
                        auto rule = used.find(std::string(cp.Rule()));
                        ASSERT_NE(rule, used.end()) << platform::AnsiToUtf8(std::string(e.Text));
                        ++rule->second;
                    }
                }
                // A pupil must not learn to put a comma everywhere: always ',' earns at most a 3.
                EXPECT_LE(GuessVariant(TGuess::Comma, v, counts).Mark, 3)
                    << where << " " << v.Number;
                const TAndShare share = AndHabitShare(v);
                andHabit.Points += share.Points;
                andHabit.Right += share.Right;
            }
        }
    }
    // "No sign before и, a comma everywhere else" is no rule a pupil can live on.
    EXPECT_LE(andHabit.Right * 10, andHabit.Points * 6)
        << andHabit.Right << " of " << andHabit.Points;
    for (const auto& [name, count] : used)
        EXPECT_GT(count, 0) << platform::AnsiToUtf8(name);
    // A variant fills a lesson's part of 10 to 15 minutes by the time model teachers see in
    // `stats`: fewer check points leave the pupil idle, more tire a pupil of eleven.
    for (const TStatsRow& row : LibraryStats(task.Classes))
        if (row.Level == TStatsRow::Variant) {
            EXPECT_GE(row.Seconds(), 10 * 60) << platform::AnsiToUtf8(row.VariantName);
            EXPECT_LE(row.Seconds(), 15 * 60) << platform::AnsiToUtf8(row.VariantName);
        }
    for (char c : A("аеиоёъьн ,:-!@"))
        EXPECT_TRUE(answers.count(c)) << platform::AnsiToUtf8(std::string(1, c));
    EXPECT_TRUE(kinds.count(1));
    // Every mark of the rule window appears in the rules.
    std::string all;
    for (const TRuleRecord& r : rules.RuleRecords)
        for (const std::string& l : r.Lines)
            all += l;
    for (char m : std::string("&#16978450+"))
        EXPECT_NE(all.find(m), std::string::npos) << m;
}

TEST(SourceFormat, CheckPointsInPlace) {
    TVariantSource src =
        OneExample("Ж{и|ы ЖИ}ли[,|@ ЗП1] не{_|@ НЕ}знал, кто{-|_|@ Д}то[+@||;] \\[a\\] \\\\");
    ASSERT_TRUE(src.Errors.empty()) << Texts(src.Errors);
    const TExample& e = OnlyExample(src);
    EXPECT_EQ(e.Text, A("Жили, не знал, кто-то@ [a] \\"));
    ASSERT_EQ(e.CheckPoints.size(), 5u);
    const TCheckPoint& letter = e.CheckPoints[0];
    EXPECT_EQ(letter.Position, 2);
    EXPECT_EQ(letter.Kind, 1);
    EXPECT_EQ(letter.Alternative1, A("ы")[0]);
    EXPECT_EQ(letter.Alternative2, 0);
    EXPECT_EQ(letter.Rule(), A("ЖИ"));
    EXPECT_EQ(e.CheckPoints[1].Kind, 0);
    EXPECT_EQ(e.CheckPoints[1].Alternative1, '@');
    EXPECT_EQ(e.CheckPoints[2].Position, 9);
    EXPECT_EQ(e.Text[8], ' ');
    EXPECT_EQ(e.CheckPoints[3].Alternative1, ' ');
    EXPECT_EQ(e.CheckPoints[3].Alternative2, '@');
    const TCheckPoint& second = e.CheckPoints[4];
    EXPECT_EQ(second.Kind, 2);
    EXPECT_EQ(second.Alternative1, 0);
    EXPECT_EQ(second.Alternative2, ';');
    EXPECT_EQ(second.Rule(), "");
}

TEST(SourceFormat, StructureCommentsAndEscapes) {
    TVariantSource src = ParseVariantSource("\xEF\xBB\xBF// comment\r\n"
                                            "  КЛАСС : 5 класс\r\n"
                                            "\r\n"
                                            "тема: Запятые\n"
                                            "Вариант -3 :\n"
                                            "\\Класс: не заголовок\n"
                                            "\\// и не комментарий\n"
                                            "Вариантов было много.\n");
    ASSERT_TRUE(src.Errors.empty()) << Texts(src.Errors);
    const TClass& c = src.Classes.at(0);
    EXPECT_EQ(c.Name, A("5 класс"));
    EXPECT_EQ(c.Line, 2);
    const TVariant& v = c.Themes.at(0).Variants.at(0);
    EXPECT_EQ(v.Number, -3);
    EXPECT_EQ(v.Name, "");
    ASSERT_EQ(v.Examples.size(), 3u);
    EXPECT_EQ(v.Examples[0].Text, A("Класс: не заголовок"));
    EXPECT_EQ(v.Examples[1].Text, "// " + A("и не комментарий"));
    EXPECT_EQ(v.Examples[2].Line, 8);
}

TEST(SourceFormat, MistakesAreReportedByLine) {
    TVariantSource src = ParseVariantSource("Тема: без класса\n"
                                            "Класс: 5\n"
                                            "Вариант 1: без темы\n"
                                            "Тема: т\n"
                                            "Пример до варианта.\n"
                                            "Вариант: без номера\n"
                                            "Вариант 2: в\n"
                                            "Не закрыта[,|@\n"
                                            "Два знака[,;|@]\n"
                                            "Лишняя] скобка\n"
                                            "Четыре[,|;|:|@]\n"
                                            "Пробел в конце{_|@}\n"
                                            "Знак ≠ не из кодовой страницы\n"
                                            "Правило: П\n"
                                            "Хорошая[,|@] строка.\n");
    const std::vector<std::pair<int, std::string>> expected = {
        {1, "before the first"}, {3, "before the first"}, {5, "before the first"},
        {6, "number"},           {8, "not closed"},       {9, "more than one character"},
        {10, "closing"},         {11, "at most two"},     {12, "cannot begin or end"},
        {13, "code page 1251"},  {14, "rule source"}};
    EXPECT_EQ(src.Errors.size(), expected.size()) << Texts(src.Errors);
    for (const auto& [line, part] : expected)
        EXPECT_TRUE(Mentions(src.Errors, line, part)) << line << " " << part;
    EXPECT_EQ(src.Classes.at(0).Themes.at(0).Variants.at(0).Examples.size(), 1u);
}

TEST(SourceFormat, RuleSourceKeepsLinesVerbatim) {
    TRulesSource src = ParseRulesSource("\n"
                                        "// правила\n"
                                        "Правило: ОЧ\n"
                                        "  Отступ сохраняется.\n"
                                        "\n"
                                        "После пустой строки.\n"
                                        "\n"
                                        "\n"
                                        "Правило:\n"
                                        "\\\n"
                                        "\\Правило: это текст\n"
                                        "\n");
    ASSERT_TRUE(src.Errors.empty()) << Texts(src.Errors);
    ASSERT_EQ(src.Rules.size(), 2u);
    EXPECT_EQ(src.Rules[0].Record.Name, A("ОЧ"));
    EXPECT_EQ(src.Rules[0].Record.Lines, (std::vector<std::string>{A("  Отступ сохраняется."), "",
                                                                   A("После пустой строки.")}));
    EXPECT_EQ(src.Rules[0].LineNumbers, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(src.Rules[1].Record.Name, "");
    EXPECT_EQ(src.Rules[1].Record.Lines, (std::vector<std::string>{"", A("Правило: это текст")}));

    TRulesSource bad = ParseRulesSource("Строка без правила\nКласс: 5\n");
    EXPECT_TRUE(Mentions(bad.Errors, 1, "before the first"));
    EXPECT_TRUE(Mentions(bad.Errors, 2, "exercise source"));
}

TEST(Unpack, AwkwardLibrariesComeBackExactly) {
    TSandbox box;
    // Texts that look like keywords, comments or markup, answers that need escaping, a rule
    // whose header would read as the end mark, and blank lines at the end of a rule.
    TLibraryStore store;
    std::vector<TClass> classes(1);
    classes[0].Name = store.Keep(A("Класс: странный"));
    classes[0].Number = 1;
    TTheme& t = classes[0].Themes.emplace_back();
    t.Number = 1;
    TVariant& v = t.Variants.emplace_back();
    v.Number = 0;
    for (const std::string& text : {A("Класс: пример"), std::string("// [x] {y} \\z"),
                                    std::string("Rome_|+"), A("Вариант 3: тоже текст")}) {
        TExample& e = v.Examples.emplace_back();
        e.Text = store.Keep(text);
        if (v.Examples.size() == 3)
            e.CheckPoints = store.KeepCheckPoints(std::vector<TCheckPoint>{
                {5, 3, '|', '+', "]}\\"}, {6, 0, ' ', '_', ""}, {7, 1, 0, '@', "a b"}});
    }
    std::vector<TMessage> errors;
    const std::string packed = PackVariants(classes, errors);
    ASSERT_TRUE(errors.empty()) << Texts(errors);
    const std::string ff = box.Write("odd.ff", packed);

    std::vector<TRuleSource> rules(3);
    rules[0].Record = {"S",
                       {"// not a comment", "\\lead", A("Правило: текст"), "  ", "x", "", " "}};
    rules[1].Record = {"", {}};
    rules[2].Record = {"T", {""}};
    const std::string frfBytes = PackRules(rules, errors);
    ASSERT_TRUE(errors.empty()) << Texts(errors);
    const std::string frf = box.Write("odd.frf", frfBytes);
    TFRule loaded(platform::FromNativePath(frf));
    ASSERT_EQ(loaded.RuleRecords.size(), 3u);
    EXPECT_EQ(loaded.RuleRecords[0].Name, "S");

    for (const std::string& lib : {ff, frf}) {
        ASSERT_EQ(Tool({"unpack", lib, lib + ".txt"}).Status, 0) << lib;
        TRun again = Tool({"pack", lib + ".txt", lib + ".2"});
        ASSERT_EQ(again.Status, 0) << again.Err;
        EXPECT_EQ(box.Read(lib.substr(box.Root().size()) + ".2"),
                  box.Read(lib.substr(box.Root().size())));
    }
}

TEST(Unpack, RefusesWhatASourceCannotHold) {
    TSandbox box;
    std::vector<TClass> classes(1);
    TExample& e = classes[0].Themes.emplace_back().Variants.emplace_back().Examples.emplace_back();
    e.Text = "abc";
    const std::vector<TCheckPoint> points{{3, 0, 'x', 0, ""}, {2, 0, 'y', 0, ""}};
    e.CheckPoints = points;
    std::vector<TMessage> errors;
    const std::string ff = box.Write("order.ff", PackVariants(classes, errors));
    TRun r = Tool({"unpack", ff, box.Root() + "order.txt"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("does not follow"), std::string::npos) << r.Err;
    EXPECT_FALSE(box.Exists("order.txt"));
}

TEST(Pack, RefusesLinesTheReaderWouldNotGiveBack) {
    auto errorsOf = [](const std::string& example) {
        TVariantSource src = OneExample(example);
        std::vector<TMessage> errors = src.Errors;
        PackVariants(src.Classes, errors);
        return Texts(errors);
    };
    EXPECT_NE(errorsOf(std::string(256, 'a')).find("256 bytes"), std::string::npos);
    // A sentence beginning with R is written with a space in front, which takes a byte.
    EXPECT_EQ(errorsOf("R" + std::string(253, 'a')).find("bytes long"), std::string::npos);
    EXPECT_NE(errorsOf("R" + std::string(254, 'a')).find("255 bytes"), std::string::npos);
    EXPECT_NE(errorsOf("a[,|@ ABCDE]").find("longer than 4 bytes"), std::string::npos);
    std::string many;
    for (int i = 0; i < 26; ++i)
        many += "a[,|@]";
    EXPECT_NE(errorsOf(many).find("byte 26"), std::string::npos);
    // Thirteen check points, the first at position 10: the count and that position make CR LF.
    std::string crlf = "123456789[,|@]";
    for (int i = 0; i < 12; ++i)
        crlf += "a[,|@]";
    EXPECT_NE(errorsOf(crlf).find("CR LF"), std::string::npos);
    EXPECT_EQ(errorsOf(crlf.substr(1)), "");

    std::vector<TRuleSource> rules(1);
    rules[0].Record = {"A", {"STOP", "%x", "ok"}};
    rules[0].LineNumbers = {2, 3, 4};
    std::vector<TMessage> errors;
    PackRules(rules, errors);
    EXPECT_TRUE(Mentions(errors, 2, "end mark"));
    EXPECT_TRUE(Mentions(errors, 3, "cannot begin with %"));
    EXPECT_EQ(errors.size(), 2u);
}

TEST(Check, ReportsWhatWouldBreakASession) {
    TSandbox box;
    const std::string rules = box.Write("r.frf.txt", "Правило: ОЧ\n"
                                                     "Текст правила.\n"
                                                     "Правило: ОЧ\n"
                                                     "Второе.\n"
                                                     "Правило: ДЛИННО\n"
                                                     "Дуга &не закрыта.\n"
                                                     "Очень длинная строка правила, которая не "
                                                     "влезет.\n"
                                                     "Знак № не рисуется.\n");
    TRun r = Tool({"check", rules});
    EXPECT_EQ(r.Status, 1);
    for (const char* part : {":3: rule \"ОЧ\" is there twice", ":5: rule \"ДЛИННО\": identifiers",
                             ":6: rule \"ДЛИННО\", line 1: the mark \"&\"", ":7: rule",
                             "characters wide", ":8: rule \"ДЛИННО\", line 3 holds \"№\""})
        EXPECT_NE(r.Out.find(part), std::string::npos) << part << "\n" << r.Out;

    const std::string ff = box.Write("x.ff.txt", "Класс: 5\n"
                                                 "Тема: т\n"
                                                 "Вариант 1: в\n"
                                                 "Всё[,|@ ОЧ] верно.\n"
                                                 "Нет[,|@ ЗП] правила.\n"
                                                 "Кнопки[,|* ОЧ] нет.\n"
                                                 "Пропуск[,|, ОЧ] точки.\n"
                                                 "Дважды[,|;|; ОЧ] одно.\n"
                                                 "Знак «кавычек»[,|@ ОЧ] и @.\n"
                                                 "Без точек ответа.\n"
                                                 "Вариант 2: пустой\n"
                                                 "Тема: без вариантов\n");
    r = Tool({"check", "--rules", rules, ff});
    EXPECT_EQ(r.Status, 1);
    for (const char* part :
         {":5: check point 1 (position 4) names the rule \"ЗП\", which",
          ":6: check point 1 (position 7): the "
          "wrong answer \"*\" has no answer button",
          ":7: check point 1 (position 8) offers no wrong answer",
          ":8: check point 1 (position 7) offers the same wrong answer twice",
          ":9: the sentence holds \"«\"", ":9: the sentence holds \"»\"",
          ":9: the sentence holds \"@\" outside a check point",
          ":10: the sentence has no check point", ":11: variant 2 has no example",
          ":12: theme 2 of class 1 has no variant"})
        EXPECT_NE(r.Out.find(part), std::string::npos) << part << "\n" << r.Out;
    EXPECT_EQ(r.Out.find("x.ff.txt:4:"), std::string::npos) << r.Out;
    // The rules named with --rules get the same findings as when checked alone: the "№" no font
    // draws is not let through because the rules came in beside exercises.
    EXPECT_NE(r.Out.find("r.frf.txt:8: rule \"ДЛИННО\", line 3 holds \"№\""), std::string::npos)
        << r.Out;
    // The rule library beside a source is found by its name.
    box.Write("x.frf.txt", "Правило: ОЧ\nТекст.\n");
    r = Tool({"check", ff});
    EXPECT_NE(r.Out.find("names the rule \"ЗП\""), std::string::npos) << r.Out;
    EXPECT_EQ(r.Err.find("not looked up"), std::string::npos) << r.Err;
}

TEST(Check, PackedLibrariesOutOfOrderAndBroken) {
    TSandbox box;
    std::vector<TClass> classes(1);
    classes[0].Line = 2;
    TTheme& t = classes[0].Themes.emplace_back();
    TVariant& v = t.Variants.emplace_back();
    TExample& e = v.Examples.emplace_back();
    e.Text = "a,b,c";
    const std::vector<TCheckPoint> points{
        {4, 0, '@', 0, ""}, {2, 0, '@', 0, ""}, {9, 0, '@', 0, ""}};
    e.CheckPoints = points;
    std::vector<TMessage> errors;
    std::string bytes = PackVariants(classes, errors);
    const std::string ff = box.Write("order.ff", bytes);
    TRun r = Tool({"check", ff});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Out.find(":6: check point 2 (position 2) does not come after"), std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find(":6: check point 3 (position 9) lies outside its sentence of 5"),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Err.find("not looked up"), std::string::npos) << r.Err;

    // A byte 26 inside and a line the reader rejects.
    std::string broken = bytes;
    broken.insert(broken.find("\r\n") + 2, TFileCover::TransformText("%Xstray") + "\r\n");
    broken += "tail\x1Amore";
    r = Tool({"check", box.Write("broken.ff", broken)});
    EXPECT_NE(r.Out.find(":2: the trainer stops reading here with an input/output error (Wrong "
                         "string found:  %Xstray)"),
              std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("a byte 26 ends the file here; the 4 bytes"), std::string::npos) << r.Out;
    bytes[0] = 'z';
    r = Tool({"check", box.Write("signature.ff", bytes)});
    EXPECT_NE(r.Out.find(":1: the first line is not ZARVOFILE"), std::string::npos) << r.Out;
}

TEST(Dump, PrintsTheTreeOrTheTrainersMessage) {
    TSandbox box;
    const std::string ff = box.Root() + "Zarvo.ff";
    const std::string src = box.Write("Zarvo.ff.txt", "Класс: 5 класс\nТема: Знаки препинания\n"
                                                      "Вариант 1: Однородные члены\n"
                                                      "В саду росли яблони[,|@ ОЧ] груши[@|, ОЧИ] "
                                                      "и сливы.\n");
    ASSERT_EQ(Tool({"pack", src, ff}).Status, 0);
    TRun r = Tool({"dump", ff});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("class 1: 5 класс\n  theme 1: Знаки препинания\n"), std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("      example 1: В саду росли яблони, груши@ и сливы.\n"
                         "        check point 1: position 20, kind 0 (punctuation), right \",\", "
                         "alternatives \"@\" and none, rule \"ОЧ\"\n"),
              std::string::npos)
        << r.Out;

    std::string bytes = box.Read("Zarvo.ff");
    bytes[0] = 'z';
    const std::string bad = box.Write("Bad.ff", bytes);
    r = Tool({"dump", bad});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Input/Output Error: Zarvo The file " + bad + " cannot be opened!"),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(Tool({"dump", box.Root() + "none.ff"}).Status, 1);
    EXPECT_EQ(Tool({"frobnicate"}).Status, 2);
}
