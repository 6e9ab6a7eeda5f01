#include "Pack.h"

#include "platform/Text.h"

namespace {

const char* const CRLF = "\r\n";

// Appends one transformed line and its CR LF, after making sure the reader will give it back
// whole: a byte 26 would end the file, a CR LF pair would end the line early.
void AddLine(std::string& out, const std::string& plain, int line, const std::string& what,
             std::vector<TMessage>& errors) {
    if (plain.find('\x1A') != std::string::npos)
        errors.push_back({line, what + " holds the byte 26, which ends a library file"});
    if (plain.find("\r\n") != std::string::npos)
        errors.push_back({line, what + " holds a CR LF pair, which would end its line early"});
    out += TFileCover::TransformText(plain);
    out += CRLF;
}

std::string U(std::string_view cp) {
    return platform::AnsiToUtf8(std::string(cp));
}

void Limit(std::string_view text, std::size_t max, int line, const std::string& what,
           std::vector<TMessage>& errors) {
    if (text.size() > max)
        errors.push_back({line, what + " is " + std::to_string(text.size()) +
                                    " bytes long; the trainer reads at most " +
                                    std::to_string(max)});
}

} // namespace

std::string PackVariants(const std::vector<TClass>& classes, std::vector<TMessage>& errors) {
    std::string out = std::string(VarLibSignature) + CRLF;
    for (const TClass& c : classes) {
        Limit(c.Name, 255, c.Line, "the class name", errors);
        AddLine(out, "%C" + std::string(c.Name), c.Line, "the class line", errors);
        for (const TTheme& t : c.Themes) {
            Limit(t.Name, 255, t.Line, "the theme name", errors);
            AddLine(out, "%T" + std::string(t.Name), t.Line, "the theme line", errors);
            for (const TVariant& v : t.Variants) {
                // The name runs from the space after the number up to byte 254.
                std::string head = "%V" + std::to_string(v.Number) + " ";
                Limit(v.Name, 254 - head.size(), v.Line, "the variant name", errors);
                AddLine(out, head + std::string(v.Name), v.Line, "the variant line", errors);
                for (const TExample& e : v.Examples) {
                    // A sentence beginning with R would read as a check-points line; the
                    // reader's trimming takes the space away again. The space takes one of the
                    // 255 bytes the reader keeps.
                    bool pad = !e.Text.empty() && e.Text[0] == 'R';
                    Limit(e.Text, pad ? 254 : 255, e.Line,
                          pad ? "the sentence (beginning with R)" : "the sentence", errors);
                    AddLine(out, (pad ? "%X " : "%X") + std::string(e.Text), e.Line, "the sentence",
                            errors);
                    if (e.CheckPoints.empty())
                        continue;
                    if (e.CheckPoints.size() > 255) {
                        errors.push_back({e.Line, "a sentence holds at most 255 check points"});
                        continue;
                    }
                    std::string cps = "%XR";
                    cps += static_cast<char>(e.CheckPoints.size());
                    for (const TCheckPoint& cp : e.CheckPoints) {
                        if (cp.Rule().size() > 4)
                            errors.push_back({e.Line, "the rule identifier \"" + U(cp.Rule()) +
                                                          "\" is longer than 4 bytes"});
                        if (cp.Position < 1 || cp.Position > 255)
                            errors.push_back({e.Line, "a check point position must be 1 to 255"});
                        // The byte 26 cannot be stored, so 0 stands for the position 26.
                        cps += static_cast<char>(cp.Position == 26 ? 0 : cp.Position);
                        cps += static_cast<char>(cp.Kind);
                        cps += cp.Alternative1;
                        cps += cp.Alternative2;
                        std::string rule(cp.Rule().substr(0, 4));
                        rule.resize(4, ' ');
                        cps += rule;
                    }
                    std::string what = "the check points of this sentence";
                    if (e.CheckPoints.size() == 26)
                        what += " (26 of them: their count is stored as the byte 26)";
                    else if (e.CheckPoints.size() == 13 && e.CheckPoints[0].Position == 10)
                        what += " (13 of them with the first at position 10: their count and "
                                "that position form a CR LF pair)";
                    AddLine(out, cps, e.Line, what, errors);
                }
            }
        }
    }
    AddLine(out, "%%STOP", 0, "the end mark", errors);
    return out;
}

std::string PackRules(const std::vector<TRuleSource>& rules, std::vector<TMessage>& errors) {
    std::string out = std::string(RuleLibSignature) + CRLF;
    for (const TRuleSource& r : rules) {
        const std::string& name = r.Record.Name;
        std::string head = "%" + name;
        // "%S", "%ST", "%" alone ... would read as the end mark; a space after the "%" is
        // trimmed away by the reader and keeps the header a header.
        if (IsStopLine(head))
            head = "% " + name;
        if (IsStopLine(head))
            errors.push_back({r.Line, "the identifier \"" + U(name) +
                                          "\" holds %%STOP and would end the rule library"});
        AddLine(out, head, r.Line, "the rule header", errors);
        for (std::size_t i = 0; i < r.Record.Lines.size(); ++i) {
            const std::string& line = r.Record.Lines[i];
            int no = i < r.LineNumbers.size() ? r.LineNumbers[i] : r.Line;
            if (!line.empty() && line[0] == '%')
                errors.push_back(
                    {no, "a rule line cannot begin with %: it would start a new rule"});
            else if (IsStopLine(line))
                errors.push_back(
                    {no, "the line \"" + U(line) +
                             "\" would read as the end mark (it lies within %%STOP or holds it) "
                             "and end the rule library here"});
            AddLine(out, line, no, "the rule line", errors);
        }
    }
    AddLine(out, "%%STOP", 0, "the end mark", errors);
    return out;
}
