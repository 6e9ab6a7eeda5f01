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

// What the session asks of its window.
class ISessionView {
public:
    virtual ~ISessionView() = default;

    // The example box as it is now (sizes, scroll position) and the left edge of the Help button,
    // around whose half the answer buttons stand.
    virtual TBoxGeometry BoxGeometry() const = 0;
    virtual int HelpButtonLeft() const = 0;
    virtual std::array<int, 3> AnswerButtonWidths() const = 0;

    // The session screen (panel, example box) in place of the results; StartSession.
    virtual void ShowSessionScreen() = 0;
    // The text picture: hidden while a new example is laid out, given its size and scroll range.
    virtual void HideExample() = 0;
    virtual void ShowExample() = 0;
    virtual void SetScroll(int range, int position, bool barVisible) = 0;
    // DrawExample with the session's present state, handed to the picture in one step.
    virtual void Redraw() = 0;

    // Faces, hints and places of the three answer buttons (loading a face may raise).
    virtual void SetAnswerButtons(const std::array<TAnswerButton, 3>& buttons) = 0;
    // The button sets: answer buttons (the third only when asked), arrow, Help, Hint, Exit;
    // Accept and Cancel; nothing; Further with Help, Hint, Exit.
    virtual void ShowAnswerButtons(bool third) = 0;
    virtual void ShowConfirmButtons() = 0;
    virtual void HideAllButtons() = 0;
    virtual void ShowFurtherButtons() = 0;
    virtual void HideFurtherButton() = 0;

    // The other windows. Cell coordinates are in the text picture; the window turns them into
    // screen pixels.
    virtual void ShowRule(const std::string& rule, int cellX, int cellY) = 0;
    virtual void HideRule() = 0;
    virtual void ShowHelp() = 0;
    virtual void ShowPraise() = 0; // modal
    virtual void ShowRight() = 0;  // modal, below the example box
    virtual void ShowSlip() = 0;
    virtual void CloseSplash() = 0;  // the intro: hides it and opens the selection
    virtual void ShowResults() = 0;  // the variant is done
    virtual void RunSelection() = 0; // the modal variant selection
    virtual void CloseForm() = 0;    // asks the exit question
};

class TExerciseSession {
public:
    TExerciseSession(ISessionView& view, TRandom random);

    // Starts at the first check point of the first example. The pupil record has been filled by
    // the caller and stays the caller's.
    void StartSession(std::vector<TSessionExample> examples, TFPupil& pupil);
    // Leaves the results and runs the selection.
    void BackToSelection();

    // The pupil's actions.
    void ChooseButton(int button); // 1..3
    void AcceptAnswer();
    void CancelAnswer();
    void Further();
    void HintClick(); // the rule of the check point, counted as a prompt
    void HelpClick();
    void ExitClick();
    // Key-down: true when the key was consumed, so that no key-press follows it.
    bool FormKeyDown(platform::WORD key);
    void FormKeyPress(char ch);

    // State, for the window and the tests.
    bool Answering = false;
    bool IntroShowing = true;
    bool ResultsShowing = false;
    bool ExampleDone = false;
    int ExampleIndex = -1;
    int CheckPointIndex = -1;
    TSessionCheckPoint CurrentCheckPoint;
    int CheckPointMistakes = 0;
    TButtonAnswers ButtonAnswer{0, 0, 0};
    char RightChar = 0;
    int AlternativeCount = 0;
    int ChosenAnswer = 0;
    bool KeyHandled = false;
    int ExampleStartMistakes = 0;
    TExampleLayout Display;

    // The characters the check points show now, for DrawExample.
    TShownCheckPoints ShownCheckPoints() const;
    const std::vector<TSessionExample>& Examples() const { return Variant; }

private:
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
    void DrawExample() { View.Redraw(); }
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
    bool HaveCheckPoint = false; // a check point of this session has been put
    std::string PendingFault;
};
