#include "startup/Startup.h"

#include "app/Globals.h"
#include "app/Reports.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "content/FRule.h"
#include "content/Task.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Screen.h"
#include "platform/Text.h"
#include "render/FFont.h"
#include "screens/Screens.h"
#include "screens/frmExitQuery.h"
#include "screens/frmHelp.h"
#include "screens/frmMain.h"
#include "screens/frmRule.h"
#include "screens/frmSplash.h"
#include "screens/frmVariant.h"
#include "session/Pupil.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLockFile>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#ifndef ZARVO_VERSION
#define ZARVO_VERSION "0.0.0"
#endif

using namespace platform;

TStartupOptions ParseCommandLine(const std::vector<std::string>& args) {
    TStartupOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--content") {
            if (i + 1 >= args.size()) {
                options.Error = "--content needs a directory";
                break;
            }
            options.ContentDir = args[++i];
        } else if (a.rfind("--content=", 0) == 0) {
            options.ContentDir = a.substr(10);
        } else if (a == "--print-config") {
            options.PrintConfig = true;
        } else if (a == "--help" || a == "-h") {
            options.Help = true;
        } else if (a == "--version") {
            options.Version = true;
        } else {
            options.Error = "unknown argument: " + a;
            break;
        }
        if (options.ContentDir.empty() && a.rfind("--content", 0) == 0) {
            options.Error = "--content needs a directory";
            break;
        }
    }
    return options;
}

std::string UsageText() {
    return "Usage: zarvo [--content DIR] [--print-config] [--help] [--version]\n"
           "\n"
           "Zarvo, a trainer of Russian punctuation and spelling.\n"
           "\n"
           "  --content DIR   read the content (libraries, fonts, pictures) from DIR; otherwise\n"
           "                  $ZARVO_CONTENT_DIR, otherwise ../share/zarvo/ beside the program\n"
           "  --print-config  print the settings and file locations the trainer resolves at\n"
           "                  start-up, one Name=value per line, and exit; needs no display\n"
           "  --help          show this text and exit\n"
           "  --version       show the version and exit\n"
           "\n"
           "Environment: ZARVO_REGISTRY (the settings registry file, default\n"
           "/etc/zarvo/registry.reg), ZARVO_WINDIR (the folder of the system-wide Config.fcf,\n"
           "default /etc/zarvo), ZARVO_CONTENT_DIR, ZARVO_SCREEN (WIDTHxHEIGHT[xDEPTH], the\n"
           "screen size to assume instead of the real one).\n";
}

