#pragma once
// What the exercise editor edits: a pair of library sources, the exercises (.ff.txt) and their
// rules (.frf.txt), held as UTF-8 text exactly as the files hold them, so that opening and saving
// without an edit gives the same bytes back. Everything a window shows of the pair (the outline,
// the findings of the content check, the figures of a variant, the check point under the cursor)
// is computed here from the two texts, without a widget.

#include "Source.h"

#include <optional>
#include <string>
#include <vector>

enum class TSourceKind { Variants, Rules };

struct TEditorDocument {
    std::string VariantPath; // where the exercises are saved (native, UTF-8)
    std::string RulesPath;
    std::string VariantText;
    std::string RulesText;
    // What the files held when last read or written: "modified" is a difference from them.
    std::string SavedVariantText;
    std::string SavedRulesText;
    // Opened from packed libraries: the sources are new files beside them.
    bool FromPacked = false;

    bool Modified() const {
        return VariantText != SavedVariantText || RulesText != SavedRulesText || FromPacked;
    }
};

// The other file of a pair: Zarvo.frf.txt for Zarvo.ff.txt and back, Zarvo.frf for Zarvo.ff.
std::string PairedFile(const std::string& path);

// Opens either source of a pair (the other one beside it; a missing rule source is an empty one),
// or a packed library pair (.ff/.frf), which is unpacked into texts whose save paths are the
// sources beside it. Throws std::runtime_error with a message for the teacher.
TEditorDocument OpenDocument(const std::string& path);
// A new pair from the template: one class, theme and variant with a sentence and its rule. Nothing
// is written until it is saved.
TEditorDocument NewDocument(const std::string& variantPath);
// Writes both sources (each atomically); throws std::runtime_error naming the file that failed.
void SaveDocument(TEditorDocument& doc);

// One line of the outline: a class, a theme or a variant, with its source line (1-based).
struct TOutlineItem {
    enum TLevel { Class, Theme, Variant } Level = Class;
    std::string Name; // UTF-8, as the selection list shows it
    int Line = 0;
};
std::vector<TOutlineItem> Outline(const std::string& variantText);

// A finding of the content check, with the source it belongs to.
struct TFinding {
    TSourceKind Source = TSourceKind::Variants;
    int Line = 0; // 0: the file as a whole
    std::string Text;
    bool Warning = false;
};
// What `zarvo-content check` says of the pair, errors first in line order.
std::vector<TFinding> Findings(const std::string& variantText, const std::string& rulesText);
bool HasErrors(const std::vector<TFinding>& findings);

// The check point whose brackets hold column `column` (0-based, in bytes of the UTF-8 line) of
// source line `line`, or the first check point of that line when the cursor stands outside all.
struct TPointAtCursor {
    int ExampleLine = 0;   // the sentence's source line
    std::size_t Index = 0; // which check point of the sentence, 0-based
    std::string Rule;      // its rule identifier, UTF-8; empty when it names none
};
std::optional<TPointAtCursor> PointAt(const std::string& variantText, int line, int column);

// The figures of the variant a source line belongs to: the variant's own line, sentences, check
// points by kind, the share of "@" among punctuation answers, and the minutes by the time model.
struct TVariantFigures {
    int Line = 0;
    std::string Name; // UTF-8
    int Sentences = 0, Punctuation = 0, Spelling = 0, NothingRight = 0;
    double Minutes = 0;
};
std::optional<TVariantFigures> FiguresAt(const std::string& variantText, int line);
// "10 sentences, 24 punctuation and 8 spelling points, "@" 33 %, about 12 minutes".
std::string FiguresText(const TVariantFigures& f);
