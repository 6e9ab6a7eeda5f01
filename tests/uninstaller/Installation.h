#pragma once
// A complete installation in a test sandbox: the registry with the product's keys, the system
// folder's Config.fcf, a program folder with listed files, a picture folder and Uninstall.log,
// a results file, and the desktop and menu shortcuts in the sandbox's home.

#include "support/Sandbox.h"
#include "uninstaller/Uninstaller.h"

#include <string>
#include <vector>

class TInstallation {
public:
    // `listed` files are created in the program folder (one of them in the picture folder) and
    // listed in the log, which ends its lines with CR LF.
    explicit TInstallation(TSandbox& box, int listed = 12);

    std::string Program() const { return Box.Root() + "prog/"; }
    std::string Desktop() const { return Box.Home() + "Desktop/"; }
    std::string Group() const { return Box.Home() + ".local/share/applications/ZARVO/"; }
    std::string Registry() const { return Box.Read("registry.reg"); }

    // The registry file without these lines is written again (with the product keys).
    void WriteRegistry(const std::string& extra = {});
    void WriteLog(const std::vector<std::string>& lines);
    bool Exists(const std::string& native) const;
    bool RegistryHas(const std::string& key) const; // a "[HKEY_LOCAL_MACHINE\...]" line

    std::vector<std::string> Listed;

private:
    TSandbox& Box;
};

// Records what the steps draw.
class TProgressTrace : public IProgressView {
public:
    void ShowProgress(int progress) override { Steps.push_back(progress); }
    std::vector<int> Steps;
};
