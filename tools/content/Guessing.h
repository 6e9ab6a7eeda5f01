#pragma once
// How far a pupil gets without reading the sentence: five blind habits, each answering every
// check point the same way, and the mark the trainer would give for the mistakes each makes.
// A variant in which one of them earns a 4 or a 5 rewards guessing over the rules.

#include "Source.h"

#include "content/Task.h"

#include <array>
#include <map>
#include <vector>

enum class TGuess {
    FirstShown,      // the first button; the trainer deals the buttons in a random order
    Comma,           // always ","
    NoSign,          // always "@" (the Delete key)
    NoSignBeforeAnd, // "@" before и, или, да; "," everywhere else
    Frequent         // the option most often right over the whole library
};
inline constexpr std::size_t GuessCount = 5;
inline constexpr std::array<TGuess, GuessCount> Guesses{
    TGuess::FirstShown, TGuess::Comma, TGuess::NoSign, TGuess::NoSignBeforeAnd, TGuess::Frequent};

// Short names for tables and messages (UTF-8): "first", ",", "@", "и", "freq".
const char* GuessName(TGuess g);
// A sentence for messages (UTF-8), such as "always ','".
const char* GuessDescription(TGuess g);

// How often each character is the right answer over a library: what the "most frequent" habit
// learns from practising the set.
using TAnswerCounts = std::map<char, int>;
TAnswerCounts RightAnswerCounts(const std::vector<TClass>& classes);

// The answer a habit gives first at a check point, or 0 when its answer is not among the point's
// buttons and it takes the first button shown. After a wrong first answer every habit takes the
// first of the buttons left, which is as good as a random one.
char GuessAnswer(TGuess g, const TExample& e, const TCheckPoint& cp, const TAnswerCounts& counts);

struct TGuessResult {
    // The best mark a habit earns in at least one session out of ten (for the habits that never
    // fall back on a random button, simply the mark it earns).
    int Mark = 2;
    double PaysChance = 0;                // chance of a 4 or a 5
    double Punctuation = 0, Spelling = 0; // mistakes to expect
    // The same mark for a pupil who knows the spelling and guesses only the punctuation; 0 in a
    // variant without punctuation points.
    int PunctuationMark = 0;
};
inline constexpr double GuessOneSessionIn = 0.1;
TGuessResult GuessVariant(TGuess g, const TVariant& v, const TAnswerCounts& counts);

// Punctuation points that offer both "," and "@", and how many of them the "и" habit gets right.
struct TAndShare {
    int Points = 0;
    int Right = 0;
};
TAndShare AndHabitShare(const TVariant& v);

// A warning at each variant in which a habit earns a 4 or a 5.
void CheckGuessing(const std::vector<TClass>& classes, std::vector<TMessage>& out);
