// Reading results files back: the trainer's own blocks in both languages, and every kind of damage
// a shared file in a school lab meets.

#include "Results.h"
#include "Summary.h"
#include "Tool.h"

#include "app/Strings.h"
#include "platform/Text.h"
#include "session/Pupil.h"
#include "support/ResultLabels.h"
#include "support/Sandbox.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

const std::string LanguageFile = std::string(ZARVO_CONTENT_BUILD_DIR) + "Zarvo.flt";

std::string A(const char* utf8) {
    return platform::Utf8ToAnsi(utf8);
}

struct TWritten {
    TFPupil Pupil;
    bool Interrupted;
};

class ResultsReadTest : public testing::Test {
protected:
    ~ResultsReadTest() override { ClearInterfaceStrings(); }
    std::vector<TResultLabels> Labels = LoadResultLabels(LanguageFile);
};

TEST_F(ResultsReadTest, LanguageFileGivesBothLabelSets) {
    ASSERT_EQ(Labels.size(), 2u);
    EXPECT_EQ(Labels[0].Language, "Russian");
    EXPECT_EQ(Labels[0].Pupil, A("Ученик:"));
    EXPECT_EQ(Labels[1].Pupil, "Pupil:");
    // Without a language file the built-in labels of both languages are known, the same as the
    // bundled file's: a Russian lab's file must not read as "no sessions".
    const auto fallback = LoadResultLabels("/nonexistent/Zarvo.flt");
    ASSERT_EQ(fallback.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(fallback[i].Language);
        EXPECT_EQ(fallback[i].Language, Labels[i].Language);
        for (auto field :
             {&TResultLabels::Caption, &TResultLabels::Pupil, &TResultLabels::Class,
              &TResultLabels::Theme, &TResultLabels::Variant, &TResultLabels::Questions,
              &TResultLabels::Mistakes, &TResultLabels::SpellingMistakes,
              &TResultLabels::NoSpellingMistakes, &TResultLabels::PunctuationMistakes,
              &TResultLabels::NoPunctuationMistakes, &TResultLabels::Prompts,
              &TResultLabels::Broken, &TResultLabels::Mark, &TResultLabels::NoMark})
            EXPECT_EQ(fallback[i].*field, Labels[i].*field);
    }
}

TEST_F(ResultsReadTest, TrainerBlocksReadBackInBothLanguages) {
    for (const auto& labels : Labels) {
        SCOPED_TRACE(labels.Language);
        UseResultLabels(labels);
        std::vector<TWritten> written;
        written.push_back(
            {TFPupil(A("Иванов Петя"), A("5 класс"), A("5.1. Корни"), A("1. Лаг")), false});
        written.push_back({TFPupil("Anna", A("5 класс"), A("5.1. Корни"), A("2. Раст")), false});
        written.back().Pupil.AddSpellingMistake(A("ЛАГ"));
        written.back().Pupil.AddSpellingMistake(A("ЛАГ"));
        written.back().Pupil.AddPunctuationMistake(A("ОЧ"));
        written.push_back({TFPupil("Boris", "6", "T", "V"), false});
        for (int i = 0; i < 3; ++i)
            written.back().Pupil.AddPrompt();
        written.push_back({TFPupil("Vera", "6", "T", "V"), true});
        written.back().Pupil.AddPunctuationMistake("X");

        std::string file = strResultFileCaption + "\r\n";
        int q = 7;
        for (auto& w : written) {
            for (int i = 0; i < q; ++i)
                w.Pupil.AddQuestion();
            q += 3;
            file += w.Pupil.ResultsBlock(QDateTime(QDate(2026, 12, 8), QTime(10, 15, 2)),
                                         w.Interrupted);
        }
        TReadResult read;
        ParseResults(file, "lab.rez", Labels, read);
        EXPECT_TRUE(read.Warnings.empty()) << read.Warnings.front();
        ASSERT_EQ(read.Sessions.size(), written.size());
        for (std::size_t i = 0; i < written.size(); ++i) {
            const TSession& s = read.Sessions[i];
            const TFPupil& p = written[i].Pupil;
            EXPECT_EQ(s.Language, labels.Language);
            EXPECT_EQ(s.Pupil, p.GetName());
            EXPECT_EQ(s.Class, p.GetClass());
            EXPECT_EQ(s.Theme, p.GetTheme());
            EXPECT_EQ(s.Variant, p.GetVariant());
            EXPECT_EQ(s.Questions, p.QuestionsCount());
            EXPECT_EQ(s.Mistakes, p.MistakesCount());
            EXPECT_EQ(s.SpellingRules, p.SpellingMistakes);
            EXPECT_EQ(s.PunctuationRules, p.PunctuationMistakes);
            EXPECT_EQ(s.Prompts, p.PromptsCount());
            EXPECT_EQ(s.Interrupted, written[i].Interrupted);
            EXPECT_EQ(s.Mark, written[i].Interrupted ? 0 : p.GetMark());
            ASSERT_TRUE(s.Date.has_value()) << s.DateText;
            EXPECT_EQ(s.Date->date(), QDate(2026, 12, 8));
        }
        EXPECT_EQ(read.Sessions[0].Mark, 5);
        EXPECT_EQ(read.Sessions[1].Mark, 4);
        EXPECT_EQ(read.Sessions[2].Mark, 0); // three prompts: no mark
    }
}

