#pragma once
// Where the installed trainer reads its libraries and font and writes its results, asked of the
// trainer itself
// (`zarvo --print-config`), so that the editor finds exactly what the pupils' trainer uses
// whatever mix of system file, registry and content directory settles it.

#include <optional>
#include <string>

struct TTrainerSettings {
    std::string VarLibFile; // native paths
    std::string RuleFile;
    std::string FontFile;
    std::string ResultFile;
};

// The trainer is `zarvo` beside this program, or $ZARVO_TRAINER. Nothing when it is missing or
// does not answer within a few seconds.
std::optional<TTrainerSettings> ReadTrainerSettings();

// The values of a --print-config answer ("Name=value" lines).
TTrainerSettings ParseTrainerSettings(const std::string& printed);
