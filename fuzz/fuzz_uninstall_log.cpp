// deps: zarvo_uninstaller_lib
// The reader of Uninstall.log and the checks on what it names: any bytes split into lines that
// hold no line ending of the log's kind, lose nothing but the line endings, and a line taken
// for deletion is absolute, whole and free of control characters.

#include "uninstaller/SafeRemove.h"
#include "uninstaller/Uninstaller.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const bool crlf = text.find("\r\n") != std::string::npos;
    const std::string ending = crlf ? "\r\n" : "\n";
    std::size_t kept = 0, lines = 0;
    for (const std::string& line : SplitLogLines(text)) {
        ++lines;
        if (line.find(ending) != std::string::npos)
            std::abort();
        kept += line.size();
        if (IsListedPathUsable(line) &&
            (HasControlCharacter(line) || (line[0] != '/' && line[0] != '\\') ||
             line.find("/../") != std::string::npos))
            std::abort();
        if (IsSafeRelativeName(line, true) && (line[0] == '/' || line[0] == '\\'))
            std::abort();
    }
    // Only the line endings are lost: one for every line but an unended last one.
    if (kept + lines * ending.size() < text.size() || kept > text.size())
        std::abort();
    return 0;
}
