// deps: zarvo_report_tool_lib
// The results-file reader of the teachers' report: any bytes parse, nothing is counted twice, and
// every session it takes keeps the figures a block can hold.

#include "Results.h"
#include "Summary.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<TResultLabels> labels = [] {
        TResultLabels english = DefaultEnglishLabels();
        TResultLabels russian = english;
        russian.Language = "Russian";
        russian.Pupil = "\xd3\xf7\xe5\xed\xe8\xea:"; // "Ученик:" in cp1251
        return std::vector<TResultLabels>{russian, english};
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    TReadResult read;
    ParseResults(text, "fuzz", labels, read);
    const std::size_t first = read.Sessions.size();
    // The same text again adds nothing: every block was seen.
    ParseResults(text, "again", labels, read);
    if (read.Sessions.size() != first)
        std::abort();
    for (const auto& s : read.Sessions)
        if (s.Mistakes != static_cast<int>(s.SpellingRules.size() + s.PunctuationRules.size()) ||
            s.Mark < 0 || s.Mark > 5 || (s.Interrupted && s.Mark != 0) || s.Line < 1)
            std::abort();
    const TSummary summary = Summarise(read.Sessions, {});
    if (summary.SessionCount != static_cast<int>(read.Sessions.size()))
        std::abort();
    return 0;
}
