#pragma once
// The uninstall itself: the seven steps in their order, the progress they report and the error
// report that ends them. It knows no widget; the window (or nothing, on the command line) is
// reached through IProgressView, boxes go through the platform's message boxes, and every change
// to the machine goes through an IUninstallTarget.

#include "uninstaller/Target.h"
#include "uninstaller/Texts.h"

#include <string>
#include <vector>

class IProgressView {
public:
    virtual ~IProgressView() = default;
    // Shows the pie at this percentage at once (the steps run outside any event loop).
    virtual void ShowProgress(int progress) = 0;
};

// Registry keys the Uninstaller removes.
extern const char* const UninstallEntryKey; // the system's entry for the installed program
extern const char* const ProductKey;
extern const char* const MakerKey;

class TUninstaller {
public:
    // `view` may be null (no window).
    TUninstaller(const TUninstallTexts& texts, IUninstallTarget& target, IProgressView* view);

    // Runs the seven steps in order. The first error ends them with the error box and gives
    // false; otherwise the pie is set to 100. Also false when the Windows folder was unknown.
    bool RunUninstall();

    void DeleteWindowsConfig();
    void DeleteResultsAndReadPath();
    void DeleteLoggedFiles();
    void RemoveProgramFolders();
    void DeleteRegistryKeys();
    void DeleteDesktopShortcut();
    void DeleteMenuShortcuts();

    void DrawProgress(int n);
    // The re-install advice naming the folder, or strError when there is none; the program ends
    // after it (QuitRequested).
    void ReportUninstallError(const std::string& folder);
    // The Windows folder with a trailing separator; empty (after an error box) when unknown.
    std::string WindowsFolder();
    // A shell folder with a trailing separator; raises an exception when it cannot be obtained.
    std::string SpecialFolder(int csidl);

    int Progress = 0;
    // The administrator keeps the pupils' results: the results step deletes nothing.
    bool KeepResults = false;
    std::string CurrentFolder;
    // Set by every error box: the program ends after the current step instead of going on.
    bool QuitRequested = false;
    // What went wrong in the step that failed, for the command line (the box does not show it).
    std::string ErrorDetail;
    // The folder the installers put the programs and content in ("InstallRoot" beside the
    // program folder's "Path"); listed files there may go as well. Empty when not recorded.
    std::string InstallRoot;
    // Every file kept on purpose (outside the installation, behind a link, marked immutable,
    // not a results file), as "path: reason". The run then counts as failed.
    std::vector<std::string> KeptPaths;

private:
    // Whether the program folder names a place the folder steps may work in.
    bool ProgramFolderKnown() const;
    void DeleteListedFile(const std::string& path);
    // Deletes a file, first clearing its read-only attribute (never through a link).
    bool ClearAndDelete(const std::string& path);
    void DeleteResultsFile(const std::string& file);
    void Keep(const std::string& path, const std::string& reason);
    // The step's message about the files it kept, if it kept any.
    void ReportKept();
    std::size_t KeptReported = 0;

    const TUninstallTexts& Texts;
    IUninstallTarget& Target;
    IProgressView* View;
};

// The lines of "Uninstall.log", kept as they are otherwise; a last line without an ending
// counts. A log with CR LF line ends is split only there, so that a line feed inside a listed
// name stays in that name (and makes it refused) instead of naming another file; a log without
// any CR LF is split at each LF.
std::vector<std::string> SplitLogLines(const std::string& text);
// A listed line names something the log step may delete: an absolute path whose components are
// all names (no empty, "." or ".."), no control character.
bool IsListedPathUsable(const std::string& line);
// A shortcut or group name stays inside its shell folder: not empty, no "." or ".." component,
// not absolute; `allowFolders` admits inner separators (a group such as "Maker\Zarvo\").
bool IsSafeRelativeName(const std::string& name, bool allowFolders);
