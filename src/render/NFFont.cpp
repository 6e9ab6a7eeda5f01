#include "render/NFFont.h"

#include "platform/DrawTarget.h"
#include "render/SymbolTable.h"

#include <algorithm>

namespace {

bool AllowedSize(std::uint16_t size) {
    return size == Size12x18 || size == Size16x24 || size == Size24x36 || size == Size32x48;
}

std::vector<std::vector<std::uint8_t>> BlankMask(int width, int height) {
    return std::vector<std::vector<std::uint8_t>>(
        static_cast<std::size_t>(height),
        std::vector<std::uint8_t>(static_cast<std::size_t>(width)));
}

} // namespace

TNFFont::TNFFont(std::uint16_t size) {
    if (!AllowedSize(size))
        throw EFontError("Trying to create a wrong-size font!");
    for (std::size_t i = 0; i < Symbols.size(); ++i) {
        TSymbol& s = Symbols[i];
        s.Code = SymbolTable[i];
        s.Width = static_cast<std::uint8_t>(SizeWidth(size));
        s.Height = static_cast<std::uint8_t>(SizeHeight(size));
        s.Mask = BlankMask(s.Width, s.Height);
    }
}

void TNFFont::ClearSymbols() {
    for (TSymbol& s : Symbols)
        s.Mask.clear();
}

TSymbol TNFFont::GetSymbol(int index) const {
    if (index < 1 || index > static_cast<int>(Symbols.size()))
        throw EFontError("Trying to get a non-existing symbol");
    return Symbols[static_cast<std::size_t>(index - 1)];
}

void TNFFont::SetSymbol(const TSymbol& symbol) {
    if (!IsSymbol(symbol.Code) || symbol.Width != Symbols[0].Width ||
        symbol.Height != Symbols[0].Height)
        throw EFontError("Trying to insert an incorrect symbol");
    TSymbol& slot = Symbols[static_cast<std::size_t>(SymbolIndex(symbol.Code) - 1)];
    // A slot emptied by ClearSymbols gets its cells back rather than being written past.
    if (slot.Mask.size() != slot.Height)
        slot.Mask = BlankMask(slot.Width, slot.Height);
    for (std::size_t r = 0; r < slot.Height; ++r) {
        const std::vector<std::uint8_t>* from = r < symbol.Mask.size() ? &symbol.Mask[r] : nullptr;
        std::vector<std::uint8_t>& to = slot.Mask[r];
        // Cells the given row does not reach are blank.
        const std::size_t given = from ? std::min<std::size_t>(from->size(), slot.Width) : 0;
        std::copy_n(from ? from->begin() : to.begin(), given, to.begin());
        std::fill(to.begin() + static_cast<std::ptrdiff_t>(given), to.end(), 0);
    }
}

void TNFFont::DrawText(const std::string& s, platform::TBitmap& bitmap, platform::TColor textColor,
                       int x, int y, bool highlight) const {
    const int w = Symbols[0].Width, h = Symbols[0].Height;
    const int bw = bitmap.Width(), bh = bitmap.Height();
    if (s.empty() || bitmap.Empty() || w == 0)
        return;
    // Rows of the cell that land on the bitmap, in 64 bits so that no position overflows.
    const long long top = y;
    const long long r0 = std::max(0LL, -top), r1 = std::min<long long>(h, bh - top);
    if (r0 >= r1)
        return;
    QImage& pixels = bitmap.Image();
    const QRgb ink = platform::ColorToRgb(textColor);
    const QRgb red = platform::ColorToRgb(platform::clRed);
    for (std::size_t p = 0; p < s.size(); ++p) {
        long long left = static_cast<long long>(x) + static_cast<long long>(p) * w;
        if (left >= bw)
            break;
        if (left + w <= 0)
            continue;
        const TSymbol& glyph = Symbols[static_cast<std::size_t>(SymbolIndex(s[p]) - 1)];
        if (glyph.Mask.size() != static_cast<std::size_t>(h))
            continue;
        const QRgb colour = highlight && s[p] == '_' ? red : ink;
        const int c0 = static_cast<int>(std::max(0LL, -left));
        const int c1 = static_cast<int>(std::min<long long>(w, bw - left));
        for (int r = static_cast<int>(r0); r < static_cast<int>(r1); ++r) {
            const std::uint8_t* cells = glyph.Mask[static_cast<std::size_t>(r)].data();
            // Indexed from the row's start: the cell's left edge may lie before it.
            QRgb* row = reinterpret_cast<QRgb*>(pixels.scanLine(y + r));
            for (int c = c0; c < c1; ++c)
                if (cells[c])
                    row[left + c] = colour;
        }
    }
}

void TNFFont::DrawText(const std::string& s, platform::TBitmap& bitmap, platform::TColor textColor,
                       platform::TColor backColor, int x, int y, bool fill, bool highlight) const {
    if (fill)
        bitmap.Fill(backColor);
    DrawText(s, bitmap, textColor, x, y, highlight);
}

void TNFFont::DrawText(const std::string& s, platform::IDrawTarget& image,
                       platform::TColor textColor, platform::TColor backColor, int x, int y,
                       bool fill, bool highlight) const {
    platform::TBitmap bitmap;
    if (!fill)
        bitmap = image.Picture();
    bitmap.SetSize(image.Width(), image.Height());
    DrawText(s, bitmap, textColor, backColor, x, y, fill, highlight);
    // One assignment, so the visible image changes once per call.
    image.SetPicture(std::move(bitmap));
}
