#pragma once
// What a typed key means at a check point: the two character classes, the keyboard translation
// that lets a pupil type Cyrillic letters with the Latin layout, and the match of a typed key
// against the answers of the check point. Characters are cp1251 bytes.

#include <string_view>

bool IsPunctuationSign(char ch);
bool IsYoSign(char ch);

// A check point is a punctuation one when any of its three answers is a punctuation sign; a yo
// one when it is not a punctuation one and any answer is a yo sign.
bool IsPunctuationCheckPoint(char right, char alternative1, char alternative2);
bool IsYoCheckPoint(char right, char alternative1, char alternative2);

// The answer character a typed key stands for: the punctuation shortcuts at a punctuation check
// point, ё for every yo key at a yo check point, otherwise the Cyrillic letter on the same key of
// the ЙЦУКЕН layout; anything else unchanged.
char TranslateKey(char ch, bool punct, bool yo);

// The answer number (1 right, 2 and 3 the alternatives) that the typed character chooses at the
// check point at `position` (1-based) of the stored `text`, or 0 when it matches none. When the
// alternatives are the same letter apart from case the comparison is exact; otherwise case does
// not matter.
int TypedAnswer(char ch, std::string_view text, int position, char alternative1, char alternative2);
