#pragma once
// Library files from trees: the scrambled bytes that the trainer's readers take back. Whatever
// could not be stored as it stands (a text cut at its length limit, a byte 26, a CR LF pair
// inside a line, a line that the reader would take for an end mark or a header) is reported
// with the record's line and the result must then not be written.

#include "Source.h"

#include <string>
#include <vector>

std::string PackVariants(const std::vector<TClass>& classes, std::vector<TMessage>& errors);
std::string PackRules(const std::vector<TRuleSource>& rules, std::vector<TMessage>& errors);
