#include "session/Session.h"
#include "config/Config.h"
#include "platform/Text.h"
#include "session/Pupil.h"
#include "support/Sandbox.h"

#include <deque>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// Records what the session asks of its window, one word per call.
class TRecordingView : public ISessionView {
public:
    TBoxGeometry Box{1024, 1024, 600, 600, 0};
    std::vector<std::string> Log;
    std::array<TAnswerButton, 3> Buttons{};
    std::vector<std::string> Rules;
    TExerciseSession* Session = nullptr;
    std::vector<std::string> Drawn; // the first shown line at every redraw

    TSessionGeometry Geometry() const override { return {Box, 600, {70, 70, 70}}; }
    void ShowExerciseScreen() override { Log.push_back("screen"); }
    void HideExample() override {}
    void ShowExample() override {}
    void PlaceExample(const TExampleLayout& layout) override {
        Box.ScrollPosition = layout.ScrollPosition;
    }
    void DrawExample(const TExampleState& example) override {
        Log.push_back("draw");
        Drawn.push_back(example.Layout.ShownLines(example.Points)[0].Text);
    }
    void SetAnswers(const std::array<TAnswerButton, 3>& b) override { Buttons = b; }
    void OfferAnswers(bool third) override { Log.push_back(third ? "answers3" : "answers"); }
    void AskToConfirm() override { Log.push_back("confirm"); }
    void OfferNothing() override { Log.push_back("hideall"); }
    void OfferFurther() override { Log.push_back("further"); }
    void WithdrawFurther() override { Log.push_back("hidefurther"); }
    void ShowRule(const std::string& rule, int, int) override {
        Log.push_back("rule");
        Rules.push_back(rule);
    }
    void HideRule() override { ++RuleHides; }
    void ShowHelp() override { Log.push_back("help"); }
    void ShowPraise() override { Log.push_back("praise"); }
    void ShowRightAnswer() override { Log.push_back("right"); }
    void ShowSlip() override { Log.push_back("slip"); }
    void CloseIntro() override { Log.push_back("closesplash"); }
    void ShowResults() override { Log.push_back("results"); }
    void RunSelection() override { Log.push_back("selection"); }
    void AskToLeave() override { Log.push_back("close"); }

    int RuleHides = 0;
    bool Has(const std::string& word) const {
        return std::find(Log.begin(), Log.end(), word) != Log.end();
    }
    int Count(const std::string& word) const {
        return static_cast<int>(std::count(Log.begin(), Log.end(), word));
    }
};

std::string A(const char* utf8) {
    return Utf8ToAnsi(utf8);
}

TSessionCheckPoint CP(int position, char a1, char a2 = 0, std::uint8_t kind = 0,
                      std::string rule = "R") {
    return {position, kind, a1, a2, std::move(rule)};
}

class SessionTest : public testing::Test {
protected:
    SessionTest() { View.Session = &Session; }

    // Without scripted draws the source alternates between its two lowest values: the right
    // answer is on button 1 at the first check point.
    void Start(std::vector<TSessionExample> examples) {
        Session.StartSession(std::move(examples), Pupil);
    }
    void Key(WORD vk) { Session.FormKeyDown(vk); }
    void Type(char ch) {
        if (!Session.FormKeyDown(0))
            Session.FormKeyPress(ch);
    }
    // The button that carries answer `a`.
    int ButtonOf(int a) const {
        for (int i = 0; i < 3; ++i)
            if (Session.ButtonAnswer()[static_cast<std::size_t>(i)] == a)
                return i + 1;
        return 0;
    }
    void Answer(int a) {
        Session.ChooseButton(ButtonOf(a));
        Session.AcceptAnswer();
    }

    TRecordingView View;
    std::deque<int> Draws;
    int Last = 0;
    TExerciseSession Session{View, [this](int lo, int) {
                                 if (Draws.empty())
                                     return Last = (Last == lo ? lo + 1 : lo);
                                 int d = Draws.front();
                                 Draws.pop_front();
                                 return d;
                             }};
    TFPupil Pupil{"", "", "", ""};
};

