#pragma once
// The trainer's objects for one run: the configuration, the libraries, the fonts, the pupil
// record and the six windows, created in their fixed order (the main window and the intro's
// first, the other four once the intro is up) and freed in reverse. It gives each window what
// that window uses through its constructor, and stands between the windows: what one asks of
// another goes through a narrow interface (screens/ScreenLinks.h) that the trainer implements by
// passing the call on.

#include <exception>
#include <memory>
#include <string>

namespace platform {
class TInstanceLock;
}
class TConfig;
class TFFont;
class TTask;
class TFRule;
class TFPupil;
class TfrmMain;
class TfrmVariant;
class TfrmRule;
class TfrmHelp;
class TfrmSplash;
class TfrmExitQuery;

class TTrainer {
public:
    TTrainer();
    ~TTrainer();
    TTrainer(const TTrainer&) = delete;
    TTrainer& operator=(const TTrainer&) = delete;

    // Clears the failure flag and creates Config, Fonts, Tasks, Rules and CurrentPupil, each
    // after the first only while the flag stays clear.
    void CreateObjects();
    // Creates the main window and the intro's window, whatever the flag says, and sets up only
    // what the intro needs; the other four windows and creation handlers wait for
    // LoadBehindTheIntro.
    void CreateForms();
    // Once the intro is up: the selection, rule, help and exit windows, the main window's
    // pictures, then the creation handlers of those four windows in their order, each under the
    // standard exception report, then the results background when the main window is shown.
    // Runs once; also when the intro never comes, so that every report is still shown, and
    // earlier when one of those windows is asked for before the intro's first frame.
    void LoadBehindTheIntro();
    // Shows the intro and runs the event loop until the main window closes; only when the flag
    // is clear. Right after the intro's first frame the rest is loaded (FinishStartUp); a
    // selection picture that cannot be read then ends the loop and is raised from here, as an
    // intro that cannot be read is.
    void RunEventLoop();
    // LoadBehindTheIntro, then the selection's background. True once done; false while it runs
    // (a report's box is up) or when it failed. Runs once.
    bool FinishStartUp();
    // The intro was dismissed: once FinishStartUp is done, on to the selection. A key that comes
    // while it runs hands over when it ends; after a failure nothing follows.
    void IntroClosed();
    // Frees the objects in reverse order, clears the interface strings, then destroys the windows.
    void Shutdown();

    // A second copy in the same user session is refused; false when another copy holds the lock.
    bool AcquireInstanceLock();
    // The same with the lock file named; a lock that cannot be made at all (its folder missing or
    // not writable) is no sign of another copy and does not refuse the start.
    bool AcquireInstanceLock(const std::string& lockFile);

    // The objects, under the names they have in the program's description; null until created,
    // and when skipped or freed. Only the trainer creates, replaces or frees them.
    std::unique_ptr<TConfig> Config;
    std::unique_ptr<TFFont> Fonts;
    std::unique_ptr<TTask> Tasks;
    std::unique_ptr<TFRule> Rules;
    std::unique_ptr<TFPupil> CurrentPupil;
    std::unique_ptr<TfrmMain> frmMain;
    std::unique_ptr<TfrmVariant> frmVariant;
    std::unique_ptr<TfrmRule> frmRule;
    std::unique_ptr<TfrmHelp> frmHelp;
    std::unique_ptr<TfrmSplash> frmSplash;
    std::unique_ptr<TfrmExitQuery> frmExitQuery;

private:
    void CreateLaterForms();

    class TWindowLinks;
    std::unique_ptr<TWindowLinks> Links;
    std::unique_ptr<platform::TInstanceLock> InstanceLock;
    bool LoadedBehindTheIntro = false;
    enum class TBehind { Waiting, Loading, Done, Failed };
    TBehind Behind = TBehind::Waiting;
    bool HandOverWhenLoaded = false;
    std::exception_ptr StartUpFailure;
    // Milliseconds after which the rest is loaded even when the intro was never exposed.
    static constexpr int FirstFrameFallback = 500;
};
