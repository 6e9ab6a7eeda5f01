#include "Check.h"

#include "config/Config.h"
#include "platform/Text.h"
#include "render/FFont.h"
#include "render/SymbolTable.h"

#include <algorithm>
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

bool IsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 0xC0 || u == 0xA8 || u == 0xB8;
}

// The signs of punctuation; a hyphen is a spelling answer too (кто-то), and "@" and a space are
// answers of both kinds.
bool IsSign(char c) {
    return std::string_view(",.;:!?\"()").find(c) != std::string_view::npos;
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
                        if (cp.Rule().size() > 4)
                            out.push_back({line, pn + ": the rule identifier \"" + U(cp.Rule()) +
                                                     "\" is longer than 4 bytes"});
                        else if (rules && !known.count(cp.Rule()))
                            out.push_back(
                                {line, pn + (cp.Rule().empty()
                                                 ? std::string(" names no rule, and the rule "
                                                               "library has no rule without a "
                                                               "name")
                                                 : " names the rule \"" + U(cp.Rule()) +
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

namespace {

bool IsMarkDigit(char c) {
    return c == '0' || c == '1' || (c >= '4' && c <= '9');
}

// Marks that draw something other than what the writer meant: a colour switch inside a span
// (it counts as a cell of the span, so the mark shifts left), and digits written as text ("5
// класс" draws an arc over " к").
void MarkupSlips(const std::string& line, int no, const std::string& ln,
                 std::vector<TMessage>& out) {
    std::set<char> open;
    bool zeroInSpan = false;
    for (char c : line) {
        if (PairedMarks.find(c) != std::string::npos) {
            if (!open.erase(c))
                open.insert(c);
        } else if (c == '0' && !open.empty()) {
            zeroInSpan = true;
        }
    }
    if (zeroInSpan)
        out.push_back({no,
                       ln + ": a colour switch \"0\" inside a marked span shifts the mark left by "
                            "a cell; switch the colour outside the span",
                       true});
    for (std::size_t i = 0; i < line.size();) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])))
            ++end;
        const std::string run = line.substr(i, end - i);
        bool number = false;
        if (run.size() >= 2) {
            // Two marks may meet ("7" closing, "0" switching); anything more is a number.
            const bool textDigit = run.find_first_of("23") != std::string::npos;
            const bool single = run.find_first_of("45") != std::string::npos;
            const bool emptySpan = run.size() == 2 && run[0] == run[1] && run[0] != '0';
            // "10 лет": a run standing alone between blanks is a number too.
            auto blank = [&](std::size_t at, bool before) {
                if (before ? at == 0 : at >= line.size())
                    return true;
                const char c = line[before ? at - 1 : at];
                return c == ' ' || IsSign(c) || c == '-';
            };
            const bool alone = blank(i, true) && blank(end, false);
            number = textDigit || single || emptySpan || run.size() >= 3 || alone;
        } else if ((run[0] == '4' || run[0] == '5') &&
                   (end >= line.size() || line[end] == ' ' || IsMarkDigit(line[end]))) {
            // A stress or a two-cell arc over a blank is a number followed by a space.
            number = true;
        }
        if (number && run.find_first_not_of("23") != std::string::npos)
            out.push_back({no,
                           ln + ": \"" + run +
                               "\" reads as a number, but the digits 0, 1 and 4 to 9 are marks "
                               "here and are not drawn; write the number in words",
                           true});
        i = end;
    }
}

} // namespace

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
        if (const int fit = RuleLinesOnSmallestScreen();
            static_cast<int>(rule.Record.Lines.size()) > fit)
            out.push_back({rule.Line, rn + " has " + std::to_string(rule.Record.Lines.size()) +
                                          " lines; on the smallest screen the rule window shows " +
                                          std::to_string(fit)});
        std::size_t zeros = 0;
        for (const std::string& line : rule.Record.Lines)
            zeros += static_cast<std::size_t>(std::count(line.begin(), line.end(), '0'));
        if (zeros % 2)
            out.push_back({rule.Line,
                           rn + ": a colour switch \"0\" is left open at the end of the rule, so "
                                "its last lines are drawn in red",
                           true});
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
            MarkupSlips(line, no, ln, out);
            if (std::size_t w = RuleLineWidth(line); w > MaxRuleLineWidth)
                out.push_back({no, ln + " is " + std::to_string(w) +
                                       " characters wide; the rule window shows " +
                                       std::to_string(MaxRuleLineWidth) +
                                       " and cuts the rest at both sides"});
        }
    }
}