// Two check points: "," at 2 (wrong "@"), "@" at 5 (wrong ",").
TSessionExample TwoPoints() {
    return {"a,bc@d", {CP(2, '@'), CP(5, ',')}};
}

} // namespace

TEST_F(SessionTest, StartGoesToChoosingAtTheFirstCheckPoint) {
    Start({TwoPoints()});
    EXPECT_FALSE(Session.IntroShowing());
    EXPECT_TRUE(Session.Answering());
    EXPECT_FALSE(Session.ExampleDone());
    EXPECT_EQ(Session.ExampleIndex(), 0);
    EXPECT_EQ(Session.CheckPointIndex(), 0);
    EXPECT_EQ(Session.RightChar(), ',');
    EXPECT_EQ(Session.ChosenAnswer(), 0);
    EXPECT_EQ(Session.ButtonAnswer(), (TButtonAnswers{1, 2, 0}));
    EXPECT_EQ(View.Log, (std::vector<std::string>{"screen", "answers", "draw"}));
    EXPECT_EQ(View.Drawn.back(), "a_bc_d");
    EXPECT_EQ(Pupil.QuestionsCount(), 1);
    // Buttons 16 pixels apart around half the Help button's left edge.
    EXPECT_EQ(View.Buttons[0].Left, 300 - 70 - 8);
    EXPECT_EQ(View.Buttons[1].Left, 308);
    EXPECT_FALSE(View.Buttons[2].Used);
    EXPECT_EQ(View.Buttons[0].Face, (TButtonFace{0, ',', TAnswerHint::Answer}));
    EXPECT_EQ(View.Buttons[1].Face.Number, AnswerFace);
}

TEST_F(SessionTest, ChooseCancelAndAccept) {
    Start({TwoPoints()});
    View.Log.clear();
    // Choosing -> Confirming: the chosen character stands at the check point.
    Session.ChooseButton(2);
    EXPECT_EQ(Session.ChosenAnswer(), 2);
    EXPECT_EQ(View.Log, (std::vector<std::string>{"confirm", "draw"}));
    EXPECT_EQ(View.Drawn.back(), "abc_d");
    // A second choice waits for accept or cancel.
    Session.ChooseButton(1);
    EXPECT_EQ(Session.ChosenAnswer(), 2);
    // Confirming -> cancel -> Choosing at the same check point.
    Key(VK_BACK);
    EXPECT_EQ(Session.ChosenAnswer(), 0);
    EXPECT_EQ(Session.CheckPointIndex(), 0);
    EXPECT_EQ(View.Drawn.back(), "a_bc_d");
    // Enter with nothing chosen does nothing.
    View.Log.clear();
    Type('\r');
    EXPECT_TRUE(View.Log.empty());
    // Confirming -> right answer accepted -> the next check point.
    Session.ChooseButton(1);
    Type('\r');
    EXPECT_EQ(Session.CheckPointIndex(), 1);
    EXPECT_EQ(Session.ChosenAnswer(), 0);
    EXPECT_EQ(Pupil.MistakesCount(), 0);
    EXPECT_EQ(View.Drawn.back(), "a,bc_d");
    // The "@" chosen closes the text up, and once passed it is gone from the display text.
    Session.ChooseButton(ButtonOf(1));
    EXPECT_EQ(View.Drawn.back(), "a,bcd");
    Session.AcceptAnswer();
    EXPECT_TRUE(Session.ExampleDone());
    EXPECT_FALSE(Session.Answering());
    EXPECT_EQ(Session.Display().DisplayText, "a,bcd");
    EXPECT_EQ(View.Log.back(), "further");
}

