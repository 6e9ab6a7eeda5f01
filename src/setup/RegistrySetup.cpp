#include "setup/RegistrySetup.h"

#include "platform/Exception.h"
#include "platform/Registry.h"
#include "platform/Text.h"

#include <cstdlib>

namespace {

const char* const Usage =
    "Usage: zarvo-setup-registry [--registry FILE] add KEY NAME VALUE | set KEY NAME VALUE |\n"
    "                            delete KEY | get KEY NAME\n";

std::string Absolute(const std::string& key) {
    return !key.empty() && key[0] == '\\' ? key : "\\" + key;
}

TSetupResult WriteString(const std::string& key, const std::string& name, const std::string& value,
                         bool keepExisting) {
    platform::TRegistry reg;
    if (keepExisting && reg.OpenKey(Absolute(key), false) && reg.ValueExists(name) &&
        !reg.ReadString(name).empty())
        return TSetupResult::Unchanged;
    reg.CloseKey();
    if (!reg.OpenKey(Absolute(key), true))
        return TSetupResult::Failed;
    try {
        reg.WriteString(name, value);
    } catch (const ERegistryError&) {
        return TSetupResult::Failed;
    }
    return TSetupResult::Written;
}

} // namespace

TSetupResult AddRegistryString(const std::string& key, const std::string& name,
                               const std::string& value) {
    return WriteString(key, name, value, true);
}

TSetupResult SetRegistryString(const std::string& key, const std::string& name,
                               const std::string& value) {
    platform::TRegistry reg;
    // Asked first, so that a registry already holding the value is not rewritten.
    if (reg.OpenKey(Absolute(key), false) && reg.ValueExists(name) && reg.ReadString(name) == value)
        return TSetupResult::Unchanged;
    return WriteString(key, name, value, false);
}

TSetupResult DeleteRegistryKey(const std::string& key) {
    platform::TRegistry reg;
    if (!reg.KeyExists(Absolute(key)))
        return TSetupResult::Unchanged;
    return reg.DeleteKey(Absolute(key)) ? TSetupResult::Written : TSetupResult::Failed;
}

int SetupRegistryMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> a = args;
    if (a.size() >= 2 && a[0] == "--registry") {
        if (a[1].empty()) {
            err << "zarvo-setup-registry: --registry needs a file name\n" << Usage;
            return 2;
        }
        ::setenv("ZARVO_REGISTRY", a[1].c_str(), 1);
        a.erase(a.begin(), a.begin() + 2);
    }
    const std::size_t n = a.size();
    const std::string command = n > 0 ? a[0] : "";
    const bool withValue = command == "add" || command == "set";
    if (!((withValue && n == 4) || (command == "delete" && n == 2) ||
          (command == "get" && n == 3))) {
        err << Usage;
        return 2;
    }
    // Texts arrive in UTF-8 and are held in code page 1251, as the registry reader gives them.
    std::vector<std::string> ansi;
    for (std::size_t i = 1; i < n; ++i) {
        bool ok = true;
        ansi.push_back(platform::Utf8ToAnsi(a[i], &ok));
        if (!ok) {
            err << "zarvo-setup-registry: '" << a[i]
                << "' has characters the registry of this program cannot hold\n";
            return 1;
        }
    }
    const std::string file = platform::AnsiToUtf8(platform::TRegistry::StorePath());
    try {
        TSetupResult result = TSetupResult::Unchanged;
        if (command == "get") {
            platform::TRegistry reg;
            if (reg.OpenKey(Absolute(ansi[0]), false))
                out << platform::AnsiToUtf8(reg.ReadString(ansi[1])) << '\n';
            else
                out << '\n';
            return 0;
        }
        if (command == "add")
            result = AddRegistryString(ansi[0], ansi[1], ansi[2]);
        else if (command == "set")
            result = SetRegistryString(ansi[0], ansi[1], ansi[2]);
        else
            result = DeleteRegistryKey(ansi[0]);
        if (result == TSetupResult::Failed) {
            err << "zarvo-setup-registry: cannot write " << file
                << " (not writable, or not a registry file: its first line must be 'Windows "
                   "Registry Editor Version 5.00' or 'REGEDIT4')\n";
            return 1;
        }
        return 0;
    } catch (const ERegistryError& e) {
        err << "zarvo-setup-registry: " << file << ": " << platform::AnsiToUtf8(e.what()) << '\n';
        return 1;
    }
}
