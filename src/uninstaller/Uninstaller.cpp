#include "uninstaller/Uninstaller.h"

#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/ShellFolders.h"
#include "platform/Text.h"
#include "uninstaller/SafeRemove.h"

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
    // Not the platform's line splitter: what a line of this list is decides what root deletes.
    // A log in CR LF ends its lines only there, so a lone LF or CR stays in a name (which is then
    // refused) instead of ending a line that would name another file.
    const std::string ending = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(ending, pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = std::min(text.size(), end + ending.size());
    }
    return lines;
}

bool IsListedPathUsable(const std::string& line) {
    // A relative name would be taken from whatever folder the program was started in, and "..",
    // "." or a doubled separator make a name mean another place than it seems to; a control
    // character (a NUL cuts the name short) cannot come from the installation.
    return !HasControlCharacter(line) && !PlainAbsoluteComponents(line).empty();
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
    KeptPaths.clear();
    KeptReported = 0;
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
    return !QuitRequested && KeptPaths.empty();
}

namespace {

// A listed name as it can be shown: control characters written as \n, \r, \t or \xNN.
std::string Printable(const std::string& name) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (b < 32 || b == 127)
            out += std::string("\\x") + hex[b >> 4] + hex[b & 15];
        else
            out += c;
    }
    return out;
}

} // namespace

void TUninstaller::Keep(const std::string& path, const std::string& reason) {
    KeptPaths.push_back(Printable(path) + ": " + reason);
}

void TUninstaller::ReportKept() {
    if (KeptReported == KeptPaths.size())
        return;
    // A window's box shows the first few; without a window the box goes to standard error and
    // names every one, for the administrator to check.
    constexpr std::size_t Shown = 12;
    const std::size_t count = KeptPaths.size() - KeptReported;
    std::string text = "These files were kept: the installation did not make them as they stand "
                       "now, or they are protected.";
    std::size_t listed = 0;
    for (std::size_t i = KeptReported; i < KeptPaths.size(); ++i, ++listed) {
        if (View && listed == Shown) {
            text += "\r\n... and " + std::to_string(count - Shown) + " more";
            break;
        }
        text += "\r\n" + KeptPaths[i];
    }
    KeptReported = KeptPaths.size();
    platform::MessageBox(text, Texts.Title, platform::MB_ICONEXCLAMATION);
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
            std::string root = Target.ReadString(pathKey, "InstallRoot");
            while (root.size() > 1 && (root.back() == '/' || root.back() == '\\'))
                root.pop_back();
            if (IsListedPathUsable(root))
                InstallRoot = root;
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
        if (!file.empty() && !KeepResults)
            DeleteResultsFile(file);
    }
    ReportKept();
}

void TUninstaller::DeleteResultsFile(const std::string& file) {
    if (HasControlCharacter(file)) {
        Keep(file, "its name holds a control character");
        return;
    }
    // Inside the program folder it is the installation's own; anywhere else the registry value
    // alone does not make it ours, its contents must.
    TRemoveOutcome outcome;
    if (ProgramFolderKnown() && IsInsideFolder(file, CurrentFolder))
        outcome = Target.RemoveInstalled({CurrentFolder, file, true});
    else
        outcome = Target.RemoveForeignResults(file);
    if (IsKept(outcome))
        Keep(file, KeptReason(outcome));
}

void TUninstaller::DeleteListedFile(const std::string& path) {
    if (path.empty())
        return;
    if (HasControlCharacter(path)) {
        Keep(path, "its name holds a control character");
        return;
    }
    if (!IsListedPathUsable(path)) {
        Keep(path, "it is not a full path without \".\" and \"..\"");
        return;
    }
    std::string folder;
    if (ProgramFolderKnown() && IsInsideFolder(path, CurrentFolder))
        folder = CurrentFolder;
    else if (!InstallRoot.empty() && IsInsideFolder(path, InstallRoot))
        folder = InstallRoot;
    else {
        Keep(path, KeptReason(TRemoveOutcome::Outside));
        return;
    }
    TRemoveOutcome outcome = Target.RemoveInstalled({folder, path, false});
    if (outcome == TRemoveOutcome::Failed)
        outcome = Target.RemoveInstalled({folder, path, false});
    if (IsKept(outcome))
        Keep(path, KeptReason(outcome));
}

void TUninstaller::DeleteLoggedFiles() {
    if (!ProgramFolderKnown())
        return;
    const std::string log = CurrentFolder + "Uninstall.log";
    if (!Target.FileExists(log)) {
        // A folder or a FIFO in its place is no list of files: going on would remove the
        // registry keys and leave every installed file behind without a word.
        if (Target.AnyEntryExists(log))
            throw EInOutError("Cannot read file " + log + ": it is not a regular file");
        return;
    }
    // Read whole before anything is deleted: the log may list itself.
    std::vector<std::string> lines = SplitLogLines(Target.ReadFile(log));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        DeleteListedFile(lines[i]);
        if (i % 5 == 0 && Progress < LogProgressCeiling)
            DrawProgress(1);
    }
    Target.DeleteFile(log);
    ReportKept();
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