TEST_F(SessionTest, FirstWrongAnswerShowsTheRuleWithoutAPrompt) {
    Start({{"a,b", {CP(2, '@', 0, 2, "P1")}}});
    View.Log.clear();
    Answer(2);
    EXPECT_EQ(Session.CheckPointIndex(), 0);
    EXPECT_EQ(Session.ChosenAnswer(), 0);
    EXPECT_EQ(Session.CheckPointMistakes(), 1);
    EXPECT_EQ(Pupil.PunctuationMistakes, (std::vector<std::string>{"P1"}));
    EXPECT_EQ(Pupil.PromptsCount(), 0);
    EXPECT_EQ(View.Rules, (std::vector<std::string>{"P1"}));
    EXPECT_EQ(View.Log, (std::vector<std::string>{"confirm", "draw", "draw", "rule", "answers"}));
    EXPECT_EQ(View.Drawn.back(), "a_b");
}

TEST_F(SessionTest, SecondWrongAnswerShowsTheRightOneAndMovesOn) {
    Start({{"a,b c", {CP(2, '@', 0, 1, "S1"), CP(4, '@')}}});
    const int firstX = Session.Display().CellX;
    Answer(2);
    View.Log.clear();
    Answer(2);
    EXPECT_EQ(Pupil.SpellingMistakes, (std::vector<std::string>{"S1", "S1"}));
    EXPECT_EQ(Pupil.PromptsCount(), 0);
    // The right answer is drawn with its two strokes before the picture, then the next check
    // point comes up.
    ASSERT_GE(View.Log.size(), 5u);
    EXPECT_EQ(View.Log[2], "draw");
    EXPECT_EQ(View.Drawn[View.Drawn.size() - 2], "a,b_c");
    EXPECT_EQ(View.Log[3], "hideall");
    EXPECT_EQ(View.Log[4], "right");
    EXPECT_EQ(Session.CheckPointIndex(), 1);
    EXPECT_EQ(Session.CheckPointMistakes(), 0);
    ASSERT_EQ(Session.Display().MistakeMarks.size(), 1u);
    EXPECT_EQ(Session.Display().MistakeMarks[0].Count, 2);
    EXPECT_EQ(Session.Display().MistakeMarks[0].X, firstX);
}

TEST_F(SessionTest, QuestionCounterAndPraiseOverAWholeVariant) {
    // Example 1: two check points, answered right. Example 2: one, answered wrongly once.
    // Example 3: one. Praise before 2 (example 1 had no mistake), not before 3.
    Start({TwoPoints(), {"a,b", {CP(2, '@')}}, {"a,b", {CP(2, '@')}}});
    Answer(1);
    Answer(1);
    EXPECT_TRUE(Session.ExampleDone());
    EXPECT_EQ(Pupil.QuestionsCount(), 3); // two shown, one when the last is passed
    EXPECT_FALSE(View.Has("praise"));
    Session.Further();
    EXPECT_EQ(View.Count("praise"), 1);
    EXPECT_TRUE(Session.Answering());
    EXPECT_EQ(Session.ExampleIndex(), 1);
    EXPECT_EQ(Pupil.QuestionsCount(), 5); // Further, then the new check point
    Answer(2);
    Answer(1);
    Type('\r'); // Enter is Further in the end-of-example state
    EXPECT_EQ(Session.ExampleIndex(), 2);
    EXPECT_EQ(View.Count("praise"), 1);
    Answer(1);
    Session.Further();
    EXPECT_EQ(View.Count("praise"), 1);
    EXPECT_TRUE(Session.ResultsShowing());
    EXPECT_FALSE(Session.Answering());
    EXPECT_EQ(View.Log.back(), "results");
    // Per example: one per check point and two at its end.
    EXPECT_EQ(Pupil.QuestionsCount(), (2 + 2) + (1 + 2) + (1 + 2));
    // A key on the results goes back to the selection.
    Type('x');
    EXPECT_FALSE(Session.ResultsShowing());
    EXPECT_EQ(View.Log.back(), "selection");
}

