// The three outputs: what a spreadsheet or a browser could misread is made safe, and the figures
// land where a reader looks for them.

#include "Output.h"
#include "Summary.h"

#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

TSession Session(const std::string& pupil, int mark, std::vector<std::string> spelling) {
    TSession s;
    s.File = "lab.rez";
    s.Line = 2;
    s.Language = "English";
    s.DateText = "08.12.2026 10:00:00";
    s.Date = QDateTime(QDate(2026, 12, 8), QTime(10, 0));
    s.Pupil = pupil;
    s.Class = "5";
    s.Theme = "Roots";
    s.Variant = "1. Lag";
    s.Questions = 20;
    s.SpellingRules = std::move(spelling);
    s.Mistakes = static_cast<int>(s.SpellingRules.size());
    s.Mark = mark;
    return s;
}

TEST(ReportOutput, CsvCellsAreQuotedAndNeverFormulas) {
    EXPECT_EQ(CsvField("plain"), "plain");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("=HYPERLINK(1)"), "'=HYPERLINK(1)");
    EXPECT_EQ(CsvField("-2+3"), "'-2+3");
    EXPECT_EQ(CsvField("+1,2"), "\"'+1,2\"");
    // Blanks before the sign do not hide a formula from a spreadsheet.
    EXPECT_EQ(CsvField("  =1+1"), "'  =1+1");
    EXPECT_EQ(CsvField(" \t@SUM(A1)"), "' \t@SUM(A1)");
    EXPECT_EQ(CsvField("\xC2\xA0-3"), "'\xC2\xA0-3");
    EXPECT_EQ(CsvField("  plain"), "  plain");
    EXPECT_EQ(CsvField("\tplain"), "'\tplain");
}

TEST(ReportOutput, SessionsAndRulesCsvHaveHeadersAndOneRowEach) {
    std::vector<TSession> sessions = {Session("Anna", 4, {"LAG"}), Session("=evil", 5, {})};
    sessions[1].Interrupted = true;
    const std::string csv = SessionsCsv(sessions);
    EXPECT_EQ(csv.rfind("file,line,date,class,theme,variant,pupil,", 0), 0u);
    EXPECT_NE(csv.find("lab.rez,2,2026-12-08 10:00:00,5,Roots,1. Lag,Anna,20,1,1,0,0,4,no,LAG,"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find(",'=evil,20,0,0,0,0,,yes,,"), std::string::npos) << csv;
    const std::string rules = RulesCsv(Summarise(sessions, {{"LAG", "Roots, lag"}}));
    EXPECT_EQ(rules, "class,rule,title,mistakes,pupils,sessions,share\r\n"
                     "5,LAG,\"Roots, lag\",1,1,1,0.500\r\n");
}

TEST(ReportOutput, SessionsCsvCellsAreWrittenAsEachCellAlone) {
    // The rows are put together in place; every cell must still come out as CsvField makes it.
    const std::vector<std::string> texts = {
        "a,b",    "say \"hi\"", "=1+1",    "  -2", " \t@x", "\tx",
        "\xA0-3", "x\ny",       "  plain", "",     "-",     platform::Utf8ToAnsi("Петя, 5")};
    std::vector<TSession> sessions;
    for (const std::string& text : texts) {
        TSession s = Session(text, 4, {text.empty() ? "LAG" : text, "=R"});
        s.Class = s.Theme = s.Variant = text;
        s.DateText = text;
        s.Date.reset();
        sessions.push_back(s);
    }
    const std::string csv = SessionsCsv(sessions);
    std::size_t at = csv.find("\r\n") + 2;
    for (const std::string& text : texts) {
        const std::string cell = CsvField(ToUtf8(text));
        const std::string rules = CsvField(ToUtf8((text.empty() ? "LAG" : text) + " =R"));
        const std::string row = "lab.rez,2," + cell + "," + cell + "," + cell + "," + cell + "," +
                                cell + ",20,2,2,0,0,4,no," + rules + ",\r\n";
        EXPECT_EQ(csv.compare(at, row.size(), row), 0) << "for \"" << text << "\":\n" << csv;
        at += row.size();
    }
    EXPECT_EQ(at, csv.size());
}

TEST(ReportOutput, WeakSpotsOfAllClassesAddUpTheClasses) {
    // A pupil of the same name in two classes is two pupils.
    std::vector<TSession> sessions = {Session("Anna", 4, {"LAG", "LAG"}),
                                      Session("Anna", 3, {"LAG", "ROOT"}),
                                      Session("Anna", 5, {"ROOT"}), Session("Boris", 5, {})};
    sessions[1].Class = sessions[2].Class = "6";
    const TSummary summary = Summarise(sessions, {{"ROOT", "Roots"}});
    ASSERT_EQ(summary.Classes.size(), 2u);
    ASSERT_EQ(summary.WeakSpots.size(), 2u);
    const TWeakSpot &lag = summary.WeakSpots[0], &root = summary.WeakSpots[1];
    EXPECT_EQ(lag.Rule, "LAG");
    EXPECT_EQ(lag.Mistakes, 3);
    EXPECT_EQ(lag.Pupils, 2);
    EXPECT_EQ(lag.Sessions, 2);
    EXPECT_DOUBLE_EQ(lag.Share, 0.5);
    EXPECT_EQ(lag.Title, "");
    EXPECT_EQ(root.Rule, "ROOT");
    EXPECT_EQ(root.Mistakes, 2);
    EXPECT_EQ(root.Pupils, 1);
    EXPECT_EQ(root.Sessions, 2);
    EXPECT_EQ(root.Title, "Roots");
    // The same as counted over every session at once.
    std::vector<const TSession*> all;
    for (const TSession& s : sessions)
        all.push_back(&s);
    const auto top = TopRules(all, {{"ROOT", "Roots"}}, 5);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(top[0].Pupils, lag.Pupils);
    EXPECT_EQ(top[1].Sessions, root.Sessions);
}

TEST(ReportOutput, HtmlEscapesTextAndDrawsABarPerRule) {
    std::vector<TSession> sessions = {Session("<script>alert(1)</script>", 4, {"LAG", "LAG"}),
                                      Session("Boris", 3, {"ROOT", "LAG"})};
    const std::string html = HtmlReport(Summarise(sessions, {}));
    // The page's own script is there; the pupil's name never becomes one, also not inside the
    // data block the script reads.
    EXPECT_EQ(html.find("<script>alert"), std::string::npos);
    EXPECT_EQ(html.find("</script>\""), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_NE(html.find("\\u003cscript>alert(1)\\u003c/script>"), std::string::npos);
    EXPECT_NE(html.find("data-rule=\"LAG\" data-value=\"3\""), std::string::npos);
    EXPECT_NE(html.find("data-rule=\"ROOT\" data-value=\"1\""), std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos) << "no external files";
    EXPECT_EQ(html.find("href="), std::string::npos) << "no external files";
    EXPECT_NE(html.find("<html lang=\"en\">"), std::string::npos);
}

TEST(ReportOutput, RussianResultsGetRussianHeadings) {
    TSession s = Session(platform::Utf8ToAnsi("Петя"), 5, {});
    s.Language = "Russian";
    const std::vector<TSession> sessions = {s}; // the summary points into them
    const TSummary summary = Summarise(sessions, {});
    EXPECT_TRUE(summary.Russian);
    const std::string text = TextReport(summary);
    EXPECT_NE(text.find("Зарво: результаты класса"), std::string::npos) << text;
    EXPECT_NE(text.find("Петя"), std::string::npos);
    EXPECT_NE(HtmlReport(summary).find("<html lang=\"ru\">"), std::string::npos);
}

} // namespace
