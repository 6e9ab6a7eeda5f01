#include "Source.h"

#include "platform/Lines.h"
#include "platform/Text.h"

#include <algorithm>

using platform::AnsiToUtf8;
using platform::Utf8ToAnsi;

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool AllBlank(const std::string& s) {
    return std::all_of(s.begin(), s.end(), IsBlank);
}

const std::string& Word(int which) {
    static const std::string words[] = {Utf8ToAnsi("класс"), Utf8ToAnsi("тема"),
                                        Utf8ToAnsi("вариант"), Utf8ToAnsi("правило")};
    return words[which];
}

const std::string& Keyword(int which) {
    static const std::string words[] = {Utf8ToAnsi("Класс:"), Utf8ToAnsi("Тема:"),
                                        Utf8ToAnsi("Вариант"), Utf8ToAnsi("Правило:")};
    return words[which];
}

enum class TLineKind { Blank, Comment, Class, Theme, Variant, Rule, Text };

struct TClassified {
    TLineKind Kind = TLineKind::Text;
    std::string Rest;         // after the colon, trimmed
    bool NumberValid = false; // a variant line with a whole number before its colon
    std::int32_t Number = 0;
};

// What a source line is. Keywords are case-insensitive words followed by a colon; a variant's
// number stands between its word and the colon. A line starting with a backslash is always text.
TClassified Classify(const std::string& line) {
    TClassified r;
    std::string_view t = TrimView(line);
    if (t.empty()) {
        r.Kind = TLineKind::Blank;
        return r;
    }
    if (t.substr(0, 2) == "//") {
        r.Kind = TLineKind::Comment;
        return r;
    }
    const TLineKind kinds[] = {TLineKind::Class, TLineKind::Theme, TLineKind::Variant,
                               TLineKind::Rule};
    for (int k = 0; k < 4; ++k) {
        const std::string& w = Word(k);
        if (t.size() < w.size() || platform::AnsiLowerCase(std::string(t.substr(0, w.size()))) != w)
            continue;
        std::size_t i = w.size();
        while (i < t.size() && IsBlank(t[i]))
            ++i;
        std::string number;
        if (kinds[k] == TLineKind::Variant) {
            std::size_t from = i;
            if (i < t.size() && (t[i] == '-' || t[i] == '+'))
                ++i;
            while (i < t.size() && t[i] >= '0' && t[i] <= '9')
                ++i;
            number.assign(t.substr(from, i - from));
            while (i < t.size() && IsBlank(t[i]))
                ++i;
        }
        if (i >= t.size() || t[i] != ':')
            continue;
        r.Kind = kinds[k];
        r.Rest.assign(TrimView(t.substr(i + 1)));
        if (kinds[k] == TLineKind::Variant) {
            try {
                std::size_t used = 0;
                long long n = std::stoll(number, &used);
                r.NumberValid = used == number.size() && n >= INT32_MIN && n <= INT32_MAX;
                r.Number = static_cast<std::int32_t>(n);
            } catch (const std::exception&) {
                r.NumberValid = false;
            }
        }
        return r;
    }
    return r;
}

struct TSourceLine {
    int No = 0;
    std::string Text; // cp1251
    bool Converted = true;
};

std::vector<TSourceLine> SplitLines(const std::string& utf8) {
    std::vector<TSourceLine> lines;
    std::size_t start = 0;
    if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    int no = 0;
    for (const std::string_view view : platform::SplitLines(std::string_view(utf8).substr(start))) {
        const std::string raw(view);
        TSourceLine& l = lines.emplace_back();
        l.No = ++no;
        bool ok = true;
        l.Text = Utf8ToAnsi(raw, &ok);
        // Utf8ToAnsi turns what it cannot read into '?': a '?' that was not in the line means a
        // character code page 1251 lacks.
        l.Converted = ok && AnsiToUtf8(l.Text) == raw;
    }
    return lines;
}

void Error(std::vector<TMessage>& errors, int line, const std::string& text) {
    errors.push_back({line, text});
}

const char* const NotCp1251 =
    "a character that code page 1251 does not have (the trainer holds its texts in it)";

// One answer of a check point: '_' stands for a space, every other character for itself.
struct TBracket {
    std::vector<std::string> Answers;
    std::string Rule;
    std::uint8_t Kind = 0;
};

