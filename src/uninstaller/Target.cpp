#include "uninstaller/Target.h"

#include "platform/Exception.h"
#include "platform/FileEntries.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Text.h"

#include <cstdlib>

namespace {

const char* const RegistryVariable = "ZARVO_REGISTRY";
// A value that gives a key of the scratch copy a block of its own.
const char* const DryRunMark = "zarvo-uninstall dry run";

// The native path that names an entry, without a trailing '/', so that "dir\" and "dir" match.
std::string EntryKey(const std::string& path) {
    std::string native = platform::NativePath(path);
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    return native;
}

} // namespace

bool TSystemTarget::FileExists(const std::string& path) {
    return platform::FileExists(path);
}

bool TSystemTarget::EntryExists(const std::string& path) {
    return platform::NonDirectoryExists(path);
}

bool TSystemTarget::AnyEntryExists(const std::string& path) {
    return platform::NonDirectoryExists(path) || platform::DirectoryExists(path);
}

TRemoveOutcome TSystemTarget::RemoveInstalled(const TRemoveRequest& request) {
    return RemoveInsideFolder(request, false);
}

TRemoveOutcome TSystemTarget::RemoveForeignResults(const std::string& path) {
    return RemoveForeignResultsFile(path, false);
}

bool TSystemTarget::IsLink(const std::string& path) {
    return platform::IsSymbolicLink(path);
}

bool TSystemTarget::IsReadOnly(const std::string& path) {
    return platform::FileIsReadOnly(path);
}

// Only the attribute: an immutable mark is the administrator's word that the file stays, and
// the results file's append-only mark is taken off where that file is removed.
void TSystemTarget::ClearReadOnly(const std::string& path) {
    platform::SetFileReadOnly(path, false);
}

bool TSystemTarget::DeleteFile(const std::string& path) {
    return platform::DeleteFile(path);
}

bool TSystemTarget::RemoveDir(const std::string& path) {
    return platform::RemoveDir(path);
}

// Uninstall.log is a list of installed files: a settings-sized file.
std::string TSystemTarget::ReadFile(const std::string& path) {
    return platform::ReadFileBytes(path, platform::MaxSettingsFileSize);
}

bool TSystemTarget::KeyExists(const std::string& key) {
    platform::TRegistry reg;
    return reg.KeyExists(key);
}

bool TSystemTarget::HasSubKeys(const std::string& key) {
    platform::TRegistry reg;
    return reg.OpenKey(key, false) && reg.HasSubKeys();
}

std::string TSystemTarget::ReadString(const std::string& key, const std::string& name) {
    platform::TRegistry reg;
    if (!reg.OpenKey(key, false))
        return {};
    return reg.ReadString(name);
}

bool TSystemTarget::DeleteKey(const std::string& key) {
    platform::TRegistry reg;
    return reg.DeleteKey(key);
}

TDryRunTarget::TDryRunTarget(std::ostream& out)
    : Out(out), Scratch(std::make_unique<QTemporaryDir>()) {
    const std::string original = platform::TRegistry::StorePath();
    if (const char* saved = std::getenv(RegistryVariable)) {
        HadRegistryVariable = true;
        SavedRegistryVariable = saved;
    }
    std::string copy = Scratch->path().toStdString() + "/registry.reg";
    if (platform::FileExists(original)) {
        try {
            platform::WriteFileAtomically(
                platform::FromNativePath(copy),
                platform::ReadFileBytes(original, platform::MaxSettingsFileSize));
            // A registry the real run could not rewrite must not look deletable here either.
            if (!platform::CanReplaceFile(original))
                platform::SetFileReadOnly(platform::FromNativePath(copy), true);
        } catch (const EInOutError&) {
            // An unreadable registry reads as an empty one in the real run too.
        }
    }
    ::setenv(RegistryVariable, copy.c_str(), 1);
}

TDryRunTarget::~TDryRunTarget() {
    if (HadRegistryVariable)
        ::setenv(RegistryVariable, SavedRegistryVariable.c_str(), 1);
    else
        ::unsetenv(RegistryVariable);
}

bool TDryRunTarget::Gone(const std::string& native) const {
    return Deleted.count(native) != 0;
}

bool TDryRunTarget::FileExists(const std::string& path) {
    return platform::FileExists(path) && !Gone(EntryKey(path));
}

