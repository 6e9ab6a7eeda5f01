#include "startup/Trainer.h"

#include "app/Globals.h"
#include "app/Reports.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "content/FRule.h"
#include "content/Task.h"
#include "platform/Application.h"
#include "render/FFont.h"
#include "screens/ScreenLinks.h"
#include "screens/frmExitQuery.h"
#include "screens/frmHelp.h"
#include "screens/frmMain.h"
#include "screens/frmRule.h"
#include "screens/frmSplash.h"
#include "screens/frmVariant.h"
#include "session/Pupil.h"

#include <QLockFile>
#include <QStandardPaths>

using namespace platform;

// Every narrow interface between the windows, each call passed on to the window concerned. The
// windows are made one after another, so a window made early is given this object, not the
// windows made after it; a window that is not there (yet, or any more) is not called.
class TTrainer::TWindowLinks : public IRuleWindow,
                               public IHelpWindow,
                               public ISplashWindow,
                               public ISelectionWindow,
                               public IExitQuestion,
                               public ISelectionHost,
                               public IRuleHost,
                               public IIntroHost {
public:
    explicit TWindowLinks(TTrainer& trainer) : T(trainer) {}

    // The rule window.
    void ShowRule(const std::string& rule, int x, int y, const QRect& exampleBox,
                  const TSentenceOnScreen& sentence) override {
        if (T.frmRule)
            T.frmRule->ShowRule(rule, x, y, exampleBox, sentence);
    }
    void HideRule() override {
        if (T.frmRule)
            T.frmRule->HideRule();
    }
    bool RuleShown() const override { return T.frmRule && T.frmRule->RuleShown(); }

    // The help window.
    void ShowHelp() override {
        if (T.frmHelp)
            T.frmHelp->ShowHelp();
    }
    void HideHelp() override {
        if (T.frmHelp)
            T.frmHelp->HideHelp();
    }

    // The pictures.
    void ShowPraise() override {
        if (T.frmSplash)
            T.frmSplash->ShowPraise();
    }
    void ShowRight(int top) override {
        if (T.frmSplash)
            T.frmSplash->ShowRight(top);
    }
    void ShowSlip() override {
        if (T.frmSplash)
            T.frmSplash->ShowSlip();
    }
    void CloseSplash() override {
        if (T.frmSplash)
            T.frmSplash->CloseSplash();
    }
    void HideSplash() override {
        if (T.frmSplash)
            T.frmSplash->HideSplash();
    }

    // The selection.
    void ShowSelection() override {
        if (T.frmVariant)
            T.frmVariant->ShowSelection();
    }
    bool ActivateSelection() override { return T.frmVariant && T.frmVariant->ActivateSelection(); }

    // The exit question; without it the window closes as if no choice was made.
    int Ask(bool allowContinue) override {
        return T.frmExitQuery ? T.frmExitQuery->Ask(allowContinue) : 0;
    }

    // The exercise screen, for the selection.
    void ShowButtonPanel(bool visible) override {
        if (T.frmMain)
            T.frmMain->ShowButtonPanel(visible);
    }
    void HideResults() override {
        if (T.frmMain)
            T.frmMain->HideResults();
    }
    void TakeFocus() override {
        if (T.frmMain)
            T.frmMain->TakeFocus();
    }
    void StartSession(const TSelection& selection) override {
        if (T.frmMain)
            T.frmMain->StartSession(selection);
    }
    void MinimizeScreen() override {
        if (T.frmMain)
            T.frmMain->MinimizeScreen();
    }

    // The exercise screen, for the rule window.
    void PassKeyDown(WORD& key, TShiftState shift) override {
        if (T.frmMain)
            T.frmMain->FormKeyDown(key, shift);
    }
    void PassKeyPress(char& key) override {
        if (T.frmMain)
            T.frmMain->FormKeyPress(key);
    }
    void RuleHidden() override {
        if (T.frmMain && T.frmMain->isVisible())
            T.frmMain->activateWindow();
    }

    // The exercise screen and the selection, for the intro.
    void PrepareSelection() override {
        if (T.frmVariant)
            T.frmVariant->LoadBackground();
    }
    void IntroClosed() override {
        if (T.frmMain)
            T.frmMain->BackToSelection();
    }

private:
    TTrainer& T;
};

