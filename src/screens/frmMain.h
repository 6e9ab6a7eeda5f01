#pragma once
// The exercise screen, the trainer's main window: its widgets, their layout on every resize, and
// one-line handlers into the session, which decides everything else (Session.h).

#include "platform/Bitmap.h"
#include "screens/Screens.h"
#include "session/Session.h"

#include <random>

class QScrollArea;
class QTimer;
class TFButton;
class TNFFont;
namespace platform {
class TImage;
}

class TfrmMain : public TMainScreen, private ISessionView {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    void FormCreate() override;
    void BackToSelection() override;
    void StartSession() override;
    void FormKeyDown(platform::WORD& key, platform::TShiftState shift) override;
    void FormKeyPress(char& key) override;
    void ShowButtonPanel(bool visible) override;
    void HideResults() override;
    bool ButtonPanelVisible() const override;
    bool ResultsVisible() const override;

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
        if (FSession.ResultsShowing)
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
    TBoxGeometry BoxGeometry() const override;
    int HelpButtonLeft() const override;
    std::array<int, 3> AnswerButtonWidths() const override;
    void ShowSessionScreen() override;
    void HideExample() override;
    void ShowExample() override;
    void SetScroll(int range, int position, bool barVisible) override;
    void Redraw() override;
    void SetAnswerButtons(const std::array<TAnswerButton, 3>& buttons) override;
    void ShowAnswerButtons(bool third) override;
    void ShowConfirmButtons() override;
    void HideAllButtons() override;
    void ShowFurtherButtons() override;
    void HideFurtherButton() override;
    void ShowRule(const std::string& rule, int cellX, int cellY) override;
    void HideRule() override;
    void ShowHelp() override;
    void ShowPraise() override;
    void ShowRight() override;
    void ShowSlip() override;
    void CloseSplash() override;
    void ShowResults() override;
    void RunSelection() override;
    void CloseForm() override;

    void LoadPictures();
    void PlaceFrame();
    void MaximizeTimer();
    void SaveInterrupted();
    void SetButtonFace(TFButton* button, const TButtonFace& face);
    TFButton* NewButton(const char* name, void (TfrmMain::*click)());
    std::vector<TSessionExample> SelectedExamples() const;

    std::mt19937 Generator;
    TExerciseSession FSession;
    const TNFFont* LargeFont = nullptr;
    platform::TBitmap ExamplePicture;
    bool CloseConfirmed = false;
};

// The pictures stored with the program, in the picture folder beside the others.
constexpr const char* FramePictureName = "frame.fpf";
constexpr const char* PointerPictureName = "pointer.fpf";
