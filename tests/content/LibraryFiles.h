#pragma once
// Builds scrambled library files the way a producer of content writes them.

#include "content/FileCover.h"

#include <string>
#include <vector>

// The signature line plain, every later line transformed, each ended by CR LF.
inline std::string Library(const std::string& signature, const std::vector<std::string>& lines) {
    std::string out = signature + "\r\n";
    for (const std::string& l : lines)
        out += TFileCover::TransformText(l) + "\r\n";
    return out;
}

// One check-point group: position byte, kind, the two alternatives, the rule padded to 4 bytes.
inline std::string Group(unsigned char position, unsigned char kind, char alt1, char alt2,
                         std::string rule) {
    rule.resize(4, ' ');
    return std::string{static_cast<char>(position), static_cast<char>(kind), alt1, alt2} + rule;
}

inline std::string CheckPoints(const std::vector<std::string>& groups) {
    std::string s = "%XR";
    s += static_cast<char>(groups.size());
    for (const std::string& g : groups)
        s += g;
    return s;
}