namespace {

bool Punctuation(std::uint8_t kind) {
    return kind == 0 || kind == 2;
}

} // namespace

int RuleLinesOnSmallestScreen() {
    // The small font of a 640-pixel screen and that screen's gap between lines; the window's
    // caption and frame take about 30 pixels of the 400.
    const int height = SizeHeight(TFFont::SizesForScreenWidth(640).second);
    const int pitch = height / 2 + height + 3 + 2;
    return (400 - 30) / pitch;
}

void CheckAuthoring(const std::vector<TClass>& classes, std::vector<TMessage>& out) {
    auto fits = [&](std::string_view name, int line, const std::string& what) {
        if (name.size() > MaxListName)
            out.push_back({line,
                           what + " has " + std::to_string(name.size()) +
                               " characters; the selection list shows about " +
                               std::to_string(MaxListName) + " of them after its number",
                           true});
    };
    for (const TClass& c : classes)
        for (const TTheme& t : c.Themes) {
            fits(t.Name, t.Line, "the name of theme \"" + U(t.Name) + "\"");
            std::map<std::int32_t, int> numbers;
            for (const TVariant& v : t.Variants) {
                fits(v.Name, v.Line, "the name of variant " + std::to_string(v.Number));
                if (auto [it, fresh] = numbers.emplace(v.Number, v.Line); !fresh)
                    out.push_back({v.Line, "variant " + std::to_string(v.Number) + " of theme \"" +
                                               U(t.Name) +
                                               "\" has the number of the variant at line " +
                                               std::to_string(it->second) +
                                               "; pupils cannot tell them apart in the list"});
                for (const TExample& e : v.Examples)
                    for (std::size_t k = 0; k < e.CheckPoints.size(); ++k) {
                        const TCheckPoint cp = e.CheckPoints[k];
                        if (cp.Position < 1 ||
                            cp.Position > static_cast<std::int32_t>(e.Text.size()))
                            continue;
                        const int line = e.CheckPointsLine ? e.CheckPointsLine : e.Line;
                        const std::string pn =
                            "check point " + std::to_string(k + 1) + " (" +
                            Shown(e.Text[static_cast<std::size_t>(cp.Position - 1)]) + ")";
                        std::vector<char> answers{
                            e.Text[static_cast<std::size_t>(cp.Position - 1)]};
                        for (char alt : {cp.Alternative1, cp.Alternative2})
                            if (alt)
                                answers.push_back(alt);
                        const bool allLetters =
                            std::all_of(answers.begin(), answers.end(), IsLetter);
                        const bool allSigns = std::all_of(answers.begin(), answers.end(), IsSign);
                        if (Punctuation(cp.Kind) && allLetters)
                            out.push_back({line,
                                           pn + " is a punctuation point ([...]) but offers only "
                                                "letters; a mistake there counts as punctuation",
                                           true});
                        if (!Punctuation(cp.Kind) && allSigns)
                            out.push_back({line,
                                           pn + " is a spelling point ({...}) but offers only "
                                                "signs; a mistake there counts as spelling",
                                           true});
                        const char right = answers.front();
                        for (std::size_t a = 1; a < answers.size(); ++a)
                            if (answers[a] != right && IsLetter(right) &&
                                platform::AnsiLowerChar(answers[a]) ==
                                    platform::AnsiLowerChar(right))
                                out.push_back({line,
                                               pn + ": the wrong answer " + Shown(answers[a]) +
                                                   " differs from the right one only in case; "
                                                   "keep it only if capitals are the point",
                                               true});
                    }
            }
        }
}

void CheckRulesUsed(const std::vector<TClass>& classes, const std::vector<TRuleSource>& rules,
                    std::vector<TMessage>& out) {
    std::set<std::string, std::less<>> named;
    for (const TClass& c : classes)
        for (const TTheme& t : c.Themes)
            for (const TVariant& v : t.Variants)
                for (const TExample& e : v.Examples)
                    for (std::size_t k = 0; k < e.CheckPoints.size(); ++k)
                        named.insert(std::string(e.CheckPoints[k].Rule()));
    for (const TRuleSource& r : rules)
        if (!named.count(r.Record.Name))
            out.push_back({r.Line,
                           "rule \"" + U(r.Record.Name) +
                               "\" is named by no check point, so no pupil ever sees it",
                           true});
}
