#pragma once
// Pictures of what a pupil will see, drawn by the trainer's own drawing code with the bundled
// font: each example of a variant as it first appears (a "_" at every check point, the pencil
// over the first), and each rule the variant names as the rule window shows it.

#include "Source.h"
#include "platform/Bitmap.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

struct TPreviewScreen {
    int Width = 1024;
    int Height = 768;
};

// "1024x768"; false for anything else or a screen smaller than the trainer runs on.
bool ParsePreviewScreen(const std::string& text, TPreviewScreen& screen);

class TFFont;

// Draws examples and rules as the trainer does, with one font read once: the content tool writes
// its pictures with it and the exercise editor shows them live.
class TPreviewRenderer {
public:
    // Throws std::runtime_error with a message for the teacher when the font cannot be read.
    TPreviewRenderer(const std::string& fontFile, const TPreviewScreen& screen);
    ~TPreviewRenderer();
    TPreviewRenderer(const TPreviewRenderer&) = delete;
    TPreviewRenderer& operator=(const TPreviewRenderer&) = delete;

    // The example as a pupil sees it with the pencil over check point `current` (0-based; the
    // points before it already answered, as the exercise screen shows them then).
    platform::TBitmap Example(const TExample& example, std::size_t current = 0) const;
    // The rule window's page of the rule `id`; an unknown rule is drawn as the trainer draws it.
    platform::TBitmap Rule(const std::string& id, const std::vector<TRuleRecord>& rules) const;
    const TPreviewScreen& Screen() const { return Size; }

private:
    TPreviewScreen Size;
    std::unique_ptr<TFFont> Fonts;
    platform::TBitmap PencilPicture;
};

// Writes example-NN.png for every example of the variant and rule-ID.png for every rule it
// names into `outDir`, which is created; returns the files written. Unknown rules are drawn as the
// trainer draws them: one line saying that the rule is missing. Throws std::runtime_error with a
// message for the teacher when the font cannot be read or a picture cannot be written.
std::vector<std::string> PreviewVariant(const TVariant& variant,
                                        const std::vector<TRuleRecord>& rules,
                                        const std::string& fontFile, const TPreviewScreen& screen,
                                        const std::string& outDir);
// One rule, as rule-ID.png.
std::string PreviewRule(const std::string& id, const std::vector<TRuleRecord>& rules,
                        const std::string& fontFile, const TPreviewScreen& screen,
                        const std::string& outDir);
