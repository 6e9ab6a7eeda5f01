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
// The file reads as importing it with the registry editor would leave the registry: a key
// listed implies its parent keys, "[-HKEY_LOCAL_MACHINE\...]" deletes a key with its subkeys
// and "Name"=- a value, for what stands before them; a later definition replaces an earlier
// one. A value may be followed by a ';' comment. Text is UTF-8 (or UTF-16 with its byte-order
// mark) under the header "Windows Registry Editor Version 5.00", code page 1251 under
// "REGEDIT4"; an expandable string (hex(2):) reads as its text. A file with neither header is
// not a registry file: it reads as empty and is never rewritten, and neither is one whose bytes
// would not be written back exactly as they were (invalid UTF-16, say). Location:
// $ZARVO_REGISTRY, default /etc/zarvo/registry.reg; a missing file is an empty registry. At
// most 8 MiB are read (MaxSettingsFileSize): a larger file raises ERegistryError at every
// access; a directory or a device cannot be read and behaves as an empty registry that cannot
// be written.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
    void Refresh();
    void Flush();
    bool PendingCovers(const std::string& path, bool subKeysOnly) const;
    bool AddPending(TRegistryStore& store) const;
    void WriteValue(const std::string& name, const std::string& data);
    std::string Current;
    bool IsOpen = false;
    // The file as read when the key was opened, shared with every client that read it so.
    std::shared_ptr<const TRegistryStore> Store;
    // Keys opened with canCreate that the file does not hold yet.
    std::vector<std::string> Pending;
};

} // namespace platform
