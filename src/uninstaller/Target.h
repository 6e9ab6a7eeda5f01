#pragma once
// What the uninstall steps do to the machine, behind one interface: the system itself, or a dry
// run that answers the same questions as if the earlier deletions had happened and lists each
// deletion instead of making it.

#include "uninstaller/SafeRemove.h"

#include <QTemporaryDir>
#include <memory>
#include <ostream>
#include <set>
#include <string>

class IUninstallTarget {
public:
    virtual ~IUninstallTarget() = default;

    // A regular file, also through a link (Windows' FileExists).
    virtual bool FileExists(const std::string& path) = 0;
    // Anything but a directory under this name, a dangling link included.
    virtual bool EntryExists(const std::string& path) = 0;
    // Anything at all under this name, a directory or a dangling link included.
    virtual bool AnyEntryExists(const std::string& path) = 0;
    virtual bool IsLink(const std::string& path) = 0;
    virtual bool IsReadOnly(const std::string& path) = 0;
    virtual void ClearReadOnly(const std::string& path) = 0;
    // A file or a link itself, never a directory and never a link's target.
    virtual bool DeleteFile(const std::string& path) = 0;
    // Only an empty directory.
    virtual bool RemoveDir(const std::string& path) = 0;
    // A file the installation made, reached without links below its folder (SafeRemove.h).
    virtual TRemoveOutcome RemoveInstalled(const TRemoveRequest& request) = 0;
    // The registry's results file outside the program folder, only when it is one.
    virtual TRemoveOutcome RemoveForeignResults(const std::string& path) = 0;
    // The whole file; raises EInOutError when it cannot be read.
    virtual std::string ReadFile(const std::string& path) = 0;

    // Registry keys are absolute paths under HKEY_LOCAL_MACHINE ("\SOFTWARE\...").
    virtual bool KeyExists(const std::string& key) = 0;
    virtual bool HasSubKeys(const std::string& key) = 0;
    // A missing value reads as empty; one of another type raises ERegistryError.
    virtual std::string ReadString(const std::string& key, const std::string& name) = 0;
    virtual bool DeleteKey(const std::string& key) = 0;
};

// The machine itself, through the platform layer.
class TSystemTarget : public IUninstallTarget {
public:
    bool FileExists(const std::string& path) override;
    bool EntryExists(const std::string& path) override;
    bool AnyEntryExists(const std::string& path) override;
    bool IsLink(const std::string& path) override;
    bool IsReadOnly(const std::string& path) override;
    void ClearReadOnly(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    bool RemoveDir(const std::string& path) override;
    TRemoveOutcome RemoveInstalled(const TRemoveRequest& request) override;
    TRemoveOutcome RemoveForeignResults(const std::string& path) override;
    std::string ReadFile(const std::string& path) override;
    bool KeyExists(const std::string& key) override;
    bool HasSubKeys(const std::string& key) override;
    std::string ReadString(const std::string& key, const std::string& name) override;
    bool DeleteKey(const std::string& key) override;
};

// Deletes nothing: writes one line per file (native path), folder (native path ending in '/')
// and registry key ("HKEY_LOCAL_MACHINE\..." in UTF-8) that the real run would delete, in the
// order it would delete them. Files and folders are simulated on top of what is there; registry
// keys are deleted from a scratch copy of the registry file, so that the question whether the
// maker key is left empty is answered by the same code as in the real run. While it exists the
// copy is the registry of this process ($ZARVO_REGISTRY points at it).
class TDryRunTarget : public IUninstallTarget {
public:
    explicit TDryRunTarget(std::ostream& out);
    ~TDryRunTarget() override;
    TDryRunTarget(const TDryRunTarget&) = delete;
    TDryRunTarget& operator=(const TDryRunTarget&) = delete;

    bool FileExists(const std::string& path) override;
    bool EntryExists(const std::string& path) override;
    bool AnyEntryExists(const std::string& path) override;
    bool IsLink(const std::string& path) override;
    bool IsReadOnly(const std::string& path) override;
    void ClearReadOnly(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;
    bool RemoveDir(const std::string& path) override;
    TRemoveOutcome RemoveInstalled(const TRemoveRequest& request) override;
    TRemoveOutcome RemoveForeignResults(const std::string& path) override;
    std::string ReadFile(const std::string& path) override;
    bool KeyExists(const std::string& key) override;
    bool HasSubKeys(const std::string& key) override;
    std::string ReadString(const std::string& key, const std::string& name) override;
    bool DeleteKey(const std::string& key) override;

private:
    bool Gone(const std::string& native) const;
    TRemoveOutcome Simulated(const std::string& path, TRemoveOutcome outcome);

    std::ostream& Out;
    std::set<std::string> Deleted; // native paths without a trailing '/'
    TSystemTarget Registry;        // works on the scratch copy
    std::unique_ptr<QTemporaryDir> Scratch;
    bool HadRegistryVariable = false;
    std::string SavedRegistryVariable;
};
