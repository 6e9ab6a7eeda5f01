#pragma once
// The Uninstaller's texts: its own section of the language file ("Uninstaller_" + language) and
// three names from the installer's section ("Installer_" + language), each with an English
// default. The program folder and the language come from the registry; nothing is asked.

#include <string>

struct TUninstallTexts {
    std::string Title = "Zarvo";
    std::string strCaption = "Zarvo: Uninstall";
    std::string strConfirmation = "Are You sure You want to uninstall \"Zarvo\"?";
    std::string strConfirmationCaption = "Zarvo: Uninstall?";
    std::string strUninstallError1 = "Unable to uninstall \"Zarvo\"!";
    std::string strUninstallError2 =
        "Please, re-install \"Zarvo\" and  then try to uninstall again "
        "or manually delete folder";
    std::string strWinDirError = "Unable to define Windows folder!";
    std::string strError = "Error!";
    std::string strQuit = "Do You want to exit?";
    std::string strFinish = "Uninstallation finished!";
    std::string strClose = "Close";
    // Under the confirmation: %1 the results file, %2 its result blocks.
    std::string strResultsDeleted =
        "The results file %1 (result blocks: %2) will be deleted with it.";
    std::string strResultsKept = "The results file %1 (result blocks: %2) is kept.";
    // An installation that a package manager owns is removed by it.
    std::string strPackage = "\"Zarvo\" was installed as a package; remove it with the "
                             "package manager:";
    std::string strPackageRemoveDeb =
        "apt remove zarvo (keeps the results), or dpkg --purge zarvo (deletes the results too)";
    std::string strPackageRemoveRpm =
        "rpm -e zarvo (keeps the results and the settings in /var/lib/zarvo and /etc/zarvo)";

    // Name of the program group folder in the programs menu, with a trailing backslash.
    std::string strZarvoPath = "ZARVO\\";
    // Shortcut file names without their extension.
    std::string strZarvoShortcut = "zarvo";
    std::string strUninstallShortcut = "uninstall zarvo";

    // "RFPF\" for "Russian", "EFPF\" for "English" (exact case), else empty.
    std::string PictureFolder;

    std::string ProgramShortcut() const;
    std::string UninstallShortcut() const;
};

// The picture folder that a language word selects.
std::string PictureFolderFor(const std::string& language);

// Reads the texts from `programFolder` + "zarvo.flt" in the given language (empty: "English").
// A missing file, section or key leaves the default.
TUninstallTexts ReadUninstallTexts(const std::string& programFolder, std::string language);

// The same with the program folder and the language taken from the registry. A registry value
// of the wrong type raises ERegistryError.
TUninstallTexts ReadUninstallTexts();
