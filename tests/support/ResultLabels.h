#pragma once
// The trainer's interface strings set to the result labels of a language, so that its own block
// writer writes that language's blocks; for the report's tests and its benchmark.

#include "Results.h"
#include "app/Strings.h"

inline void UseResultLabels(const TResultLabels& l) {
    strResultFileCaption = l.Caption;
    strPupil = l.Pupil;
    strVarClass = l.Class;
    strVarTheme = l.Theme;
    strVarVariant = l.Variant;
    strQuestionsQuantity = l.Questions;
    strMistakesQuantity = l.Mistakes;
    strSpellingMistakes = l.SpellingMistakes;
    strNoSpellingMistakes = l.NoSpellingMistakes;
    strPunctuationMistakes = l.PunctuationMistakes;
    strNoPunctuationMistakes = l.NoPunctuationMistakes;
    strPrompts = l.Prompts;
    strBroken = l.Broken;
    strMark = l.Mark;
    strNoMark = l.NoMark;
}
