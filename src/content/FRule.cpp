#include "content/FRule.h"

#include "platform/Text.h"

namespace {
// Built in, not an interface string.
std::string NoRuleText() {
    return platform::Utf8ToAnsi("В библиотеке правил такого правила нет...");
}
} // namespace

TFRule::TFRule(const std::string& path) : NoRule{NoRuleText()} {
    LoadRules(path);
}

void TFRule::LoadRules(const std::string& path) {
    Errors.clear();
    const auto notALibrary = [this, &path](const char* what) {
        Errors.push_back({platform::TReadError::TKind::LibraryUnusable, path, 0, what});
    };
    try {
        TTextFile f(path);
        RuleRecords.clear();
        std::string line;
        ReadPlainLine(f, line);
        if (line != RuleLibSignature)
            notALibrary("Wrong signature of the rule library");
        while (!f.Eof() && !IsStopLine(line)) {
            ReadLine(f, line, Errors);
            if (IsStopLine(line))
                break;
            if (line.empty() || line[0] != '%') {
                // A text line before the first header has no rule to belong to.
                if (!RuleRecords.empty())
                    RuleRecords.back().Lines.push_back(line);
            } else {
                TRuleRecord& r = RuleRecords.emplace_back();
                r.Name.assign(TrimView(std::string_view(line).substr(1)));
            }
        }
        if (RuleRecords.empty())
            notALibrary("No rule in the rule library");
    } catch (const std::exception&) {
        // A missing or unreadable rule library is no failure: every rule then reads as missing.
    }
}

const std::vector<std::string>& TFRule::GetRule(const std::string& name) const {
    for (const TRuleRecord& r : RuleRecords)
        if (r.Name == name)
            return r.Lines;
    return NoRule;
}