std::string LocateContentDir(const std::string& option, const std::string& binaryDir) {
    std::filesystem::path dir;
    if (!option.empty())
        dir = option;
    else if (const char* env = std::getenv("ZARVO_CONTENT_DIR"); env && *env)
        dir = env;
    else
        dir = std::filesystem::path(binaryDir) / ".." / "share" / "zarvo";
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::weakly_canonical(dir, ec);
    if (ec)
        absolute = std::filesystem::absolute(dir);
    std::string s = absolute.string();
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

bool SystemRequirementsMet(int width, int height, int bitsPerPixel) {
    return height >= 400 && width >= 640 && bitsPerPixel > 7;
}

TStartup::TStartup() = default;

TStartup::~TStartup() {
    Shutdown();
}

void TStartup::CreateGlobals() {
    GlobalFailure = false;
    OwnConfig = std::make_unique<TConfig>();
    ::Config = OwnConfig.get();
    if (!GlobalFailure) {
        OwnFonts = std::make_unique<TFFont>();
        ::Fonts = OwnFonts.get();
    }
    if (!GlobalFailure) {
        OwnTasks = std::make_unique<TTask>(OwnConfig->GetVarLibFile());
        ::Tasks = OwnTasks.get();
    }
    if (!GlobalFailure) {
        OwnRules = std::make_unique<TFRule>(OwnConfig->GetRuleFile());
        ::Rules = OwnRules.get();
    }
    if (!GlobalFailure) {
        OwnPupil = std::make_unique<TFPupil>("", "", "", "");
        ::CurrentPupil = OwnPupil.get();
    }
}

namespace {

// A form's creation handler may fail; the standard exception report shows it and start-up goes
// on with the next form.
template <class TForm, class TScreen>
void CreateForm(std::unique_ptr<TScreen>& owner, TScreen*& instance) {
    owner = std::make_unique<TForm>();
    instance = owner.get();
    try {
        owner->FormCreate();
    } catch (const std::exception& e) {
        if (TApplication* app = Application())
            app->ShowException(e);
    }
}

template <class T> void Release(std::unique_ptr<T>& owner, T*& instance) {
    instance = nullptr;
    owner.reset();
}

} // namespace

void TStartup::CreateForms() {
    CreateForm<TfrmMain>(OwnMain, frmMain);
    CreateForm<TfrmVariant>(OwnVariant, frmVariant);
    CreateForm<TfrmRule>(OwnRule, frmRule);
    CreateForm<TfrmHelp>(OwnHelp, frmHelp);
    CreateForm<TfrmSplash>(OwnSplash, frmSplash);
    CreateForm<TfrmExitQuery>(OwnExitQuery, frmExitQuery);
}

void TStartup::RunEventLoop() {
    if (GlobalFailure || !frmMain)
        return;
    TApplication* app = Application();
    app->SetMainForm(frmMain);
    frmMain->ShowMaximized();
    frmSplash->ShowIntro();
    app->Run();
}

void TStartup::Shutdown() {
    Release(OwnPupil, ::CurrentPupil);
    Release(OwnRules, ::Rules);
    Release(OwnTasks, ::Tasks);
    Release(OwnFonts, ::Fonts);
    Release(OwnConfig, ::Config);
    ClearInterfaceStrings();
    // Only now the windows go; their destructors must not use the globals.
    Release(OwnExitQuery, frmExitQuery);
    Release(OwnSplash, frmSplash);
    Release(OwnHelp, frmHelp);
    Release(OwnRule, frmRule);
    Release(OwnVariant, frmVariant);
    Release(OwnMain, frmMain);
    InstanceLock.reset();
}

bool TStartup::AcquireInstanceLock() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return AcquireInstanceLock((dir + "/zarvo.lock").toStdString());
}

