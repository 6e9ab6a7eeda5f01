#include "startup/Trainer.h"

#include "app/Globals.h"
#include "app/Reports.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "content/FRule.h"
#include "content/Task.h"
#include "platform/Application.h"
#include "platform/InstanceLock.h"
#include "render/FFont.h"
#include "screens/ScreenLinks.h"
#include "screens/frmExitQuery.h"
#include "screens/frmHelp.h"
#include "screens/frmMain.h"
#include "screens/frmRule.h"
#include "screens/frmSplash.h"
#include "screens/frmVariant.h"
#include "session/Pupil.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <future>
#include <utility>

using namespace platform;

// Every narrow interface between the windows, each call passed on to the window concerned. The
// windows are made one after another, so a window made early is given this object, not the
// windows made after it; a window that is not there (yet, or any more) is not called. A call
// that needs one of the windows made after the first frame makes them first.
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
        T.LoadBehindTheIntro();
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
        T.LoadBehindTheIntro();
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
        T.LoadBehindTheIntro();
        if (T.frmVariant)
            T.frmVariant->ShowSelection();
    }
    bool ActivateSelection() override {
        T.LoadBehindTheIntro();
        return T.frmVariant && T.frmVariant->ActivateSelection();
    }

    // The exit question; without it the window closes as if no choice was made.
    int Ask(bool allowContinue) override {
        T.LoadBehindTheIntro();
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
    void IntroClosed() override { T.IntroClosed(); }

private:
    TTrainer& T;
};

TTrainer::TTrainer() : Links(std::make_unique<TWindowLinks>(*this)) {}

TTrainer::~TTrainer() {
    Shutdown();
}

namespace {

struct TLibraries {
    std::unique_ptr<TTask> Tasks;
    std::unique_ptr<TFRule> Rules;
};

} // namespace

void TTrainer::CreateObjects() {
    GlobalFailure = false;
    Config = std::make_unique<TConfig>(AskLanguage);
    // What a reader met becomes the boxes and the failure flag once it has returned.
    ShowReadErrors(Config->Errors);
    if (GlobalFailure)
        return;
    // The two libraries are read on a thread of their own while the fonts are read here. Their
    // reports still come after the fonts' and in their order, and what was read after a failure
    // is neither reported nor kept, as if it had not been read: leaving, the reading's future
    // waits for it and drops what it raised. Where no thread can be started (a process limit),
    // the reading is done by get() instead.
    std::future<TLibraries> libraries =
        std::async(std::launch::async | std::launch::deferred,
                   [varLib = Config->GetVarLibFile(), rule = Config->GetRuleFile()] {
                       TLibraries read;
                       read.Tasks = std::make_unique<TTask>(varLib);
                       read.Rules = std::make_unique<TFRule>(rule);
                       return read;
                   });
    Fonts = std::make_unique<TFFont>(Config->GetFontFile());
    ShowReadErrors(Fonts->Errors);
    if (GlobalFailure)
        return;
    TLibraries read = libraries.get();
    Tasks = std::move(read.Tasks);
    ShowReadErrors(Tasks->Errors);
    if (GlobalFailure)
        return;
    Rules = std::move(read.Rules);
    ShowReadErrors(Rules->Errors);
    if (!GlobalFailure)
        CurrentPupil = std::make_unique<TFPupil>("", "", "", "");
}

namespace {

// A form's creation handler may fail; the standard exception report shows it and start-up goes
// on with the next form.
template <class THandler> void RunCreationHandler(THandler&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        if (TApplication* app = Application())
            app->ShowException(e);
    }
}

} // namespace

void TTrainer::CreateForms() {
    TWindowLinks* links = Links.get();
    LoadedBehindTheIntro = false;
    Behind = TBehind::Waiting;
    HandOverWhenLoaded = false;
    StartUpFailure = nullptr;
    frmMain = std::make_unique<TfrmMain>(TfrmMain::TLinks{Config.get(), Fonts.get(), Tasks.get(),
                                                          CurrentPupil.get(), links, links, links,
                                                          links, links});
    RunCreationHandler([this] { frmMain->PrepareIntro(); });
    frmSplash = std::make_unique<TfrmSplash>(Config.get(), links);
    RunCreationHandler([this] { frmSplash->FormCreate(); });
}

void TTrainer::CreateLaterForms() {
    TWindowLinks* links = Links.get();
    frmVariant = std::make_unique<TfrmVariant>(TfrmVariant::TLinks{
        Config.get(), Fonts.get(), Tasks.get(), CurrentPupil.get(), links, links});
    frmRule = std::make_unique<TfrmRule>(TfrmRule::TLinks{Fonts.get(), Rules.get(), links});
    frmHelp = std::make_unique<TfrmHelp>(Config.get());
    frmExitQuery = std::make_unique<TfrmExitQuery>(Config.get());
}