bool ParseBracket(std::string_view content, std::uint8_t kind, TBracket& b, std::string& error) {
    std::size_t j = 0;
    b.Kind = kind;
    if (j < content.size() && content[j] == '+') {
        b.Kind = static_cast<std::uint8_t>(kind + 2);
        ++j;
    }
    std::string cur;
    while (j < content.size()) {
        char c = content[j];
        if (c == '\\' && j + 1 < content.size()) {
            cur += content[j + 1];
            j += 2;
            continue;
        }
        if (IsBlank(c))
            break;
        if (c == '|') {
            b.Answers.push_back(cur);
            cur.clear();
        } else {
            cur += c == '_' ? ' ' : c;
        }
        ++j;
    }
    b.Answers.push_back(cur);
    std::string rule;
    for (; j < content.size(); ++j) {
        if (content[j] == '\\' && j + 1 < content.size())
            ++j;
        rule += content[j];
    }
    b.Rule.assign(TrimView(rule));
    if (b.Answers.size() > 3) {
        error = "a check point offers at most two wrong answers besides the right one";
        return false;
    }
    if (b.Answers[0].empty()) {
        error = "the check point has no right answer (write a space as _ and \"nothing\" as @)";
        return false;
    }
    for (const std::string& a : b.Answers)
        if (a.size() > 1) {
            error = "\"" + AnsiToUtf8(a) +
                    "\" is more than one character: each answer is one character, answers are "
                    "separated by |";
            return false;
        }
    return true;
}

// An example line: the sentence with its check points written in place.
bool ParseExample(const std::string& line, TExample& example, TLibraryStore& store,
                  std::string& error) {
    std::string text;
    std::vector<TCheckPoint> cps;
    for (std::size_t i = 0; i < line.size();) {
        char c = line[i];
        if (c == '\\') {
            if (i + 1 >= line.size()) {
                error = "a backslash at the end of the line escapes nothing";
                return false;
            }
            text += line[i + 1];
            i += 2;
            continue;
        }
        if (c == ']' || c == '}') {
            error = std::string("a closing ") + c + " without its opening bracket (write \\" + c +
                    " for the character itself)";
            return false;
        }
        if (c != '[' && c != '{') {
            text += c;
            ++i;
            continue;
        }
        const char close = c == '[' ? ']' : '}';
        std::size_t j = i + 1;
        while (j < line.size() && line[j] != close)
            j += line[j] == '\\' ? 2 : 1;
        if (j >= line.size()) {
            error = std::string("the check point opened by ") + c + " is not closed by " + close;
            return false;
        }
        TBracket b;
        if (!ParseBracket(std::string_view(line).substr(i + 1, j - i - 1), c == '[' ? 0 : 1, b,
                          error))
            return false;
        TCheckPoint& cp = cps.emplace_back();
        text += b.Answers[0][0];
        cp.Position = static_cast<std::int32_t>(text.size());
        cp.Kind = b.Kind;
        cp.Alternative1 = b.Answers.size() > 1 && !b.Answers[1].empty() ? b.Answers[1][0] : 0;
        cp.Alternative2 = b.Answers.size() > 2 && !b.Answers[2].empty() ? b.Answers[2][0] : 0;
        cp.SetRule(store.Keep(b.Rule));
        i = j + 1;
    }
    // The trainer trims every sentence; a space answer at either end would vanish with it and
    // shift every position.
    if (!text.empty() && (IsBlank(text.front()) || IsBlank(text.back()))) {
        error = "the sentence cannot begin or end with a space or a control character";
        return false;
    }
    example.Text = store.Keep(text);
    example.CheckPoints = store.KeepCheckPoints(cps);
    return true;
}

std::string U(std::string_view cp) {
    return AnsiToUtf8(cp);
}

} // namespace

TLibraryKind SourceKind(const std::string& utf8) {
    for (const TSourceLine& l : SplitLines(utf8)) {
        if (!l.Text.empty() && l.Text[0] == '\\')
            continue;
        switch (Classify(l.Text).Kind) {
        case TLineKind::Class:
        case TLineKind::Theme:
        case TLineKind::Variant:
            return TLibraryKind::Variants;
        case TLineKind::Rule:
            return TLibraryKind::Rules;
        default:
            break;
        }
    }
    return TLibraryKind::Unknown;
}

