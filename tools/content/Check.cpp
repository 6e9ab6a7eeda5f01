#include "Check.h"

#include "config/Config.h"
#include "platform/Text.h"
#include "render/SymbolTable.h"

#include <map>
#include <set>

namespace {

std::string U(std::string_view cp) {
    return platform::AnsiToUtf8(std::string(cp));
}

// A character as a teacher reads it in a message.
std::string Shown(char c) {
    if (c == ' ')
        return "a space";
    if (c == '@')
        return "\"@\" (nothing)";
    if (static_cast<unsigned char>(c) < 32)
        return "the control byte " + std::to_string(static_cast<unsigned char>(c));
    return "\"" + U(std::string(1, c)) + "\"";
}

// Space and "@" have their own faces (apart, together); every other answer needs a character
// button.
bool HasFace(char c) {
    return c == ' ' || c == '@' || SymbolButtonNumber(c) != 0;
}

// The characters that the fonts cannot draw, each named once.
void Undrawable(std::string_view text, const std::set<std::size_t>& allowedAt, int line,
                const std::string& what, const std::string& skip, std::vector<TMessage>& out) {
    std::set<char> seen;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (IsSymbol(c) || allowedAt.count(i + 1) || skip.find(c) != std::string::npos)
            continue;
        if (!seen.insert(c).second)
            continue;
        if (c == '@')
            out.push_back({line, what + " holds \"@\" outside a check point; only a check "
                                        "point takes it away, elsewhere it shows as a blank"});
        else
            out.push_back({line, what + " holds " + Shown(c) +
                                     ", which the bitmap fonts cannot draw (it shows as a blank)"});
    }
}

const std::string RuleMarkup = "&#19786450+";
const std::string PairedMarks = "&#19786";

} // namespace

std::size_t RuleLineWidth(const std::string& line) {
    std::size_t n = 0;
    for (char c : line)
        if (RuleMarkup.find(c) == std::string::npos)
            ++n;
    return n;
}

void CheckVariants(const std::vector<TClass>& classes, const std::vector<TRuleRecord>* rules,
                   std::vector<TMessage>& out) {
    std::set<std::string, std::less<>> known;
    if (rules)
        for (const TRuleRecord& r : *rules)
            known.insert(r.Name);
    if (classes.empty())
        out.push_back({0, "the library holds no class"});
    for (const TClass& c : classes) {
        const std::string cn = "class " + std::to_string(c.Number);
        Undrawable(c.Name, {}, c.Line, "the name of " + cn, "", out);
        if (c.Themes.empty())
            out.push_back({c.Line, cn + " has no theme"});
        for (const TTheme& t : c.Themes) {
            const std::string tn = "theme " + std::to_string(t.Number) + " of " + cn;
            Undrawable(t.Name, {}, t.Line, "the name of " + tn, "", out);
            if (t.Variants.empty())
                out.push_back({t.Line, tn + " has no variant"});
            for (const TVariant& v : t.Variants) {
                const std::string vn = "variant " + std::to_string(v.Number);
                Undrawable(v.Name, {}, v.Line, "the name of " + vn, "", out);
                if (v.Examples.empty())
                    out.push_back({v.Line, vn + " has no example"});
                for (const TExample& e : v.Examples) {
                    const int line = e.CheckPointsLine ? e.CheckPointsLine : e.Line;
                    if (e.CheckPoints.empty())
                        out.push_back({e.Line, "the sentence has no check point, so the pupil "
                                               "answers nothing there"});
                    const auto size = static_cast<std::int32_t>(e.Text.size());
                    std::set<std::size_t> nothingAt;
                    std::int32_t last = 0;
                    for (std::size_t k = 0; k < e.CheckPoints.size(); ++k) {
                        const TCheckPoint& cp = e.CheckPoints[k];
                        const std::string pn = "check point " + std::to_string(k + 1) +
                                               " (position " + std::to_string(cp.Position) + ")";
                        if (cp.Position < 1 || cp.Position > size) {
                            out.push_back({line, pn + " lies outside its sentence of " +
                                                     std::to_string(size) + " characters"});
                            continue;
                        }
                        if (cp.Position <= last)
                            out.push_back({line, pn + " does not come after the check point "
                                                      "before it; the trainer needs them in "
                                                      "ascending order"});
                        last = std::max(last, cp.Position);
                        const char right = e.Text[static_cast<std::size_t>(cp.Position - 1)];
                        if (right == '@')
                            nothingAt.insert(static_cast<std::size_t>(cp.Position));
                        if (!HasFace(right))
                            out.push_back({line, pn + ": the right answer " + Shown(right) +
                                                     " has no answer button"});
                        for (char alt : {cp.Alternative1, cp.Alternative2})
                            if (alt && !HasFace(alt))
                                out.push_back({line, pn + ": the wrong answer " + Shown(alt) +
                                                         " has no answer button"});
                        const bool a1 = cp.Alternative1 && cp.Alternative1 != right;
                        const bool a2 = cp.Alternative2 && cp.Alternative2 != right;
                        if (!a1 && !a2)
                            out.push_back({line, pn + " offers no wrong answer; the trainer "
                                                      "skips it"});
                        else if (a1 && a2 && cp.Alternative1 == cp.Alternative2)
                            out.push_back({line, pn + " offers the same wrong answer twice"});
                        if (cp.Rule.size() > 4)
                            out.push_back({line, pn + ": the rule identifier \"" + U(cp.Rule) +
                                                     "\" is longer than 4 bytes"});
                        else if (rules && !known.count(cp.Rule))
                            out.push_back(
                                {line, pn + (cp.Rule.empty()
                                                 ? std::string(" names no rule, and the rule "
                                                               "library has no rule without a "
                                                               "name")
                                                 : " names the rule \"" + U(cp.Rule) +
                                                       "\", which the rule library does not "
                                                       "have")});
                    }
                    // "*" breaks the line and shows as a blank cell; "@" is only meant where a
                    // check point removes it.
                    Undrawable(e.Text, nothingAt, e.Line, "the sentence", "*", out);
                }
            }
        }
    }
}

