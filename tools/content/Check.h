#pragma once
// What in a library would break or spoil a session although the trainer loads it: check points
// out of order or outside their sentence, answers without a button face, unknown rules,
// characters the bitmap fonts cannot draw, rule marks left open.

#include "Source.h"

#include <string>
#include <vector>

// `rules` may be null when no rule library is at hand; identifiers are then not looked up.
void CheckVariants(const std::vector<TClass>& classes, const std::vector<TRuleRecord>* rules,
                   std::vector<TMessage>& out);
void CheckRules(const std::vector<TRuleSource>& rules, std::vector<TMessage>& out);

// Drawn glyphs of a rule line: its bytes less the rule window's markup.
std::size_t RuleLineWidth(const std::string& line);
// The widest rule line that the rule window shows uncut (it is 37 cells wide, frame included).
inline constexpr std::size_t MaxRuleLineWidth = 36;
