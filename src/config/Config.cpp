#include "config/Config.h"

#include "app/Globals.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Screen.h"

using namespace platform;

namespace {

const char* const ProductKey = "SOFTWARE\\Orvisoft\\Zarvo";
const char* const ConfigFileName = "Config.fcf";
const char* const VarLibFileName = "Zarvo.ff";
const char* const RuleFileName = "Zarvo.frf";
const char* const ResultFileName = "Zarvo.rez";

std::string Key(const std::string& subKey) {
    return std::string("\\") + ProductKey + subKey;
}

bool IsMarker(const std::string& value) {
    return value == "CD" || value == "=";
}

// Takes a value of the [Files] section when the key is listed, whatever its value.
void TakeFileValue(const TIniFile& ini, const char* key, std::string& field) {
    if (ini.ValueExists("Files", key))
        field = ini.ReadString("Files", key, field);
}

// Takes a registry string only when the value is there: a missing value leaves the default or
// the earlier source's value, where reading it as empty would lose the library's location.
void TakeRegistryValue(TRegistry& reg, const char* name, std::string& field) {
    if (reg.ValueExists(name))
        field = reg.ReadString(name);
}

} // namespace

TConfig::TConfig(std::function<std::string()> askLanguage) : AskLanguage(std::move(askLanguage)) {
    Read(true);
}

TConfig::TConfig(TSettingsOnly) {
    Read(false);
}

void TConfig::Read(bool withLanguage) {
    SetDefaults();
    Errors.clear();
    if (!ReadWindowsConfig() && !ReadRegistry())
        ReadContentConfig();
    if (!Errors.empty())
        return;
    if (withLanguage)
        LoadLanguage();
    SetScreenSize();
}

void TConfig::SetDefaults() {
    VarLib = "CD";
    VarLibLength = -1;
    FFF = "=";
    Rule = "CD";
    Result.clear();
    FixedClass.clear();
    FixedTheme = -1;
    Path.clear();
    Language.clear();
    ScreenSize = 1;
}

bool TConfig::ReadWindowsConfig() {
    SetDefaults();
    const std::string windowsDir = GetWindowsDirectory();
    if (windowsDir.empty())
        return false;
    const std::string fileName = windowsDir + "\\" + ConfigFileName;
    if (!FileExists(fileName))
        return false;

    const TIniFile ini(fileName);
    TakeFileValue(ini, "Result", Result);
    TakeFileValue(ini, "Rule", Rule);
    TakeFileValue(ini, "FFF", FFF);
    if (!ini.ValueExists("Files", "VarLib"))
        return false;
    VarLib = ini.ReadString("Files", "VarLib", VarLib);
    VarLibLength = ini.ReadInteger("VarLib", "Length", -1);
    if (VarLibUnchanged()) {
        if (ini.ValueExists("VarLib", "Theme"))
            FixedTheme = ini.ReadInteger("VarLib", "Theme", -1);
        if (ini.ValueExists("VarLib", "Class"))
            FixedClass = ini.ReadString("VarLib", "Class", "");
    } else {
        FixedTheme = -1;
        FixedClass.clear();
    }
    SetPath();
    return VarLib != "=" && Rule != "=";
}

