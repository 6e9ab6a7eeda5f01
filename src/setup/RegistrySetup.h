#pragma once
// The installers' edits of the registry file. Each is one atomic rewrite under the registry's
// lock that keeps everything else in the file (other products, comments, its encoding), so that
// a reinstall over a registry emptied by the Uninstaller, or edited by an administrator, gets
// the values it needs without losing anything.
//
//   zarvo-setup-registry [--registry FILE] add KEY NAME VALUE
//   zarvo-setup-registry [--registry FILE] set KEY NAME VALUE
//   zarvo-setup-registry [--registry FILE] delete KEY
//   zarvo-setup-registry [--registry FILE] get KEY NAME
//
// KEY is a path under HKEY_LOCAL_MACHINE ("\SOFTWARE\Orvisoft\Zarvo\Path"); texts are UTF-8.

#include <ostream>
#include <string>
#include <vector>

enum class TSetupResult { Unchanged, Written, Failed };

// Writes the string value when it is missing or empty; an administrator's value stays.
TSetupResult AddRegistryString(const std::string& key, const std::string& name,
                               const std::string& value);
// Writes the string value whatever was there.
TSetupResult SetRegistryString(const std::string& key, const std::string& name,
                               const std::string& value);
// Deletes the key with its subkeys; Unchanged when there was none.
TSetupResult DeleteRegistryKey(const std::string& key);

// The command line above. Exit status 0 on success (also when nothing had to change), 1 when
// the file could not be written or a value has another type, 2 for a wrong command line.
int SetupRegistryMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
