#pragma once
// The variant library: classes, themes, variants, examples and their check points, read once at
// start-up from the scrambled file Zarvo.ff and then only read by index.

#include "content/FileCover.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Names, texts and rules are views into the bytes of the file they were read from (or into the
// store of whoever built the tree) and stay valid as long as that store. Consumers read all of
// the records by index, as arrays and strings.
struct TCheckPoint {
    TCheckPoint() = default;
    TCheckPoint(std::int32_t position, std::uint8_t kind, char alternative1, char alternative2,
                std::string_view rule)
        : Position(position), Kind(kind), Alternative1(alternative1), Alternative2(alternative2) {
        SetRule(rule);
    }

    std::int32_t Position = 0; // 1-based index into the example text of the right answer
    std::uint8_t Kind = 0;     // 0, 2 punctuation; 1, 3 spelling
    char Alternative1 = 0;     // 0: none
    char Alternative2 = 0;     // 0: none

    // At most 4 bytes in a library; a source may name a longer one, which the content tool
    // reports (and which is kept up to 255 bytes for its message).
    std::string_view Rule() const { return {RuleData, RuleSize}; }
    void SetRule(std::string_view rule) {
        RuleData = rule.data();
        RuleSize = static_cast<std::uint8_t>(std::min<std::size_t>(rule.size(), 255));
    }

private:
    // A pointer and a byte instead of a view: a large library holds hundreds of thousands of
    // check points, and 16 bytes each instead of 24 is a good part of its start-up time.
    std::uint8_t RuleSize = 0;
    const char* RuleData = nullptr;
};

// `Line` is the line of the file each record came from (1 is the signature); only the content
// tool uses it, for its messages. The check points of a variant's examples lie in one block of
// the store: a list of its own per example would cost more memory, and more time at start-up,
// than the file itself.
struct TExample {
    std::string_view Text;
    std::span<const TCheckPoint> CheckPoints;
    std::int32_t Line = 0;
    std::int32_t CheckPointsLine = 0; // the last check-points line read for it; 0: none
};

struct TVariant {
    std::int32_t Number = 0; // as written in the file, not an ordinal
    std::string_view Name;
    std::vector<TExample> Examples;
    std::int32_t Line = 0;
};

struct TTheme {
    std::int32_t Number = 0; // 1-based ordinal within its class
    std::string_view Name;
    std::vector<TVariant> Variants;
    std::int32_t Line = 0;
};

struct TClass {
    std::int32_t Number = 0; // 1-based ordinal in the file
    std::string_view Name;
    std::vector<TTheme> Themes;
    std::int32_t Line = 0;
};

// The bytes behind a tree of records. Moving it keeps every byte where it is.
class TLibraryStore {
public:
    // Keeps a file's bytes, which records point into.
    void Adopt(std::unique_ptr<char[]> bytes) { Blocks.push_back(std::move(bytes)); }
    // A copy of `text` that lives as long as the store.
    std::string_view Keep(std::string_view text);
    // A copy of `points` that lives as long as the store.
    std::span<const TCheckPoint> KeepCheckPoints(std::span<const TCheckPoint> points);
    void Clear() {
        Blocks.clear();
        PointBlocks.clear();
    }

private:
    std::vector<std::unique_ptr<char[]>> Blocks;
    std::vector<std::unique_ptr<TCheckPoint[]>> PointBlocks;
};

// A tree of classes with the store its records point into.
struct TVariantTree {
    std::vector<TClass> Classes;
    TLibraryStore Store;
};

class TTask : public TFileCover {
public:
    // Loads the given file (start-up passes Config's GetVarLibFile).
    explicit TTask(const std::string& path);
    TTask(const TTask&) = delete;
    TTask& operator=(const TTask&) = delete;

    // (Re)loads from `path`. Raises EFileError "No ff file found!" when it is empty. Every other
    // failure is a FileUnreadable error for the path in Errors, and what was read before it is
    // kept.
    void OpenFFile(const std::string& path);
    void Clear();

    std::vector<TClass> Classes;
    // What the records of Classes point into.
    TLibraryStore Store;
    // Hands the tree over (the content tool keeps it beyond the reader); the library is empty
    // afterwards.
    TVariantTree TakeTree();
    // Where the last load went wrong, for the content tool's messages (lines of the file, the
    // signature being 1): check-points lines that could not be taken apart, and the line at
    // which an error ended the reading (0: none did).
    std::vector<std::int32_t> CheckPointFaults;
    std::int32_t FailedLine = 0;
    std::string FailedMessage; // the reader's own text of that error (never shown by the trainer)

private:
    class TBuilder;
};

// The signature line of a variant library.
inline constexpr const char* VarLibSignature = "ZARVOFILE";
