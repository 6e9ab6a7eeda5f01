#pragma once
// What one window asks of another. Each window is given, through its constructor, only the
// narrow interfaces below that it uses; the owner of the windows (the trainer, src/startup)
// implements them by passing the call on to the window concerned, so that a window can be built
// and tested before, and without, the windows it calls.

#include "platform/Keys.h"

#include <QRect>
#include <string>
#include <vector>

struct TSelection;

// The sentence as it stands on the screen: its lines' rectangles and what must stay in sight (the
// check point's line with its pointer).
struct TSentenceOnScreen {
    std::vector<QRect> Lines;
    QRect KeepClear;
};

// The rule window, as the exercise screen uses it.
class IRuleWindow {
public:
    virtual ~IRuleWindow() = default;
    // Draws the rule and shows the window beside the check point's cell (screen pixels). The
    // example box is the sentence area on the screen. Without the sentence's lines its right and
    // bottom edges decide whether the window goes left of or above the cell instead; with them
    // the window keeps off the lines as far as the room allows.
    virtual void ShowRule(const std::string& rule, int x, int y, const QRect& exampleBox,
                          const TSentenceOnScreen& sentence) = 0;
    // Hides the window and gives the focus back to the exercise screen.
    virtual void HideRule() = 0;
    virtual bool RuleShown() const = 0;
};

// The help window, as the exercise screen uses it.
class IHelpWindow {
public:
    virtual ~IHelpWindow() = default;
    virtual void ShowHelp() = 0;
    virtual void HideHelp() = 0;
};

// The praise, right-answer and slip pictures and the intro, as the exercise screen uses them.
class ISplashWindow {
public:
    virtual ~ISplashWindow() = default;
    virtual void ShowPraise() = 0;       // modal
    virtual void ShowRight(int top) = 0; // modal, centred horizontally, top edge at `top`
    virtual void ShowSlip() = 0;         // not modal
    // As the current use requires; the intro goes on to the selection.
    virtual void CloseSplash() = 0;
    virtual void HideSplash() = 0;
};

// The variant selection, as the exercise screen uses it.
class ISelectionWindow {
public:
    virtual ~ISelectionWindow() = default;
    // Modal, full screen; returns after Go (which has started the session) or after the pupil
    // left through the exit question.
    virtual void ShowSelection() = 0;
    // Brings the selection to the front when it is open; false when it is not.
    virtual bool ActivateSelection() = 0;
};

// The exit question.
class IExitQuestion {
public:
    virtual ~IExitQuestion() = default;
    // Modal; returns the modal result: 1 keep working (only when allowContinue), 2 choose another
    // variant, 3 quit; anything else means that the window was closed without a choice.
    virtual int Ask(bool allowContinue) = 0;
};

// The exercise screen, as the selection uses it.
class ISelectionHost {
public:
    virtual ~ISelectionHost() = default;
    // The button panel and the results picture: the selection hides both while it is open and
    // shows the panel again on Go.
    virtual void ShowButtonPanel(bool visible) = 0;
    virtual void HideResults() = 0;
    // Go: the exercise screen sees every key first (key preview), comes to the front with the
    // focus, then starts the chosen variant.
    virtual void TakeFocus() = 0;
    virtual void StartSession(const TSelection& selection) = 0;
    // The selection was minimised: the exercise screen goes with it.
    virtual void MinimizeScreen() = 0;
};

// The exercise screen, as the rule window uses it.
class IRuleHost {
public:
    virtual ~IRuleHost() = default;
    // Keys the rule window does not take, treated as if the exercise screen had received them.
    virtual void PassKeyDown(platform::WORD& key, platform::TShiftState shift) = 0;
    virtual void PassKeyPress(char& key) = 0;
    // The rule window went: the exercise screen, when it is shown, gets the focus back.
    virtual void RuleHidden() = 0;
};

// The exercise screen and the selection, as the intro uses them.
class IIntroHost {
public:
    virtual ~IIntroHost() = default;
    // The intro was dismissed: on to the selection, once what it needs is loaded.
    virtual void IntroClosed() = 0;
};
