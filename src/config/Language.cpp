#include "app/Strings.h"
#include "config/Config.h"
#include "platform/Profile.h"
#include "platform/Registry.h"

using namespace platform;

void TConfig::LoadLanguage() {
    Language.clear();
    {
        TRegistry reg;
        if (reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Language", false))
            Language = reg.ReadString("Language");
    }
    // Nothing is written back: the question comes again at every start until the
    // installation records a language.
    if (Language.empty() && AskLanguage)
        Language = AskLanguage();

    const TIniFile ini(Path + "Zarvo.flt");
    const std::string section = "Zarvo_" + Language;
    Title = ini.ReadString(section, "Title", DefaultTitle);
    // The folder name is compared exactly, although section names ignore case.
    if (Language == "Russian")
        PictureFolder = "RFPF\\";
    else if (Language == "English")
        PictureFolder = "EFPF\\";
    for (const TInterfaceString& s : InterfaceStrings)
        *s.Value = ini.ReadString(section, s.Identifier, s.Default);
    *LibraryFailureString.Value =
        ini.ReadString(section, LibraryFailureString.Identifier, LibraryFailureString.Default);
}
