#pragma once
// The variant library: classes, themes, variants, examples and their check points, read once at
// start-up from the scrambled file Zarvo.ff and then only read by index.

#include "content/FileCover.h"

#include <cstdint>
#include <string>
#include <vector>

struct TCheckPoint {
    std::int32_t Position = 0; // 1-based index into the example text of the right answer
    std::uint8_t Kind = 0;     // 0, 2 punctuation; 1, 3 spelling
    char Alternative1 = 0;     // 0: none
    char Alternative2 = 0;     // 0: none
    std::string Rule;          // at most 4 bytes
};

// `Line` is the line of the file each record came from (1 is the signature); only the content
// tool uses it, for its messages.
struct TExample {
    std::string Text;
    std::vector<TCheckPoint> CheckPoints;
    std::int32_t Line = 0;
    std::int32_t CheckPointsLine = 0; // the last check-points line read for it; 0: none
};

struct TVariant {
    std::int32_t Number = 0; // as written in the file, not an ordinal
    std::string Name;
    std::vector<TExample> Examples;
    std::int32_t Line = 0;
};

struct TTheme {
    std::int32_t Number = 0; // 1-based ordinal within its class
    std::string Name;
    std::vector<TVariant> Variants;
    std::int32_t Line = 0;
};

struct TClass {
    std::int32_t Number = 0; // 1-based ordinal in the file
    std::string Name;
    std::vector<TTheme> Themes;
    std::int32_t Line = 0;
};

class TTask : public TFileCover {
public:
    // Loads the configured variant library (Config's GetVarLibFile).
    TTask();
    // Loads the given file; the content tool, the fuzz target and the benchmark use it.
    explicit TTask(const std::string& path);
    ~TTask();
    TTask(const TTask&) = delete;
    TTask& operator=(const TTask&) = delete;

    // (Re)loads from `path`, or from the configured file when `path` is empty. Raises EFileError
    // "No ff file found!" when there is neither. Every other failure shows the input/output box
    // for the path (which sets the global failure flag) and keeps what was read before it.
    void OpenFFile(const std::string& path);
    void Clear();

    std::vector<TClass> Classes;
    // Where the last load went wrong, for the content tool's messages (lines of the file, the
    // signature being 1): check-points lines that could not be taken apart, and the line at
    // which an error ended the reading (0: none did).
    std::vector<std::int32_t> CheckPointFaults;
    std::int32_t FailedLine = 0;
    std::string FailedMessage; // the reader's own text of that error (never shown by the trainer)
};

// The signature line of a variant library.
inline constexpr const char* VarLibSignature = "ZARVOFILE";
