#pragma once
// The font manager: the four bitmap fonts read from the font file, the large and the small font
// chosen by the screen width, and the text drawing every screen uses.

#include "platform/ReadError.h"
#include "render/NFFont.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

class TFFont {
public:
    // Builds the four fonts, reads the font file (start-up passes Config's GetFontFile; empty:
    // the content directory's Zarvo.fff) and chooses the fonts by the screen width at this
    // moment. A font file that cannot be read, wholly or from a fault on, is a FileUnreadable
    // error in Errors; the glyphs read before the fault stay.
    explicit TFFont(const std::string& fontFile = {});
    // Blank fonts chosen for the given screen width; nothing is read (tools, tests, benchmarks).
    struct TBlank {};
    TFFont(TBlank, int screenWidth);
    TFFont(const TFFont&) = delete;
    TFFont& operator=(const TFFont&) = delete;

    // Text in the large or the small font, as TNFFont::DrawText draws it: into a bitmap as it
    // is, or into an image control's picture.
    void WriteColorText(const std::string& s, platform::TBitmap& bitmap, platform::TColor textColor,
                        platform::TColor backColor, int x, int y, bool large, bool fill,
                        bool highlight) const;
    void WriteColorText(const std::string& s, platform::IDrawTarget& image,
                        platform::TColor textColor, platform::TColor backColor, int x, int y,
                        bool large, bool fill, bool highlight) const;
    // White on navy.
    void WriteText(const std::string& s, platform::TBitmap& bitmap, int x, int y, bool large,
                   bool fill, bool highlight) const;
    void WriteText(const std::string& s, platform::IDrawTarget& image, int x, int y, bool large,
                   bool fill, bool highlight) const;

    std::uint16_t LargeSize() const { return Large->Size(); }
    std::uint16_t SmallSize() const { return Small->Size(); }
    const TNFFont* LargeFont() const { return Large; }
    const TNFFont* SmallFont() const { return Small; }
    const TNFFont* Font12x18() const { return F12x18.get(); }
    const TNFFont* Font16x24() const { return F16x24.get(); }
    const TNFFont* Font24x36() const { return F24x36.get(); }
    const TNFFont* Font32x48() const { return F32x48.get(); }
    TNFFont* FontOfSize(std::uint16_t size);

    // The large and the small cell size for a screen width: the large font is the largest of
    // which 51 cells fit across.
    static std::pair<std::uint16_t, std::uint16_t> SizesForScreenWidth(int width);

    // Decodes font file contents (the bytes up to the first 0x1A, which ends the stream) into the
    // fonts. Raises ESymbolError or EFontFileError at the first fault; the glyphs stored before it
    // stay.
    void LoadFromBytes(const std::string& bytes);

    // What reading the font file met; empty when it went well.
    platform::TReadErrors Errors;

private:
    void LoadFont(const std::string& fontFile);
    void InsertSymbol(const TSymbol& symbol);
    void ChooseFonts(int screenWidth);

    const TNFFont* Large = nullptr;
    const TNFFont* Small = nullptr;
    std::unique_ptr<TNFFont> F12x18;
    std::unique_ptr<TNFFont> F16x24;
    std::unique_ptr<TNFFont> F24x36;
    std::unique_ptr<TNFFont> F32x48;
};

// A font file that is cut short or holds a glyph of unknown size.
class EFontFileError : public Exception {
public:
    using Exception::Exception;
};
