#include "Guessing.h"

#include "platform/Text.h"
#include "session/Pupil.h"

#include <algorithm>
#include <cstdio>

namespace {

// The buttons of a check point as the trainer deals them: the right answer and the distinct wrong
// answers that differ from it. No wrong answer: the trainer skips the point.
struct TButtons {
    char Right = 0;
    std::vector<char> Wrong;
    bool Has(char c) const {
        return c == Right || std::find(Wrong.begin(), Wrong.end(), c) != Wrong.end();
    }
};

bool ButtonsOf(const TExample& e, const TCheckPoint& cp, TButtons& b) {
    if (cp.Position < 1 || static_cast<std::size_t>(cp.Position) > e.Text.size())
        return false;
    b.Right = e.Text[static_cast<std::size_t>(cp.Position - 1)];
    b.Wrong.clear();
    for (char a : {cp.Alternative1, cp.Alternative2})
        if (a != 0 && a != b.Right)
            b.Wrong.push_back(a);
    return !b.Wrong.empty();
}

bool IsLetter(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 0xC0) || u == 0xA8 || u == 0xB8 || (c >= 'a' && c <= 'z') ||
           (c >= 'A' && c <= 'Z');
}

// The word that follows a check point, lower case: what a pupil sees right after the blank. An
// empty place ("@") or a line break between them changes nothing on the screen.
std::string WordAfter(const TExample& e, std::size_t index) {
    std::size_t i = index + 1;
    while (i < e.Text.size() && (e.Text[i] == ' ' || e.Text[i] == '@' || e.Text[i] == '*'))
        ++i;
    std::string word;
    while (i < e.Text.size() && IsLetter(e.Text[i]))
        word += platform::AnsiLowerChar(e.Text[i++]);
    return word;
}

bool BeforeAnd(const TExample& e, const TCheckPoint& cp) {
    static const std::string words[] = {platform::Utf8ToAnsi("и"), platform::Utf8ToAnsi("или"),
                                        platform::Utf8ToAnsi("да")};
    const std::string w = WordAfter(e, static_cast<std::size_t>(cp.Position - 1));
    return std::find(std::begin(words), std::end(words), w) != std::end(words);
}

int CountOf(const TAnswerCounts& counts, char c) {
    auto it = counts.find(c);
    return it == counts.end() ? 0 : it->second;
}

// Chances of 0, 1 and 2 mistakes at one check point (the trainer shows the right answer after the
// second).
std::array<double, 3> MistakeChances(char first, const TButtons& b) {
    const double n = static_cast<double>(b.Wrong.size() + 1);
    if (first != 0 && first == b.Right)
        return {1, 0, 0};
    if (first != 0) // wrong, then one of the n - 1 buttons left
        return {0, 1 / (n - 1), 1 - 1 / (n - 1)};
    return {1 / n, 1 / n, 1 - 2 / n}; // a random first button, then a random one of the rest
}

} // namespace

const char* GuessName(TGuess g) {
    switch (g) {
    case TGuess::FirstShown:
        return "first";
    case TGuess::Comma:
        return ",";
    case TGuess::NoSign:
        return "@";
    case TGuess::NoSignBeforeAnd:
        return "и";
    case TGuess::Frequent:
        return "freq";
    }
    return "?";
}

const char* GuessDescription(TGuess g) {
    switch (g) {
    case TGuess::FirstShown:
        return "always the first button";
    case TGuess::Comma:
        return "always ','";
    case TGuess::NoSign:
        return "always no sign";
    case TGuess::NoSignBeforeAnd:
        return "no sign before и/или/да, else ','";
    case TGuess::Frequent:
        return "always the most frequent answer";
    }
    return "?";
}

TAnswerCounts RightAnswerCounts(const std::vector<TClass>& classes) {
    TAnswerCounts counts;
    TButtons b;
    for (const TClass& c : classes)
        for (const TTheme& t : c.Themes)
            for (const TVariant& v : t.Variants)
                for (const TExample& e : v.Examples)
                    for (const TCheckPoint& cp : e.CheckPoints)
                        if (ButtonsOf(e, cp, b))
                            ++counts[b.Right];
    return counts;
}

