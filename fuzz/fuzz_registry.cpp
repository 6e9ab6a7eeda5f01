// deps: zarvo_platform
// The .reg file behind the registry: any file reads without harm, creating a key keeps every
// value that could be read before, and a file that may not be rewritten stays as it was.

#include "platform/Exception.h"
#include "platform/Registry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const char* const Keys[] = {"\\SOFTWARE\\Orvisoft\\Zarvo", "\\SOFTWARE\\Orvisoft\\Zarvo\\Path",
                            "\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib\\Length", "\\a", "\\"};
const char* const Values[] = {"Path", "Length", "Language", "a", ""};

// What a reader sees: for every key and value, its text, its number or a mark for an error.
std::string Snapshot() {
    std::string out;
    for (const char* key : Keys) {
        // Creating a key creates its parents too, so only the values are compared.
        platform::TRegistry reg;
        reg.OpenKey(key, false);
        for (const char* value : Values) {
            try {
                out += "S" + reg.ReadString(value);
            } catch (const ERegistryError&) {
                out += "!";
            }
            try {
                out += "I" + std::to_string(reg.ReadInteger(value));
            } catch (const ERegistryError&) {
                out += "!";
            }
            out += '\n';
        }
    }
    return out;
}

// The folder of the registry file, removed at exit; plain storage, since the clean-up runs after
// the destructors of static objects.
char Folder[64];

void RemoveFolder() {
    const std::string dir = Folder;
    std::remove((dir + "/registry.reg").c_str());
    std::remove((dir + "/registry.reg.lock").c_str());
    ::rmdir(dir.c_str());
}

const std::string& StorePath() {
    static const std::string path = [] {
        // Every rewrite is synced to disk; memory-backed storage keeps the runs quick.
        std::snprintf(Folder, sizeof Folder, "/dev/shm/zarvo-fuzz-registry-XXXXXX");
        if (!::mkdtemp(Folder)) {
            std::snprintf(Folder, sizeof Folder, "/tmp/zarvo-fuzz-registry-XXXXXX");
            if (!::mkdtemp(Folder))
                std::abort();
        }
        std::atexit(RemoveFolder);
        std::string p = std::string(Folder) + "/registry.reg";
        ::setenv("ZARVO_REGISTRY", p.c_str(), 1);
        return p;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = StorePath();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    const std::string before = Snapshot();
    bool created = false;
    {
        platform::TRegistry reg;
        created = reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\New", true);
        reg.HasSubKeys();
    }
    if (Snapshot() != before)
        std::abort();
    platform::TRegistry reg;
    if (!created) {
        // A file that may not be rewritten (no header, bytes that would not come back) is
        // left exactly as it was.
        std::string now;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            char buffer[4096];
            for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
                now.append(buffer, n);
            std::fclose(f);
        }
        if (now != std::string(reinterpret_cast<const char*>(data), size))
            std::abort();
        return 0;
    }
    if (!reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\New", false))
        std::abort();
    reg.DeleteKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\New");
    return 0;
}
