#pragma once
// The exercise session: the state of the exercise screen and everything a pupil's button, key or
// the end of an example does to it. It knows no widget: it talks to its window through
// ISessionView, counts into the pupil record, and takes the variant as plain values.

#include "platform/Keys.h"
#include "session/AnswerButtons.h"
#include "session/ExampleLayout.h"

#include <cstdint>
#include <string>
#include <vector>

class TFPupil;

struct TSessionCheckPoint {
    int Position = 0; // 1-based in the stored text
    std::uint8_t Kind = 0;
    char Alternative1 = 0;
    char Alternative2 = 0;
    std::string Rule;
};

struct TSessionExample {
    std::string Text;
    std::vector<TSessionCheckPoint> CheckPoints;
};

// One answer button as the window is to show it.
struct TAnswerButton {
    TButtonFace Face;
    int Left = 0;
    bool Used = false;
};

// Where the window's parts stand, asked in one call: the example box as it is now (sizes,
// scroll position), the left edge of the Help button, around whose half the answer buttons
// stand, and the widths of the three answer buttons.
struct TSessionGeometry {
    TBoxGeometry Box;
    int HelpButtonLeft = 0;
    std::array<int, 3> AnswerButtonWidths{};
};

// The example as the window is to draw it: the layout (text, lines, size, scroll, mistake
// marks), the characters the check points show now and the mistakes at the current one.
struct TExampleState {
    const TExampleLayout& Layout;
    TShownCheckPoints Points;
    int CheckPointMistakes = 0;
};

// What the session asks of its window, in the exercise's terms.
class ISessionView {
public:
    virtual ~ISessionView() = default;

    virtual TSessionGeometry Geometry() const = 0;

    // The exercise screen (the answer panel, the example box) in place of the results.
    virtual void ShowExerciseScreen() = 0;
    // A new example is being laid out: its text is hidden until it is shown again.
    virtual void HideExample() = 0;
    virtual void ShowExample() = 0;
    // The example's picture takes the layout's size and scroll position.
    virtual void PlaceExample(const TExampleLayout& layout) = 0;
    // Draws the example as it stands and hands it to the screen in one step.
    virtual void DrawExample(const TExampleState& example) = 0;

    // The answers of this check point: faces, hints and places of the three buttons (loading a
    // face may raise).
    virtual void SetAnswers(const std::array<TAnswerButton, 3>& buttons) = 0;
    // Offer the answers (the third only when asked) with Help, Hint and Exit.
    virtual void OfferAnswers(bool third) = 0;
    // Ask to accept or cancel the chosen answer.
    virtual void AskToConfirm() = 0;
    // Nothing to press while the right answer is shown.
    virtual void OfferNothing() = 0;
    // The example is done: offer to go further (with Help, Hint and Exit), and take that back.
    virtual void OfferFurther() = 0;
    virtual void WithdrawFurther() = 0;

    // The rule of this check point beside its cell (in the text picture; the window turns it
    // into screen pixels), and away again.
    virtual void ShowRule(const std::string& rule, int cellX, int cellY) = 0;
    virtual void HideRule() = 0;
    virtual void ShowHelp() = 0;
    virtual void ShowPraise() = 0;      // modal
    virtual void ShowRightAnswer() = 0; // modal, below the example box
    virtual void ShowSlip() = 0;
    virtual void CloseIntro() = 0;   // hides the intro and opens the selection
    virtual void ShowResults() = 0;  // the variant is done
    virtual void RunSelection() = 0; // the modal variant selection
    virtual void AskToLeave() = 0;   // the exit question
};

// The states of the exercise screen. Every flag the screen's behaviour tests is derived from the
// one state.
enum class TSessionState {
    Intro,       // the intro is up: the first key closes it
    Idle,        // no check point waits: before a session, during the selection, or while the
                 // screen moves on after Further
    Choosing,    // a check point waits for an answer
    Confirming,  // an answer is chosen and waits for Accept or Cancel
    ExampleDone, // every check point of the example is done; Further goes on
    Results,     // the results are shown
};

class TExerciseSession {
public:
    TExerciseSession(ISessionView& view, TRandom random);

