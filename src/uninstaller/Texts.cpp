#include "uninstaller/Texts.h"

#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"

std::string TUninstallTexts::ProgramShortcut() const {
    return strZarvoShortcut + platform::ShortcutExtension();
}

std::string TUninstallTexts::UninstallShortcut() const {
    return strUninstallShortcut + platform::ShortcutExtension();
}

std::string PictureFolderFor(const std::string& language) {
    if (language == "Russian")
        return "RFPF\\";
    if (language == "English")
        return "EFPF\\";
    return {};
}

TUninstallTexts ReadUninstallTexts(const std::string& programFolder, std::string language) {
    if (language.empty())
        language = "English";
    TUninstallTexts t;
    // The same folder as the steps use: a registry path without its separator still means it.
    platform::TIniFile ini(platform::IncludeTrailingBackslash(programFolder) + "zarvo.flt");
    const std::string own = "Uninstaller_" + language;
    auto read = [&](const std::string& section, const char* key, std::string& text) {
        text = ini.ReadString(section, key, text);
    };
    read(own, "Title", t.Title);
    read(own, "strCaption", t.strCaption);
    read(own, "strConfirmation", t.strConfirmation);
    read(own, "strConfirmationCaption", t.strConfirmationCaption);
    read(own, "strUninstallError1", t.strUninstallError1);
    read(own, "strUninstallError2", t.strUninstallError2);
    read(own, "strWinDirError", t.strWinDirError);
    read(own, "strError", t.strError);
    read(own, "strQuit", t.strQuit);
    read(own, "strFinish", t.strFinish);
    read(own, "strClose", t.strClose);
    read(own, "strResultsDeleted", t.strResultsDeleted);
    read(own, "strResultsKept", t.strResultsKept);
    read(own, "strPackage", t.strPackage);
    read(own, "strPackageRemoveDeb", t.strPackageRemoveDeb);
    read(own, "strPackageRemoveRpm", t.strPackageRemoveRpm);
    const std::string installer = "Installer_" + language;
    read(installer, "strZarvoPath", t.strZarvoPath);
    read(installer, "strZarvoShortcut", t.strZarvoShortcut);
    read(installer, "strUninstallShortcut", t.strUninstallShortcut);
    t.PictureFolder = PictureFolderFor(language);
    return t;
}

TUninstallTexts ReadUninstallTexts() {
    platform::TRegistry reg;
    std::string folder, language;
    if (reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", false))
        folder = reg.ReadString("Path");
    reg.CloseKey();
    if (reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Language", false))
        language = reg.ReadString("Language");
    reg.CloseKey();
    return ReadUninstallTexts(folder, language);
}
