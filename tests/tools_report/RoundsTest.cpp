// Rounds of work on mistakes in the report: counted apart, so that the class's weak spots and
// marks speak of first attempts, and listed per pupil with the state of the last round.

#include "Output.h"
#include "Summary.h"

#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

TSession Block(const std::string& pupil, const std::string& variant, int minute, int mark,
               std::vector<std::string> spelling) {
    TSession s;
    s.Language = "English";
    s.DateText = "08.12.2026";
    s.Date = QDateTime(QDate(2026, 12, 8), QTime(10, minute));
    s.Pupil = pupil;
    s.Class = "5";
    s.Theme = "Roots";
    s.Variant = variant;
    s.Questions = 10;
    s.SpellingRules = std::move(spelling);
    s.Mistakes = static_cast<int>(s.SpellingRules.size());
    s.Mark = mark;
    return s;
}

} // namespace

TEST(ReportRounds, RoundsStayOutOfWeakSpotsAndMarksAndAreListedPerPupil) {
    const std::string ruRound = platform::Utf8ToAnsi("Работа над ошибками: 1. Lag");
    std::vector<TSession> sessions = {
        Block("Anna", "1. Lag", 0, 4, {"LAG", "LAG"}),
        Block("Anna", "Work on mistakes: 1. Lag", 5, 4, {"LAG"}),
        Block("Anna", "Work on mistakes: 1. Lag", 7, 5, {}),
        Block("Boris", "1. Lag", 1, 5, {}),
        Block("Boris", ruRound, 9, 0, {}),
        // Written later in the file, but earlier in time: the last round is the latest one.
        Block("Boris", ruRound, 8, 5, {}),
    };
    sessions[4].Interrupted = true;
    const TSummary summary = Summarise(sessions, {});
    EXPECT_EQ(summary.SessionCount, 2);
    EXPECT_EQ(summary.RoundCount, 4);
    ASSERT_EQ(summary.WeakSpots.size(), 1u);
    EXPECT_EQ(summary.WeakSpots[0].Mistakes, 2);
    EXPECT_DOUBLE_EQ(summary.WeakSpots[0].Share, 0.5);
    ASSERT_EQ(summary.Classes.size(), 1u);
    const TClassSummary& c = summary.Classes[0];
    ASSERT_EQ(c.Themes.size(), 1u);
    ASSERT_EQ(c.Themes[0].Variants.size(), 1u);
    EXPECT_EQ(c.Themes[0].Variants[0].Sessions, 2);
    EXPECT_DOUBLE_EQ(c.Themes[0].Variants[0].Average, 4.5);
    for (const TPupilSessions& p : c.Pupils)
        EXPECT_EQ(p.Sessions.size(), 1u) << p.Name;

    ASSERT_EQ(c.Rounds.size(), 2u);
    EXPECT_EQ(c.Rounds[0].Name, "Anna");
    EXPECT_EQ(c.Rounds[0].Rounds, 2);
    EXPECT_TRUE(c.Rounds[0].LastClean);
    EXPECT_EQ(c.Rounds[1].Name, "Boris");
    EXPECT_EQ(c.Rounds[1].Rounds, 2);
    EXPECT_FALSE(c.Rounds[1].LastClean) << "the last round was interrupted";

    const std::string text = TextReport(summary);
    EXPECT_NE(text.find("Work on mistakes:\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  Anna                             2  yes\n"), std::string::npos) << text;
    const std::string html = HtmlReport(summary);
    EXPECT_NE(html.find("<table class=\"rounds\">"), std::string::npos);
    EXPECT_NE(html.find("<tr><td>Boris</td><td class=\"n\">2</td><td>no</td></tr>"),
              std::string::npos);
}

TEST(ReportRounds, AVariantThatOnlyMentionsTheLabelIsNoRound) {
    EXPECT_FALSE(IsWorkOnMistakes(Block("A", "1. Work on mistakes: commas", 0, 5, {})));
    EXPECT_FALSE(IsWorkOnMistakes(Block("A", "Work on mistakes", 0, 5, {})));
    EXPECT_TRUE(IsWorkOnMistakes(Block("A", "Work on mistakes: 3", 0, 5, {})));
}
