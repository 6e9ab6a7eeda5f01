#pragma once
// The trainer's objects for one run: the configuration, the libraries, the fonts, the pupil
// record and the six windows, created in their fixed order and freed in reverse. It gives each
// window what that window uses through its constructor, and stands between the windows: what
// one asks of another goes through a narrow interface (screens/ScreenLinks.h) that the trainer
// implements by passing the call on.

#include <memory>
#include <string>

class QLockFile;
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
    // Creates the six windows in their order, running each creation handler under the standard
    // exception report; the windows are created whatever the flag says.
    void CreateForms();
    // Shows the intro and runs the event loop until the main window closes; only when the flag
    // is clear.
    void RunEventLoop();
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
    class TWindowLinks;
    std::unique_ptr<TWindowLinks> Links;
    std::unique_ptr<QLockFile> InstanceLock;
};