void CheckRules(const std::vector<TRuleSource>& rules, std::vector<TMessage>& out) {
    if (rules.empty())
        out.push_back({0, "the rule library holds no rule; the trainer refuses to start"});
    std::map<std::string, int> first;
    for (std::size_t r = 0; r < rules.size(); ++r) {
        const TRuleSource& rule = rules[r];
        const std::string& name = rule.Record.Name;
        const std::string rn = "rule \"" + U(name) + "\"";
        if (name.size() > 4)
            out.push_back({rule.Line, rn + ": identifiers of more than 4 bytes cannot be named "
                                           "by a check point"});
        if (auto [it, fresh] = first.emplace(name, rule.Line); !fresh)
            out.push_back({rule.Line, rn + " is there twice; the trainer always shows the first" +
                                          (it->second ? " (line " + std::to_string(it->second) + ")"
                                                      : std::string())});
        if (rule.Record.Lines.empty())
            out.push_back({rule.Line, rn + " has no text"});
        for (std::size_t i = 0; i < rule.Record.Lines.size(); ++i) {
            const std::string& line = rule.Record.Lines[i];
            const int no = i < rule.LineNumbers.size() && rule.LineNumbers[i] ? rule.LineNumbers[i]
                                                                              : rule.Line;
            const std::string ln = rn + ", line " + std::to_string(i + 1);
            Undrawable(line, {}, no, ln, RuleMarkup, out);
            for (char m : PairedMarks) {
                std::size_t count = 0;
                for (char c : line)
                    count += c == m;
                if (count % 2)
                    out.push_back({no, ln + ": the mark \"" + std::string(1, m) +
                                           "\" is opened and not closed in this line, so it "
                                           "draws nothing"});
            }
            if (std::size_t w = RuleLineWidth(line); w > MaxRuleLineWidth)
                out.push_back({no, ln + " is " + std::to_string(w) +
                                       " characters wide; the rule window shows " +
                                       std::to_string(MaxRuleLineWidth) +
                                       " and cuts the rest at both sides"});
        }
    }
}
