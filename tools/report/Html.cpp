// The report as one page a teacher can open on a phone or print: no scripts, no external files;
// the charts are inline SVG.

#include "Output.h"

#include "platform/Text.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

std::string E(const std::string& ansi) {
    return HtmlEscape(platform::AnsiToUtf8(ansi));
}

std::string Num(double v, const char* format) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

const char* const Style = R"(
body{font-family:"DejaVu Sans",Arial,sans-serif;margin:0 auto;max-width:960px;padding:12px;
color:#1a1a2e;background:#fff;line-height:1.35}
h1{font-size:1.5em;margin:.2em 0}h2{font-size:1.25em;border-bottom:3px solid #1f3c88;
padding-bottom:4px;margin-top:1.6em}h3{font-size:1.05em;margin:1.2em 0 .4em}
.summary{color:#444}.wrap{overflow-x:auto}
table{border-collapse:collapse;width:100%;font-size:.92em;margin:.3em 0 1em}
th,td{border:1px solid #c8cde0;padding:3px 6px;text-align:left;vertical-align:top}
th{background:#e8ecf8}td.n{text-align:right;white-space:nowrap}
tr.first td{border-top:2px solid #8894c0}table.pupils{width:auto}table.pupils td{padding-right:24px}
.bars{width:100%;max-width:760px;height:auto;display:block}
.bars text{font-size:13px;fill:#1a1a2e}.bar{fill:#c0392b}
.marks{vertical-align:middle}.legend{font-size:.85em;color:#555}
.m5{fill:#2e8b57}.m4{fill:#7cb342}.m3{fill:#f0a500}.m2{fill:#c0392b}.m0{fill:#b0b0b0}
.int{color:#888}
@media print{body{max-width:none}h2{break-before:page}h2:first-of-type{break-before:auto}
.wrap{overflow:visible}}
)";

void WeakSpotChart(std::ostringstream& out, const std::vector<TWeakSpot>& spots,
                   const THeadings& h) {
    if (spots.empty()) {
        out << "<p>" << E(h.NoWeakSpots) << "</p>\n";
        return;
    }
    const std::size_t shown = std::min<std::size_t>(spots.size(), 15);
    const int rowHeight = 24, labelWidth = 250, barWidth = 420;
    int most = 1;
    for (std::size_t i = 0; i < shown; ++i)
        most = std::max(most, spots[i].Mistakes);
    out << "<svg class=\"bars\" viewBox=\"0 0 " << labelWidth + barWidth + 50 << " "
        << shown * rowHeight + 4 << "\" role=\"img\" aria-label=\"" << E(h.WeakSpots) << "\">\n";
    for (std::size_t i = 0; i < shown; ++i) {
        const TWeakSpot& w = spots[i];
        std::string label = w.Rule;
        if (!w.Title.empty()) {
            std::string title = w.Title.size() > 26 ? w.Title.substr(0, 25) + "." : w.Title;
            label += " - " + title;
        }
        const int y = static_cast<int>(i) * rowHeight + 2;
        const int length = std::max(2, w.Mistakes * barWidth / most);
        out << "<g><title>" << E(w.Rule) << (w.Title.empty() ? "" : ": ") << E(w.Title)
            << "</title><text x=\"0\" y=\"" << y + 16 << "\">" << E(label) << "</text>"
            << "<rect class=\"bar\" data-rule=\"" << E(w.Rule) << "\" data-value=\"" << w.Mistakes
            << "\" x=\"" << labelWidth << "\" y=\"" << y + 3 << "\" width=\"" << length
            << "\" height=\"" << rowHeight - 8 << "\"/><text x=\"" << labelWidth + length + 6
            << "\" y=\"" << y + 16 << "\">" << w.Mistakes << "</text></g>\n";
    }
    out << "</svg>\n";
}

void WeakSpotTable(std::ostringstream& out, const std::vector<TWeakSpot>& spots,
                   const THeadings& h) {
    if (spots.empty())
        return;
    // Without a rule library there are no titles, and an empty column only takes room.
    const bool titles = std::any_of(spots.begin(), spots.end(),
                                    [](const TWeakSpot& w) { return !w.Title.empty(); });
    out << "<div class=\"wrap\"><table class=\"weak\"><thead><tr><th>" << E(h.Rule) << "</th>"
        << (titles ? "<th>" + E(h.RuleTitle) + "</th>" : "") << "<th>" << E(h.Mistakes)
        << "</th><th>" << E(h.PupilsColumn) << "</th><th>" << E(h.Share)
        << "</th></tr></thead><tbody>\n";
    for (const auto& w : spots)
        out << "<tr><td>" << E(w.Rule) << "</td>" << (titles ? "<td>" + E(w.Title) + "</td>" : "")
            << "<td class=\"n\">" << w.Mistakes << "</td><td class=\"n\">" << w.Pupils
            << "</td><td class=\"n\">" << Num(w.Share * 100, "%.0f") << "%</td></tr>\n";
    out << "</tbody></table></div>\n";
}

void MarksChart(std::ostringstream& out, const TPupilSessions& p) {
    const int step = 12, height = 40;
    out << "<svg class=\"marks\" width=\"" << p.Sessions.size() * step + 2 << "\" height=\""
        << height << "\" viewBox=\"0 0 " << p.Sessions.size() * step + 2 << " " << height
        << "\" role=\"img\" aria-label=\"" << E(p.Name) << "\">";
    int x = 1;
    for (const TSession* s : p.Sessions) {
        const int mark = s->Interrupted ? 0 : s->Mark;
        const int h = mark ? mark * 8 : 6;
        out << "<rect class=\"m" << mark << "\" data-mark=\"" << mark << "\" x=\"" << x << "\" y=\""
            << height - h << "\" width=\"" << step - 3 << "\" height=\"" << h << "\"><title>"
            << E(s->DateText) << ": " << (mark ? std::to_string(mark) : "-") << "</title></rect>";
        x += step;
    }
    out << "</svg>";
}

} // namespace

void RoundsHtml(std::ostream& out, const std::vector<TPupilRounds>& rounds, const THeadings& h) {
    if (rounds.empty())
        return;
    out << "<h3>" << E(h.WorkOnMistakes)
        << "</h3>\n<div class=\"wrap\"><table class=\"rounds\"><thead><tr><th>" << E(h.Pupil)
        << "</th><th>" << E(h.Rounds) << "</th><th>" << E(h.LastRoundClean)
        << "</th></tr></thead><tbody>\n";
    for (const TPupilRounds& r : rounds)
        out << "<tr><td>" << E(r.Name) << "</td><td class=\"n\">" << r.Rounds << "</td><td>"
            << E(r.LastClean ? h.Yes : h.No) << "</td></tr>\n";
    out << "</tbody></table></div>\n";
}

std::string HtmlReport(const TSummary& summary) {
    const THeadings& h = HeadingsFor(summary.Russian);
    std::ostringstream out;
    out << "<!DOCTYPE html>\n<html lang=\"" << (summary.Russian ? "ru" : "en")
        << "\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>"
        << E(h.Title) << "</title><style>" << Style << "</style></head><body>\n<h1>" << E(h.Title)
        << "</h1>\n<p class=\"summary\" id=\"overview\">" << E(OverviewLine(summary)) << "</p>\n";
    if (summary.Classes.empty())
        out << "<p>" << E(h.NoSessions) << "</p>\n";
    if (summary.Classes.size() > 1) {
        out << "<h2>" << E(h.WeakSpotsAll) << "</h2>\n";
        WeakSpotChart(out, summary.WeakSpots, h);
        WeakSpotTable(out, summary.WeakSpots, h);
    }
    for (const auto& c : summary.Classes) {
        out << "<section class=\"class\"><h2>" << E(c.Name) << " <small>(" << E(h.SessionsColumn)
            << ": " << c.SessionCount << ")</small></h2>\n<h3>" << E(h.WeakSpots) << "</h3>\n";
        WeakSpotChart(out, c.WeakSpots, h);
        WeakSpotTable(out, c.WeakSpots, h);

        out << "<h3>" << E(h.MarksOverTime) << "</h3>\n<p class=\"legend\">" << E(h.Legend)
            << "</p>\n<div class=\"wrap\"><table class=\"pupils\"><tbody>\n";
        for (const auto& p : c.Pupils) {
            out << "<tr><td>" << E(p.Name) << "</td><td>";
            MarksChart(out, p);
            out << "</td></tr>\n";
        }
        out << "</tbody></table></div>\n";
        RoundsHtml(out, c.Rounds, h);

        for (const auto& t : c.Themes) {
            out << "<h3>" << E(h.Theme) << ": " << E(t.Name) << "</h3>\n"
                << "<div class=\"wrap\"><table class=\"averages\"><thead><tr><th>" << E(h.Variant)
                << "</th><th>" << E(h.Average) << "</th><th>" << E(h.SessionsColumn) << "</th><th>"
                << E(h.WithMark) << "</th></tr></thead><tbody>\n";
            for (const auto& v : t.Variants)
                out << "<tr><td>" << E(v.Variant) << "</td><td class=\"n\">"
                    << (v.Marked ? Num(v.Average, "%.1f") : std::string("-"))
                    << "</td><td class=\"n\">" << v.Sessions << "</td><td class=\"n\">" << v.Marked
                    << "</td></tr>\n";
            out << "</tbody></table></div>\n<div class=\"wrap\"><table class=\"sessions\">"
                << "<thead><tr><th>" << E(h.Pupil) << "</th><th>" << E(h.Date) << "</th><th>"
                << E(h.Variant) << "</th><th>" << E(h.Questions) << "</th><th>" << E(h.Mistakes)
                << "</th><th>" << E(h.Prompts) << "</th><th>" << E(h.Mark)
                << "</th></tr></thead><tbody>\n";
            for (const auto& p : t.Pupils) {
                bool first = true;
                for (const TSession* s : p.Sessions) {
                    const std::string mark = s->Interrupted ? h.Interrupted
                                             : s->Mark      ? std::to_string(s->Mark)
                                                            : h.NoMark;
                    out << "<tr" << (first ? " class=\"first\"" : "") << "><td>"
                        << (first ? E(p.Name) : "") << "</td><td>" << E(s->DateText) << "</td><td>"
                        << E(s->Variant) << "</td><td class=\"n\">" << s->Questions
                        << "</td><td class=\"n\">" << s->Mistakes << "</td><td class=\"n\">"
                        << s->Prompts << "</td><td class=\"n"
                        << (s->Interrupted || !s->Mark ? " int" : "") << "\">" << E(mark)
                        << "</td></tr>\n";
                    first = false;
                }
            }
            out << "</tbody></table></div>\n";
        }
        out << "</section>\n";
    }
    out << "</body></html>\n";
    return out.str();
}