TVariantSource ParseVariantSource(const std::string& utf8) {
    TVariantSource src;
    std::vector<TClass>& classes = src.Classes;
    for (const TSourceLine& l : SplitLines(utf8)) {
        if (!l.Converted) {
            Error(src.Errors, l.No, NotCp1251);
            continue;
        }
        // A line starting with a backslash is never a keyword: Classify sees no word there.
        TClassified c = Classify(l.Text);
        TClass* cls = classes.empty() ? nullptr : &classes.back();
        TTheme* theme = cls && !cls->Themes.empty() ? &cls->Themes.back() : nullptr;
        TVariant* variant = theme && !theme->Variants.empty() ? &theme->Variants.back() : nullptr;
        switch (c.Kind) {
        case TLineKind::Blank:
        case TLineKind::Comment:
            break;
        case TLineKind::Class: {
            TClass& k = classes.emplace_back();
            k.Number = static_cast<std::int32_t>(classes.size());
            k.Name = src.Store.Keep(c.Rest);
            k.Line = l.No;
            break;
        }
        case TLineKind::Theme: {
            if (!cls) {
                Error(src.Errors, l.No, "a theme before the first \"Класс:\" line");
                break;
            }
            TTheme& t = cls->Themes.emplace_back();
            t.Number = static_cast<std::int32_t>(cls->Themes.size());
            t.Name = src.Store.Keep(c.Rest);
            t.Line = l.No;
            break;
        }
        case TLineKind::Variant: {
            if (!theme) {
                Error(src.Errors, l.No, "a variant before the first \"Тема:\" line of its class");
                break;
            }
            if (!c.NumberValid) {
                Error(src.Errors, l.No,
                      "the variant needs its number before the colon, as in \"Вариант 3: ...\"");
                break;
            }
            TVariant& v = theme->Variants.emplace_back();
            v.Number = c.Number;
            v.Name = src.Store.Keep(c.Rest);
            v.Line = l.No;
            break;
        }
        case TLineKind::Rule:
            Error(src.Errors, l.No,
                  "a \"Правило:\" line belongs in a rule source, not among the exercises");
            break;
        case TLineKind::Text: {
            if (!variant) {
                Error(src.Errors, l.No, "an example before the first \"Вариант N:\" line");
                break;
            }
            TExample e;
            std::string error;
            if (!ParseExample(std::string(TrimView(l.Text)), e, src.Store, error)) {
                Error(src.Errors, l.No, error);
                break;
            }
            e.Line = l.No;
            e.CheckPointsLine = e.CheckPoints.empty() ? 0 : l.No;
            variant->Examples.push_back(std::move(e));
            break;
        }
        }
    }
    return src;
}

TRulesSource ParseRulesSource(const std::string& utf8) {
    TRulesSource src;
    // Blank lines wait here until a text line follows in the same rule: blank lines that end a
    // rule only separate it from the next one.
    std::vector<TSourceLine> pending;
    for (const TSourceLine& l : SplitLines(utf8)) {
        if (!l.Converted) {
            Error(src.Errors, l.No, NotCp1251);
            continue;
        }
        std::string text = l.Text;
        bool isText = !text.empty() && text[0] == '\\';
        if (isText) {
            text.erase(0, 1);
        } else {
            TClassified c = Classify(text);
            switch (c.Kind) {
            case TLineKind::Comment:
                continue;
            case TLineKind::Blank:
                if (!src.Rules.empty())
                    pending.push_back(l);
                continue;
            case TLineKind::Rule: {
                pending.clear();
                TRuleSource& r = src.Rules.emplace_back();
                r.Record.Name = c.Rest;
                r.Line = l.No;
                continue;
            }
            case TLineKind::Class:
            case TLineKind::Theme:
            case TLineKind::Variant:
                Error(src.Errors, l.No,
                      "a class, theme or variant line belongs in an exercise source, not among "
                      "the rules");
                continue;
            case TLineKind::Text:
                break;
            }
        }
        if (src.Rules.empty()) {
            Error(src.Errors, l.No, "a rule text line before the first \"Правило:\" line");
            continue;
        }
        TRuleSource& r = src.Rules.back();
        for (const TSourceLine& p : pending) {
            r.Record.Lines.push_back(p.Text);
            r.LineNumbers.push_back(p.No);
        }
        pending.clear();
        r.Record.Lines.push_back(text);
        r.LineNumbers.push_back(l.No);
    }
    return src;
}

