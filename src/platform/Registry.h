#pragma once
// The HKEY_LOCAL_MACHINE registry, stored as a text file in the .reg export format so that
// installers and administrators can write it:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Orvisoft\Zarvo\Path]
//   "Path"="/opt/zarvo/"
//   "Length"=dword:0000000c
//
// The file is UTF-8; values are handed to the program in cp1251. A key listed in the file implies
// its parent keys, as importing the file would create them. Location: $ZARVO_REGISTRY, default
// /etc/zarvo/registry.reg. A missing file is an empty registry.

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class TRegistryStore;

// One client of the registry, as the program uses it: open a key, read its values, close.
class TRegistry {
public:
    TRegistry();
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Opens a key, absolute when the path starts with '\', otherwise relative to the open key
    // (or the root). With canCreate the missing keys are created and written to the file; when
    // the file cannot be written the key simply does not open. Returns whether the key is open.
    bool OpenKey(const std::string& key, bool canCreate);
    void CloseKey();
    bool KeyExists(const std::string& key);
    // Deletes a key with all its subkeys and values; false when it did not exist or the file
    // could not be written.
    bool DeleteKey(const std::string& key);
    bool HasSubKeys();
    // The path of the open key without the root, e.g. "SOFTWARE\Orvisoft\Zarvo"; empty if none.
    const std::string& CurrentPath() const { return Current; }

    bool ValueExists(const std::string& name);
    // A missing value reads as empty; a value of another type raises ERegistryError.
    std::string ReadString(const std::string& name);
    // A missing value or one of another type raises ERegistryError.
    std::int32_t ReadInteger(const std::string& name);
    // Writing values is for installers and tests; the trainer never writes a value.
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, std::int32_t value);

    // The file behind the registry: $ZARVO_REGISTRY or /etc/zarvo/registry.reg.
    static std::string StorePath();

private:
    std::string Resolve(const std::string& key) const;
    std::string Current;
    bool IsOpen = false;
    // The file as read when the key was opened.
    std::unique_ptr<TRegistryStore> Store;
};

} // namespace platform
