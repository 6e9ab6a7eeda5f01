#include "Output.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <streambuf>

namespace {

std::string U(const std::string& ansi) {
    return ToUtf8(ansi);
}

// The UTF-8 of each cp1251 byte, from the platform's conversion: at most three bytes, and their
// count; four bytes in all, so that a character is copied in one move.
struct TUtf8Char {
    char Bytes[4];
    unsigned char Size;
};
const std::array<TUtf8Char, 256>& Utf8Table() {
    static const std::array<TUtf8Char, 256> table = [] {
        std::array<TUtf8Char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            const std::string utf8 = platform::AnsiToUtf8(std::string_view(&c, 1));
            TUtf8Char& u = t[static_cast<std::size_t>(b)];
            u.Size = static_cast<unsigned char>(std::min<std::size_t>(utf8.size(), 3));
            std::copy_n(utf8.data(), u.Size, u.Bytes);
        }
        return t;
    }();
    return table;
}

// Passes cp1251 text on to `target` as UTF-8, in pieces of some size.
class TUtf8Buffer : public std::streambuf {
public:
    explicit TUtf8Buffer(std::ostream& target) : Target(target) {}
    ~TUtf8Buffer() override { Flush(); }
    void Flush() {
        Target.write(Pending.data(), static_cast<std::streamsize>(Pending.size()));
        Pending.clear();
    }

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof()) {
            const char ch = traits_type::to_char_type(c);
            xsputn(&ch, 1);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        AppendUtf8(Pending, std::string_view(s, static_cast<std::size_t>(n)));
        if (Pending.size() >= 64 * 1024)
            Flush();
        return n;
    }
    int sync() override {
        Flush();
        return Target ? 0 : -1;
    }

private:
    std::ostream& Target;
    std::string Pending;
};

// Columns are counted in characters; the texts are single-byte until they are written out.
void AppendPadded(std::string& out, std::string_view ansi, std::size_t width) {
    out += ansi;
    if (ansi.size() < width)
        out.append(width - ansi.size(), ' ');
}

std::string Pad(const std::string& ansi, std::size_t width, bool right = false) {
    if (ansi.size() >= width)
        return ansi;
    const std::string fill(width - ansi.size(), ' ');
    return right ? fill + ansi : ansi + fill;
}

std::string Percent(double share) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.0f%%", share * 100);
    return buf;
}

std::string Fixed1(double v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

THeadings Make(bool russian) {
    THeadings h;
    auto set = [&](std::string& field, const char* en, const char* ru) {
        field = russian ? platform::Utf8ToAnsi(ru) : std::string(en);
    };
    set(h.Title, "Zarvo: results of the class", "Зарво: результаты класса");
    set(h.Overview, "Overview", "Обзор");
    set(h.Pupils, "pupils", "учеников");
    set(h.Classes, "classes", "классов");
    set(h.WeakSpots, "Weak spots: rules to re-teach", "Слабые места: какие правила повторить");
    set(h.WeakSpotsAll, "Weak spots of all classes", "Слабые места всех классов");
    set(h.Rule, "Rule", "Правило");
    set(h.Mistakes, "Mistakes", "Ошибок");
    set(h.PupilsColumn, "Pupils", "Учеников");
    set(h.SessionsColumn, "Sessions", "Занятий");
    set(h.Share, "Share", "Доля");
    set(h.RuleTitle, "Title", "Название");
    set(h.Theme, "Theme", "Тема");
    set(h.Averages, "Average mark per variant", "Средняя оценка по вариантам");
    set(h.Variant, "Variant", "Вариант");
    set(h.Average, "Average", "Средняя");
    set(h.WithMark, "with a mark", "с оценкой");
    set(h.Date, "Date", "Дата");
    set(h.Pupil, "Pupil", "Ученик");
    set(h.Questions, "Questions", "Вопросов");
    set(h.Prompts, "Prompts", "Подсказок");
    set(h.Mark, "Mark", "Оценка");
    set(h.Interrupted, "interrupted", "прервано");
    set(h.NoMark, "no mark", "без оценки");
    set(h.NoSessions, "No sessions were found.", "Занятий не найдено.");
    set(h.MarksOverTime, "Marks over time", "Оценки по времени");
    set(h.NoWeakSpots, "No mistakes.", "Ошибок нет.");
    set(h.Legend, "bar: mark 2 to 5 in time order; grey: interrupted or no mark",
        "столбик - оценка от 2 до 5 по порядку; серый - прервано или без оценки");
    set(h.TopThree, "Three rules worth re-teaching", "Три правила, которые стоит повторить");
    set(h.TopThreeNone, "No rule was missed in this period.", "За этот период ошибок нет.");
    set(h.MissedBy, "Pupils who missed it", "Учеников с ошибками");
    set(h.FilterClass, "Class", "Класс");
    set(h.AllClasses, "all classes", "все классы");
    set(h.From, "from", "с");
    set(h.To, "to", "по");
    set(h.Show, "Show", "Показать");
    set(h.WorkOnMistakes, "Work on mistakes", "Работа над ошибками");
    set(h.Rounds, "Rounds", "Раундов");
    set(h.LastRoundClean, "Last round clean", "Последний раунд без ошибок");
    set(h.Yes, "yes", "да");
    set(h.No, "no", "нет");
    return h;
}

void WeakSpotTable(std::ostream& out, const std::vector<TWeakSpot>& spots, const THeadings& h,
                   const std::string& indent) {
    if (spots.empty()) {
        out << indent << h.NoWeakSpots << "\n";
        return;
    }
    std::size_t ruleWidth = h.Rule.size();
    for (const auto& w : spots)
        ruleWidth = std::max(ruleWidth, w.Rule.size());
    out << indent << Pad(h.Rule, ruleWidth) << "  " << Pad(h.Mistakes, 8, true) << "  "
        << Pad(h.PupilsColumn, 8, true) << "  " << Pad(h.SessionsColumn, 8, true) << "  "
        << h.RuleTitle << "\n";
    for (const auto& w : spots)
        out << indent << Pad(w.Rule, ruleWidth) << "  " << Pad(std::to_string(w.Mistakes), 8, true)
            << "  " << Pad(std::to_string(w.Pupils), 8, true) << "  "
            << Pad(Percent(w.Share), 8, true) << "  " << w.Title << "\n";
}

} // namespace

