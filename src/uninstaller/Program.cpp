#include "uninstaller/Program.h"

#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "uninstaller/Installed.h"
#include "uninstaller/Target.h"
#include "uninstaller/Texts.h"
#include "uninstaller/UninstallWindow.h"
#include "uninstaller/Uninstaller.h"

#include <exception>
#include <iostream>
#include <memory>

namespace {

const char* const HelpText =
    "Usage: zarvo-uninstall [--dry-run | --yes | --help] [--keep-results]\n"
    "\n"
    "Removes the Zarvo installation that the registry describes: the system folder's Config.fcf,\n"
    "the results file, the files listed in the program folder's Uninstall.log and then the log,\n"
    "the picture folder and the program folder when they are left empty, the product's registry\n"
    "keys (the maker's key only when no other product is under it), and the desktop and\n"
    "programs-menu shortcuts with their group folder. A listed link is removed, never its\n"
    "target; a listed folder is never removed with its contents; empty lines are skipped.\n"
    "\n"
    "Only what the installation made is removed: a listed name must be a full path without '.',\n"
    "'..' or control characters, inside the program folder or the installation root that the\n"
    "registry records, reached without a link below that folder, and not marked immutable\n"
    "(or append-only, except the results file). A results file named outside the program\n"
    "folder goes only when it is empty or begins with the results caption. Every file kept\n"
    "for these reasons is named, and the exit status is then 1.\n"
    "\n"
    "Without options a window asks once for confirmation and shows the progress.\n"
    "\n"
    "  --dry-run  no window and no questions: print on standard output what the steps would\n"
    "             delete, one line per file, folder (ending in '/') and registry key, in the\n"
    "             order of the steps, and delete nothing\n"
    "  --yes      no window and no questions: remove the installation, print errors on standard\n"
    "             error; exit status 0 when every step ran and nothing was kept, 1 otherwise\n"
    "  --keep-results  keep the results file (the pupils' sessions) and so the program folder\n"
    "             that holds it; without it the confirmation names the file and its blocks\n"
    "  --help     this text\n"
    "\n"
    "An installation made by the zarvo package (deb or rpm) is removed by the package manager:\n"
    "then nothing is removed here, and the command to use is shown instead.\n"
    "\n"
    "The registry file is $ZARVO_REGISTRY (default /etc/zarvo/registry.reg), the system folder\n"
    "$ZARVO_WINDIR (default /etc/zarvo); shortcuts are looked for in $XDG_DESKTOP_DIR (or\n"
    "~/Desktop) and $XDG_DATA_HOME/applications (or ~/.local/share/applications).\n";

// The line under the confirmation that names the results file, when there is one.
std::string ResultsNote(const TUninstallTexts& texts, IUninstallTarget& target, bool keep) {
    std::string file = FindResultsFile(target);
    if (file.empty())
        return {};
    return "\r\n" + ResultsLine(texts, file, CountResultBlocksInFile(file), keep);
}

int RunWindow(bool keepResults) {
    TUninstallTexts texts;
    TSystemTarget target;
    try {
        texts = ReadUninstallTexts();
    } catch (const std::exception&) {
        // Nothing is asked and nothing is removed when the texts cannot be read.
        TUninstaller(texts, target, nullptr).ReportUninstallError({});
        return 0;
    }
    const std::string package = InstalledPackage(target);
    if (!package.empty()) {
        platform::MessageBox(PackageRemovalText(texts, package), texts.Title,
                             platform::MB_ICONINFORMATION);
        return 0;
    }
    TUninstallWindow window(texts.strCaption);
    window.show();
    window.raise();
    window.activateWindow();

    TUninstaller uninstaller(texts, target, &window);
    uninstaller.KeepResults = keepResults;
    // The boxes' own event loops paint the window; the program has none of its own.
    int answer = platform::MessageBox(
        texts.strConfirmation + ResultsNote(texts, target, keepResults),
        texts.strConfirmationCaption, platform::MB_YESNO | platform::MB_ICONERROR);
    int status = 0;
    if (answer == platform::IDYES) {
        uninstaller.RunUninstall();
        // After an error box the program ends without the completion box.
        if (!uninstaller.QuitRequested)
            platform::MessageBox(texts.strFinish, texts.Title, platform::MB_ICONINFORMATION);
        // Files kept on purpose were named in their step's box; the run did not remove all.
        if (!uninstaller.KeptPaths.empty())
            status = 1;
    }
    window.CloseByProgram();
    return status;
}

int RunWithoutWindow(bool dryRun, bool keepResults, std::ostream& out, std::ostream& err) {
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
    {
        TSystemTarget system;
        const std::string package = InstalledPackage(system);
        if (!package.empty()) {
            err << platform::AnsiToUtf8(PackageRemovalText(texts, package)) << std::endl;
            return dryRun ? 0 : 1;
        }
        // The dry run shows what becomes of the results; --yes reports only problems.
        std::string note = dryRun ? ResultsNote(texts, system, keepResults) : std::string();
        if (!note.empty())
            err << platform::AnsiToUtf8(note.substr(2)) << std::endl;
    }
    std::unique_ptr<IUninstallTarget> target;
    if (dryRun)
        target = std::make_unique<TDryRunTarget>(out);
    else
        target = std::make_unique<TSystemTarget>();
    TUninstaller uninstaller(texts, *target, nullptr);
    uninstaller.KeepResults = keepResults;
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
        } else if (a == "--keep-results") {
            o.KeepResults = true;
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
            << "Usage: zarvo-uninstall [--dry-run | --yes | --help] [--keep-results]\n";
        return 2;
    case TUninstallMode::DryRun:
        return RunWithoutWindow(true, options.KeepResults, out, err);
    case TUninstallMode::Yes:
        return RunWithoutWindow(false, options.KeepResults, out, err);
    case TUninstallMode::Window:
        break;
    }
    return RunWindow(options.KeepResults);
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
