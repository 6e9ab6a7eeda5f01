#include "uninstaller/Uninstaller.h"

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/Lines.h"
#include "platform/MessageBox.h"
#include "platform/ShellFolders.h"

#include <exception>

const char* const UninstallEntryKey =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo";
const char* const ProductKey = "\\SOFTWARE\\Orvisoft\\Zarvo";
const char* const MakerKey = "\\SOFTWARE\\Orvisoft";

namespace {

// The product's keys, children before their parents.
const char* const ProductKeys[] = {
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib\\Length",
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib\\Class",
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib\\Theme",
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib",
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\FFF",
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Rule",
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result",
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Files",
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Path",
    "\\SOFTWARE\\Orvisoft\\Zarvo\\Language",
    "\\SOFTWARE\\Orvisoft\\Zarvo",
};

// The steps after the log still add 10 + 5; a long log stops adding before it would take the
// pie to 100 while work is left (one point per five lines would pass 100 at about 400 lines).
constexpr int LogProgressCeiling = 100 - 10 - 5 - 1;

class ESpecialFolderError : public Exception {
public:
    using Exception::Exception;
};

bool IsAbsolute(const std::string& path) {
    return !path.empty() && (path[0] == '/' || path[0] == '\\');
}

} // namespace

std::vector<std::string> SplitLogLines(const std::string& text) {
    const std::vector<std::string_view> views = platform::SplitLines(text);
    return {views.begin(), views.end()};
}

bool IsListedPathUsable(const std::string& line) {
    // A relative name would be taken from whatever folder the program was started in; a NUL
    // would cut the name short and delete a different file.
    return IsAbsolute(line) && line.find('\0') == std::string::npos;
}

bool IsSafeRelativeName(const std::string& name, bool allowFolders) {
    if (name.empty() || IsAbsolute(name) || name.find('\0') != std::string::npos)
        return false;
    std::size_t pos = 0;
    while (pos <= name.size()) {
        std::size_t sep = name.find_first_of("\\/", pos);
        std::string part =
            name.substr(pos, sep == std::string::npos ? std::string::npos : sep - pos);
        if (part == "." || part == "..")
            return false;
        if (sep == std::string::npos)
            break;
        // A separator inside the name, or one that leaves an empty name behind it.
        if (!allowFolders)
            return false;
        pos = sep + 1;
    }
    return true;
}

TUninstaller::TUninstaller(const TUninstallTexts& texts, IUninstallTarget& target,
                           IProgressView* view)
    : Texts(texts), Target(target), View(view) {}

bool TUninstaller::RunUninstall() {
    Progress = 0;
    try {
        DeleteWindowsConfig();
        DeleteResultsAndReadPath();
        DeleteLoggedFiles();
        RemoveProgramFolders();
        DeleteRegistryKeys();
        DeleteDesktopShortcut();
        DeleteMenuShortcuts();
    } catch (const std::exception& e) {
        ErrorDetail = e.what();
        ReportUninstallError(CurrentFolder);
        return false;
    }
    Progress = 100;
    DrawProgress(0);
    return !QuitRequested;
}

void TUninstaller::DrawProgress(int n) {
    Progress += n;
    if (View)
        View->ShowProgress(Progress);
}

void TUninstaller::ReportUninstallError(const std::string& folder) {
    std::string text = folder.empty() ? Texts.strError
                                      : Texts.strUninstallError1 + "\r\n" +
                                            Texts.strUninstallError2 + " " + folder;
    platform::MessageBox(text, Texts.Title, platform::MB_ICONERROR);
    QuitRequested = true;
}

std::string TUninstaller::WindowsFolder() {
    std::string dir = platform::GetWindowsDirectory();
    if (dir.empty()) {
        platform::MessageBox(Texts.strWinDirError, Texts.strError, platform::MB_OK);
        QuitRequested = true;
        return {};
    }
    return platform::IncludeTrailingBackslash(dir);
}

std::string TUninstaller::SpecialFolder(int csidl) {
    std::string path = platform::GetSpecialFolderPath(csidl);
    if (path.empty())
        throw ESpecialFolderError("The shell folder " + std::to_string(csidl) +
                                  " is not available");
    return platform::IncludeTrailingBackslash(path);
}

bool TUninstaller::ProgramFolderKnown() const {
    // Empty: the registry did not say. Relative: it would mean whatever folder the program was
    // started in, which is nothing the installation wrote.
    return IsAbsolute(CurrentFolder);
}

bool TUninstaller::ClearAndDelete(const std::string& path) {
    // Clearing the attribute through a link would change the target, which is not ours.
    if (!Target.IsLink(path) && Target.IsReadOnly(path))
        Target.ClearReadOnly(path);
    return Target.DeleteFile(path);
}

