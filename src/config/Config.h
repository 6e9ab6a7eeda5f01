#pragma once
// Where the trainer finds its files, whether class and theme are fixed, and the screen-size
// class. Settings come from the Windows directory's Config.fcf, then the registry, then the
// content directory's Config.fcf; they are only read, never written.

#include "platform/ReadError.h"

#include <cstdint>
#include <functional>
#include <string>

// The font file's name in the program and content directories.
inline constexpr const char* FontFileName = "Zarvo.fff";

class TConfig {
public:
    // Reads the settings, loads the language and classifies the screen. `askLanguage` is asked
    // when the registry names no language (start-up passes the bilingual question).
    explicit TConfig(std::function<std::string()> askLanguage);
    // Settings and screen class only: no language question, no interface strings. For tools
    // that report what the trainer would use.
    struct TSettingsOnly {};
    explicit TConfig(TSettingsOnly);

    std::string GetVarLibFile() const;
    std::string GetRuleFile() const;
    std::string GetFontFile() const;
    std::string GetResultFile() const;
    const std::string& GetPath() const { return Path; }
    const std::string& GetFixedClass() const { return FixedClass; }
    std::int32_t GetFixedTheme() const { return FixedTheme; }
    // Size of the file literally named by VarLib, found by a directory search; 0 if none.
    std::int64_t GetVarLibSize() const;
    bool VarLibUnchanged() const;

    // Picture and help paths: program directory + PictureFolder + name if that file exists,
    // else content directory + PictureFolder + name.
    std::string GetIntroPicture() const;
    std::string GetLayPicture() const;
    std::string GetButtonsPicture() const;
    std::string GetResultPicture() const;
    std::string GetArrowPicture() const;
    std::string GetPraisePicture() const;
    std::string GetRightPicture() const;
    std::string GetSlipPicture() const;
    std::string GetExitPicture() const;
    std::string GetHelpFile() const;
    std::string GetButtonFile(int number, bool pressed) const;
    // Raises EWrongButtonSymbol for a character that has no button.
    std::string GetSymbolButtonFile(char symbol, bool pressed) const;

    // The fields, in their declared order; public for --print-config and the tests.
    std::string VarLib;
    std::int32_t VarLibLength;
    std::string FFF;
    std::string Rule;
    std::string Result;
    std::string FixedClass;
    std::int32_t FixedTheme;
    std::string Path;
    std::string Language;
    std::uint8_t ScreenSize;

    // What reading the settings met: a content directory's configuration file that cannot be
    // read. The language and the screen class are then left alone.
    platform::TReadErrors Errors;
    // Asked by LoadLanguage when the registry names no language; without it the language stays
    // empty.
    std::function<std::string()> AskLanguage;

    // The steps of construction, public so that tests can run them one by one.
    void SetDefaults();
    bool ReadWindowsConfig();
    bool ReadRegistry();
    void ReadContentConfig();
    void SetPath();
    void LoadLanguage();
    void SetScreenSize();

    // A picture of the language's folder: program directory first, then the content directory.
    std::string FindPicture(const std::string& name) const;

private:
    void Read(bool withLanguage);
};

// A button face's file name: state digit (1 pressed, 0 released), the number in three digits.
std::string ButtonFileName(int number, bool pressed);

// The button number of an answer character (1..73, 83, 168, 184); 0 when it has no button face.
int SymbolButtonNumber(char symbol);

// The screen-size class 1..4 of a screen.
std::uint8_t ScreenSizeClass(int width, int height);

#include "platform/Exception.h"

// An answer character that no button face exists for.
class EWrongButtonSymbol : public Exception {
public:
    using Exception::Exception;
};
