#pragma once
// Building the program's four bitmap fonts from installed fonts, and writing them as a font file.

#include "render/FFont.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fonttool {

// Where the Debian font packages put their files.
struct TSourceDirs {
    std::string Terminus = "/usr/share/fonts/X11/misc/";      // xfonts-terminus
    std::string DejaVu = "/usr/share/fonts/truetype/dejavu/"; // fonts-dejavu-core
};

// How one cell size is made: a font file, and either its bitmap strike multiplied by Scale
// (PixelSize 0) or its outlines rendered at PixelSize, or with FitCell at the largest pixel size
// at which every glyph fits the cell.
constexpr int FitCell = -1;
struct TSizeRecipe {
    std::uint16_t Size = 0;
    std::string FontFile;
    int PixelSize = 0;
    int Scale = 1;
};

// The recipes of the bundled Zarvo.fff, one per cell size.
std::vector<TSizeRecipe> BundledRecipes(const TSourceDirs& dirs);

// Problems that do not stop a build but that a person should see: ink cut off at the cell edge.
struct TBuildReport {
    std::vector<std::string> Warnings;
};

// Renders the 140 characters of the set into the font of the recipe's size. Every character but
// the space must have ink; raises ESourceError otherwise, or when the source font cannot be read.
void BuildFont(const TSizeRecipe& recipe, TNFFont& font, TBuildReport& report);
void BuildFonts(const std::vector<TSizeRecipe>& recipes, TFFont& fonts, TBuildReport& report);

// The font file: a header up to "%" and one byte, then for every size and slot a record of two
// separator bytes, the character, the width byte, the runs of the glyph column by column and
// "%%", and at the end "STOP". The byte 0x1A, which ends the reader's stream, never occurs.
std::string EncodeFontFile(const TFFont& fonts);
// The runs of one glyph (without the closing "%%").
std::string EncodeRuns(const TSymbol& symbol);

} // namespace fonttool
