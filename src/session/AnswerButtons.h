#pragma once
// The answer buttons of a check point: which wrong answers are distinct, which answer each of the
// three buttons carries (in a random order), where the buttons stand, and which face and hint
// each shows.

#include <array>
#include <functional>
#include <string_view>

// A whole number from lo to hi, both included. The form draws it from a generator seeded by the
// clock; tests fix it.
using TRandom = std::function<int(int lo, int hi)>;

// The answers of a check point after the wrong ones that repeat the right answer, or are missing,
// or repeat each other, are left out. Alternative1 is always the first distinct one.
struct TDistinctAnswers {
    char Alternative1 = 0;
    char Alternative2 = 0;
    int AlternativeCount = 0; // 0..2
};
TDistinctAnswers DistinctAnswers(char right, char alternative1, char alternative2);

// The answer number carried by button 1, 2, 3 (0: the button is not used).
using TButtonAnswers = std::array<int, 3>;
TButtonAnswers DealButtonAnswers(int alternativeCount, const TRandom& random);

// Left edges of buttons 1, 2, 3 around `centre`: 16 pixels between the two buttons of one wrong
// answer, the middle one centred for two. Button 3's entry is meaningless with one wrong answer.
std::array<int, 3> AnswerButtonLefts(int alternativeCount, int centre,
                                     const std::array<int, 3>& widths);

// A hyphen answer that stands between two spaces of the text is a dash, not a hyphen: a space
// answer there cannot mean "write apart".
bool IsStandalone(std::string_view text, int position, char right, char alternative1,
                  char alternative2);

enum class TAnswerHint { Answer, Merge, Apart };

// Face 74 merge, 75 apart, 76 generic answer; or the face of the character itself (Number 0).
struct TButtonFace {
    int Number = 0;
    char Symbol = 0;
    TAnswerHint Hint = TAnswerHint::Answer;
    bool operator==(const TButtonFace&) const = default;
};
constexpr int MergeFace = 74;
constexpr int ApartFace = 75;
constexpr int AnswerFace = 76;

// The face of answer character `c`, the other two answers being `other1` and `other2`.
TButtonFace FaceOfAnswer(char c, char other1, char other2, bool standalone);