TEST_F(SessionTest, SkippedCheckPointsAndExamplesWithoutThem) {
    // The first check point has no distinct wrong answer, the second lies beyond the text.
    Start({{"a,b,c", {CP(2, ','), CP(40, '@'), CP(4, '@')}}, {"plain", {}}, {"a,b", {CP(2, '@')}}});
    EXPECT_EQ(Session.CheckPointIndex(), 2);
    EXPECT_EQ(Pupil.QuestionsCount(), 3);
    Answer(1);
    Session.Further();
    // The example without check points is passed over, and not praised before.
    EXPECT_EQ(Session.ExampleIndex(), 2);
    EXPECT_EQ(View.Count("praise"), 1);
    EXPECT_TRUE(Session.Answering());
    EXPECT_EQ(Pupil.QuestionsCount(), 3 + 1 + 1 + 1 + 1);
}

TEST_F(SessionTest, CheckPointsThatWillBeSkippedShowNoPlaceholder) {
    Start({{"a,b,c", {CP(2, '@'), CP(4, ','), CP(9, '@')}}});
    EXPECT_EQ(View.Drawn.back(), "a_b,c");
    Answer(1);
    EXPECT_TRUE(Session.ExampleDone());
}

TEST_F(SessionTest, FirstExampleWithoutCheckPointsEndsAtOnce) {
    Start({{"plain", {}}, {"a,b", {CP(2, '@')}}});
    EXPECT_TRUE(Session.ExampleDone());
    EXPECT_FALSE(Session.Answering());
    EXPECT_EQ(View.Log.back(), "further");
    // No check point yet: the Hint button has no rule to show and counts nothing.
    Session.HintClick();
    EXPECT_EQ(Pupil.PromptsCount(), 0);
    // It added no mistake, so the next one is praised.
    Session.Further();
    EXPECT_EQ(Session.ExampleIndex(), 1);
    EXPECT_TRUE(Session.Answering());
    EXPECT_EQ(View.Count("praise"), 1);
}

TEST_F(SessionTest, VariantWithoutExamplesGoesToTheResults) {
    Start({});
    EXPECT_TRUE(Session.ResultsShowing());
    EXPECT_FALSE(Session.Answering());
    EXPECT_EQ(View.Log, (std::vector<std::string>{"screen", "results"}));
}

TEST_F(SessionTest, KeysInTheEndOfExampleState) {
    Start({{"a,b", {CP(2, '@', 0, 0, "P7")}}, TwoPoints()});
    Answer(1);
    ASSERT_TRUE(Session.ExampleDone());
    View.Log.clear();
    // Esc, F1, F2, BackSpace, Delete do nothing here and are not consumed.
    for (WORD k : {VK_ESCAPE, VK_F1, VK_F2, VK_BACK, VK_DELETE, VK_F5})
        EXPECT_FALSE(Session.FormKeyDown(k));
    Session.FormKeyPress('\x1B');
    EXPECT_TRUE(View.Log.empty());
    EXPECT_EQ(Pupil.PromptsCount(), 0);
    // The buttons still work: Hint shows the last check point's rule and counts a prompt.
    Session.HintClick();
    Session.HelpClick();
    Session.ExitClick();
    EXPECT_EQ(View.Log, (std::vector<std::string>{"rule", "help", "close"}));
    EXPECT_EQ(View.Rules.back(), "P7");
    EXPECT_EQ(Pupil.PromptsCount(), 1);
}

