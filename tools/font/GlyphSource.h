#pragma once
// Glyphs of an installed font read through FreeType: a bitmap strike (the PCF fonts) as it is,
// optionally pixel-multiplied, or an outline font rasterised in one colour at a pixel size.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace fonttool {

// A source font that cannot be opened or lacks what is asked of it.
class ESourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One rendered glyph: Rows x Width cells, 1 for ink, placed relative to the pen on the baseline.
struct TRaster {
    int Left = 0; // columns from the pen to the first column
    int Top = 0;  // rows from the baseline up to the first row
    int Width = 0;
    int Rows = 0;
    std::vector<std::uint8_t> Ink; // row by row
    bool At(int row, int column) const {
        return Ink[static_cast<std::size_t>(row * Width + column)] != 0;
    }
};

class TGlyphSource {
public:
    // pixelSize 0 takes the file's first bitmap strike; scale multiplies every pixel of it.
    TGlyphSource(const std::string& path, int pixelSize, int scale);
    ~TGlyphSource();
    TGlyphSource(const TGlyphSource&) = delete;
    TGlyphSource& operator=(const TGlyphSource&) = delete;

    // The glyph of a Unicode character; ESourceError when the font has none.
    TRaster Render(char32_t ch) const;
    // The pen advance of the fixed-pitch font, in pixels after scaling.
    int Advance() const { return FAdvance; }
    bool IsOutline() const { return Outline; }
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
    void* Library = nullptr; // FT_Library
    void* Face = nullptr;    // FT_Face
    int Scale = 1;
    int FAdvance = 0;
    bool Outline = false;
};

} // namespace fonttool