std::string OverviewLine(const TSummary& summary) {
    const THeadings& h = HeadingsFor(summary.Russian);
    return h.SessionsColumn + ": " + std::to_string(summary.SessionCount) + ", " + h.Pupils + ": " +
           std::to_string(summary.PupilCount) + ", " + h.Classes + ": " +
           std::to_string(summary.Classes.size());
}

const THeadings& HeadingsFor(bool russian) {
    static const THeadings en = Make(false);
    static const THeadings ru = Make(true);
    return russian ? ru : en;
}

void RoundsText(std::ostream& out, const std::vector<TPupilRounds>& rounds, const THeadings& h) {
    if (rounds.empty())
        return;
    out << "\n"
        << h.WorkOnMistakes << ":\n  " << Pad(h.Pupil, 24) << "  " << Pad(h.Rounds, 8, true) << "  "
        << h.LastRoundClean << "\n";
    for (const TPupilRounds& r : rounds)
        out << "  " << Pad(r.Name, 24) << "  " << Pad(std::to_string(r.Rounds), 8, true) << "  "
            << (r.LastClean ? h.Yes : h.No) << "\n";
}

void WriteTextReport(std::ostream& utf8, const TSummary& summary) {
    const THeadings& h = HeadingsFor(summary.Russian);
    TUtf8Buffer buffer(utf8);
    std::ostream out(&buffer);
    std::string rows;
    out << h.Title << "\n" << OverviewLine(summary) << "\n";
    if (summary.Classes.empty())
        out << h.NoSessions << "\n";
    if (summary.Classes.size() > 1) {
        out << "\n" << h.WeakSpotsAll << ":\n";
        WeakSpotTable(out, summary.WeakSpots, h, "  ");
    }
    for (const auto& c : summary.Classes) {
        out << "\n== " << c.Name << " (" << h.SessionsColumn << ": " << c.SessionCount << ") ==\n\n"
            << h.WeakSpots << ":\n";
        WeakSpotTable(out, c.WeakSpots, h, "  ");
        RoundsText(out, c.Rounds, h);
        for (const auto& t : c.Themes) {
            out << "\n" << h.Theme << ": " << t.Name << "\n  " << h.Averages << ":\n";
            for (const auto& v : t.Variants)
                out << "    " << Pad(v.Variant, 30) << "  "
                    << (v.Marked ? Fixed1(v.Average) : std::string("-")) << "  ("
                    << h.SessionsColumn << ": " << v.Sessions << ", " << h.WithMark << ": "
                    << v.Marked << ")\n";
            for (const auto& p : t.Pupils) {
                // A pupil's rows put together in one reused string: a school has a great many.
                rows.clear();
                rows += "  ";
                rows += p.Name;
                rows += '\n';
                for (const TSession* s : p.Sessions) {
                    rows += "    ";
                    AppendPadded(rows, s->DateText, 19);
                    rows += "  ";
                    AppendPadded(rows, s->Variant, 24);
                    for (const auto& [label, count] :
                         {std::pair{&h.Questions, s->Questions},
                          std::pair{&h.Mistakes, s->Mistakes}, std::pair{&h.Prompts, s->Prompts}}) {
                        rows += "  ";
                        rows += *label;
                        rows += ' ';
                        AppendNumber(rows, count);
                    }
                    rows += "  ";
                    rows += h.Mark;
                    rows += ": ";
                    if (s->Interrupted)
                        rows += h.Interrupted;
                    else if (s->Mark == 0)
                        rows += h.NoMark;
                    else
                        AppendNumber(rows, s->Mark);
                    rows += '\n';
                }
                out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
            }
        }
    }
    buffer.Flush();
}