std::string Block(const std::string& date, const std::string& pupil, const std::string& cls,
                  const std::string& variant, const std::vector<std::string>& spelling,
                  const std::vector<std::string>& punctuation, const std::string& last) {
    std::string b =
        "\r\n" + date + "\r\nPupil: " + pupil + "\r\nClass: " + cls +
        "\r\nTheme: Roots\r\nVariant: " + variant + "\r\nNumber of questions: 20" +
        "\r\nNumber of mistakes: " + std::to_string(spelling.size() + punctuation.size()) + "\r\n";
    auto list = [&](const std::vector<std::string>& rules, const std::string& none,
                    const std::string& heading) {
        if (rules.empty()) {
            b += " " + none + "\r\n";
            return;
        }
        b += " " + heading + " " + std::to_string(rules.size()) + ":\r\n";
        for (const auto& r : rules)
            b += std::string(1 + heading.size(), ' ') + r + "\r\n";
    };
    list(spelling, "including - no spelling mistakes", "including - spelling mistakes:");
    list(punctuation, "including - no punctuation mistakes", "including - punctuation mistakes:");
    return b + "Prompts: 0\r\n" + last + "\r\n";
}

const std::string Caption = "The \"Zarvo\" Results file\r\n";

TEST_F(ResultsReadTest, WeakSpotsCountMistakesPupilsAndSessions) {
    const std::string file =
        Caption + Block("08.12.2026 09:00:00", "Anna", "5a", "1", {"LAG", "LAG"}, {}, "Mark: 4") +
        Block("08.12.2026 09:20:00", "Boris", "5a", "1", {"LAG"}, {"OCH"}, "Mark: 4") +
        Block("09.12.2026 09:00:00", " anna ", "5A", "2", {}, {"OCH"}, "Mark: 4") +
        Block("09.12.2026 09:30:00", "Vera", "5a", "2", {}, {}, "Mark: 5") +
        Block("09.12.2026 09:40:00", "Vera", "5a", "2", {"ROOT"}, {}, "Interrupted by user!");
    TReadResult read;
    ParseResults(file, "f", Labels, read);
    ASSERT_TRUE(read.Warnings.empty()) << read.Warnings.front();
    const TSummary summary = Summarise(read.Sessions, {{"LAG", "Roots lag and lozh"}});
    EXPECT_EQ(summary.SessionCount, 5);
    EXPECT_EQ(summary.PupilCount, 3) << "Anna and ' anna ' of 5a/5A are one pupil";
    ASSERT_EQ(summary.Classes.size(), 1u);
    const auto& spots = summary.Classes[0].WeakSpots;
    ASSERT_EQ(spots.size(), 3u);
    EXPECT_EQ(spots[0].Rule, "LAG");
    EXPECT_EQ(spots[0].Mistakes, 3);
    EXPECT_EQ(spots[0].Pupils, 2);
    EXPECT_EQ(spots[0].Sessions, 2);
    EXPECT_DOUBLE_EQ(spots[0].Share, 0.4);
    EXPECT_EQ(spots[0].Title, "Roots lag and lozh");
    EXPECT_EQ(spots[1].Rule, "OCH");
    EXPECT_EQ(spots[1].Mistakes, 2);
    EXPECT_EQ(spots[1].Pupils, 2);
    EXPECT_EQ(spots[2].Rule, "ROOT");
    EXPECT_EQ(spots[2].Title, "");

    const auto& theme = summary.Classes[0].Themes.at(0);
    ASSERT_EQ(theme.Variants.size(), 2u);
    EXPECT_EQ(theme.Variants[0].Variant, "1");
    EXPECT_DOUBLE_EQ(theme.Variants[0].Average, 4.0);
    EXPECT_EQ(theme.Variants[1].Sessions, 3);
    EXPECT_EQ(theme.Variants[1].Marked, 2) << "the interrupted session has no mark";
    EXPECT_DOUBLE_EQ(theme.Variants[1].Average, 4.5);
    ASSERT_EQ(theme.Pupils.size(), 3u);
    EXPECT_EQ(theme.Pupils[0].Name, "Anna");
    EXPECT_EQ(theme.Pupils[0].Sessions.size(), 2u);
}

