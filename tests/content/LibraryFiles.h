#pragma once
// Builds scrambled library files the way a producer of content writes them.

#include "app/Reports.h"
#include "content/FRule.h"
#include "content/FileCover.h"
#include "content/Task.h"

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

// The libraries as start-up loads them: read, then what the reader met shown as the boxes and
// the failure flag that start-up shows for it.
class TShownTask : public TTask {
public:
    explicit TShownTask(const std::string& path) : TTask(path) { ShowReadErrors(Errors); }
    void OpenFFile(const std::string& path) {
        TTask::OpenFFile(path);
        ShowReadErrors(Errors);
    }
};

class TShownRules : public TFRule {
public:
    explicit TShownRules(const std::string& path) : TFRule(path) { ShowReadErrors(Errors); }
};