bool TConfig::ReadRegistry() {
    // The fields keep what the Windows-directory file left in them.
    bool answer = false;
    {
        TRegistry reg;
        if (reg.OpenKey(ProductKey, false)) {
            answer = true;
            reg.CloseKey();
            // These three keys are created when missing, as the installation expects to find
            // them; a registry that cannot be written simply leaves them out.
            if (reg.OpenKey(Key("\\Files\\Result"), true) && Result.empty())
                TakeRegistryValue(reg, "Result", Result);
            reg.CloseKey();
            if (reg.OpenKey(Key("\\Files\\Rule"), true) && IsMarker(Rule))
                TakeRegistryValue(reg, "Rule", Rule);
            reg.CloseKey();
            if (reg.OpenKey(Key("\\Files\\FFF"), true) && FFF == "CD")
                TakeRegistryValue(reg, "FFF", FFF);
            reg.CloseKey();
            if (reg.OpenKey(Key("\\Files\\VarLib"), false) && IsMarker(VarLib))
                TakeRegistryValue(reg, "VarLib", VarLib);
            reg.CloseKey();

            if (reg.OpenKey(Key("\\Files\\VarLib\\Length"), false)) {
                VarLibLength = reg.ReadInteger("Length");
                if (VarLibUnchanged()) {
                    reg.CloseKey();
                    if (reg.OpenKey(Key("\\Files\\VarLib\\Theme"), false) && FixedTheme == -1)
                        FixedTheme = reg.ReadInteger("Theme");
                    reg.CloseKey();
                    if (reg.OpenKey(Key("\\Files\\VarLib\\Class"), false) && FixedClass.empty())
                        TakeRegistryValue(reg, "Class", FixedClass);
                } else {
                    FixedTheme = -1;
                    FixedClass.clear();
                }
            }
        }
    }
    SetPath();
    return answer;
}

void TConfig::ReadContentConfig() {
    SetDefaults();
    const std::string fileName = ContentDir + ConfigFileName;
    if (!FileExists(fileName))
        return;
    try {
        const TIniFile ini(fileName);
        if (!ini.Loaded())
            throw EInOutError("Cannot read " + fileName);
        TakeFileValue(ini, "Result", Result);
        TakeFileValue(ini, "Rule", Rule);
        TakeFileValue(ini, "FFF", FFF);
        TakeFileValue(ini, "VarLib", VarLib);
        if (ini.ValueExists("Global", "Path"))
            Path = ini.ReadString("Global", "Path", "");
        SetPath();
    } catch (const std::exception& e) {
        Errors.push_back({TReadError::TKind::LibraryUnusable, fileName, 0, e.what()});
    }
}

void TConfig::SetPath() {
    try {
        TRegistry reg;
        if (reg.OpenKey(Key("\\Path"), false))
            Path = reg.ReadString("Path");
        if (Path.empty() || !DirectoryExists(Path))
            Path = ContentDir;
        // File names are joined to the program directory unchanged, so it must end in a
        // separator; an installation that wrote the path without one would otherwise lose
        // every file.
        Path = IncludeTrailingBackslash(Path);
    } catch (const std::exception&) {
        throw EAbort("Something's happened in TConfig.SetPath!");
    }
}

void TConfig::SetScreenSize() {
    const TScreenMetrics screen = GetScreenMetrics();
    ScreenSize = ScreenSizeClass(screen.Width, screen.Height);
}

std::string TConfig::GetVarLibFile() const {
    return VarLib != "CD" ? VarLib : ContentDir + VarLibFileName;
}

std::string TConfig::GetRuleFile() const {
    return Rule != "CD" ? Rule : ContentDir + RuleFileName;
}

std::string TConfig::GetFontFile() const {
    if (FFF == "CD")
        return ContentDir + FontFileName;
    if (FFF != "=")
        return FFF;
    if (FileExists(Path + FontFileName))
        return Path + FontFileName;
    return ContentDir + FontFileName;
}

std::string TConfig::GetResultFile() const {
    return Path + (Result.empty() ? std::string(ResultFileName) : Result);
}

std::int64_t TConfig::GetVarLibSize() const {
    const std::int64_t size = FileSizeBySearch(VarLib);
    return size < 0 ? 0 : size;
}

bool TConfig::VarLibUnchanged() const {
    return VarLibLength > 0 && VarLibLength == GetVarLibSize();
}

std::uint8_t ScreenSizeClass(int width, int height) {
    if (width < 800 || height < 600)
        return 1;
    if (width < 1024 || height < 768)
        return 2;
    if (width < 1280 || height < 960)
        return 3;
    return 4;
}
