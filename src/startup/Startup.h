#pragma once
// Start-up and shutdown of the trainer: the content directory, the global objects in their fixed
// order, the six windows, the screen check, the intro and the event loop, and everything freed
// again in reverse order.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class TConfig;
class TFFont;
class TTask;
class TFRule;
class TFPupil;
class TMainScreen;
class TVariantScreen;
class TRuleScreen;
class THelpScreen;
class TSplashScreen;
class TExitQueryScreen;
class QLockFile;

struct TStartupOptions {
    std::string ContentDir; // from --content; empty: environment or beside the binary
    bool PrintConfig = false;
    bool Help = false;
    bool Version = false;
    std::string Error; // a malformed command line
};

TStartupOptions ParseCommandLine(const std::vector<std::string>& args);
std::string UsageText();

// --content, else $ZARVO_CONTENT_DIR, else <binary dir>/../share/zarvo/; absolute, ending in '/'.
std::string LocateContentDir(const std::string& option, const std::string& binaryDir);

// The screen is good enough: at least 640 x 400 pixels and more than 7 bits per pixel.
bool SystemRequirementsMet(int width, int height, int bitsPerPixel);

// Owns the global objects and the windows for one run.
class TStartup {
public:
    TStartup();
    ~TStartup();

    // Clears the flag and creates Config, Fonts, Tasks, Rules, CurrentPupil while it stays clear.
    void CreateGlobals();
    // Creates the six windows in their order, running each creation handler under the standard
    // exception report.
    void CreateForms();
    // Shows the intro and runs the event loop until the main window closes; only when the flag
    // is clear.
    void RunEventLoop();
    // Frees the globals in reverse order, clears the interface strings, then destroys the forms.
    void Shutdown();

    // A second copy in the same user session is refused; false when another copy holds the lock.
    bool AcquireInstanceLock();
    // The same with the lock file named; a lock that cannot be made at all (its folder missing or
    // not writable) is no sign of another copy and does not refuse the start.
    bool AcquireInstanceLock(const std::string& lockFile);

private:
    std::unique_ptr<TConfig> OwnConfig;
    std::unique_ptr<TFFont> OwnFonts;
    std::unique_ptr<TTask> OwnTasks;
    std::unique_ptr<TFRule> OwnRules;
    std::unique_ptr<TFPupil> OwnPupil;
    std::unique_ptr<TMainScreen> OwnMain;
    std::unique_ptr<TVariantScreen> OwnVariant;
    std::unique_ptr<TRuleScreen> OwnRule;
    std::unique_ptr<THelpScreen> OwnHelp;
    std::unique_ptr<TSplashScreen> OwnSplash;
    std::unique_ptr<TExitQueryScreen> OwnExitQuery;
    std::unique_ptr<QLockFile> InstanceLock;
};

// The whole run of the trainer inside an existing application object; returns the exit status:
// 0, 1 when start-up failed (the flag was set), 2 when another copy is running, 3 when an error
// escaped start-up (shown in an error box and written to `err`).
int RunTrainer(const TStartupOptions& options, const std::string& binaryDir, std::ostream& err);

// --print-config: what the trainer resolves at start-up, one Name=value per line in UTF-8,
// without the language question and without windows. Boxes go to `err`; returns non-zero when
// one was shown or a setting could not be read.
int PrintConfig(const TStartupOptions& options, const std::string& binaryDir, std::ostream& out,
                std::ostream& err);

// The program's main: handles --help and --version, creates the application object.
int ZarvoMain(int argc, char** argv);