    // The font cells the examples are laid out in (the large font's and the small one's height).
    void SetTextMetrics(const TTextMetrics& metrics) { FDisplay.Metrics = metrics; }
    // Start-up: the intro is up.
    void ShowIntro();
    // Starts at the first check point of the first example. The pupil record has been filled by
    // the caller and stays the caller's.
    void StartSession(std::vector<TSessionExample> examples, TFPupil& pupil);
    // Work on mistakes: on the results of a session or round with mistakes, a round of exactly
    // the examples that had a mistake, each whole, in their order. The pupil record starts again
    // under the round's variant name, so that the round writes its own block. False (and nothing
    // changes) when no round is offered.
    bool StartRound();
    // The results are up and some example had a mistake: F3 starts a round.
    bool RoundOffered() const;
    // The examples of this session or round that had at least one mistake, in their order.
    std::vector<TSessionExample> MistakenExamples() const;
    // The running session is a round of work on mistakes.
    bool InRound() const { return FInRound; }
    // Leaves the results and runs the selection.
    void BackToSelection();
    // The window's size changed: the example, its check point's cell, the mistake marks and the
    // answer buttons are laid out again for the new geometry; nothing else changes.
    void Resized();

    // The pupil's actions.
    void ChooseButton(int button); // 1..3
    void AcceptAnswer();
    void CancelAnswer();
    void Further();
    void HintClick(); // the rule of the check point, counted as a prompt
    void HelpClick();
    void ExitClick();
    // Key-down: true when the key was consumed, so that no key-press follows it. A window that
    // drops a consumed key passes `pressFollows` false: nothing then waits for that press.
    bool FormKeyDown(platform::WORD key, bool pressFollows = true);
    void FormKeyPress(char ch);

    TSessionState State() const { return FState; }
    // The flags of the screen, as the state gives them.
    bool IntroShowing() const { return FState == TSessionState::Intro; }
    bool Answering() const {
        return FState == TSessionState::Choosing || FState == TSessionState::Confirming;
    }
    bool ExampleDone() const { return FState == TSessionState::ExampleDone; }
    bool ResultsShowing() const { return FState == TSessionState::Results; }
    // The last key-down was consumed; the key-press that follows it is ignored.
    bool KeyHandled() const { return FKeyHandled; }

    // Where the session stands, for the window and the tests.
    int ExampleIndex() const { return FExampleIndex; }
    int CheckPointIndex() const { return FCheckPointIndex; }
    const TSessionCheckPoint& CurrentCheckPoint() const { return FCurrentCheckPoint; }
    int CheckPointMistakes() const { return FCheckPointMistakes; }
    const TButtonAnswers& ButtonAnswer() const { return FButtonAnswer; }
    char RightChar() const { return FRightChar; }
    int AlternativeCount() const { return FAlternativeCount; }
    int ChosenAnswer() const { return FChosenAnswer; }
    int ExampleStartMistakes() const { return FExampleStartMistakes; }
    const TExampleLayout& Display() const { return FDisplay; }

    // The characters the check points show now, for DrawExample.
    TShownCheckPoints ShownCheckPoints() const;
    const std::vector<TSessionExample>& Examples() const { return Variant; }

private:
    void Begin(std::vector<TSessionExample> examples);
    void NextExample();
    void NextCheckPoint();
    void PassCheckPoint();
    void FinishExample();
    void WrongAnswer();
    void DoAccept();
    void DoFurther();
    void ShowCheckPointRule(bool countPrompt);
    void ShowAnswerButtons();
    void LayOutExample();
    void PrepareButtons();
    void PlaceButtons();
    void DrawExample();
    // The chosen answer, and with it the state between choosing and confirming while answering.
    void SetChosen(int answer);
    char AnswerChar(int answer) const;
    bool HasAnswerableCheckPoint(const TSessionExample& example) const;
    static bool IsAnswerable(const TSessionExample& example, const TSessionCheckPoint& cp);
    // A fault met inside a step (an answer without a button face) is raised when the whole
    // action is done, so that the screen is never left half advanced.
    void RaisePending();

    ISessionView& View;
    TRandom Random;
    TFPupil* Pupil = nullptr;
    std::vector<TSessionExample> Variant;
    std::vector<int> ExampleMistakes; // per example of Variant
    bool FInRound = false;
    TSessionState FState = TSessionState::Intro;
    bool FKeyHandled = false;
    int FExampleIndex = -1;
    int FCheckPointIndex = -1;
    TSessionCheckPoint FCurrentCheckPoint;
    int FCheckPointMistakes = 0;
    TButtonAnswers FButtonAnswer{0, 0, 0};
    char FRightChar = 0;
    int FAlternativeCount = 0;
    int FChosenAnswer = 0;
    int FExampleStartMistakes = 0;
    TExampleLayout FDisplay;
    bool HaveCheckPoint = false; // a check point of this session has been put
    std::string PendingFault;
};
