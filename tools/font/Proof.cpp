#include "Proof.h"

#include "platform/Text.h"

#include <algorithm>

namespace fonttool {

namespace {

constexpr int Margin = 16;
constexpr int GridColumns = 20; // 140 glyphs in 7 rows
constexpr int LineCells = 51;   // an exercise line
constexpr int Magnify = 3;

constexpr platform::TColor Paper = 0x00FFFFFF;
constexpr platform::TColor CellShade = 0x00E4E4E4;
constexpr platform::TColor Ink = 0x00000000;
constexpr platform::TColor Heading = 0x00802020;

// Sample lines in UTF-8: both Russian pangrams, Latin and digits, and the punctuation with the
// answer gaps the exercise screen highlights.
const char* const Samples[] = {
    "Съешь же ещё этих мягких французских булок, да",
    "ШЕФ ВЗЪЯРЁН ТЧК ЩИПЦЫ С ЭХОМ ГУДБАЙ ЖЮЛЬ; ЁЖИК!",
    "Quick brown fox jumps over the lazy dog: 0123456789",
    "Пр_рода (ж_вая) - не об_жай её_ \"Ура!\" А ты? _.",
};

const TNFFont* const* Sizes(const TFFont& fonts, const TNFFont* (&out)[4]) {
    out[0] = fonts.Font12x18();
    out[1] = fonts.Font16x24();
    out[2] = fonts.Font24x36();
    out[3] = fonts.Font32x48();
    return out;
}

int SectionHeight(const TNFFont& f, int headingHeight) {
    const int rows = (140 + GridColumns - 1) / GridColumns;
    return headingHeight + 6 + rows * f.CellHeight() + 8 +
           static_cast<int>(std::size(Samples)) * f.CellHeight() + 20;
}

// The 140 glyphs on alternately shaded cells, so that each cell's extent shows.
void DrawGrid(platform::TBitmap& sheet, const TNFFont& f, int left, int top) {
    const int w = f.CellWidth(), h = f.CellHeight();
    for (int slot = 1; slot <= 140; ++slot) {
        const int col = (slot - 1) % GridColumns, row = (slot - 1) / GridColumns;
        const int x = left + col * w, y = top + row * h;
        sheet.FillRect(x, y, x + w, y + h, (col + row) % 2 ? CellShade : Paper);
        f.DrawText(std::string(1, f.GetSymbol(slot).Code), sheet, Ink, x, y, false);
    }
}

} // namespace

platform::TBitmap DrawProof(const TFFont& fonts) {
    const TNFFont* sizes[4];
    Sizes(fonts, sizes);
    const TNFFont& label = *sizes[0];
    const int headingHeight = label.CellHeight();

    int width = 0, height = Margin;
    for (const TNFFont* f : sizes) {
        width = std::max({width, GridColumns * f->CellWidth(), LineCells * f->CellWidth()});
        height += SectionHeight(*f, headingHeight);
    }
    const int gridRows = (140 + GridColumns - 1) / GridColumns;
    width = std::max(width, GridColumns * label.CellWidth() * Magnify);
    height += headingHeight + 6 + gridRows * label.CellHeight() * Magnify + Margin;
    width += 2 * Margin;

    platform::TBitmap sheet(width, height, Paper);
    int y = Margin;
    for (const TNFFont* f : sizes) {
        const std::string title =
            std::to_string(f->CellWidth()) + " x " + std::to_string(f->CellHeight());
        label.DrawText(title, sheet, Heading, Margin, y, false);
        y += headingHeight + 6;
        DrawGrid(sheet, *f, Margin, y);
        y += gridRows * f->CellHeight() + 8;
        // The exercise screen: white on navy, lines stacked at the cell height.
        const int bandHeight = static_cast<int>(std::size(Samples)) * f->CellHeight();
        sheet.FillRect(Margin, y, Margin + LineCells * f->CellWidth(), y + bandHeight,
                       platform::clNavy);
        for (const char* sample : Samples) {
            std::string line = platform::Utf8ToAnsi(sample);
            line.resize(std::min<std::size_t>(line.size(), LineCells));
            f->DrawText(line, sheet, platform::clWhite, Margin, y, true);
            y += f->CellHeight();
        }
        y += 20;
    }

    // The small font is the hardest to read: its pixels, magnified.
    label.DrawText(std::to_string(label.CellWidth()) + " x " + std::to_string(label.CellHeight()) +
                       ", magnified " + std::to_string(Magnify) + " times",
                   sheet, Heading, Margin, y, false);
    y += headingHeight + 6;
    platform::TBitmap small(GridColumns * label.CellWidth(), gridRows * label.CellHeight(), Paper);
    DrawGrid(small, label, 0, 0);
    for (int sy = 0; sy < small.Height(); ++sy)
        for (int sx = 0; sx < small.Width(); ++sx)
            sheet.FillRect(Margin + sx * Magnify, y + sy * Magnify, Margin + (sx + 1) * Magnify,
                           y + (sy + 1) * Magnify, small.GetPixel(sx, sy));
    return sheet;
}

} // namespace fonttool
