#pragma once
// The teachers' source format of the two content libraries: UTF-8 text, one line per class,
// theme, variant, example and rule line, check points written inline in their sentences.
// docs/content.md describes it for the people who write it.

#include "content/FRule.h"
#include "content/Task.h"

#include <string>
#include <vector>

// A finding with the line it belongs to (0: the file as a whole). Text is UTF-8. A warning
// spoils a session without breaking it.
struct TMessage {
    int Line = 0;
    std::string Text;
    bool Warning = false;
};

enum class TLibraryKind { Unknown, Variants, Rules };

// A rule as a source gives it, with the source lines of its header and of each text line.
struct TRuleSource {
    TRuleRecord Record;
    int Line = 0;
    std::vector<int> LineNumbers;
};

struct TVariantSource {
    std::vector<TClass> Classes; // cp1251; Line fields hold source lines
    TLibraryStore Store;         // what Classes point into
    std::vector<TMessage> Errors;
};

struct TRulesSource {
    std::vector<TRuleSource> Rules; // cp1251
    std::vector<TMessage> Errors;
};

// Which library a source describes, by its first keyword line ("Класс:" or "Правило:").
TLibraryKind SourceKind(const std::string& utf8);

TVariantSource ParseVariantSource(const std::string& utf8);
TRulesSource ParseRulesSource(const std::string& utf8);

// The source text of a loaded library. What the format cannot hold exactly (check points out of
// order or outside their sentence, line breaks inside a text, bytes without a character) is
// reported in `errors`, and the result must then not be used.
std::string WriteVariantSource(const std::vector<TClass>& classes, std::vector<TMessage>& errors);
std::string WriteRulesSource(const std::vector<TRuleRecord>& rules, std::vector<TMessage>& errors);

// Rules without their source lines, as the library holds them.
std::vector<TRuleRecord> RuleRecordsOf(const std::vector<TRuleSource>& rules);
std::vector<TRuleSource> RuleSourcesOf(const std::vector<TRuleRecord>& rules);

// Byte-for-byte equality of two trees, names, texts and every check point field.
bool SameVariants(const std::vector<TClass>& a, const std::vector<TClass>& b);
bool SameRules(const std::vector<TRuleRecord>& a, const std::vector<TRuleRecord>& b);