char GuessAnswer(TGuess g, const TExample& e, const TCheckPoint& cp, const TAnswerCounts& counts) {
    TButtons b;
    if (!ButtonsOf(e, cp, b))
        return 0;
    char wanted = 0;
    switch (g) {
    case TGuess::FirstShown:
        return 0;
    case TGuess::Comma:
        wanted = ',';
        break;
    case TGuess::NoSign:
        wanted = '@';
        break;
    case TGuess::NoSignBeforeAnd:
        wanted = BeforeAnd(e, cp) ? '@' : ',';
        break;
    case TGuess::Frequent: {
        // Ties go to the lower byte, never to the right answer as such.
        std::vector<char> all = b.Wrong;
        all.push_back(b.Right);
        std::sort(all.begin(), all.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
        wanted = all.front();
        for (char c : all)
            if (CountOf(counts, c) > CountOf(counts, wanted))
                wanted = c;
        break;
    }
    }
    return b.Has(wanted) ? wanted : 0;
}

TGuessResult GuessVariant(TGuess g, const TVariant& v, const TAnswerCounts& counts) {
    // The chance of every (spelling, punctuation) pair of mistake counts, point by point.
    std::size_t points = 0;
    for (const TExample& e : v.Examples)
        points += e.CheckPoints.size();
    const std::size_t side = 2 * points + 1;
    std::vector<double> chance(side * side, 0.0); // [spelling * side + punctuation]
    chance[0] = 1;
    TGuessResult result;
    TButtons b;
    int punctuationPoints = 0;
    for (const TExample& e : v.Examples)
        for (const TCheckPoint& cp : e.CheckPoints) {
            if (!ButtonsOf(e, cp, b))
                continue;
            const auto m = MistakeChances(GuessAnswer(g, e, cp, counts), b);
            const bool punctuation = cp.Kind % 2 == 0;
            punctuationPoints += punctuation;
            (punctuation ? result.Punctuation : result.Spelling) += m[1] + 2 * m[2];
            std::vector<double> next(side * side, 0.0);
            for (std::size_t s = 0; s < side; ++s)
                for (std::size_t p = 0; p < side; ++p) {
                    const double c = chance[s * side + p];
                    if (c == 0)
                        continue;
                    for (std::size_t k = 0; k < 3; ++k) {
                        const std::size_t s2 = punctuation ? s : s + k;
                        const std::size_t p2 = punctuation ? p + k : p;
                        if (m[k] > 0 && s2 < side && p2 < side)
                            next[s2 * side + p2] += c * m[k];
                    }
                }
            chance.swap(next);
        }
    std::array<double, 6> atLeast{}, punctuationAtLeast{}; // chance of each mark or better
    for (std::size_t s = 0; s < side; ++s)
        for (std::size_t p = 0; p < side; ++p)
            for (int mark = 5; mark >= 2; --mark) {
                const auto m = static_cast<std::size_t>(mark);
                atLeast[m] += MarkFor(s, p) >= mark ? chance[s * side + p] : 0;
                punctuationAtLeast[m] += MarkFor(0, p) >= mark ? chance[s * side + p] : 0;
            }
    result.PaysChance = atLeast[4];
    // The best mark reached in one session in ten; rounding of the products must not make a sure
    // outcome look unsure.
    auto mark = [](const std::array<double, 6>& chances) {
        for (int m = 5; m > 2; --m)
            if (chances[static_cast<std::size_t>(m)] >= GuessOneSessionIn - 1e-9)
                return m;
        return 2;
    };
    result.Mark = mark(atLeast);
    if (punctuationPoints > 0)
        result.PunctuationMark = mark(punctuationAtLeast);
    return result;
}

TAndShare AndHabitShare(const TVariant& v) {
    TAndShare share;
    TButtons b;
    for (const TExample& e : v.Examples)
        for (const TCheckPoint& cp : e.CheckPoints)
            if (cp.Kind % 2 == 0 && ButtonsOf(e, cp, b) && b.Has(',') && b.Has('@')) {
                ++share.Points;
                share.Right += (BeforeAnd(e, cp) ? '@' : ',') == b.Right;
            }
    return share;
}

void CheckGuessing(const std::vector<TClass>& classes, std::vector<TMessage>& out) {
    const TAnswerCounts counts = RightAnswerCounts(classes);
    for (const TClass& c : classes)
        for (const TTheme& t : c.Themes)
            for (const TVariant& v : t.Variants) {
                std::string paying;
                for (TGuess g : Guesses) {
                    const TGuessResult r = GuessVariant(g, v, counts);
                    if (r.Mark < 4)
                        continue;
                    char figures[96];
                    if (r.PaysChance < 1 - 1e-9)
                        std::snprintf(figures, sizeof figures, "4 or 5 in %.0f%% of sessions",
                                      r.PaysChance * 100);
                    else
                        std::snprintf(figures, sizeof figures,
                                      "%d (%.0f punctuation, %.0f spelling mistakes)", r.Mark,
                                      r.Punctuation, r.Spelling);
                    paying += std::string(paying.empty() ? "" : "; ") + "\"" + GuessDescription(g) +
                              "\" earns " + figures;
                }
                if (!paying.empty())
                    out.push_back(
                        {v.Line,
                         "guessing pays in variant " + std::to_string(v.Number) + ": " + paying,
                         true});
            }
}
