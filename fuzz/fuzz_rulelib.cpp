// deps: zarvo_content
// The rule library reader on arbitrary files (laid out as LibraryInput.h describes).

#include "LibraryInput.h"
#include "content/FRule.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFRule rules(WriteLibraryInput(data, size, RuleLibSignature, "Zarvo.frf"));
    for (const TRuleRecord& r : rules.RuleRecords) {
        Require(r.Name.empty() || static_cast<unsigned char>(r.Name.front()) > 32);
        Require(&rules.GetRule(r.Name) != nullptr);
        for (const std::string& l : r.Lines)
            Require(!IsStopLine(l));
    }
    Require(rules.GetRule("\x01no such rule").size() == 1);
    return 0;
}
