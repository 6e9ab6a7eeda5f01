#pragma once
// The pupil's choice as the selection hands it to the exercise screen: who works and which
// variant, by index into the variant library and by the texts the lists showed.

#include "session/Session.h"

#include <cstdint>
#include <string>
#include <vector>

class TTask;

struct TSelection {
    std::string PupilName;
    // 0-based indexes into Classes, the class's Themes and the theme's Variants; -1: none.
    std::int32_t Class = -1;
    std::int32_t Theme = -1;
    std::int32_t Variant = -1;
    std::string ClassText;
    std::string ThemeText;
    std::string VariantText;
};

// The examples of the chosen variant as the session takes them (texts and check points copied);
// none when an index lies outside the library.
std::vector<TSessionExample> SelectedExamples(const TTask& tasks, const TSelection& selection);
