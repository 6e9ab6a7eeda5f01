#include "Stats.h"

#include "platform/Text.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

std::string U(std::string_view cp) {
    return platform::AnsiToUtf8(std::string(cp));
}

void Add(TStatsRow& to, const TStatsRow& from) {
    to.Sentences += from.Sentences;
    to.CheckPoints += from.CheckPoints;
    to.Punctuation += from.Punctuation;
    to.Spelling += from.Spelling;
    to.NothingRight += from.NothingRight;
    for (const auto& [c, n] : from.RightAnswers)
        to.RightAnswers[c] += n;
    for (const auto& [r, n] : from.Rules)
        to.Rules[r] += n;
}

std::string Percent(int part, int whole) {
    if (whole == 0)
        return "-";
    return std::to_string((part * 100 + whole / 2) / whole) + "%";
}

std::string Minutes(int seconds) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", seconds / 60.0);
    return buf;
}

// A right answer as a teacher reads it in a table: "@" for nothing, "_" for a space.
std::string AnswerName(char c) {
    if (c == ' ')
        return "_";
    return U(std::string(1, c));
}

// The answers, most frequent first: ",":12 "@":5 ...
std::string Answers(const TStatsRow& r) {
    std::vector<std::pair<char, int>> v(r.RightAnswers.begin(), r.RightAnswers.end());
    std::stable_sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.second > b.second; });
    std::string s;
    for (const auto& [c, n] : v)
        s += (s.empty() ? "" : " ") + AnswerName(c) + ":" + std::to_string(n);
    return s;
}

std::string RuleList(const TStatsRow& r) {
    std::string s;
    for (const auto& [rule, n] : r.Rules)
        s += (s.empty() ? "" : " ") + U(rule.empty() ? std::string("(none)") : rule) + ":" +
             std::to_string(n);
    return s;
}

// Pads by characters, not bytes: the names are Cyrillic.
std::string Pad(const std::string& utf8, std::size_t width) {
    std::size_t chars = 0;
    for (unsigned char c : utf8)
        chars += (c & 0xC0) != 0x80;
    return chars >= width ? utf8 : utf8 + std::string(width - chars, ' ');
}

std::string Right(const std::string& s, std::size_t width) {
    return s.size() >= width ? s : std::string(width - s.size(), ' ') + s;
}

std::string Cut(const std::string& cp, std::size_t width) {
    return cp.size() <= width ? cp : cp.substr(0, width - 1) + ".";
}

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string q = "\"";
    for (char c : s)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

} // namespace

std::vector<TStatsRow> LibraryStats(const std::vector<TClass>& classes) {
    std::vector<TStatsRow> rows;
    TStatsRow total;
    total.Level = TStatsRow::Total;
    for (const TClass& c : classes) {
        TStatsRow classRow;
        classRow.Level = TStatsRow::Class;
        classRow.ClassName = std::string(c.Name);
        for (const TTheme& t : c.Themes) {
            TStatsRow themeRow;
            themeRow.Level = TStatsRow::Theme;
            themeRow.ClassName = std::string(c.Name);
            themeRow.ThemeName = std::to_string(t.Number) + ". " + std::string(t.Name);
            for (const TVariant& v : t.Variants) {
                TStatsRow row;
                row.ClassName = themeRow.ClassName;
                row.ThemeName = themeRow.ThemeName;
                row.VariantName = std::to_string(v.Number) + ". " + std::string(v.Name);
                for (const TExample& e : v.Examples) {
                    ++row.Sentences;
                    for (std::size_t k = 0; k < e.CheckPoints.size(); ++k) {
                        const TCheckPoint cp = e.CheckPoints[k];
                        ++row.CheckPoints;
                        const bool punctuation = cp.Kind == 0 || cp.Kind == 2;
                        ++(punctuation ? row.Punctuation : row.Spelling);
                        ++row.Rules[std::string(cp.Rule())];
                        if (cp.Position < 1 ||
                            cp.Position > static_cast<std::int32_t>(e.Text.size()))
                            continue;
                        const char right = e.Text[static_cast<std::size_t>(cp.Position - 1)];
                        ++row.RightAnswers[right];
                        if (punctuation && right == '@')
                            ++row.NothingRight;
                    }
                }
                Add(themeRow, row);
                rows.push_back(std::move(row));
            }
            Add(classRow, themeRow);
            rows.push_back(std::move(themeRow));
        }
        Add(total, classRow);
        rows.push_back(std::move(classRow));
    }
    rows.push_back(std::move(total));
    return rows;
}

std::string StatsText(const std::vector<TStatsRow>& rows) {
    std::ostringstream out;
    const std::string head = Pad("", 4) + Pad("variant", 34) + Right("sent.", 6) +
                             Right("points", 7) + Right("punct.", 7) + Right("spell.", 7) +
                             Right("\"@\"", 6) + Right("min.", 7) + "  right answers; rules\n";
    std::string lastClass, lastTheme;
    bool first = true;
    for (const TStatsRow& r : rows) {
        if (r.Level == TStatsRow::Variant) {
            if (first || r.ClassName != lastClass) {
                out << (first ? "" : "\n") << U(r.ClassName) << "\n";
                lastTheme.clear();
            }
            if (r.ThemeName != lastTheme)
                out << "  " << U(r.ThemeName) << "\n" << head;
            lastClass = r.ClassName;
            lastTheme = r.ThemeName;
            first = false;
        }
        std::string label;
        switch (r.Level) {
        case TStatsRow::Variant:
            label = "    " + Pad(U(Cut(r.VariantName, 32)), 34);
            break;
        case TStatsRow::Theme:
            label = "    " + Pad("theme total", 34);
            break;
        case TStatsRow::Class:
            label = "  " + Pad(U(Cut(r.ClassName, 30)) + " total", 36);
            break;
        case TStatsRow::Total:
            label = Pad("\nall classes", 39);
            break;
        }
        out << label << Right(std::to_string(r.Sentences), 6)
            << Right(std::to_string(r.CheckPoints), 7) << Right(std::to_string(r.Punctuation), 7)
            << Right(std::to_string(r.Spelling), 7)
            << Right(Percent(r.NothingRight, r.Punctuation), 6) << Right(Minutes(r.Seconds()), 7);
        if (r.Level == TStatsRow::Variant)
            out << "  " << Answers(r) << "; " << RuleList(r);
        out << "\n";
    }
    out << "\nTime model: " << SecondsPerCheckPoint << " s per check point and "
        << SecondsPerSentence << " s per sentence. \"@\": share of punctuation points whose right "
        << "answer is no sign.\n";
    return out.str();
}

std::string StatsCsv(const std::vector<TStatsRow>& rows) {
    std::ostringstream out;
    out << "level,class,theme,variant,sentences,check_points,punctuation,spelling,"
           "nothing_right,nothing_share,minutes,right_answers,rules\r\n";
    static const char* const levels[] = {"variant", "theme", "class", "total"};
    for (const TStatsRow& r : rows) {
        char share[16];
        std::snprintf(share, sizeof share, "%.3f",
                      r.Punctuation ? double(r.NothingRight) / r.Punctuation : 0.0);
        out << levels[r.Level] << "," << CsvField(U(r.ClassName)) << "," << CsvField(U(r.ThemeName))
            << "," << CsvField(U(r.VariantName)) << "," << r.Sentences << "," << r.CheckPoints
            << "," << r.Punctuation << "," << r.Spelling << "," << r.NothingRight << "," << share
            << "," << Minutes(r.Seconds()) << "," << CsvField(Answers(r)) << ","
            << CsvField(RuleList(r)) << "\r\n";
    }
    return out.str();
}
