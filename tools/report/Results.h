#pragma once
// Reading the trainer's results files back: the labels of either interface language, the blocks
// as sessions, and warnings for whatever does not fit a block. Texts stay in code page 1251, as
// the trainer writes them.

#include <QDateTime>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The labels one interface language writes a block with.
struct TResultLabels {
    std::string Language; // "Russian" or "English"
    std::string Caption, Pupil, Class, Theme, Variant, Questions, Mistakes, SpellingMistakes,
        NoSpellingMistakes, PunctuationMistakes, NoPunctuationMistakes, Prompts, Broken, Mark,
        NoMark;
};

// The built-in English labels (the trainer's defaults).
TResultLabels DefaultEnglishLabels();
// The bundled language file's Russian labels.
TResultLabels DefaultRussianLabels();
// The labels of the language file's sections "Zarvo_Russian" and "Zarvo_English". A label or a
// section the file lacks keeps the built-in label of its language; without a readable file the
// built-in Russian and English labels are used.
std::vector<TResultLabels> LoadResultLabels(const std::string& languageFile);

struct TSession {
    // The file's name and the language: the same for many thousands of sessions, so each points
    // at one copy (kept by the TReadResult the session was read into).
    std::string_view File;
    int Line = 0; // of the date line, 1-based
    std::string_view Language;
    std::string DateText; // as written
    std::optional<QDateTime> Date;
    std::string Pupil, Class, Theme, Variant;
    int Questions = 0;
    int Mistakes = 0; // as the block says
    std::vector<std::string> SpellingRules, PunctuationRules;
    int Prompts = 0;
    bool Interrupted = false;
    int Mark = 0; // 0: none (training regime or interrupted)
};

// A deque: a school's years of sessions grow it without copying what it holds, and the summary
// keeps pointers into it.
using TSessions = std::deque<TSession>;

struct TReadResult {
    TReadResult() = default;
    // The sessions point into Names: moved whole, never copied.
    TReadResult(const TReadResult&) = delete;
    TReadResult& operator=(const TReadResult&) = delete;
    TReadResult(TReadResult&&) = default;
    TReadResult& operator=(TReadResult&&) = default;

    TSessions Sessions;
    std::vector<std::string> Warnings; // "file:line: text"
    // The sessions taken so far by a hash of what makes a block the same, so that a block read
    // again (a copied file) is counted once: an open-addressed table of (hash, index + 1), brought
    // up to date with Sessions on every read.
    std::vector<std::pair<std::size_t, std::size_t>> Seen;
    std::size_t SeenCount = 0;
    // The files' names and the languages the sessions point at.
    std::deque<std::string> Names;
};

// Reads the blocks of one file's contents. Blocks cut short and lines that fit nowhere are skipped
// with a warning; every complete block is taken once.
void ParseResults(std::string_view text, const std::string& fileName,
                  const std::vector<TResultLabels>& labels, TReadResult& out);

// The same for the results file at `path`, read piece by piece: a school's file of many years is
// never held whole, and a line of megabytes only as far as a field can be shown. False, with the
// reason in `error` and nothing of the file taken, when it is not a regular file of a sensible
// size or cannot be read; `anyText` tells whether it held more than blanks.
bool ReadResults(const std::string& path, const std::vector<TResultLabels>& labels,
                 TReadResult& out, std::string& error, bool& anyText);

// The date line as the trainer writes it with the common short formats: day.month.year,
// month/day/year, year-month-day, each with an optional time.
std::optional<QDateTime> ParseResultsDate(const std::string& text);

// The longest field (name, class, theme, variant, date, rule) the trainer writes; a longer one
// is cut to this length in the report, with a warning.
inline constexpr std::size_t MaxResultsFieldSize = 255;

// A results file is text of modest size; anything larger is not one.
inline constexpr std::int64_t MaxResultsFileSize = 64 * 1024 * 1024;

// The contents of a results file, or an error text (not a regular file, too large, unreadable).
bool ReadResultsFile(const std::string& path, std::string& contents, std::string& error);