TTrainer::TTrainer() : Links(std::make_unique<TWindowLinks>(*this)) {}

TTrainer::~TTrainer() {
    Shutdown();
}

void TTrainer::CreateObjects() {
    GlobalFailure = false;
    Config = std::make_unique<TConfig>(AskLanguage);
    // What a reader met becomes the boxes and the failure flag once it has returned.
    ShowReadErrors(Config->Errors);
    if (!GlobalFailure) {
        Fonts = std::make_unique<TFFont>(Config->GetFontFile());
        ShowReadErrors(Fonts->Errors);
    }
    if (!GlobalFailure) {
        Tasks = std::make_unique<TTask>(Config->GetVarLibFile());
        ShowReadErrors(Tasks->Errors);
    }
    if (!GlobalFailure) {
        Rules = std::make_unique<TFRule>(Config->GetRuleFile());
        ShowReadErrors(Rules->Errors);
    }
    if (!GlobalFailure)
        CurrentPupil = std::make_unique<TFPupil>("", "", "", "");
}

namespace {

// A form's creation handler may fail; the standard exception report shows it and start-up goes
// on with the next form.
template <class TForm> void RunCreationHandler(TForm& form) {
    try {
        form.FormCreate();
    } catch (const std::exception& e) {
        if (TApplication* app = Application())
            app->ShowException(e);
    }
}

} // namespace

void TTrainer::CreateForms() {
    TWindowLinks* links = Links.get();
    frmMain = std::make_unique<TfrmMain>(TfrmMain::TLinks{Config.get(), Fonts.get(), Tasks.get(),
                                                          CurrentPupil.get(), links, links, links,
                                                          links, links});
    RunCreationHandler(*frmMain);
    frmVariant = std::make_unique<TfrmVariant>(TfrmVariant::TLinks{
        Config.get(), Fonts.get(), Tasks.get(), CurrentPupil.get(), links, links});
    RunCreationHandler(*frmVariant);
    frmRule = std::make_unique<TfrmRule>(TfrmRule::TLinks{Fonts.get(), Rules.get(), links});
    RunCreationHandler(*frmRule);
    frmHelp = std::make_unique<TfrmHelp>(Config.get());
    RunCreationHandler(*frmHelp);
    frmSplash = std::make_unique<TfrmSplash>(Config.get(), links);
    RunCreationHandler(*frmSplash);
    frmExitQuery = std::make_unique<TfrmExitQuery>(Config.get());
    RunCreationHandler(*frmExitQuery);
}

void TTrainer::RunEventLoop() {
    if (GlobalFailure || !frmMain || !frmSplash)
        return;
    TApplication* app = Application();
    app->SetMainForm(frmMain.get());
    frmMain->ShowMaximized();
    frmSplash->ShowIntro();
    app->Run();
}

void TTrainer::Shutdown() {
    CurrentPupil.reset();
    Rules.reset();
    Tasks.reset();
    Fonts.reset();
    Config.reset();
    ClearInterfaceStrings();
    // Only now the windows go; their destructors must not use the objects above.
    frmExitQuery.reset();
    frmSplash.reset();
    frmHelp.reset();
    frmRule.reset();
    frmVariant.reset();
    frmMain.reset();
    InstanceLock.reset();
}

bool TTrainer::AcquireInstanceLock() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return AcquireInstanceLock((dir + "/zarvo.lock").toStdString());
}

bool TTrainer::AcquireInstanceLock(const std::string& lockFile) {
    InstanceLock = std::make_unique<QLockFile>(QString::fromStdString(lockFile));
    // A lock left by a copy that crashed names a dead process and is taken over.
    InstanceLock->setStaleLockTime(0);
    if (InstanceLock->tryLock(0))
        return true;
    // Only a lock that another process holds means another copy; telling the pupil so when the
    // lock file merely cannot be written would keep the trainer from starting at all.
    const bool heldElsewhere = InstanceLock->error() == QLockFile::LockFailedError;
    InstanceLock.reset();
    return !heldElsewhere;
}