TEST_F(ResultsReadTest, DamagedFilesAreReadAsFarAsTheyGoAndNothingTwice) {
    const std::string a = Block("08.12.2026 09:00:00", "Anna", "5", "1", {"LAG"}, {}, "Mark: 4");
    const std::string b = Block("08.12.2026 09:10:00", "Boris", "5", "1", {}, {}, "Mark: 5");
    struct TCase {
        const char* Name;
        std::string Text;
        std::size_t Sessions;
        std::size_t Warnings;
    };
    const std::string cutInList = a.substr(0, a.find("LAG"));
    const TCase cases[] = {
        {"cut at the end", Caption + a + b.substr(0, b.size() / 2), 1, 1},
        {"cut in a mistake list, then a whole block", Caption + cutInList + "\r\n" + b, 1, 1},
        {"files joined with cat", Caption + a + Caption + b, 2, 1},
        {"the same file twice", Caption + a + b + Caption + a + b, 2, 3},
        {"stray lines between blocks", Caption + a + "hello\r\nworld\r\n" + b, 2, 1},
        {"LF line ends",
         [&] {
             std::string t = Caption + a + b;
             std::string o;
             for (char c : t)
                 if (c != '\r')
                     o += c;
             return o;
         }(),
         2, 0},
        {"a mark out of range", Caption + Block("1.1.2026", "X", "5", "1", {}, {}, "Mark: 9") + b,
         1, 1},
        {"no caption, a block without its date line",
         a + std::string("Pupil: Y\r\nClass: 5\r\n") + b, 2, 1},
        {"empty file", "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TReadResult read;
        ParseResults(c.Text, "lab.rez", Labels, read);
        EXPECT_EQ(read.Sessions.size(), c.Sessions);
        EXPECT_EQ(read.Warnings.size(), c.Warnings) << testing::PrintToString(read.Warnings);
        for (const auto& w : read.Warnings)
            EXPECT_EQ(w.rfind("lab.rez:", 0), 0u) << w;
    }
    // A block read from two copies of a file is counted once.
    TReadResult read;
    ParseResults(Caption + a, "one.rez", Labels, read);
    ParseResults(Caption + a + b, "two.rez", Labels, read);
    EXPECT_EQ(read.Sessions.size(), 2u);
}

TEST_F(ResultsReadTest, MistakeCountThatDisagreesWithItsListIsWarnedAndTheListUsed) {
    std::string a = Block("08.12.2026", "Anna", "5", "1", {"LAG"}, {}, "Mark: 4");
    a.replace(a.find("mistakes: 1"), 11, "mistakes: 7");
    TReadResult read;
    ParseResults(a, "f", Labels, read);
    ASSERT_EQ(read.Sessions.size(), 1u);
    EXPECT_EQ(read.Sessions[0].Mistakes, 1);
    EXPECT_EQ(read.Warnings.size(), 1u);
}

TEST(ResultsDate, CommonShortFormatsParseAndOthersKeepFileOrder) {
    EXPECT_EQ(ParseResultsDate("08.12.2026 10:15:02"),
              QDateTime(QDate(2026, 12, 8), QTime(10, 15, 2)));
    EXPECT_EQ(ParseResultsDate("12/8/26 10:15:02"),
              QDateTime(QDate(2026, 12, 8), QTime(10, 15, 2)));
    EXPECT_EQ(ParseResultsDate("2026-12-08"), QDateTime(QDate(2026, 12, 8), QTime(0, 0)));
    EXPECT_EQ(ParseResultsDate("8 Dec 2026 10:15:02"),
              QDateTime(QDate(2026, 12, 8), QTime(10, 15, 2)));
    EXPECT_EQ(ParseResultsDate("8.12.26 9:05"), QDateTime(QDate(2026, 12, 8), QTime(9, 5)));
    EXPECT_FALSE(ParseResultsDate("31.02.2026"));
    EXPECT_FALSE(ParseResultsDate("Tuesday"));
    EXPECT_FALSE(ParseResultsDate("08.12.2026 25:00"));

    // An undated session stays after the one read before it.
    std::vector<TSession> sessions(3);
    sessions[0].Date = QDateTime(QDate(2026, 12, 9), QTime(9, 0));
    sessions[0].Pupil = "A";
    sessions[1].Pupil = "A";
    sessions[1].DateText = "??";
    sessions[2].Date = QDateTime(QDate(2026, 12, 8), QTime(9, 0));
    sessions[2].Pupil = "A";
    const TSummary s = Summarise(sessions, {});
    const auto& order = s.Classes.at(0).Pupils.at(0).Sessions;
    ASSERT_EQ(order.size(), 3u);
    EXPECT_EQ(order[0], &sessions[2]);
    EXPECT_EQ(order[1], &sessions[0]);
    EXPECT_EQ(order[2], &sessions[1]);
}

TEST(ResultsFileRead, OnlyRegularFilesOfSensibleSizeAreRead) {
    TSandbox box;
    std::string contents, error;
    EXPECT_TRUE(ReadResultsFile(box.Write("a.rez", "abc"), contents, error));
    EXPECT_EQ(contents, "abc");
    const std::string fifo = box.Root() + "fifo.rez";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadResultsFile(fifo, contents, error)) << "a FIFO with no writer must not hang";
    EXPECT_FALSE(ReadResultsFile(box.Root(), contents, error));
    EXPECT_FALSE(ReadResultsFile("/dev/zero", contents, error));
    EXPECT_FALSE(ReadResultsFile(box.Root() + "missing.rez", contents, error));
}