// The later screens' windows, pictures and texts, and the system fonts their text widgets measure
// with, would otherwise keep the pupil looking at an empty desktop.
void TTrainer::LoadBehindTheIntro() {
    if (LoadedBehindTheIntro)
        return;
    LoadedBehindTheIntro = true;
    CreateLaterForms();
    if (frmMain)
        RunCreationHandler([this] { frmMain->LoadPictures(); });
    if (frmVariant)
        RunCreationHandler([this] { frmVariant->FormCreate(); });
    if (frmRule)
        RunCreationHandler([this] { frmRule->FormCreate(); });
    if (frmHelp)
        RunCreationHandler([this] { frmHelp->FormCreate(); });
    if (frmExitQuery)
        RunCreationHandler([this] { frmExitQuery->FormCreate(); });
    // The main window's first show loaded this; it is up only when the intro is.
    if (frmMain && frmMain->isVisible())
        frmMain->LoadResultsBackground();
}

namespace {

// Calls `done` once, right after the intro's window has been exposed and painted for the first
// time, or after `fallback` milliseconds when no exposure comes (a window manager that keeps it
// unmapped): the pupil then sees the intro while the rest loads.
class TFirstFrameWatch : public QObject {
public:
    TFirstFrameWatch(QWindow* window, int fallback, std::function<void()> done)
        : Window(window), Done(std::move(done)) {
        if (Window)
            Window->installEventFilter(this);
        // A platform without a window manager may have exposed it within its show.
        if (Window && Window->isExposed())
            QTimer::singleShot(0, this, [this] { Fire(); });
        QTimer::singleShot(fallback, this, [this] { Fire(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The expose is painted and flushed while this event is handled; a zero timer runs after.
        if (watched == Window && event->type() == QEvent::Expose && Window->isExposed())
            QTimer::singleShot(0, this, [this] { Fire(); });
        return false;
    }

private:
    void Fire() {
        if (!Done)
            return;
        if (Window)
            Window->removeEventFilter(this);
        auto done = std::move(Done);
        Done = nullptr;
        done();
    }

    QPointer<QWindow> Window;
    std::function<void()> Done;
};

} // namespace

bool TTrainer::FinishStartUp() {
    switch (Behind) {
    case TBehind::Done:
        return true;
    case TBehind::Loading: // a report's box is up and its loop let a key or the timer through
    case TBehind::Failed:
        return false;
    case TBehind::Waiting:
        break;
    }
    Behind = TBehind::Loading;
    LoadBehindTheIntro();
    try {
        // A selection picture that cannot be read ends start-up before the pupil can go on.
        if (frmVariant)
            frmVariant->LoadBackground();
    } catch (...) {
        Behind = TBehind::Failed;
        StartUpFailure = std::current_exception();
        QCoreApplication::exit(0);
        return false;
    }
    Behind = TBehind::Done;
    if (HandOverWhenLoaded) {
        HandOverWhenLoaded = false;
        // Not inside this call: the selection runs modally, and the caller may be a box's loop.
        QTimer::singleShot(0, frmMain.get(), [this] { IntroClosed(); });
    }
    return true;
}

void TTrainer::IntroClosed() {
    if (!FinishStartUp()) {
        // The key that closed the intro is kept for when the loading in progress is done.
        if (Behind == TBehind::Loading)
            HandOverWhenLoaded = true;
        return;
    }
    if (frmMain)
        frmMain->BackToSelection();
}

void TTrainer::RunEventLoop() {
    if (GlobalFailure || !frmMain || !frmSplash) {
        LoadBehindTheIntro();
        return;
    }
    TApplication* app = Application();
    app->SetMainForm(frmMain.get());
    frmMain->ShowMaximized();
    try {
        frmSplash->ShowIntro();
    } catch (...) {
        // The windows' own reports still come before the one that ends start-up.
        LoadBehindTheIntro();
        throw;
    }
    {
        TFirstFrameWatch watch(frmSplash->windowHandle(), FirstFrameFallback,
                               [this] { FinishStartUp(); });
        app->Run();
    }
    if (StartUpFailure)
        std::rethrow_exception(std::exchange(StartUpFailure, nullptr));
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
    InstanceLock = std::make_unique<TInstanceLock>(lockFile);
    switch (InstanceLock->TryAcquire()) {
    case TInstanceLock::TResult::Acquired:
        return true;
    case TInstanceLock::TResult::HeldElsewhere:
        InstanceLock.reset();
        return false;
    case TInstanceLock::TResult::Unavailable:
        break;
    }
    // Telling the pupil there is another copy when the lock file merely cannot be written would
    // keep the trainer from starting at all.
    InstanceLock.reset();
    return true;
}
