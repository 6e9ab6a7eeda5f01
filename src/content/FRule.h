#pragma once
// The rule library: the texts of the grammar rules that the rule window shows, read once at
// start-up from the scrambled file Zarvo.frf. Lines are kept with their drawing markup.

#include "content/FileCover.h"

#include <string>
#include <vector>

struct TRuleRecord {
    std::string Name; // the identifier, compared byte for byte with TCheckPoint::Rule
    std::vector<std::string> Lines;
};

class TFRule : public TFileCover {
public:
    // Loads the given file (start-up passes Config's GetRuleFile).
    explicit TFRule(const std::string& path);
    TFRule(const TFRule&) = delete;
    TFRule& operator=(const TFRule&) = delete;

    // A missing or unreadable file gives an empty library without an error; a wrong signature or
    // a file without rules is a LibraryUnusable error in Errors.
    void LoadRules(const std::string& path);
    // The lines of the first rule of that name; for an unknown name a one-line list saying so,
    // owned by the library, so it stays valid while the rule window draws it.
    const std::vector<std::string>& GetRule(const std::string& name) const;

    std::vector<TRuleRecord> RuleRecords;

private:
    std::vector<std::string> NoRule;
};

inline constexpr const char* RuleLibSignature = "RULfile";