namespace {

bool Writable(std::string_view s) {
    return s.find_first_of("\r\n") == s.npos && s.find('\x98') == s.npos && s.find('\0') == s.npos;
}

const char* const NotWritable =
    "holds a line break, a zero byte or the byte 0x98, which a text source cannot hold";

std::string Answer(char c) {
    if (c == ' ')
        return "_";
    if (IsBlank(c) || std::string_view("_|[]{}\\+").find(c) != std::string_view::npos)
        return std::string("\\") + c;
    return std::string(1, c);
}

std::string EscapedRule(std::string_view rule) {
    std::string r;
    for (char c : rule) {
        if (c == ']' || c == '}' || c == '\\')
            r += '\\';
        r += c;
    }
    return r;
}

std::string Named(const std::string& keyword, std::string_view name) {
    return U(keyword) + (name.empty() ? "" : " " + U(name));
}

bool WriteExample(const TExample& e, std::string& out, std::string& error) {
    if (!Writable(e.Text)) {
        error = std::string("the sentence ") + NotWritable;
        return false;
    }
    std::int32_t last = 0;
    for (std::size_t k = 0; k < e.CheckPoints.size(); ++k) {
        const TCheckPoint& cp = e.CheckPoints[k];
        if (cp.Position < 1 || cp.Position > static_cast<std::int32_t>(e.Text.size())) {
            error = "check point " + std::to_string(k + 1) + " (position " +
                    std::to_string(cp.Position) +
                    ") lies outside its sentence and cannot be written in place";
            return false;
        }
        if (cp.Position <= last) {
            error = "check point " + std::to_string(k + 1) + " (position " +
                    std::to_string(cp.Position) +
                    ") does not follow the one before it and cannot be written in place";
            return false;
        }
        auto bad = [](char c) { return c == '\r' || c == '\n' || c == '\x98'; };
        if (!Writable(cp.Rule()) || bad(cp.Alternative1) || bad(cp.Alternative2)) {
            error = "check point " + std::to_string(k + 1) + " " + NotWritable;
            return false;
        }
        last = cp.Position;
    }
    std::string line;
    std::size_t next = 0;
    for (std::size_t i = 0; i < e.Text.size(); ++i) {
        char c = e.Text[i];
        if (next < e.CheckPoints.size() &&
            e.CheckPoints[next].Position == static_cast<std::int32_t>(i + 1)) {
            const TCheckPoint& cp = e.CheckPoints[next++];
            if (c == 0) {
                error = "a check point's right answer is a zero byte";
                return false;
            }
            bool spelling = cp.Kind % 2 == 1;
            line += spelling ? '{' : '[';
            if (cp.Kind >= 2)
                line += '+';
            line += Answer(c);
            if (cp.Alternative1 || cp.Alternative2)
                line += "|" + (cp.Alternative1 ? Answer(cp.Alternative1) : std::string());
            if (cp.Alternative2)
                line += "|" + Answer(cp.Alternative2);
            if (!cp.Rule().empty())
                line += " " + EscapedRule(cp.Rule());
            line += spelling ? '}' : ']';
        } else if (c == '[' || c == ']' || c == '{' || c == '}' || c == '\\') {
            line += '\\';
            line += c;
        } else {
            line += c;
        }
    }
    // A sentence that would read as a keyword or a comment is marked as text.
    if (!line.empty() && line[0] != '\\' && Classify(line).Kind != TLineKind::Text)
        line.insert(0, "\\");
    out += U(line) + "\n";
    return true;
}

} // namespace

