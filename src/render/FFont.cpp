#include "render/FFont.h"

#include "app/Globals.h"
#include "config/Config.h"
#include "platform/DrawTarget.h"
#include "platform/Files.h"
#include "platform/Screen.h"

#include <algorithm>

namespace {

// The byte that ends a character stream, as the file reader of the old run-time library had it.
constexpr char EndOfFileByte = '\x1A';

// Font file bytes as the reader sees them: the stream ends at the physical end or in front of
// the first end-of-file byte.
class TFontStream {
public:
    explicit TFontStream(const std::string& bytes)
        : Bytes(bytes), End(std::min(bytes.size(), bytes.find(EndOfFileByte))) {}

    bool Eof() const { return Pos >= End; }
    // The next byte; a file that ends here is cut short.
    unsigned char Next() {
        if (Eof())
            throw EFontFileError("The font file ends too early!");
        return static_cast<unsigned char>(Bytes[Pos++]);
    }
    // Whether the next two bytes are a and b, without taking them (false past the end).
    bool NextTwoAre(char a, char b) const {
        return Pos + 1 < End && Bytes[Pos] == a && Bytes[Pos + 1] == b;
    }

private:
    const std::string& Bytes;
    std::size_t End;
    std::size_t Pos = 0;
};

std::uint16_t SizeOfWidthByte(unsigned char width) {
    switch (width) {
    case 12:
        return Size12x18;
    case 16:
        return Size16x24;
    case 24:
        return Size24x36;
    case 32:
        return Size32x48;
    default:
        return 0;
    }
}

} // namespace

TFFont::TFFont(const std::string& fontFile) {
    F12x18 = std::make_unique<TNFFont>(Size12x18);
    F16x24 = std::make_unique<TNFFont>(Size16x24);
    F24x36 = std::make_unique<TNFFont>(Size24x36);
    F32x48 = std::make_unique<TNFFont>(Size32x48);
    LoadFont(fontFile);
    ChooseFonts(platform::GetScreenMetrics().Width);
}

TFFont::TFFont(TBlank, int screenWidth) {
    F12x18 = std::make_unique<TNFFont>(Size12x18);
    F16x24 = std::make_unique<TNFFont>(Size16x24);
    F24x36 = std::make_unique<TNFFont>(Size24x36);
    F32x48 = std::make_unique<TNFFont>(Size32x48);
    ChooseFonts(screenWidth);
}

void TFFont::WriteColorText(const std::string& s, platform::TBitmap& bitmap,
                            platform::TColor textColor, platform::TColor backColor, int x, int y,
                            bool large, bool fill, bool highlight) const {
    (large ? Large : Small)->DrawText(s, bitmap, textColor, backColor, x, y, fill, highlight);
}

void TFFont::WriteText(const std::string& s, platform::TBitmap& bitmap, int x, int y, bool large,
                       bool fill, bool highlight) const {
    WriteColorText(s, bitmap, platform::clWhite, platform::clNavy, x, y, large, fill, highlight);
}

void TFFont::WriteColorText(const std::string& s, platform::IDrawTarget& image,
                            platform::TColor textColor, platform::TColor backColor, int x, int y,
                            bool large, bool fill, bool highlight) const {
    (large ? Large : Small)->DrawText(s, image, textColor, backColor, x, y, fill, highlight);
}

void TFFont::WriteText(const std::string& s, platform::IDrawTarget& image, int x, int y, bool large,
                       bool fill, bool highlight) const {
    WriteColorText(s, image, platform::clWhite, platform::clNavy, x, y, large, fill, highlight);
}

TNFFont* TFFont::FontOfSize(std::uint16_t size) {
    switch (size) {
    case Size12x18:
        return F12x18.get();
    case Size16x24:
        return F16x24.get();
    case Size24x36:
        return F24x36.get();
    case Size32x48:
        return F32x48.get();
    default:
        return nullptr;
    }
}

std::pair<std::uint16_t, std::uint16_t> TFFont::SizesForScreenWidth(int width) {
    if (width < 612)
        return {Size12x18, Size12x18};
    if (width < 816)
        return {Size16x24, Size12x18};
    if (width < 1092)
        return {Size24x36, Size12x18};
    if (width < 1224)
        return {Size24x36, Size16x24};
    if (width < 1456)
        return {Size32x48, Size16x24};
    return {Size32x48, Size24x36};
}

void TFFont::ChooseFonts(int screenWidth) {
    const auto [large, small] = SizesForScreenWidth(screenWidth);
    Large = FontOfSize(large);
    Small = FontOfSize(small);
}

void TFFont::InsertSymbol(const TSymbol& symbol) {
    TNFFont* font = FontOfSize(PackedSize(symbol.Width, symbol.Height));
    if (!font)
        throw ESymbolError("Trying to insert an incorrect symbol!");
    try {
        font->SetSymbol(symbol);
    } catch (const std::exception&) {
        throw ESymbolError("Trying to insert an incorrect symbol!");
    }
}

void TFFont::LoadFromBytes(const std::string& bytes) {
    TFontStream in(bytes);
    // Header: everything up to the first '%' and one byte more.
    while (in.Next() != '%') {
    }
    in.Next();

    TSymbol work;
    work.Mask.assign(48, std::vector<std::uint8_t>(32, 0));
    while (!in.Eof()) {
        const unsigned char sep1 = in.Next();
        const unsigned char sep2 = in.Next();
        const unsigned char code = in.Next();
        const unsigned char widthByte = in.Next();
        if (sep1 == 'S' && sep2 == 'T' && code == 'O' && widthByte == 'P')
            return;
        const std::uint16_t size = SizeOfWidthByte(widthByte);
        if (size == 0)
            throw EFontFileError("Unknown glyph size in the font file!");
        work.Code = static_cast<char>(code);
        work.Width = static_cast<std::uint8_t>(SizeWidth(size));
        work.Height = static_cast<std::uint8_t>(SizeHeight(size));
        // Cells the runs do not reach stay blank rather than showing the previous glyph.
        for (auto& row : work.Mask)
            std::fill(row.begin(), row.end(), 0);

        // The runs go down the columns: cell number = column * height + row.
        const int cells = work.Width * work.Height;
        int cell = 0;
        std::size_t row = 0, column = 0;
        while (!in.NextTwoAre('%', '%')) {
            const unsigned char value = in.Next();
            const unsigned char count = in.Next();
            const int n = count >= 31 ? count - 31 : 0;
            if (cell + n > cells)
                throw ESymbolError("Out of Symbol.Mask!");
            const std::uint8_t ink = value == 1 ? 1 : 0;
            for (int i = 0; i < n; ++i, ++cell) {
                work.Mask[row][column] = ink;
                if (++row == work.Height) {
                    row = 0;
                    ++column;
                }
            }
        }
        in.Next();
        in.Next();
        // The font's slot takes the glyph's width and height out of the larger work mask, so
        // no copy of its own is made: start-up loads every glyph of four sizes.
        InsertSymbol(work);
    }
}

void TFFont::LoadFont(const std::string& fontFile) {
    std::string path = fontFile;
    if (path.empty())
        path = ContentDir + FontFileName;
    try {
        LoadFromBytes(platform::ReadFileBytes(path, platform::MaxFontFileSize));
    } catch (const std::exception& e) {
        Errors.push_back({platform::TReadError::TKind::FileUnreadable, path, 0, e.what()});
    }
}
