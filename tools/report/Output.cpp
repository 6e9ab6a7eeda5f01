#include "Output.h"

#include "platform/Text.h"

#include <cstdio>
#include <sstream>

namespace {

std::string U(const std::string& ansi) {
    return platform::AnsiToUtf8(ansi);
}

// Columns are counted in characters; the texts are single-byte until they are written out.
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

std::string MarkText(const TSession& s, const THeadings& h) {
    if (s.Interrupted)
        return h.Interrupted;
    if (s.Mark == 0)
        return h.NoMark;
    return std::to_string(s.Mark);
}

void WeakSpotTable(std::ostringstream& out, const std::vector<TWeakSpot>& spots, const THeadings& h,
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

std::string TextReport(const TSummary& summary) {
    const THeadings& h = HeadingsFor(summary.Russian);
    std::ostringstream out;
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
                out << "  " << p.Name << "\n";
                for (const TSession* s : p.Sessions)
                    out << "    " << Pad(s->DateText, 19) << "  " << Pad(s->Variant, 24) << "  "
                        << h.Questions << " " << s->Questions << "  " << h.Mistakes << " "
                        << s->Mistakes << "  " << h.Prompts << " " << s->Prompts << "  " << h.Mark
                        << ": " << MarkText(*s, h) << "\n";
            }
        }
    }
    return U(out.str());
}

std::string CsvField(const std::string& utf8) {
    std::string v = utf8;
    // A spreadsheet would run a cell starting with these as a formula; the file is written by
    // pupils' sessions, so it is not trusted.
    // Spreadsheets skip leading blanks before they look, so the first character after them
    // decides (a no-break space counts as a blank too).
    std::size_t first = 0;
    for (;;) {
        if (first < v.size() &&
            std::string_view(" \t\r\n\v\f").find(v[first]) != std::string_view::npos)
            ++first;
        else if (v.compare(first, 2, "\xC2\xA0") == 0)
            first += 2;
        else
            break;
    }
    const bool blankFirst = first > 0 && (v[0] == '\t' || v[0] == '\r');
    if (blankFirst ||
        (first < v.size() && std::string_view("=+-@").find(v[first]) != std::string_view::npos))
        v.insert(v.begin(), '\'');
    if (v.find_first_of(",\"\r\n") == std::string::npos)
        return v;
    std::string q = "\"";
    for (char c : v) {
        if (c == '"')
            q += '"';
        q += c;
    }
    return q + "\"";
}

std::string SessionsCsv(const std::vector<TSession>& sessions) {
    std::ostringstream out;
    out << "file,line,date,class,theme,variant,pupil,questions,mistakes,spelling_mistakes,"
           "punctuation_mistakes,prompts,mark,interrupted,spelling_rules,punctuation_rules\r\n";
    auto join = [](const std::vector<std::string>& rules) {
        std::string s;
        for (const auto& r : rules)
            s += (s.empty() ? "" : " ") + r;
        return s;
    };
    for (const auto& s : sessions) {
        std::string date =
            s.Date ? s.Date->toString("yyyy-MM-dd hh:mm:ss").toStdString() : U(s.DateText);
        out << CsvField(s.File) << "," << s.Line << "," << CsvField(date) << ","
            << CsvField(U(s.Class)) << "," << CsvField(U(s.Theme)) << "," << CsvField(U(s.Variant))
            << "," << CsvField(U(s.Pupil)) << "," << s.Questions << "," << s.Mistakes << ","
            << s.SpellingRules.size() << "," << s.PunctuationRules.size() << "," << s.Prompts << ","
            << (s.Interrupted || s.Mark == 0 ? "" : std::to_string(s.Mark)) << ","
            << (s.Interrupted ? "yes" : "no") << "," << CsvField(U(join(s.SpellingRules))) << ","
            << CsvField(U(join(s.PunctuationRules))) << "\r\n";
    }
    return out.str();
}

std::string RulesCsv(const TSummary& summary) {
    std::ostringstream out;
    out << "class,rule,title,mistakes,pupils,sessions,share\r\n";
    for (const auto& c : summary.Classes)
        for (const auto& w : c.WeakSpots) {
            char share[16];
            std::snprintf(share, sizeof share, "%.3f", w.Share);
            out << CsvField(U(c.Name)) << "," << CsvField(U(w.Rule)) << "," << CsvField(U(w.Title))
                << "," << w.Mistakes << "," << w.Pupils << "," << w.Sessions << "," << share
                << "\r\n";
        }
    return out.str();
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