std::string WriteVariantSource(const std::vector<TClass>& classes, std::vector<TMessage>& errors) {
    std::string out;
    for (const TClass& c : classes) {
        if (!Writable(c.Name))
            Error(errors, c.Line, std::string("the class name ") + NotWritable);
        if (!out.empty())
            out += "\n";
        out += Named(Keyword(0), c.Name) + "\n";
        for (const TTheme& t : c.Themes) {
            if (!Writable(t.Name))
                Error(errors, t.Line, std::string("the theme name ") + NotWritable);
            out += "\n" + Named(Keyword(1), t.Name) + "\n";
            for (const TVariant& v : t.Variants) {
                if (!Writable(v.Name))
                    Error(errors, v.Line, std::string("the variant name ") + NotWritable);
                out +=
                    "\n" + Named(Keyword(2) + " " + std::to_string(v.Number) + ":", v.Name) + "\n";
                for (const TExample& e : v.Examples) {
                    std::string error;
                    if (!WriteExample(e, out, error))
                        Error(errors, e.Line, error);
                }
            }
        }
    }
    return out;
}

std::string WriteRulesSource(const std::vector<TRuleRecord>& rules, std::vector<TMessage>& errors) {
    std::string out;
    for (std::size_t r = 0; r < rules.size(); ++r) {
        const TRuleRecord& rule = rules[r];
        const std::string where = "rule " + std::to_string(r + 1) + " (\"" + U(rule.Name) + "\")";
        if (!Writable(rule.Name))
            Error(errors, 0, where + ": its identifier " + NotWritable);
        if (r > 0)
            out += "\n";
        out += Named(Keyword(3), rule.Name) + "\n";
        // From here on every line is blank: written verbatim they would read as separators.
        std::size_t tail = rule.Lines.size();
        while (tail > 0 && AllBlank(rule.Lines[tail - 1]))
            --tail;
        for (std::size_t i = 0; i < rule.Lines.size(); ++i) {
            const std::string& line = rule.Lines[i];
            if (!Writable(line))
                Error(errors, 0, where + ", line " + std::to_string(i + 1) + ": " + NotWritable);
            bool escape =
                i >= tail || (!line.empty() && line[0] == '\\') ||
                (Classify(line).Kind != TLineKind::Text && Classify(line).Kind != TLineKind::Blank);
            out += (escape ? "\\" : "") + U(line) + "\n";
        }
    }
    return out;
}

std::vector<TRuleRecord> RuleRecordsOf(const std::vector<TRuleSource>& rules) {
    std::vector<TRuleRecord> r;
    for (const TRuleSource& s : rules)
        r.push_back(s.Record);
    return r;
}

std::vector<TRuleSource> RuleSourcesOf(const std::vector<TRuleRecord>& rules) {
    std::vector<TRuleSource> r;
    for (const TRuleRecord& s : rules)
        r.push_back({s, 0, std::vector<int>(s.Lines.size(), 0)});
    return r;
}

bool SameVariants(const std::vector<TClass>& a, const std::vector<TClass>& b) {
    auto sameCp = [](const TCheckPoint& x, const TCheckPoint& y) {
        return x.Position == y.Position && x.Kind == y.Kind && x.Alternative1 == y.Alternative1 &&
               x.Alternative2 == y.Alternative2 && x.Rule() == y.Rule();
    };
    auto sameEx = [&](const TExample& x, const TExample& y) {
        return x.Text == y.Text && std::equal(x.CheckPoints.begin(), x.CheckPoints.end(),
                                              y.CheckPoints.begin(), y.CheckPoints.end(), sameCp);
    };
    auto sameVar = [&](const TVariant& x, const TVariant& y) {
        return x.Number == y.Number && x.Name == y.Name &&
               std::equal(x.Examples.begin(), x.Examples.end(), y.Examples.begin(),
                          y.Examples.end(), sameEx);
    };
    auto sameTheme = [&](const TTheme& x, const TTheme& y) {
        return x.Number == y.Number && x.Name == y.Name &&
               std::equal(x.Variants.begin(), x.Variants.end(), y.Variants.begin(),
                          y.Variants.end(), sameVar);
    };
    auto sameClass = [&](const TClass& x, const TClass& y) {
        return x.Number == y.Number && x.Name == y.Name &&
               std::equal(x.Themes.begin(), x.Themes.end(), y.Themes.begin(), y.Themes.end(),
                          sameTheme);
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameClass);
}

bool SameRules(const std::vector<TRuleRecord>& a, const std::vector<TRuleRecord>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const TRuleRecord& x, const TRuleRecord& y) {
                          return x.Name == y.Name && x.Lines == y.Lines;
                      });
}