TEST_F(SessionTest, FunctionKeysWhileAnswering) {
    Start({{"a,b", {CP(2, '@', ':', 0, "P2")}}});
    EXPECT_EQ(Session.AlternativeCount(), 2);
    View.Log.clear();
    EXPECT_TRUE(Session.FormKeyDown(VK_F1));
    EXPECT_TRUE(Session.FormKeyDown(VK_F2));
    EXPECT_EQ(View.Log, (std::vector<std::string>{"help", "rule"}));
    EXPECT_EQ(Pupil.PromptsCount(), 1);
    Key(VK_F7);
    EXPECT_EQ(Session.ChosenAnswer(), Session.ButtonAnswer()[2]);
    Key(VK_BACK);
    Key(VK_ESCAPE);
    EXPECT_EQ(View.Log.back(), "close");
    // A key the screen does not know is left for the key-press.
    EXPECT_FALSE(Session.FormKeyDown(VK_F9));
}

TEST_F(SessionTest, DeleteChoosesTheNoCharacterAnswer) {
    Draws = {2};
    Start({{"a,b", {CP(2, '@')}}, {"a,b", {CP(2, ':')}}});
    ASSERT_EQ(Session.ButtonAnswer(), (TButtonAnswers{2, 1, 0}));
    Key(VK_DELETE);
    EXPECT_EQ(Session.ChosenAnswer(), 2);
    Key(VK_BACK);
    Answer(1);
    Session.Further();
    // No "@" among the answers: Delete does nothing.
    Key(VK_DELETE);
    EXPECT_EQ(Session.ChosenAnswer(), 0);
}

TEST_F(SessionTest, TypedAnswers) {
    const std::string text = A("Бер") + A("е") + A("за");
    Start({{text, {CP(4, A("и")[0], 0, 1)}}});
    View.Log.clear();
    Type('b');
    EXPECT_EQ(Session.ChosenAnswer(), 2);
    EXPECT_EQ(View.Log, (std::vector<std::string>{"confirm", "draw"}));
    EXPECT_EQ(View.Drawn.back(), A("Берииза").substr(0, 3) + A("и") + A("за"));
    Key(VK_BACK);
    // A key that matches nothing shows the slip and counts nothing.
    View.Log.clear();
    Type('z');
    EXPECT_EQ(View.Log, (std::vector<std::string>{"slip"}));
    EXPECT_EQ(Session.ChosenAnswer(), 0);
    EXPECT_EQ(Pupil.MistakesCount(), 0);
    Type('t');
    EXPECT_EQ(Session.ChosenAnswer(), 1);
    // While an answer waits, typing chooses nothing else.
    Type('b');
    EXPECT_EQ(Session.ChosenAnswer(), 1);
    Type('\r');
    EXPECT_TRUE(Session.ExampleDone());
}

TEST_F(SessionTest, IntroAndSelectionKeys) {
    // Before any session a key ends the intro, and then opens the selection.
    Session.FormKeyDown(VK_RETURN);
    Session.FormKeyPress('\r');
    EXPECT_FALSE(Session.IntroShowing());
    EXPECT_EQ(View.Log, (std::vector<std::string>{"closesplash"}));
    Type('a');
    EXPECT_EQ(View.Log.back(), "selection");
}

TEST_F(SessionTest, AnswerWithoutAButtonFaceIsReportedAfterTheStep) {
    // "z" has no button face: the check point still comes up with the plain face, and the
    // fault is raised once the start is complete.
    EXPECT_THROW(Start({{"abz", {CP(3, 'y')}}}), EWrongButtonSymbol);
    EXPECT_TRUE(Session.Answering());
    EXPECT_EQ(Session.CheckPointIndex(), 0);
    EXPECT_EQ(View.Buttons[0].Face.Number, AnswerFace);
    EXPECT_TRUE(View.Has("answers"));
    EXPECT_EQ(Pupil.QuestionsCount(), 1);
    // The pupil can still answer; nothing more is raised.
    Session.ChooseButton(1);
    EXPECT_NO_THROW(Session.AcceptAnswer());
    EXPECT_TRUE(Session.ExampleDone());
}