void TUninstaller::DeleteWindowsConfig() {
    std::string folder = WindowsFolder();
    // Without the folder the name alone would mean a file in the current folder.
    if (!folder.empty()) {
        std::string file = folder + "Config.fcf";
        if (Target.FileExists(file))
            ClearAndDelete(file);
    }
    DrawProgress(5);
}

void TUninstaller::DeleteResultsAndReadPath() {
    Target.DeleteKey(UninstallEntryKey);
    if (Target.KeyExists(ProductKey)) {
        const std::string pathKey = std::string(ProductKey) + "\\Path";
        if (Target.KeyExists(pathKey)) {
            // The trainer joins file names to it, so it should end in a separator; one that
            // does not still names the same folder.
            CurrentFolder = platform::IncludeTrailingBackslash(Target.ReadString(pathKey, "Path"));
        }
    }
    const std::string filesKey = std::string(ProductKey) + "\\Files";
    if (Target.KeyExists(filesKey) && Target.KeyExists(filesKey + "\\Result")) {
        std::string result = Target.ReadString(filesKey + "\\Result", "Result");
        // The trainer writes its results to the program folder + this name; a full name is
        // taken as it is.
        std::string file;
        if (IsAbsolute(result))
            file = result;
        else if (!result.empty() && ProgramFolderKnown())
            file = CurrentFolder + result;
        if (!file.empty() && Target.FileExists(file))
            ClearAndDelete(file);
    }
}

void TUninstaller::DeleteListedFile(const std::string& path) {
    if (!IsListedPathUsable(path))
        return;
    if (!ClearAndDelete(path))
        Target.DeleteFile(path);
}

void TUninstaller::DeleteLoggedFiles() {
    if (!ProgramFolderKnown())
        return;
    const std::string log = CurrentFolder + "Uninstall.log";
    if (!Target.FileExists(log))
        return;
    // Read whole before anything is deleted: the log may list itself.
    std::vector<std::string> lines = SplitLogLines(Target.ReadFile(log));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        DeleteListedFile(lines[i]);
        if (i % 5 == 0 && Progress < LogProgressCeiling)
            DrawProgress(1);
    }
    Target.DeleteFile(log);
}

void TUninstaller::RemoveProgramFolders() {
    if (!ProgramFolderKnown())
        return;
    // Only empty folders go: anything the log did not list keeps its folder.
    auto removeTwice = [this](const std::string& dir) {
        if (!Target.RemoveDir(dir))
            Target.RemoveDir(dir);
    };
    if (!Texts.PictureFolder.empty())
        removeTwice(CurrentFolder + Texts.PictureFolder);
    removeTwice(CurrentFolder);
    DrawProgress(10);
}

void TUninstaller::DeleteRegistryKeys() {
    if (Target.KeyExists(ProductKey)) {
        for (const char* key : ProductKeys)
            Target.DeleteKey(key);
        // The maker key is shared with the maker's other products.
        if (Target.KeyExists(MakerKey) && !Target.HasSubKeys(MakerKey))
            Target.DeleteKey(MakerKey);
    }
    DrawProgress(5);
}

void TUninstaller::DeleteDesktopShortcut() {
    try {
        CurrentFolder = SpecialFolder(platform::CSIDL_COMMON_DESKTOPDIRECTORY);
    } catch (const ESpecialFolderError&) {
        CurrentFolder = SpecialFolder(platform::CSIDL_DESKTOPDIRECTORY);
    }
    if (!IsSafeRelativeName(Texts.strZarvoShortcut, false))
        return;
    std::string shortcut = CurrentFolder + Texts.ProgramShortcut();
    if (Target.EntryExists(shortcut))
        Target.DeleteFile(shortcut);
}

void TUninstaller::DeleteMenuShortcuts() {
    try {
        CurrentFolder = SpecialFolder(platform::CSIDL_COMMON_PROGRAMS);
    } catch (const ESpecialFolderError&) {
        CurrentFolder = SpecialFolder(platform::CSIDL_PROGRAMS);
    }
    // An empty group name would make the menu folder itself the group and remove it.
    bool ownGroup = IsSafeRelativeName(Texts.strZarvoPath, true);
    if (!ownGroup && !Texts.strZarvoPath.empty())
        return;
    const std::string group = CurrentFolder + Texts.strZarvoPath;
    if (IsSafeRelativeName(Texts.strZarvoShortcut, false) &&
        Target.EntryExists(group + Texts.ProgramShortcut()))
        Target.DeleteFile(group + Texts.ProgramShortcut());
    if (IsSafeRelativeName(Texts.strUninstallShortcut, false) &&
        Target.EntryExists(group + Texts.UninstallShortcut()))
        Target.DeleteFile(group + Texts.UninstallShortcut());
    if (ownGroup)
        Target.RemoveDir(group);
}
