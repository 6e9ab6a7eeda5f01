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
    for (std::size_t g = 0; g < GuessCount; ++g)
        to.GuessMarks[g] = std::max(to.GuessMarks[g], from.GuessMarks[g]);
    to.Variants += from.Variants;
    to.PayingVariants += from.PayingVariants;
    to.PunctuationVariants += from.PunctuationVariants;
    to.PunctuationPaying += from.PunctuationPaying;
    to.And.Points += from.And.Points;
    to.And.Right += from.And.Right;
}

// "2 3 2 4 3": one mark per habit, in the order of Guesses.
std::string GuessMarks(const TStatsRow& r) {
    std::string s;
    for (int m : r.GuessMarks)
        s += (s.empty() ? "" : " ") + std::to_string(m);
    return s;
}

// "!" at a variant where guessing pays; above it, how many of its variants do.
std::string Paying(const TStatsRow& r) {
    if (r.Level == TStatsRow::Variant)
        return r.PayingVariants ? "!" : "";
    return std::to_string(r.PayingVariants) + "/" + std::to_string(r.Variants);
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

std::size_t Chars(const std::string& utf8) {
    std::size_t chars = 0;
    for (unsigned char c : utf8)
        chars += (c & 0xC0) != 0x80;
    return chars;
}

std::string Right(const std::string& s, std::size_t width) {
    return Chars(s) >= width ? s : std::string(width - Chars(s), ' ') + s;
}

// Pads by characters, not bytes: the names are Cyrillic.
std::string Pad(const std::string& utf8, std::size_t width) {
    return Chars(utf8) >= width ? utf8 : utf8 + std::string(width - Chars(utf8), ' ');
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
    const TAnswerCounts counts = RightAnswerCounts(classes);
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
                row.Variants = 1;
                row.PunctuationVariants = row.Punctuation > 0;
                for (std::size_t g = 0; g < GuessCount; ++g) {
                    const TGuessResult r = GuessVariant(Guesses[g], v, counts);
                    row.GuessMarks[g] = r.Mark;
                    if (r.PunctuationMark >= 4)
                        row.PunctuationPaying = 1;
                }
                row.PayingVariants =
                    *std::max_element(row.GuessMarks.begin(), row.GuessMarks.end()) >= 4;
                row.And = AndHabitShare(v);
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
                             Right("\"@\"", 6) + Right("min.", 7) + "  " + Pad("guessing", 10) +
                             Right("pays", 7) + Right("и ok", 6) + "  right answers; rules\n";
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
            << Right(Percent(r.NothingRight, r.Punctuation), 6) << Right(Minutes(r.Seconds()), 7)
            << "  " << Pad(GuessMarks(r), 10) << Right(Paying(r), 7)
            << Right(Percent(r.And.Right, r.And.Points), 6);
        if (r.Level == TStatsRow::Variant)
            out << "  " << Answers(r) << "; " << RuleList(r);
        out << "\n";
    }
    out << "\nTime model: " << SecondsPerCheckPoint << " s per check point and "
        << SecondsPerSentence << " s per sentence. \"@\": share of punctuation points whose right "
        << "answer is no sign.\nGuessing: the mark each blind habit earns, in this order: ";
    for (TGuess g : Guesses)
        out << (g == Guesses.front() ? "" : "; ") << GuessDescription(g);
    out << " (a habit whose answer a point does not offer takes the first button, which the "
           "trainer deals at random: its mark is the best one it earns in at least one session "
           "in ten). Above a variant, the worst mark of its variants. Pays: \"!\" where a habit "
           "earns 4 or 5; above a variant, how many of its variants. и ok: share of the "
           "punctuation points offering \",\" and \"@\" at which \"no sign before и/или/да, "
           "else ','\" is right.\n";
    if (!rows.empty()) {
        const TStatsRow& total = rows.back();
        out << "\"и\" habit over the whole library: right at " << total.And.Right << " of "
            << total.And.Points << " \",\"/no-sign points ("
            << Percent(total.And.Right, total.And.Points) << "); guessing pays in "
            << total.PayingVariants << " of " << total.Variants
            << " variants; guessing only the punctuation (the spelling all right) would pay in "
            << total.PunctuationPaying << " of " << total.PunctuationVariants
            << " variants with punctuation points.\n";
    }
    return out.str();
}

std::string StatsCsv(const std::vector<TStatsRow>& rows) {
    std::ostringstream out;
    out << "level,class,theme,variant,sentences,check_points,punctuation,spelling,"
           "nothing_right,nothing_share,minutes,right_answers,rules,guess_first,guess_comma,"
           "guess_nosign,guess_and,guess_frequent,paying_variants,punctuation_variants,punctuation_"
           "paying,and_points,"
           "and_right\r\n";
    static const char* const levels[] = {"variant", "theme", "class", "total"};
    for (const TStatsRow& r : rows) {
        char share[16];
        std::snprintf(share, sizeof share, "%.3f",
                      r.Punctuation ? double(r.NothingRight) / r.Punctuation : 0.0);
        out << levels[r.Level] << "," << CsvField(U(r.ClassName)) << "," << CsvField(U(r.ThemeName))
            << "," << CsvField(U(r.VariantName)) << "," << r.Sentences << "," << r.CheckPoints
            << "," << r.Punctuation << "," << r.Spelling << "," << r.NothingRight << "," << share
            << "," << Minutes(r.Seconds()) << "," << CsvField(Answers(r)) << ","
            << CsvField(RuleList(r));
        for (int m : r.GuessMarks)
            out << "," << m;
        out << "," << r.PayingVariants << "," << r.PunctuationVariants << "," << r.PunctuationPaying
            << "," << r.And.Points << "," << r.And.Right << "\r\n";
    }
    return out.str();
}
