// deps: zarvo_content
// The rule library reader on arbitrary files (laid out as LibraryInput.h describes).

#include "LibraryInput.h"
#include "content/FRule.h"

#include <map>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFRule rules(WriteLibraryInput(data, size, RuleLibSignature, "Zarvo.frf"));
    std::map<std::string, const TRuleRecord*> first;
    for (const TRuleRecord& r : rules.RuleRecords)
        first.emplace(r.Name, &r);
    for (const TRuleRecord& r : rules.RuleRecords) {
        Require(r.Name.empty() || static_cast<unsigned char>(r.Name.front()) > 32);
        // A name finds the lines of its first record, never another record's or the
        // unknown-rule text.
        Require(&rules.GetRule(r.Name) == &first.at(r.Name)->Lines);
        for (const std::string& l : r.Lines)
            Require(!IsStopLine(l));
    }
    Require(rules.GetRule("\x01no such rule").size() == 1);
    return 0;
}
