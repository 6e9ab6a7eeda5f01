#pragma once
// What a teacher wants from a heap of sessions: per class and theme each pupil's sessions, the
// average mark per variant, and the rules whose mistakes come back most often.

#include "Results.h"

#include <map>
#include <string>
#include <vector>

struct TPupilSessions {
    std::string Name;                      // as first written
    std::vector<const TSession*> Sessions; // in time order
};

struct TVariantAverage {
    std::string Variant;
    int Sessions = 0;   // all sessions of the variant, interrupted ones included
    int Marked = 0;     // those with a mark
    double Average = 0; // of the marks; 0 when none has one
};

struct TThemeSummary {
    std::string Name;
    std::vector<TPupilSessions> Pupils;
    std::vector<TVariantAverage> Variants;
};

struct TWeakSpot {
    std::string Rule;
    std::string Title; // empty without a rule library or for an unknown rule
    int Mistakes = 0;
    int Pupils = 0;
    int Sessions = 0; // sessions with at least one such mistake
    double Share = 0; // of all sessions counted
};

// A pupil's rounds of work on mistakes: the blocks whose variant the trainer named
// "Work on mistakes: ..." after a session with mistakes.
struct TPupilRounds {
    std::string Name;
    int Rounds = 0;
    bool LastClean = false; // the last round was finished without a mistake
};

struct TClassSummary {
    std::string Name;
    int SessionCount = 0;
    std::vector<TThemeSummary> Themes;
    std::vector<TPupilSessions> Pupils; // over all themes, for the marks over time
    std::vector<TWeakSpot> WeakSpots;   // most frequent first
    std::vector<TPupilRounds> Rounds;   // pupils with at least one round
};

struct TSummary {
    std::vector<TClassSummary> Classes;
    std::vector<TWeakSpot> WeakSpots; // over every class
    int SessionCount = 0;             // first attempts; rounds are counted apart
    int RoundCount = 0;
    int PupilCount = 0;
    bool Russian = false; // most blocks were written in Russian
    // The first and the last moment among the first attempts' dates, if any has one.
    std::optional<QDateTime> First, Last;
};

// A round of work on mistakes, told by its variant line in either language. Rounds stay out of
// the weak spots, the marks and the session counts, which speak of first attempts.
bool IsWorkOnMistakes(const TSession& session);

// The summary points into `sessions`, which must outlive it. `ruleTitles` maps a rule identifier
// to its title. Pupils are told apart by name and class,
// regardless of case and surrounding blanks.
TSummary Summarise(const std::vector<TSession>& sessions,
                   const std::map<std::string, std::string>& ruleTitles);
TSummary Summarise(const TSessions& sessions, const std::map<std::string, std::string>& ruleTitles);

// The rules most worth re-teaching among `sessions`: the most pupils who missed them, then the
// most mistakes; at most `count`.
std::vector<TWeakSpot> TopRules(const std::vector<const TSession*>& sessions,
                                const std::map<std::string, std::string>& ruleTitles,
                                std::size_t count = 3);

// The same from the weak spots of those sessions.
std::vector<TWeakSpot> TopOf(std::vector<TWeakSpot> spots, std::size_t count = 3);

// A rule's first line without its drawing marks.
std::string RuleTitle(const std::vector<std::string>& lines);

// Orders "5.2. x" before "5.10. x": digit runs compare as numbers, letters without regard to case.
bool NaturalLess(const std::string& a, const std::string& b);