TEST_F(SessionTest, NewSessionForgetsTheInterruptedOne) {
    Start({TwoPoints()});
    Answer(2);
    ASSERT_EQ(Session.CheckPointMistakes(), 1);
    Session.ChooseButton(1);
    Pupil.Init("", "", "", "");
    Start({TwoPoints()});
    EXPECT_EQ(Session.ChosenAnswer(), 0);
    EXPECT_EQ(Session.CheckPointMistakes(), 0);
    EXPECT_TRUE(Session.Display().MistakeMarks.empty());
    Answer(1);
    EXPECT_TRUE(Session.Display().MistakeMarks.empty());
}

TEST_F(SessionTest, OneStateGivesEveryFlagOfTheScreen) {
    auto flags = [this] {
        return std::vector<bool>{Session.IntroShowing(), Session.Answering(), Session.ExampleDone(),
                                 Session.ResultsShowing()};
    };
    using F = std::vector<bool>;
    Session.ShowIntro();
    EXPECT_EQ(Session.State(), TSessionState::Intro);
    EXPECT_EQ(flags(), (F{true, false, false, false}));
    Session.FormKeyPress('x');
    EXPECT_EQ(Session.State(), TSessionState::Idle);
    EXPECT_EQ(flags(), (F{false, false, false, false}));

    Start({TwoPoints()});
    EXPECT_EQ(Session.State(), TSessionState::Choosing);
    Session.ChooseButton(ButtonOf(2));
    EXPECT_EQ(Session.State(), TSessionState::Confirming);
    EXPECT_EQ(flags(), (F{false, true, false, false}));
    Session.CancelAnswer();
    EXPECT_EQ(Session.State(), TSessionState::Choosing);
    Answer(1);
    Answer(1);
    EXPECT_EQ(Session.State(), TSessionState::ExampleDone);
    EXPECT_EQ(flags(), (F{false, false, true, false}));
    Session.Further();
    EXPECT_EQ(Session.State(), TSessionState::Results);
    EXPECT_EQ(flags(), (F{false, false, false, true}));
    Session.BackToSelection();
    EXPECT_EQ(Session.State(), TSessionState::Idle);
}

TEST_F(SessionTest, AKeyDownTheWindowDropsLeavesNoPressToWaitFor) {
    Start({TwoPoints()});
    EXPECT_TRUE(Session.FormKeyDown(VK_F5));
    EXPECT_TRUE(Session.KeyHandled()) << "a press may follow, and is then ignored";
    Session.CancelAnswer();
    EXPECT_TRUE(Session.FormKeyDown(VK_F5, false));
    EXPECT_FALSE(Session.KeyHandled());
    EXPECT_FALSE(Session.FormKeyDown(VK_F9, false)) << "not the session's key";
}

namespace {

// One check point each: "," at 2 against "@".
std::vector<TSessionExample> SixSentences() {
    std::vector<TSessionExample> v;
    for (char c = 'a'; c < 'g'; ++c)
        v.push_back({std::string(1, c) + ",x", {CP(2, '@', 0, 0, std::string("R") + c)}});
    return v;
}

class RoundTest : public SessionTest {
protected:
    RoundTest() { Pupil.Init("Ann", "5", "Commas", "V1"); }
    TSandbox Box; // the English labels
    // Answers the current sentence wrong first when `wrong`, then right, and goes on.
    void Sentence(bool wrong) {
        if (wrong)
            Answer(2);
        Answer(1);
        Session.Further();
    }
};

} // namespace

