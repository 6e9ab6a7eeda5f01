// The picture, help and button file locations of TConfig: the program directory's picture folder
// first, then the content directory's.

#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "platform/Files.h"

#include <string>

std::string TConfig::FindPicture(const std::string& name) const {
    const std::string candidate = Path + PictureFolder + name;
    if (platform::FileExists(candidate))
        return candidate;
    return ContentDir + PictureFolder + name;
}

namespace {
std::string Sized(const char* stem, std::uint8_t screenSize) {
    return stem + std::to_string(screenSize) + ".fpf";
}
} // namespace

std::string TConfig::GetIntroPicture() const {
    return FindPicture(Sized("intro", ScreenSize));
}
std::string TConfig::GetLayPicture() const {
    return FindPicture(Sized("lay", ScreenSize));
}
std::string TConfig::GetButtonsPicture() const {
    return FindPicture(Sized("button", ScreenSize));
}
std::string TConfig::GetResultPicture() const {
    return FindPicture(Sized("res", ScreenSize));
}
std::string TConfig::GetArrowPicture() const {
    return FindPicture("arrow.fpf");
}
std::string TConfig::GetPraisePicture() const {
    return FindPicture("praise.fpf");
}
std::string TConfig::GetRightPicture() const {
    return FindPicture("right.fpf");
}
std::string TConfig::GetSlipPicture() const {
    return FindPicture("slip.fpf");
}
std::string TConfig::GetExitPicture() const {
    return FindPicture("exit.fpf");
}
std::string TConfig::GetHelpFile() const {
    return FindPicture("help.txt");
}

std::string ButtonFileName(int number, bool pressed) {
    std::string name = pressed ? "1" : "0";
    if (number >= 1 && number <= 9)
        name += "00" + std::to_string(number);
    else if (number >= 10 && number <= 99)
        name += "0" + std::to_string(number);
    else if (number >= 100 && number <= 999)
        name += std::to_string(number);
    return name + ".fbf";
}

std::string TConfig::GetButtonFile(int number, bool pressed) const {
    return FindPicture(ButtonFileName(number, pressed));
}

int SymbolButtonNumber(char symbol) {
    const int b = static_cast<unsigned char>(symbol);
    switch (b) {
    case '!':
        return 73;
    case '"':
        return 83;
    case ',':
        return 67;
    case '-':
        return 71;
    case '.':
        return 68;
    case ':':
        return 70;
    case ';':
        return 69;
    case '?':
        return 72;
    case 168:
        return 168;
    case 184:
        return 184;
    default:
        break;
    }
    if (b >= 192 && b <= 197)
        return b - 158;
    if (b >= 198 && b <= 223)
        return b - 157;
    if (b >= 224 && b <= 229)
        return b - 223;
    if (b >= 230)
        return b - 222;
    return 0;
}

std::string TConfig::GetSymbolButtonFile(char symbol, bool pressed) const {
    const int number = SymbolButtonNumber(symbol);
    if (number == 0)
        throw EWrongButtonSymbol("Trying to show an unallowed answer button!");
    return GetButtonFile(number, pressed);
}
