#include "uninstaller/Program.h"

#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "uninstaller/Target.h"
#include "uninstaller/Texts.h"
#include "uninstaller/UninstallWindow.h"
#include "uninstaller/Uninstaller.h"

#include <exception>
#include <iostream>
#include <memory>

namespace {

const char* const HelpText =
    "Usage: zarvo-uninstall [--dry-run | --yes | --help]\n"
    "\n"
    "Removes the Zarvo installation that the registry describes: the system folder's Config.fcf,\n"
    "the results file, the files listed in the program folder's Uninstall.log and then the log,\n"
    "the picture folder and the program folder when they are left empty, the product's registry\n"
    "keys (the maker's key only when no other product is under it), and the desktop and\n"
    "programs-menu shortcuts with their group folder. A listed link is removed, never its\n"
    "target; a listed folder is never removed with its contents; lines that are empty or not an\n"
    "absolute path are skipped.\n"
    "\n"
    "Without options a window asks once for confirmation and shows the progress.\n"
    "\n"
    "  --dry-run  no window and no questions: print on standard output what the steps would\n"
    "             delete, one line per file, folder (ending in '/') and registry key, in the\n"
    "             order of the steps, and delete nothing\n"
    "  --yes      no window and no questions: remove the installation, print errors on standard\n"
    "             error; exit status 0 when every step ran, 1 otherwise\n"
    "  --help     this text\n"
    "\n"
    "The registry file is $ZARVO_REGISTRY (default /etc/zarvo/registry.reg), the system folder\n"
    "$ZARVO_WINDIR (default /etc/zarvo); shortcuts are looked for in $XDG_DESKTOP_DIR (or\n"
    "~/Desktop) and $XDG_DATA_HOME/applications (or ~/.local/share/applications).\n";

int RunWindow() {
    TUninstallTexts texts;
    TSystemTarget target;
    try {
        texts = ReadUninstallTexts();
    } catch (const std::exception&) {
        // Nothing is asked and nothing is removed when the texts cannot be read.
        TUninstaller(texts, target, nullptr).ReportUninstallError({});
        return 0;
    }
    TUninstallWindow window(texts.strCaption);
    window.show();
    window.raise();
    window.activateWindow();

    TUninstaller uninstaller(texts, target, &window);
    // The boxes' own event loops paint the window; the program has none of its own.
    int answer = platform::MessageBox(texts.strConfirmation, texts.strConfirmationCaption,
                                      platform::MB_YESNO | platform::MB_ICONERROR);
    if (answer == platform::IDYES) {
        uninstaller.RunUninstall();
        // After an error box the program ends without the completion box.
        if (!uninstaller.QuitRequested)
            platform::MessageBox(texts.strFinish, texts.Title, platform::MB_ICONINFORMATION);
    }
    window.CloseByProgram();
    return 0;
}

int RunWithoutWindow(bool dryRun, std::ostream& out, std::ostream& err) {
    // Questions are not asked in these runs, so any answer will do.
    platform::TMessagePresenterScope boxes(
        std::make_unique<platform::TStreamMessagePresenter>(err));
    TUninstallTexts texts;
    try {
        texts = ReadUninstallTexts();
    } catch (const std::exception& e) {
        err << "zarvo-uninstall: cannot read the texts: " << platform::AnsiToUtf8(e.what())
            << std::endl;
        return 1;
    }
    std::unique_ptr<IUninstallTarget> target;
    if (dryRun)
        target = std::make_unique<TDryRunTarget>(out);
    else
        target = std::make_unique<TSystemTarget>();
    TUninstaller uninstaller(texts, *target, nullptr);
    bool ok = uninstaller.RunUninstall();
    out.flush();
    if (!uninstaller.ErrorDetail.empty())
        err << "zarvo-uninstall: " << platform::AnsiToUtf8(uninstaller.ErrorDetail) << std::endl;
    return ok ? 0 : 1;
}

} // namespace

TUninstallOptions ParseUninstallArguments(const std::vector<std::string>& args) {
    TUninstallOptions o;
    bool dryRun = false, yes = false;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            o.Mode = TUninstallMode::Help;
            return o;
        }
        if (a == "--dry-run") {
            dryRun = true;
        } else if (a == "--yes") {
            yes = true;
        } else {
            o.Mode = TUninstallMode::BadUsage;
            o.BadArgument = a;
            return o;
        }
    }
    // Both together: the run that deletes nothing.
    if (dryRun)
        o.Mode = TUninstallMode::DryRun;
    else if (yes)
        o.Mode = TUninstallMode::Yes;
    return o;
}

int RunUninstallProgram(const TUninstallOptions& options, std::ostream& out, std::ostream& err) {
    switch (options.Mode) {
    case TUninstallMode::Help:
        out << HelpText;
        return 0;
    case TUninstallMode::BadUsage:
        err << "zarvo-uninstall: unknown argument '" << options.BadArgument << "'\n"
            << "Usage: zarvo-uninstall [--dry-run | --yes | --help]\n";
        return 2;
    case TUninstallMode::DryRun:
        return RunWithoutWindow(true, out, err);
    case TUninstallMode::Yes:
        return RunWithoutWindow(false, out, err);
    case TUninstallMode::Window:
        break;
    }
    return RunWindow();
}

int UninstallMain(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    TUninstallOptions options = ParseUninstallArguments(args);
    if (options.Mode != TUninstallMode::Window)
        return RunUninstallProgram(options, std::cout, std::cerr);
    platform::TApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    return RunUninstallProgram(options, std::cout, std::cerr);
}