TEST(RuleTitles, MarksAreRemovedFromTheFirstLine) {
    EXPECT_EQ(RuleTitle({A("0Корни -&лаг&- и -&лож&-0"), "second"}), A("Корни -лаг- и -лож-"));
    EXPECT_EQ(RuleTitle({"a4b 1c1 6d6 +e 2 3"}), "ab c d e 2 3");
    EXPECT_EQ(RuleTitle({}), "");
    EXPECT_TRUE(NaturalLess("5.2. x", "5.10. x"));
    EXPECT_TRUE(NaturalLess("anna", "Boris"));
    EXPECT_FALSE(NaturalLess("9 class", "10 class") == NaturalLess("10 class", "9 class"));
}

} // namespace

TEST_F(ResultsReadTest, OverlongFieldsAreCutWithAWarningAndATornBlockCostsOnlyItself) {
    const std::string name(300000, 'N');
    const std::string a = Block("08.12.2026 09:00:00", name, "5", "1", {"LAG"}, {}, "Mark: 4");
    const std::string b = Block("08.12.2026 09:10:00", "Boris", "5", "1", {}, {}, "Mark: 5");
    // What the trainer leaves when a block was torn and could not be cut back: the torn part,
    // a line end, and the next block on a fresh line.
    const std::string torn = b.substr(0, b.find("Theme") + 3) + "\r\n";
    TReadResult read;
    ParseResults(Caption + a + torn + b, "lab.rez", Labels, read);
    ASSERT_EQ(read.Sessions.size(), 2u);
    EXPECT_EQ(read.Sessions[0].Pupil, std::string(MaxResultsFieldSize, 'N'));
    EXPECT_EQ(read.Sessions[1].Pupil, "Boris");
    ASSERT_EQ(read.Warnings.size(), 2u) << testing::PrintToString(read.Warnings);
    EXPECT_NE(read.Warnings[0].find("longer than 255 bytes"), std::string::npos);
}

TEST(ReportRules, ARuleLibraryThatCannotBeReadIsNamedAndFailsTheRun) {
    TSandbox box;
    const std::string results =
        box.Write("lab.rez", Caption + Block("08.12.2026", "Anna", "5", "1", {}, {}, "Mark: 5"));
    const std::string fifo = box.Root() + "rules.frf";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string notRules = box.Write("notes.frf", "just some notes\r\n");
    for (const std::string& rules : {fifo, notRules, box.Root() + "missing.frf"}) {
        SCOPED_TRACE(rules);
        std::ostringstream out, err;
        EXPECT_EQ(RunReportTool({"--rules", rules, results}, "/nonexistent", out, err), 1);
        EXPECT_NE(err.str().find("the rule library " + rules), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find("exercise library"), std::string::npos) << err.str();
        EXPECT_NE(out.str().find("Anna"), std::string::npos) << "the report is still written";
    }
}