TEST_F(RoundTest, MistakenSentencesMakeTheRoundWholeAndInOrder) {
    Start(SixSentences());
    for (int i = 1; i <= 6; ++i)
        Sentence(i == 2 || i == 5);
    ASSERT_TRUE(Session.ResultsShowing());
    EXPECT_TRUE(Session.RoundOffered());
    EXPECT_EQ(Pupil.MistakesCount(), 2);

    Key(VK_F3);
    EXPECT_TRUE(Session.InRound());
    EXPECT_TRUE(Session.Answering());
    ASSERT_EQ(Session.Examples().size(), 2u);
    EXPECT_EQ(Session.Examples()[0].Text, "b,x");
    EXPECT_EQ(Session.Examples()[1].Text, "e,x");
    EXPECT_EQ(Session.Examples()[1].CheckPoints[0].Rule, "Re");
    // The round counts afresh under its own variant name.
    EXPECT_EQ(Pupil.QuestionsCount(), 1);
    EXPECT_EQ(Pupil.MistakesCount(), 0);
    EXPECT_EQ(Pupil.GetName(), "Ann");
    EXPECT_EQ(Pupil.GetVariant(), "Work on mistakes: V1");
    EXPECT_EQ(Session.CurrentCheckPoint().Rule, "Rb");
}

TEST_F(RoundTest, MistakesInARoundOfferAnotherAndACleanRoundEndsTheOffer) {
    Start(SixSentences());
    for (int i = 1; i <= 6; ++i)
        Sentence(i != 3);
    Key(VK_F3);
    ASSERT_EQ(Session.Examples().size(), 5u);
    for (int i = 1; i <= 5; ++i)
        Sentence(i == 4);
    ASSERT_TRUE(Session.ResultsShowing());
    EXPECT_EQ(Pupil.MistakesCount(), 1);
    EXPECT_EQ(Pupil.GetMark(), 4);
    ASSERT_TRUE(Session.RoundOffered());

    Key(VK_F3);
    ASSERT_EQ(Session.Examples().size(), 1u);
    EXPECT_EQ(Session.Examples()[0].Text, "e,x");
    // The variant's own name, not the round's name twice.
    EXPECT_EQ(Pupil.GetVariant(), "Work on mistakes: V1");
    Sentence(false);
    ASSERT_TRUE(Session.ResultsShowing());
    EXPECT_EQ(Pupil.GetMark(), 5);
    EXPECT_FALSE(Session.RoundOffered());
    EXPECT_FALSE(Session.StartRound());
    Key(VK_F3);
    EXPECT_TRUE(Session.ResultsShowing());
}

TEST_F(RoundTest, CleanSessionOffersNoRoundAndANewSessionForgetsTheRound) {
    Start(SixSentences());
    for (int i = 1; i <= 6; ++i)
        Sentence(false);
    EXPECT_FALSE(Session.RoundOffered());
    Key(VK_F3);
    EXPECT_TRUE(Session.ResultsShowing());
    EXPECT_FALSE(Session.InRound());

    Start({{"a,x", {CP(2, '@')}}});
    Sentence(true);
    Key(VK_F3);
    EXPECT_TRUE(Session.InRound());
    Start(SixSentences());
    EXPECT_FALSE(Session.InRound());
}

TEST_F(RoundTest, RoundBlocksCarryTheRoundVariantLineAndAnInterruptedOneSaysSo) {
    Start(SixSentences());
    for (int i = 1; i <= 6; ++i)
        Sentence(i == 2);
    Key(VK_F3);
    Answer(2);
    const QDateTime moment(QDate(2026, 3, 2), QTime(10, 0));
    const std::string interrupted = Pupil.ResultsBlock(moment, true);
    EXPECT_NE(interrupted.find("\r\nVariant: Work on mistakes: V1\r\n"), std::string::npos);
    EXPECT_NE(interrupted.find("\r\nNumber of questions: 1\r\nNumber of mistakes: 1\r\n"),
              std::string::npos);
    EXPECT_NE(interrupted.find("\r\nInterrupted by user!\r\n"), std::string::npos);

    Answer(1);
    Session.Further();
    ASSERT_TRUE(Session.ResultsShowing());
    const std::string done = Pupil.ResultsBlock(moment, false);
    EXPECT_NE(done.find("\r\nVariant: Work on mistakes: V1\r\n"), std::string::npos);
    EXPECT_NE(done.find("\r\nMark: 4\r\n"), std::string::npos);
}
