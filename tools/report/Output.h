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

std::string TextReport(const TSummary& summary);
// A sentence that practises a rule, with the place of its check point (1-based), as the exercise
// library holds it (cp1251).
struct TRuleExample {
    std::string Text;
    int Position = 0;
};
// Per rule: an example for each class name that has one, and under "" the first of all.
using TRuleExamples = std::map<std::string, std::map<std::string, TRuleExample>>;

std::string HtmlReport(const TSummary& summary, const TRuleExamples& examples = {});
std::string SessionsCsv(const std::vector<TSession>& sessions);
std::string RulesCsv(const TSummary& summary);

// A CSV field: quoted when it must be, and never read by a spreadsheet as a formula.
std::string CsvField(const std::string& utf8);
// Text for an HTML page: the five special characters escaped.
std::string HtmlEscape(const std::string& utf8);
