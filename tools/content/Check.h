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

// What misleads pupils or draws wrongly although nothing breaks: two variants of a theme with one
// number (an error: the selection cannot tell them apart), and as warnings a punctuation check
// point offering only letters, a spelling one offering only signs, and wrong answers that differ
// from the right one only in case.
void CheckAuthoring(const std::vector<TClass>& classes, std::vector<TMessage>& out);
// Rules that no check point names (warnings, reported at the rules' lines).
void CheckRulesUsed(const std::vector<TClass>& classes, const std::vector<TRuleSource>& rules,
                    std::vector<TMessage>& out);

// The longest theme or variant name the selection's list shows whole: 50 cells less the number
// in front and the list's arrow.
inline constexpr std::size_t MaxListName = 44;

// The lines of the tallest rule the rule window shows whole on the smallest screen the trainer
// runs on (640 x 400).
int RuleLinesOnSmallestScreen();

// Drawn glyphs of a rule line: its bytes less the rule window's markup.
std::size_t RuleLineWidth(const std::string& line);
// The widest rule line that the rule window shows uncut (it is 37 cells wide, frame included).
inline constexpr std::size_t MaxRuleLineWidth = 36;
