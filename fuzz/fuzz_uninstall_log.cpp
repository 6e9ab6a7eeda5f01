// deps: zarvo_uninstaller_lib
// The reader of Uninstall.log and the checks on what it names: any bytes split into lines that
// hold no line break, lose nothing but the line endings, and a line taken for deletion is
// absolute and whole.

#include "uninstaller/Uninstaller.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t kept = 0;
    for (const std::string& line : SplitLogLines(text)) {
        if (line.find('\n') != std::string::npos)
            std::abort();
        kept += line.size();
        if (IsListedPathUsable(line) &&
            (line.find('\0') != std::string::npos || (line[0] != '/' && line[0] != '\\')))
            std::abort();
        if (IsSafeRelativeName(line, true) && (line[0] == '/' || line[0] == '\\'))
            std::abort();
    }
    std::size_t breaks = 0;
    for (char c : text)
        breaks += c == '\n' || c == '\r';
    if (kept + breaks < text.size())
        std::abort();
    return 0;
}
