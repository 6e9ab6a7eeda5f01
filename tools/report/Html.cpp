// The report as one page a teacher can open on a phone or print: no external files, the charts
// inline SVG. A few lines of script let the teacher pick a class and a period; without script the
// page shows everything and reads and prints the same.

#include "Output.h"

#include "platform/Text.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

// cp1251 text as UTF-8 with the page's special characters escaped, appended to `out`: the two
// steps in one, since the escaped characters are all ASCII.
void AppendHtml(std::string& out, std::string_view ansi) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        const char* entity = nullptr;
        switch (ansi[i]) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        case '\'':
            entity = "&#39;";
            break;
        default:
            continue;
        }
        AppendUtf8(out, ansi.substr(from, i - from));
        out += entity;
        from = i + 1;
    }
    AppendUtf8(out, ansi.substr(from));
}

std::string E(const std::string& ansi) {
    std::string out;
    AppendHtml(out, ansi);
    return out;
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
#filter{background:#f3f5fb;border:1px solid #c8cde0;padding:6px 8px;margin:.6em 0}
#filter label{margin-right:12px;white-space:nowrap}
.top3{background:#fff8e6;border:1px solid #f0c36d;padding:6px 12px;margin:.6em 0}
.top3 ol{margin:.3em 0;padding-left:1.4em}.top3 li{margin:.4em 0}
.top3 .ex{color:#333;font-style:italic}.top3 mark{background:#ffe08a;font-style:normal;
font-weight:bold}
@media print{#filter{display:none}body{max-width:none}h2{break-before:page}h2:first-of-type{break-before:auto}
.wrap{overflow:visible}}
)";

void WeakSpotChart(std::ostream& out, const std::vector<TWeakSpot>& spots, const THeadings& h) {
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

void WeakSpotTable(std::ostream& out, const std::vector<TWeakSpot>& spots, const THeadings& h) {
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

void MarksChart(std::ostream& out, const TPupilSessions& p) {
    const int step = 12, height = 40;
    out << "<svg class=\"marks\" width=\"" << p.Sessions.size() * step + 2 << "\" height=\""
        << height << "\" viewBox=\"0 0 " << p.Sessions.size() * step + 2 << " " << height
        << "\" role=\"img\" aria-label=\"" << E(p.Name) << "\">";
    // The bars put together in one string: a pupil may have hundreds.
    std::string bars;
    int x = 1;
    for (const TSession* s : p.Sessions) {
        const int mark = s->Interrupted ? 0 : s->Mark;
        const int h = mark ? mark * 8 : 6;
        bars += "<rect class=\"m";
        AppendNumber(bars, mark);
        bars += "\" data-mark=\"";
        AppendNumber(bars, mark);
        bars += "\" x=\"";
        AppendNumber(bars, x);
        bars += "\" y=\"";
        AppendNumber(bars, height - h);
        bars += "\" width=\"";
        AppendNumber(bars, step - 3);
        bars += "\" height=\"";
        AppendNumber(bars, h);
        bars += "\"><title>";
        AppendHtml(bars, s->DateText);
        bars += ": ";
        if (mark)
            AppendNumber(bars, mark);
        else
            bars += '-';
        bars += "</title></rect>";
        x += step;
    }
    out << bars;
    out << "</svg>";
}

void AppendIsoDate(std::string& out, const TSession& s) {
    if (s.Date)
        AppendIsoDateText(out, *s.Date, false);
}

// A string for the page's data block: JSON, and never an end tag inside the script element.
void AppendJson(std::string& out, std::string_view ansi) {
    out += '"';
    std::size_t from = 0;
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        const auto c = static_cast<unsigned char>(ansi[i]);
        if (c != '"' && c != '\\' && c != '<' && c >= 0x20)
            continue;
        AppendUtf8(out, ansi.substr(from, i - from));
        if (c == '"' || c == '\\')
            out += '\\', out += static_cast<char>(c);
        else if (c == '<')
            out += "\\u003c";
        else
            out += ' ';
        from = i + 1;
    }
    AppendUtf8(out, ansi.substr(from));
    out += '"';
}

std::string Json(const std::string& ansi) {
    std::string out;
    AppendJson(out, ansi);
    return out;
}

const TRuleExample* ExampleFor(const TRuleExamples& examples, const std::string& rule,
                               const std::string& className) {
    const auto r = examples.find(rule);
    if (r == examples.end())
        return nullptr;
    if (auto c = r->second.find(className); c != r->second.end())
        return &c->second;
    if (auto any = r->second.find(""); any != r->second.end())
        return &any->second;
    return nullptr;
}

// The sentence as a pupil reads it in the end, with its check point's answer marked: "@" (nothing)
// and "*" (a line break on the screen) are the library's marks, not text.
std::string ExampleHtml(const TRuleExample& e) {
    std::string out;
    for (std::size_t i = 0; i < e.Text.size(); ++i) {
        const char c = e.Text[i];
        if (static_cast<int>(i) + 1 == e.Position)
            out += "<mark>" +
                   (c == '@' || c == ' ' ? std::string("&nbsp;") : E(std::string(1, c))) +
                   "</mark>";
        else if (c != '@' && c != '*')
            out += E(std::string(1, c));
    }
    return out;
}

// The three rules worth re-teaching, drawn for the whole file; the script redraws the list for
// the class and period the teacher picks.
void TopThree(std::ostream& out, const TSummary& summary, const TRuleExamples& examples,
              const THeadings& h) {
    const std::string onlyClass = summary.Classes.size() == 1 ? summary.Classes[0].Name : "";
    out << "<div class=\"top3\" id=\"top3\"><h2 style=\"margin-top:.3em\">" << E(h.TopThree)
        << "</h2><ol id=\"top3list\">";
    // The weak spots of every class are those of all the sessions shown.
    const std::vector<TWeakSpot> top = TopOf(summary.WeakSpots);
    for (const auto& w : top) {
        out << "<li data-rule=\"" << E(w.Rule) << "\" data-pupils=\"" << w.Pupils << "\"><b>"
            << E(w.Rule) << "</b>" << (w.Title.empty() ? "" : " - " + E(w.Title)) << ". "
            << E(h.MissedBy) << ": " << w.Pupils;
        if (const TRuleExample* e = ExampleFor(examples, w.Rule, onlyClass))
            out << "<br><span class=\"ex\">" << ExampleHtml(*e) << "</span>";
        out << "</li>";
    }
    out << "</ol><p id=\"top3none\"" << (top.empty() ? "" : " hidden") << ">" << E(h.TopThreeNone)
        << "</p></div>\n";
}

// What the script needs: per session its class, date, pupil and rules; per rule its title and
// examples.
void DataBlock(std::ostream& out, const TSummary& summary, const TRuleExamples& examples,
               const THeadings& h) {
    out << "<script type=\"application/json\" id=\"zarvo-data\">{\"missed\":" << Json(h.MissedBy)
        << ",\"sessions\":[";
    bool first = true;
    // The rows put together in one reused string and written some at a time; what is the same
    // for all of a pupil's sessions is made once.
    std::string row, head, name;
    std::map<std::string, std::string> titles;
    for (std::size_t c = 0; c < summary.Classes.size(); ++c) {
        head = "{\"c\":";
        AppendNumber(head, static_cast<long long>(c));
        head += ",\"d\":\"";
        for (const auto& p : summary.Classes[c].Pupils) {
            name = "\",\"p\":";
            AppendJson(name, p.Name);
            name += ",\"r\":[";
            for (const TSession* s : p.Sessions) {
                if (!first)
                    row += ',';
                row += head;
                AppendIsoDate(row, *s);
                row += name;
                bool firstRule = true;
                for (const auto* list : {&s->SpellingRules, &s->PunctuationRules})
                    for (const auto& r : *list) {
                        if (!firstRule)
                            row += ',';
                        AppendJson(row, r);
                        firstRule = false;
                    }
                row += "]}";
                first = false;
                if (row.size() >= 64 * 1024) {
                    out << row;
                    row.clear();
                }
            }
        }
    }
    out << row;
    for (const auto& w : summary.WeakSpots)
        titles[w.Rule] = w.Title;
    out << "],\"rules\":{";
    first = true;
    for (const auto& [rule, title] : titles) {
        out << (first ? "" : ",") << Json(rule) << ":{\"t\":" << Json(title) << ",\"e\":[";
        for (std::size_t c = 0; c < summary.Classes.size(); ++c) {
            const TRuleExample* e = ExampleFor(examples, rule, summary.Classes[c].Name);
            out << (c ? "," : "") << (e ? Json(platform::Utf8ToAnsi(ExampleHtml(*e))) : "null");
        }
        out << "]}";
        first = false;
    }
    out << "}}</script>\n";
}

// Filters rows and sections and redraws the three rules; the page is complete without it.
const char* const Script = R"(<script>
(function(){
var data=JSON.parse(document.getElementById('zarvo-data').textContent);
var f=document.getElementById('filter');f.hidden=false;
var cls=document.getElementById('fclass'),from=document.getElementById('ffrom'),to=document.getElementById('fto');
function inRange(d){return (!from.value||(d&&d>=from.value))&&(!to.value||(d&&d<=to.value));}
function apply(){
 var c=cls.value;
 document.querySelectorAll('section.class').forEach(function(s){s.hidden=c!==''&&s.dataset.class!==c;});
 document.querySelectorAll('tr[data-date]').forEach(function(r){r.hidden=!inRange(r.dataset.date);});
 var count={};
 data.sessions.forEach(function(s){
  if((c!==''&&String(s.c)!==c)||!inRange(s.d))return;
  s.r.forEach(function(r){var k=count[r]||(count[r]={p:{},m:0,c:s.c});k.p[s.c+'|'+s.p.toLowerCase()]=1;k.m++;});});
 var list=Object.keys(count).map(function(r){return {r:r,p:Object.keys(count[r].p).length,m:count[r].m};});
 list.sort(function(a,b){return b.p-a.p||b.m-a.m||(a.r<b.r?-1:1);});
 var ol=document.getElementById('top3list');ol.innerHTML='';
 list.slice(0,3).forEach(function(x){
  var rule=data.rules[x.r]||{t:'',e:[]},li=document.createElement('li');
  li.dataset.rule=x.r;li.dataset.pupils=x.p;
  var b=document.createElement('b');b.textContent=x.r;li.appendChild(b);
  li.appendChild(document.createTextNode((rule.t?' - '+rule.t:'')+'. '+data.missed+': '+x.p));
  var ex=rule.e[c===''?0:+c]||rule.e.filter(function(e){return e;})[0];
  if(ex){li.appendChild(document.createElement('br'));var sp=document.createElement('span');sp.className='ex';sp.innerHTML=ex;li.appendChild(sp);}
  ol.appendChild(li);});
 document.getElementById('top3none').hidden=list.length>0;
}
var q=new URLSearchParams(location.hash.slice(1));
if(q.has('class'))cls.value=q.get('class');if(q.has('from'))from.value=q.get('from');if(q.has('to'))to.value=q.get('to');
[cls,from,to].forEach(function(e){e.addEventListener('change',apply);});
apply();
})();
</script>
)";

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

void WriteHtmlReport(std::ostream& out, const TSummary& summary, const TRuleExamples& examples) {
    const THeadings& h = HeadingsFor(summary.Russian);
    std::string row;
    out << "<!DOCTYPE html>\n<html lang=\"" << (summary.Russian ? "ru" : "en")
        << "\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>"
        << E(h.Title) << "</title><style>" << Style << "</style></head><body>\n<h1>" << E(h.Title)
        << "</h1>\n<p class=\"summary\" id=\"overview\">" << E(OverviewLine(summary)) << "</p>\n";
    if (summary.Classes.empty())
        out << "<p>" << E(h.NoSessions) << "</p>\n";
    if (!summary.Classes.empty()) {
        const std::string from = summary.First ? IsoDateText(*summary.First, false) : "",
                          to = summary.Last ? IsoDateText(*summary.Last, false) : "";
        out << "<form id=\"filter\" hidden><label>" << E(h.FilterClass)
            << " <select id=\"fclass\"><option value=\"\">" << E(h.AllClasses) << "</option>";
        for (std::size_t c = 0; c < summary.Classes.size(); ++c)
            out << "<option value=\"" << c << "\">" << E(summary.Classes[c].Name) << "</option>";
        out << "</select></label><label>" << E(h.From)
            << " <input type=\"date\" id=\"ffrom\" min=\"" << from << "\" max=\"" << to
            << "\"></label><label>" << E(h.To) << " <input type=\"date\" id=\"fto\" min=\"" << from
            << "\" max=\"" << to << "\"></label></form>\n";
        TopThree(out, summary, examples, h);
    }
    if (summary.Classes.size() > 1) {
        out << "<h2>" << E(h.WeakSpotsAll) << "</h2>\n";
        WeakSpotChart(out, summary.WeakSpots, h);
        WeakSpotTable(out, summary.WeakSpots, h);
    }
    for (std::size_t ci = 0; ci < summary.Classes.size(); ++ci) {
        const TClassSummary& c = summary.Classes[ci];
        out << "<section class=\"class\" data-class=\"" << ci << "\"><h2>" << E(c.Name)
            << " <small>(" << E(h.SessionsColumn) << ": " << c.SessionCount
            << ")</small></h2>\n<h3>" << E(h.WeakSpots) << "</h3>\n";
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
                    // Put together in one reused string, written some rows at a time: a school
                    // has a great many.
                    row += "<tr";
                    row += first ? " class=\"first\"" : "";
                    row += " data-date=\"";
                    AppendIsoDate(row, *s);
                    row += "\"><td>";
                    if (first)
                        AppendHtml(row, p.Name);
                    row += "</td><td>";
                    AppendHtml(row, s->DateText);
                    row += "</td><td>";
                    AppendHtml(row, s->Variant);
                    row += "</td><td class=\"n\">";
                    AppendNumber(row, s->Questions);
                    row += "</td><td class=\"n\">";
                    AppendNumber(row, s->Mistakes);
                    row += "</td><td class=\"n\">";
                    AppendNumber(row, s->Prompts);
                    row += "</td><td class=\"n";
                    row += s->Interrupted || !s->Mark ? " int" : "";
                    row += "\">";
                    AppendHtml(row, mark);
                    row += "</td></tr>\n";
                    first = false;
                    if (row.size() >= 64 * 1024) {
                        out << row;
                        row.clear();
                    }
                }
            }
            out << row << "</tbody></table></div>\n";
            row.clear();
        }
        out << "</section>\n";
    }
    if (!summary.Classes.empty()) {
        DataBlock(out, summary, examples, h);
        out << Script;
    }
    out << "</body></html>\n";
}

std::string HtmlReport(const TSummary& summary, const TRuleExamples& examples) {
    std::ostringstream out;
    WriteHtmlReport(out, summary, examples);
    return out.str();
}
