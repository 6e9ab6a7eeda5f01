#pragma once
// One fixed-pitch bitmap font: the 140 glyphs of the character set in one cell size.

#include "platform/Bitmap.h"
#include "platform/Exception.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class IDrawTarget;
}

// A font built with a wrong size, a slot that does not exist, a glyph that does not fit its font.
class EFontError : public Exception {
public:
    using Exception::Exception;
};

// A glyph of a size no font has, or whose runs overrun its cells.
class ESymbolError : public Exception {
public:
    using Exception::Exception;
};

// A packed cell size: low byte the width, high byte the height.
constexpr std::uint16_t PackedSize(int width, int height) {
    return static_cast<std::uint16_t>((height << 8) | width);
}
constexpr int SizeWidth(std::uint16_t size) {
    return size & 0xFF;
}
constexpr int SizeHeight(std::uint16_t size) {
    return size >> 8;
}

constexpr std::uint16_t Size12x18 = PackedSize(12, 18);
constexpr std::uint16_t Size16x24 = PackedSize(16, 24);
constexpr std::uint16_t Size24x36 = PackedSize(24, 36);
constexpr std::uint16_t Size32x48 = PackedSize(32, 48);

// One glyph. Mask[row][column], row 0 at the top; non-zero is ink.
struct TSymbol {
    char Code = ' ';
    std::uint8_t Width = 0;
    std::uint8_t Height = 0;
    std::vector<std::vector<std::uint8_t>> Mask;
};

class TNFFont {
public:
    // Raises EFontError unless the size is 12x18, 16x24, 24x36 or 32x48.
    explicit TNFFont(std::uint16_t size);

    // Every mask becomes empty.
    void ClearSymbols();
    // A copy of the glyph in slot 1..140; EFontError for any other slot.
    TSymbol GetSymbol(int index) const;
    // Stores a glyph into the slot of its character; EFontError when the character is not in the
    // set or the glyph's size is not the font's.
    void SetSymbol(const TSymbol& symbol);

    // Draws S with the first cell's top-left corner at (x, y) of the bitmap, which keeps its
    // size; pixels off it are dropped. Fill first fills the whole bitmap with the background;
    // without it the text is drawn over what is there and blank cells leave it alone. Highlight
    // draws every "_" in red.
    void DrawText(const std::string& s, platform::TBitmap& bitmap, platform::TColor textColor,
                  platform::TColor backColor, int x, int y, bool fill, bool highlight) const;
    // The same without fill.
    void DrawText(const std::string& s, platform::TBitmap& bitmap, platform::TColor textColor,
                  int x, int y, bool highlight) const;
    // The same into the image's picture, first made the size of the control; the picture is
    // replaced in one assignment.
    void DrawText(const std::string& s, platform::IDrawTarget& image, platform::TColor textColor,
                  platform::TColor backColor, int x, int y, bool fill, bool highlight) const;

    // The packed cell size, taken from slot 1 as every drawing operation does.
    std::uint16_t Size() const { return PackedSize(Symbols[0].Width, Symbols[0].Height); }
    int CellWidth() const { return Symbols[0].Width; }
    int CellHeight() const { return Symbols[0].Height; }

private:
    std::array<TSymbol, 140> Symbols;
};
