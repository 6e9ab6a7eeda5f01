#pragma once
// The hand-over contract between the trainer's six windows. Each window is reached only through
// its instance below and the operations of its screen class, so a window can be built and tested
// before the windows it calls exist.

#include "platform/Form.h"

#include <QRect>
#include <cstdint>
#include <string>

class QWidget;

// The exercise screen, the program's main window.
class TMainScreen : public platform::TForm {
    Q_OBJECT
public:
    using TForm::TForm;
    // Runs the variant selection modally; afterwards the main window is shown, the rule, help and
    // splash windows are hidden and the results state is left.
    virtual void BackToSelection() = 0;
    // Starts the session at the first check point of the variant the selection indices name.
    virtual void StartSession() = 0;
    // Keys that other windows pass on, treated as if the main window had received them.
    void FormKeyDown(platform::WORD& key, platform::TShiftState shift) override = 0;
    void FormKeyPress(char& key) override = 0;

    // The button panel (panTest) and the results picture (imgResult): the selection hides both
    // while it is open and shows the panel again on Go.
    virtual void ShowButtonPanel(bool visible) = 0;
    virtual void HideResults() = 0;
    virtual bool ButtonPanelVisible() const = 0;
    virtual bool ResultsVisible() const = 0;
};

// The variant selection.
class TVariantScreen : public platform::TForm {
    Q_OBJECT
public:
    using TForm::TForm;
    // Modal, full screen; returns after Go (which has started the session) or after the pupil
    // left through the exit question.
    virtual void ShowSelection() = 0;
    // Loads the background picture so that the first showing is quick.
    virtual void LoadBackground() = 0;
};

// The rule window.
class TRuleScreen : public platform::TForm {
    Q_OBJECT
public:
    using TForm::TForm;
    // Draws the rule and shows the window beside the check point's cell (screen pixels). The
    // example box is the sentence area on the screen; its right and bottom edges (x + width,
    // y + height) decide whether the window goes left of or above the cell instead.
    virtual void ShowRule(const std::string& rule, int x, int y, const QRect& exampleBox) = 0;
    // Hides the window and gives the focus back to the main window.
    virtual void HideRule() = 0;
};

// The help window.
class THelpScreen : public platform::TForm {
    Q_OBJECT
public:
    using TForm::TForm;
    virtual void ShowHelp() = 0;
    virtual void HideHelp() = 0;
};

// The intro, praise, right-answer and slip pictures.
class TSplashScreen : public platform::TForm {
    Q_OBJECT
public:
    using TForm::TForm;
    virtual void ShowIntro() = 0;        // not modal, full screen
    virtual void ShowPraise() = 0;       // modal
    virtual void ShowRight(int top) = 0; // modal, centred horizontally, top edge at `top`
    virtual void ShowSlip() = 0;         // not modal
    virtual void CloseSplash() = 0;      // as the current use requires; the intro goes on to
                                         // BackToSelection of the main window
};

// The exit question.
class TExitQueryScreen : public platform::TForm {
    Q_OBJECT
public:
    using TForm::TForm;
    // Modal; returns the modal result: 1 keep working (only when allowContinue), 2 choose another
    // variant, 3 quit; anything else means that the window was closed without a choice.
    virtual int Ask(bool allowContinue) = 0;
};

// The window instances, created by start-up in this order and destroyed after the globals.
extern TMainScreen* frmMain;
extern TVariantScreen* frmVariant;
extern TRuleScreen* frmRule;
extern THelpScreen* frmHelp;
extern TSplashScreen* frmSplash;
extern TExitQueryScreen* frmExitQuery;

// The selection: 0-based indexes into Classes, the class's Themes and the theme's Variants;
// -1 when nothing is chosen in that list. All 0 at program start.
extern std::int32_t SelectedClass;
extern std::int32_t SelectedTheme;
extern std::int32_t SelectedVariant;
