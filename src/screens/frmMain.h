#pragma once
// The exercise screen, the trainer's main window: its widgets, their layout on every resize, and
// one-line handlers into the session, which decides everything else (Session.h).

#include "platform/Bitmap.h"
#include "platform/Form.h"
#include "screens/ScreenLinks.h"
#include "session/Selection.h"
#include "session/Session.h"

#include <random>

class QLabel;
class QScrollArea;
class QTimer;
class TConfig;
class TFButton;
class TFFont;
class TFPupil;
class TNFFont;
class TTask;
namespace platform {
class TImage;
}

class TfrmMain : public platform::TForm, public ISelectionHost, private ISessionView {
    Q_OBJECT
public:
    // What the screen reads and counts into, and the windows it opens; any may be missing (the
    // creation handler then does less, the window is not called).
    struct TLinks {
        const TConfig* Config = nullptr;
        const TFFont* Fonts = nullptr;
        const TTask* Tasks = nullptr;
        TFPupil* Pupil = nullptr;
        IRuleWindow* Rule = nullptr;
        IHelpWindow* Help = nullptr;
        ISplashWindow* Splash = nullptr;
        ISelectionWindow* Selection = nullptr;
        IExitQuestion* Exit = nullptr;
    };
    explicit TfrmMain(TLinks links, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // All of the window's set-up at once: the intro state and the screen's place, the pictures
    // and the results background.
    void FormCreate() override;
    // What the intro needs of this window; start-up runs it as the creation handler and leaves
    // the pictures until the intro is up.
    void PrepareIntro();
    // The button panel's and the example box's pictures. Every one is tried even when one before
    // it fails; the first failure is then raised for the standard exception report, and the form
    // keeps all that loaded.
    void LoadPictures();
    // The results screen's background; one that cannot be read is reported here.
    void LoadResultsBackground();
    // Runs the variant selection modally; afterwards the main window is shown, the rule, help and
    // splash windows are hidden and the results state is left.
    void BackToSelection();
    // Key preview on, to the front with the focus.
    void TakeFocus() override;
    // Starts the session at the first check point of the chosen variant; the pupil record has
    // been filled by the caller.
    void StartSession(const TSelection& selection) override;
    void FormKeyDown(platform::WORD& key, platform::TShiftState shift) override;
    void FormKeyPress(char& key) override;
    void ShowButtonPanel(bool visible) override;
    void HideResults() override;
    void MinimizeScreen() override { showMinimized(); }
    bool ButtonPanelVisible() const;
    bool ResultsVisible() const;
    // The variant of the running session, as the selection chose it.
    const TSelection& Selection() const { return Chosen; }

    // The state of the exercise, for the results screen and the tests.
    const TExerciseSession& Session() const { return FSession; }

    platform::TBitmap ResultsBackground;
    QWidget* panTest = nullptr;
    platform::TImage* imgResult = nullptr;
    QScrollArea* scbExample = nullptr;
    platform::TImage* imgExample = nullptr;
    platform::TImage* imgPointer = nullptr;
    platform::TImage* imgFrame = nullptr;
    platform::TImage* imgButtonsBackground = nullptr;
    platform::TImage* imgArrow = nullptr;
    // How far the pupil is: "3 / 10", the sentence the session plays of those it plays.
    QLabel* lblProgress = nullptr;
    TFButton* fbtnAnswer1 = nullptr;
    TFButton* fbtnAnswer2 = nullptr;
    TFButton* fbtnAnswer3 = nullptr;
    TFButton* fbtnAccept = nullptr;
    TFButton* fbtnCancel = nullptr;
    TFButton* fbtnFurther = nullptr;
    TFButton* fbtnHelp = nullptr;
    TFButton* fbtnHint = nullptr;
    TFButton* fbtnExit = nullptr;
    QTimer* Maximize = nullptr;

    // The handlers of the buttons.
    void fbtnAnswer1Click() { FSession.ChooseButton(1); }
    void fbtnAnswer2Click() { FSession.ChooseButton(2); }
    void fbtnAnswer3Click() { FSession.ChooseButton(3); }
    void fbtnAcceptClick() { FSession.AcceptAnswer(); }
    void fbtnCancelClick() { FSession.CancelAnswer(); }
    void fbtnFurtherClick() { FSession.Further(); }
    void fbtnHelpClick() { FSession.HelpClick(); }
    void fbtnHintClick() { FSession.HintClick(); }
    void fbtnExitClick() { FSession.ExitClick(); }
    void imgResultClick() {
        if (FSession.ResultsShowing())
            BackToSelection();
    }

protected:
    void FormShow() override;
    void FormResize() override;
    void FormActivate() override;
    bool FormCloseQuery() override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ISessionView
    TSessionGeometry Geometry() const override;
    void ShowExerciseScreen() override;
    void HideExample() override;
    void ShowExample() override;
    void PlaceExample(const TExampleLayout& layout) override;
    void DrawExample(const TExampleState& example) override;
    void SetAnswers(const std::array<TAnswerButton, 3>& buttons) override;
    void OfferAnswers(bool third) override;
    void AskToConfirm() override;
    void OfferNothing() override;
    void OfferFurther() override;
    void WithdrawFurther() override;
    void ShowRule(const std::string& rule, int cellX, int cellY) override;
    void HideRule() override;
    void ShowHelp() override;
    void ShowPraise() override;
    void ShowRightAnswer() override;
    void ShowSlip() override;
    void CloseIntro() override;
    void ShowResults() override;
    void RunSelection() override;
    void AskToLeave() override;

    void PlaceFrame();
    void PlaceProgress();
    void MaximizeTimer();
    void SaveInterrupted();
    // The configuration's results file; empty without one.
    std::string ResultFile() const;
    void SetButtonFace(TFButton* button, const TButtonFace& face);
    TFButton* NewButton(const char* name, void (TfrmMain::*click)());

    TLinks Links;
    TSelection Chosen;
    std::mt19937 Generator;
    TExerciseSession FSession;
    const TNFFont* LargeFont = nullptr;
    platform::TBitmap ExamplePicture;
    bool CloseConfirmed = false;
};

// "3 / 10" for the sentence at `index` (from 0) of `count`; empty before the first sentence.
std::string ProgressText(int index, std::size_t count);

// The pictures stored with the program, in the picture folder beside the others.
constexpr const char* FramePictureName = "frame.fpf";
constexpr const char* PointerPictureName = "pointer.fpf";
