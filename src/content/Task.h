#pragma once
// The variant library: classes, themes, variants, examples and their check points, read once at
// start-up from the scrambled file Zarvo.ff and then only read by index.

#include "content/Arena.h"
#include "content/FileCover.h"

#include <cstdint>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Names, texts, examples and check points are views into the store of the library they belong
// to (a loaded library's store keeps the file's bytes) and stay valid as long as that store; a
// large library holds a quarter of a million of them, which as heap blocks each would cost
// several times the reading of its file. Classes, themes and variants are few and kept in
// vectors. Consumers read all of them by index, as arrays and strings.
struct TCheckPoint {
    std::int32_t Position = 0; // 1-based index into the example text of the right answer
    std::uint8_t Kind = 0;     // 0, 2 punctuation; 1, 3 spelling
    char Alternative1 = 0;     // 0: none
    char Alternative2 = 0;     // 0: none
    std::string_view Rule;     // at most 4 bytes
};

// The check points of an example, read by index or in order as TCheckPoint values. A library
// keeps most of them as its file gives them, eight bytes each, decoded when they are read: made
// into records, a large library's check points would cost more than reading its file. What the
// groups cannot tell (a second check-points line for one example, a kind byte out of range, the
// content tool's sources) is kept as records.
class TCheckPointList {
public:
    TCheckPointList() = default;
    // `n` groups as a check-points line holds them: position (0 for 26), kind (0..3), the two
    // alternatives, the rule padded to four bytes.
    static TCheckPointList Groups(const char* groups, std::size_t n) {
        return TCheckPointList(groups, n, true);
    }
    static TCheckPointList Records(const TCheckPoint* records, std::size_t n) {
        return TCheckPointList(records, n, false);
    }

    std::size_t size() const { return Count; }
    bool empty() const { return Count == 0; }
    TCheckPoint operator[](std::size_t i) const {
        if (!Packed)
            return static_cast<const TCheckPoint*>(Data)[i];
        const char* g = static_cast<const char*>(Data) + 8 * i;
        auto position = static_cast<unsigned char>(g[0]);
        return {position ? position : 26, static_cast<std::uint8_t>(g[1]), g[2], g[3],
                TrimView(std::string_view(g + 4, 4))};
    }

    class iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = TCheckPoint;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = TCheckPoint;
        iterator(const TCheckPointList* list, std::size_t i) : List(list), I(i) {}
        TCheckPoint operator*() const { return (*List)[I]; }
        iterator& operator++() {
            ++I;
            return *this;
        }
        bool operator==(const iterator& o) const { return I == o.I; }

    private:
        const TCheckPointList* List;
        std::size_t I;
    };
    iterator begin() const { return {this, 0}; }
    iterator end() const { return {this, Count}; }

private:
    TCheckPointList(const void* data, std::size_t n, bool packed)
        : Data(data), Count(static_cast<std::uint32_t>(n)), Packed(packed) {}

    const void* Data = nullptr;
    std::uint32_t Count = 0;
    bool Packed = false;
};

// `Line` is the line of the file each record came from (1 is the signature); only the content
// tool uses it, for its messages.
struct TExample {
    std::string_view Text;
    TCheckPointList CheckPoints;
    std::int32_t Line = 0;
    std::int32_t CheckPointsLine = 0; // the last check-points line read for it; 0: none
};

struct TVariant {
    std::int32_t Number = 0; // as written in the file, not an ordinal
    std::string_view Name;
    std::span<const TExample> Examples;
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

// The storage behind a tree of records. Moving it keeps every record where it is.
class TLibraryStore {
public:
    // Keeps a file's bytes, which records point into.
    void Adopt(std::vector<std::unique_ptr<char[]>> blocks) {
        for (auto& b : blocks)
            Files.push_back(std::move(b));
    }
    // A copy of `text` that lives as long as the store.
    std::string_view Keep(std::string_view text);
    // Appends a copy of `example` to `run`, the examples of the variant being built, and returns
    // the new entry; `run` may move. Only the latest run grows in place.
    TExample& Append(std::span<const TExample>& run, const TExample& example) {
        // The run's memory is the store's own, made for changing.
        auto* entries = Examples.Append(const_cast<TExample*>(run.data()), run.size(), example);
        run = {entries, run.size() + 1};
        return entries[run.size() - 1];
    }
    // `count` check points as records, to be filled in, made the list of an example.
    std::span<TCheckPoint> CheckPointRecords(TCheckPointList& list, std::size_t count);
    void Clear() { *this = TLibraryStore(); }

private:
    std::vector<std::unique_ptr<char[]>> Files;
    TRunArena<char> Texts;
    TRunArena<TExample> Examples;
    TRunArena<TCheckPoint> CheckPoints;
};

// A tree of classes with the store its records live in.
struct TVariantTree {
    std::vector<TClass> Classes;
    TLibraryStore Store;
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
