#pragma once
// What a library holds, in the figures a teacher sizes variants by: sentences, check points by
// kind, right answers by character, the share of "@" among punctuation answers, the rules used
// and an estimated session time, per variant with theme, class and overall totals.

#include "content/Task.h"

#include <map>
#include <string>
#include <vector>

struct TStatsRow {
    enum TLevel { Variant, Theme, Class, Total } Level = Variant;
    std::string ClassName, ThemeName, VariantName; // cp1251
    int Sentences = 0;
    int CheckPoints = 0;
    int Punctuation = 0;
    int Spelling = 0;
    int NothingRight = 0;             // punctuation points whose right answer is "@"
    std::map<char, int> RightAnswers; // by character
    std::map<std::string, int> Rules; // check points per rule
    // The model: a check point takes a pupil about 15 s, reading a sentence about 10 s.
    int Seconds() const;
};

inline constexpr int SecondsPerCheckPoint = 15;
inline constexpr int SecondsPerSentence = 10;

inline int TStatsRow::Seconds() const {
    return SecondsPerCheckPoint * CheckPoints + SecondsPerSentence * Sentences;
}

// Rows in reading order: each variant, then its theme's total after the theme, its class's
// total after the class, and the overall total last.
std::vector<TStatsRow> LibraryStats(const std::vector<TClass>& classes);

// Plain aligned text (UTF-8).
std::string StatsText(const std::vector<TStatsRow>& rows);
// One line per row with a header, for spreadsheets (UTF-8).
std::string StatsCsv(const std::vector<TStatsRow>& rows);