bool TStartup::AcquireInstanceLock(const std::string& lockFile) {
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

int RunTrainer(const TStartupOptions& options, const std::string& binaryDir, std::ostream& err) {
    try {
        ContentDir = FromNativePath(LocateContentDir(options.ContentDir, binaryDir));
        TStartup startup;
        startup.CreateGlobals();
        if (!startup.AcquireInstanceLock()) {
            MessageBox(strBlockMessage1 + " " + Title + " " + strBlockMessage2, Title,
                       MB_OK | MB_ICONEXCLAMATION);
            return 2;
        }
        if (TApplication* app = Application())
            app->SetTitle(Title);
        startup.CreateForms();
        const TScreenMetrics screen = GetScreenMetrics();
        if (!SystemRequirementsMet(screen.Width, screen.Height, screen.BitsPerPixel))
            ShowSystemRequirementsError();
        const bool failed = GlobalFailure;
        startup.RunEventLoop();
        startup.Shutdown();
        return failed ? 1 : 0;
    } catch (const std::exception& e) {
        // An error that escapes a constructor ends start-up, as the run-time's report of an
        // unhandled error would; a registry value of the wrong type is the usual one. Start-up
        // has freed everything by now, so the interface strings are empty again.
        err << "zarvo: " << AnsiToUtf8(e.what()) << std::endl;
        MessageBox(e.what(), "Zarvo", MB_OK | MB_ICONERROR);
        return 3;
    }
}

int PrintConfig(const TStartupOptions& options, const std::string& binaryDir, std::ostream& out,
                std::ostream& err) {
    // Boxes go to the error stream and are counted.
    auto presenter = std::make_unique<TStreamMessagePresenter>(err, "zarvo");
    TStreamMessagePresenter* boxes = presenter.get();
    TMessagePresenterScope scope(std::move(presenter));
    int status = 0;
    try {
        ContentDir = FromNativePath(LocateContentDir(options.ContentDir, binaryDir));
        GlobalFailure = false;
        SetDefaultInterfaceStrings();
        TConfig config{TConfig::TSettingsOnly{}};
        std::string language;
        {
            TRegistry reg;
            if (reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Language", false))
                language = reg.ReadString("Language");
        }
        auto line = [&out](const char* name, const std::string& value) {
            out << name << '=' << AnsiToUtf8(value) << '\n';
        };
        line("VarLib", config.VarLib);
        line("VarLibLength", std::to_string(config.VarLibLength));
        line("FFF", config.FFF);
        line("Rule", config.Rule);
        line("Result", config.Result);
        line("FixedClass", config.FixedClass);
        line("FixedTheme", std::to_string(config.FixedTheme));
        line("Path", config.Path);
        line("ScreenSize", std::to_string(config.ScreenSize));
        line("GetVarLibFile", config.GetVarLibFile());
        line("GetRuleFile", config.GetRuleFile());
        line("GetFontFile", config.GetFontFile());
        line("GetResultFile", config.GetResultFile());
        line("GetVarLibSize", std::to_string(config.GetVarLibSize()));
        line("VarLibUnchanged", config.VarLibUnchanged() ? "true" : "false");
        line("RegistryLanguage", language);
        if (boxes->Shown() > 0 || GlobalFailure)
            status = 1;
    } catch (const std::exception& e) {
        err << "zarvo: " << AnsiToUtf8(e.what()) << "\n";
        status = 1;
    }
    out.flush();
    ClearInterfaceStrings();
    return status;
}

namespace {

std::string BinaryDir(const char* argv0) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        self = std::filesystem::absolute(argv0 ? argv0 : ".");
    return self.parent_path().string();
}

bool HaveDisplay() {
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* s = std::getenv(v); s && *s)
            return true;
    return false;
}

} // namespace

int ZarvoMain(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const TStartupOptions options = ParseCommandLine(args);
    if (!options.Error.empty()) {
        std::cerr << "zarvo: " << options.Error << "\n\n" << UsageText();
        return 2;
    }
    if (options.Help) {
        std::cout << UsageText();
        return 0;
    }
    if (options.Version) {
        std::cout << "zarvo " ZARVO_VERSION "\n";
        return 0;
    }
    const std::string binaryDir = BinaryDir(argc > 0 ? argv[0] : nullptr);
    // A mistyped --content would otherwise surface later as a library that cannot be opened.
    if (!options.ContentDir.empty() && !std::filesystem::is_directory(options.ContentDir)) {
        std::cerr << "zarvo: the content directory " << options.ContentDir << " does not exist\n";
        return 2;
    }
    if (options.PrintConfig) {
        // The screen is read only where there is one; ZARVO_SCREEN stands in for it elsewhere.
        if (HaveDisplay() && !std::getenv("ZARVO_SCREEN")) {
            // A display that cannot be reached (a stale DISPLAY in a remote shell) must not stop
            // the report: Qt then falls back to no screen at all, quietly.
            if (!std::getenv("QT_QPA_PLATFORM")) {
                setenv("QT_QPA_PLATFORM", "xcb;wayland;offscreen", 1);
                if (!std::getenv("QT_LOGGING_RULES"))
                    setenv("QT_LOGGING_RULES", "qt.qpa.*=false", 1);
            }
            QGuiApplication app(argc, argv);
            if (QGuiApplication::platformName() == "offscreen")
                SetScreenOverride(TScreenMetrics{}); // an invented screen is no screen
            return PrintConfig(options, binaryDir, std::cout, std::cerr);
        }
        QCoreApplication app(argc, argv);
        return PrintConfig(options, binaryDir, std::cout, std::cerr);
    }
    if (!HaveDisplay()) {
        std::cerr << "zarvo: no display to open the trainer on (DISPLAY is not set); "
                     "--print-config works without one\n";
        return 1;
    }
    TApplication app(argc, argv);
    return RunTrainer(options, binaryDir, std::cerr);
}