std::string TextReport(const TSummary& summary) {
    std::ostringstream out;
    WriteTextReport(out, summary);
    return out.str();
}

std::string CsvField(const std::string& utf8) {
    std::string out;
    AppendCsvField(out, utf8);
    return out;
}

void AppendCsvField(std::string& out, std::string_view v) {
    // A spreadsheet would run a cell starting with these as a formula; the file is written by
    // pupils' sessions, so it is not trusted.
    // Spreadsheets skip leading blanks before they look, so the first character after them
    // decides (a no-break space counts as a blank too).
    std::size_t first = 0;
    for (;;) {
        if (first < v.size() &&
            std::string_view(" \t\r\n\v\f").find(v[first]) != std::string_view::npos)
            ++first;
        else if (v.substr(first, 2) == "\xC2\xA0")
            first += 2;
        else
            break;
    }
    const bool blankFirst = first > 0 && (v[0] == '\t' || v[0] == '\r');
    const bool formula =
        blankFirst ||
        (first < v.size() && std::string_view("=+-@").find(v[first]) != std::string_view::npos);
    const bool quote = std::any_of(
        v.begin(), v.end(), [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    if (!quote) {
        if (formula)
            out += '\'';
        out += v;
        return;
    }
    out += '"';
    if (formula)
        out += '\'';
    for (char c : v) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

namespace {

// Whether AppendCsvField would write `v` otherwise than as it is: it may start with a blank or a
// formula's sign, or holds a character that needs quotes.
bool NeedsCsvCare(std::string_view v) {
    if (v.empty())
        return false;
    if (std::string_view(" \t\r\n\v\f=+-@\xC2").find(v[0]) != std::string_view::npos)
        return true;
    for (const char c : v)
        if (c == ',' || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

template <class TContainer> void WriteSessions(std::ostream& out, const TContainer& sessions) {
    out << "file,line,date,class,theme,variant,pupil,questions,mistakes,spelling_mistakes,"
           "punctuation_mistakes,prompts,mark,interrupted,spelling_rules,punctuation_rules\r\n";
    // The rows are put together in one reused string and written some at a time: a school's file
    // has a great many.
    std::string row, utf8, file;
    std::string_view lastFile;
    auto flush = [&] {
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
        row.clear();
    };
    // A field is converted straight into the row; the few that must be quoted or guarded are
    // taken out and written again.
    auto finish = [&](std::size_t start) {
        const std::string_view v(row.data() + start, row.size() - start);
        if (NeedsCsvCare(v)) {
            utf8.assign(v);
            row.resize(start);
            AppendCsvField(row, utf8);
        }
    };
    auto field = [&](std::string_view ansi) {
        const std::size_t start = row.size();
        AppendUtf8(row, ansi);
        finish(start);
        row += ',';
    };
    auto number = [&](long long n) {
        AppendNumber(row, n);
        row += ',';
    };
    auto rules = [&](const std::vector<std::string>& list) {
        const std::size_t start = row.size();
        for (const auto& r : list) {
            if (row.size() > start)
                row += ' ';
            AppendUtf8(row, r);
        }
        finish(start);
    };
    for (const auto& s : sessions) {
        // The sessions of a file share one copy of its name.
        if (s.File.data() != lastFile.data() || s.File.size() != lastFile.size()) {
            lastFile = s.File;
            file.clear();
            AppendCsvField(file, s.File);
        }
        row += file;
        row += ',';
        number(s.Line);
        if (s.Date) {
            const std::size_t start = row.size();
            AppendIsoDateText(row, *s.Date, true);
            finish(start);
            row += ',';
        } else {
            field(s.DateText);
        }
        field(s.Class);
        field(s.Theme);
        field(s.Variant);
        field(s.Pupil);
        number(s.Questions);
        number(s.Mistakes);
        number(static_cast<long long>(s.SpellingRules.size()));
        number(static_cast<long long>(s.PunctuationRules.size()));
        number(s.Prompts);
        if (!s.Interrupted && s.Mark != 0)
            AppendNumber(row, s.Mark);
        row += ',';
        row += s.Interrupted ? "yes," : "no,";
        rules(s.SpellingRules);
        row += ',';
        rules(s.PunctuationRules);
        row += "\r\n";
        if (row.size() >= 64 * 1024)
            flush();
    }
    flush();
}

} // namespace

void WriteSessionsCsv(std::ostream& out, const TSessions& sessions) {
    WriteSessions(out, sessions);
}

std::string SessionsCsv(const std::vector<TSession>& sessions) {
    std::ostringstream out;
    WriteSessions(out, sessions);
    return out.str();
}

void WriteRulesCsv(std::ostream& out, const TSummary& summary) {
    out << "class,rule,title,mistakes,pupils,sessions,share\r\n";
    for (const auto& c : summary.Classes)
        for (const auto& w : c.WeakSpots) {
            char share[16];
            std::snprintf(share, sizeof share, "%.3f", w.Share);
            out << CsvField(U(c.Name)) << "," << CsvField(U(w.Rule)) << "," << CsvField(U(w.Title))
                << "," << w.Mistakes << "," << w.Pupils << "," << w.Sessions << "," << share
                << "\r\n";
        }
}

std::string RulesCsv(const TSummary& summary) {
    std::ostringstream out;
    WriteRulesCsv(out, summary);
    return out.str();
}

std::string IsoDateText(const QDateTime& moment, bool withTime) {
    std::string out;
    AppendIsoDateText(out, moment, withTime);
    return out;
}

void AppendIsoDateText(std::string& out, const QDateTime& moment, bool withTime) {
    int year = 0, month = 0, day = 0;
    moment.date().getDate(&year, &month, &day);
    if (!moment.isValid() || year < 1 || year > 9999) {
        out += withTime ? moment.toString("yyyy-MM-dd hh:mm:ss").toStdString()
                        : moment.date().toString(Qt::ISODate).toStdString();
        return;
    }
    const std::size_t start = out.size();
    out += withTime ? "0000-00-00 00:00:00" : "0000-00-00";
    auto put = [&out, start](std::size_t at, int value, int digits) {
        for (; digits > 0; --digits, value /= 10)
            out[start + at + static_cast<std::size_t>(digits) - 1] =
                static_cast<char>('0' + value % 10);
    };
    put(0, year, 4);
    put(5, month, 2);
    put(8, day, 2);
    if (withTime) {
        const int msecs = moment.time().msecsSinceStartOfDay();
        put(11, msecs / 3600000, 2);
        put(14, msecs / 60000 % 60, 2);
        put(17, msecs / 1000 % 60, 2);
    }
}

void AppendNumber(std::string& out, long long n) {
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, n).ptr;
    out.append(buf, static_cast<std::size_t>(end - buf));
}

std::string ToUtf8(std::string_view ansi) {
    std::string out;
    AppendUtf8(out, ansi);
    return out;
}

void AppendUtf8(std::string& out, std::string_view ansi) {
    // Plain ASCII (numbers, dates, most markup) is copied as it is.
    std::size_t ascii = 0;
    while (ascii < ansi.size() && static_cast<unsigned char>(ansi[ascii]) < 0x80)
        ++ascii;
    out.append(ansi.data(), ascii);
    if (ascii == ansi.size())
        return;
    static const auto& table = Utf8Table();
    // Written in place: a cp1251 byte is at most three bytes of UTF-8, and each is copied as
    // four, so one byte more is made room for.
    const std::size_t start = out.size();
    out.resize(start + (ansi.size() - ascii) * 3 + 1);
    char* at = out.data() + start;
    for (const char c : ansi.substr(ascii)) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            *at++ = c;
        } else {
            const TUtf8Char& u = table[b];
            std::memcpy(at, u.Bytes, sizeof u.Bytes);
            at += u.Size;
        }
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
}

std::string HtmlEscape(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}