bool TDryRunTarget::EntryExists(const std::string& path) {
    return platform::NonDirectoryExists(path) && !Gone(EntryKey(path));
}

bool TDryRunTarget::AnyEntryExists(const std::string& path) {
    return (platform::NonDirectoryExists(path) || platform::DirectoryExists(path)) &&
           !Gone(EntryKey(path));
}

TRemoveOutcome TDryRunTarget::Simulated(const std::string& path, TRemoveOutcome outcome) {
    if (outcome == TRemoveOutcome::Removed) {
        const std::string key = EntryKey(path);
        Deleted.insert(key);
        Out << key << '\n';
    }
    return outcome;
}

TRemoveOutcome TDryRunTarget::RemoveInstalled(const TRemoveRequest& request) {
    if (Gone(EntryKey(request.Path)))
        return TRemoveOutcome::Missing;
    return Simulated(request.Path, RemoveInsideFolder(request, true));
}

TRemoveOutcome TDryRunTarget::RemoveForeignResults(const std::string& path) {
    if (Gone(EntryKey(path)))
        return TRemoveOutcome::Missing;
    return Simulated(path, RemoveForeignResultsFile(path, true));
}

bool TDryRunTarget::IsLink(const std::string& path) {
    return platform::IsSymbolicLink(path) && !Gone(EntryKey(path));
}

bool TDryRunTarget::IsReadOnly(const std::string& path) {
    // As if the attribute had been cleared: the real run clears it before deleting.
    (void)path;
    return false;
}

void TDryRunTarget::ClearReadOnly(const std::string&) {}

bool TDryRunTarget::DeleteFile(const std::string& path) {
    std::string key = EntryKey(path);
    if (Gone(key) || !platform::NonDirectoryExists(path) || !platform::CanChangeFolderOf(path))
        return false;
    // A trailing separator makes the system follow a link to a folder, which is then refused.
    std::string native = platform::NativePath(path);
    if (!native.empty() && native.back() == '/')
        return false;
    Deleted.insert(key);
    Out << key << '\n';
    return true;
}

bool TDryRunTarget::RemoveDir(const std::string& path) {
    std::string key = EntryKey(path);
    std::string bare = path;
    while (bare.size() > 1 && (bare.back() == '/' || bare.back() == '\\'))
        bare.pop_back();
    // The system does not remove a folder through a link to it.
    if (Gone(key) || platform::IsSymbolicLink(bare) || !platform::DirectoryExists(path) ||
        !platform::CanChangeFolderOf(path))
        return false;
    for (const std::string& name : platform::DirectoryEntries(path))
        if (!Gone((key == "/" ? "" : key) + "/" + platform::AnsiToUtf8(name)))
            return false;
    Deleted.insert(key);
    Out << key << (key == "/" ? "" : "/") << '\n';
    return true;
}

std::string TDryRunTarget::ReadFile(const std::string& path) {
    return platform::ReadFileBytes(path, platform::MaxSettingsFileSize);
}

bool TDryRunTarget::KeyExists(const std::string& key) {
    return Registry.KeyExists(key);
}

bool TDryRunTarget::HasSubKeys(const std::string& key) {
    return Registry.HasSubKeys(key);
}

std::string TDryRunTarget::ReadString(const std::string& key, const std::string& name) {
    return Registry.ReadString(key, name);
}

bool TDryRunTarget::DeleteKey(const std::string& key) {
    std::string path = key;
    if (path.empty() || path[0] != '\\')
        path = "\\" + path;
    if (!Registry.KeyExists(path))
        return false;
    // A key that the file holds only as the parent of others goes away with its last child, so
    // the steps' own deletion of it would find nothing to list. In the copy every parent of a
    // deleted key is given a block of its own (through a value), so that it is listed when the
    // steps delete it, as a key of the real registry would be.
    for (std::size_t sep = path.find('\\', 1); sep != std::string::npos;
         sep = path.find('\\', sep + 1)) {
        platform::TRegistry reg;
        try {
            if (reg.OpenKey(path.substr(0, sep), false) && !reg.ValueExists(DryRunMark))
                reg.WriteString(DryRunMark, "");
        } catch (const ERegistryError&) {
            // A copy that cannot be written: the deletion below fails as the real one would.
        }
    }
    if (!Registry.DeleteKey(path))
        return false;
    Out << "HKEY_LOCAL_MACHINE" << platform::AnsiToUtf8(path) << '\n';
    return true;
}
