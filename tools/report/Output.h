#pragma once
// The report as plain aligned text, as one self-contained HTML page, and as CSV files. All three
// are UTF-8; the summary's texts are code page 1251.

#include "Summary.h"

#include <map>
#include <ostream>
#include <string>

// The headings in the language of the results.
struct THeadings {
    std::string Title, Overview, Pupils, Classes, WeakSpots, WeakSpotsAll, Rule, Mistakes,
        PupilsColumn, SessionsColumn, Share, RuleTitle, Theme, Averages, Variant, Average, WithMark,
        Date, Pupil, Questions, Prompts, Mark, Interrupted, NoMark, NoSessions, MarksOverTime,
        NoWeakSpots, Legend, TopThree, TopThreeNone, MissedBy, FilterClass, AllClasses, From, To,
        Show, WorkOnMistakes, Rounds, LastRoundClean, Yes, No;
};
const THeadings& HeadingsFor(bool russian);

// "Sessions: 36, pupils: 12, classes: 1" (cp1251).
std::string OverviewLine(const TSummary& summary);

// The rounds of work on mistakes of one class, one row a pupil: how many, and whether the last
// one was clean.
void RoundsText(std::ostream& out, const std::vector<TPupilRounds>& rounds, const THeadings& h);
void RoundsHtml(std::ostream& out, const std::vector<TPupilRounds>& rounds, const THeadings& h);

// Each report written straight into `out`, and as a string. A school's years of sessions make a
// report of many megabytes, which is never held whole.
void WriteTextReport(std::ostream& out, const TSummary& summary);
std::string TextReport(const TSummary& summary);
// A sentence that practises a rule, with the place of its check point (1-based), as the exercise
// library holds it (cp1251).
struct TRuleExample {
    std::string Text;
    int Position = 0;
};
// Per rule: an example for each class name that has one, and under "" the first of all.
using TRuleExamples = std::map<std::string, std::map<std::string, TRuleExample>>;

void WriteHtmlReport(std::ostream& out, const TSummary& summary,
                     const TRuleExamples& examples = {});
std::string HtmlReport(const TSummary& summary, const TRuleExamples& examples = {});
void WriteSessionsCsv(std::ostream& out, const TSessions& sessions);
std::string SessionsCsv(const std::vector<TSession>& sessions);
void WriteRulesCsv(std::ostream& out, const TSummary& summary);
std::string RulesCsv(const TSummary& summary);

// "2026-12-08", or with the time "2026-12-08 10:15:02", as Qt writes them, without its formatter's
// cost for every session of a school.
std::string IsoDateText(const QDateTime& moment, bool withTime);
void AppendIsoDateText(std::string& out, const QDateTime& moment, bool withTime);
// A number in decimal, appended.
void AppendNumber(std::string& out, long long n);

// cp1251 text as UTF-8, byte by byte from a table: the report converts every field it writes.
std::string ToUtf8(std::string_view ansi);
void AppendUtf8(std::string& out, std::string_view ansi);

// A CSV field: quoted when it must be, and never read by a spreadsheet as a formula.
std::string CsvField(const std::string& utf8);
void AppendCsvField(std::string& out, std::string_view utf8);
// Text for an HTML page: the five special characters escaped.
std::string HtmlEscape(const std::string& utf8);
