#pragma once
// What a library holds, in the figures a teacher sizes variants by: sentences, check points by
// kind, right answers by character, the share of "@" among punctuation answers, the rules used,
// an estimated session time and the marks blind guessing earns, per variant with theme, class and
// overall totals.

#include "Guessing.h"

#include "content/Task.h"

#include <array>
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
    // The mark of each blind habit, in the order of Guesses; above a variant, the worst (highest)
    // over its variants.
    std::array<int, GuessCount> GuessMarks{};
    int Variants = 0;
    int PayingVariants = 0; // variants in which some habit earns a 4 or a 5
    // Variants with punctuation points, and those in which guessing only the punctuation would
    // earn a 4 or a 5 if the spelling were all right.
    int PunctuationVariants = 0, PunctuationPaying = 0;
    TAndShare And; // "," or "@" points and how many the "и" habit gets right
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
