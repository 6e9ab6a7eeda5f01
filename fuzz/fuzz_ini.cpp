// deps: zarvo_platform
// The INI reader behind Config.fcf and the language file: any bytes parse, and every answer keeps
// the reader's promises (values no longer than 2047 bytes, "present" agreeing with the reads).

#include "platform/Profile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const platform::TIniFile ini = platform::TIniFile::FromText(text);
    static const char* const sections[] = {"Files", "VarLib", "Global", "Zarvo_Russian", "", "a"};
    static const char* const keys[] = {"VarLib", "Rule",  "FFF",   "Result", "Path", "Length",
                                       "Theme",  "Class", "Title", "",       "a"};
    for (const char* section : sections) {
        for (const char* key : keys) {
            const std::string value = ini.ReadString(section, key, "\x01");
            if (value.size() > platform::TIniFile::MaxValueLength)
                std::abort();
            // A missing key gives whatever default is asked for; a present one ignores it.
            const bool present = ini.ValueExists(section, key);
            if (present != (ini.ReadString(section, key, "\x02") == value))
                std::abort();
            if (ini.ValueExists(section, key) && !ini.SectionExists(section))
                std::abort();
            ini.ReadInteger(section, key, -1);
        }
    }
    return 0;
}
