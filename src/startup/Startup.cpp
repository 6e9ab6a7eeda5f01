#include "startup/Startup.h"

#include "app/Globals.h"
#include "app/Reports.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "platform/Application.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/Screen.h"
#include "platform/Text.h"
#include "startup/Trainer.h"

#include <QCoreApplication>
#include <QGuiApplication>
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

int RunTrainer(const TStartupOptions& options, const std::string& binaryDir, std::ostream& err,
               const std::function<void(TTrainer&)>& ready) {
    try {
        ContentDir = FromNativePath(LocateContentDir(options.ContentDir, binaryDir));
        TTrainer trainer;
        trainer.CreateObjects();
        if (!trainer.AcquireInstanceLock()) {
            MessageBox(strBlockMessage1 + " " + Title + " " + strBlockMessage2, Title,
                       MB_OK | MB_ICONEXCLAMATION);
            return 2;
        }
        if (TApplication* app = Application())
            app->SetTitle(Title);
        trainer.CreateForms();
        if (ready)
            ready(trainer);
        const TScreenMetrics screen = GetScreenMetrics();
        if (!SystemRequirementsMet(screen.Width, screen.Height, screen.BitsPerPixel)) {
            // No intro then: the windows' set-up and its reports come before this box, as
            // they would have come before the intro.
            trainer.LoadBehindTheIntro();
            ShowSystemRequirementsError();
        }
        const bool failed = GlobalFailure;
        trainer.RunEventLoop();
        trainer.Shutdown();
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
        ShowReadErrors(config.Errors);
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
