#include "FontBuild.h"

#include "GlyphSource.h"
#include "platform/Text.h"
#include "render/SymbolTable.h"

#include <algorithm>
#include <array>
#include <memory>

namespace fonttool {

namespace {

constexpr char InkByte = '\x01';
constexpr char BlankByte = '\x00';
// A count byte holds the cells plus 31, so one pair covers at most 224 cells.
constexpr int CountBias = 31;
constexpr int MaxRun = 0xFF - CountBias;

const char* const Header = "Zarvo bitmap font: 140 characters in cells of 12x18, 16x24, 24x36 "
                           "and 32x48 pixels, made by zarvo-font\r\n%\n";
const char* const Separator = "\r\n";
const char* const EndMarker = "STOP";

std::string SizeName(std::uint16_t size) {
    return std::to_string(SizeWidth(size)) + "x" + std::to_string(SizeHeight(size));
}

std::string Describe(char ch) {
    return platform::AnsiToUtf8(std::string(1, ch));
}

} // namespace

std::vector<TSizeRecipe> BundledRecipes(const TSourceDirs& dirs) {
    auto dir = [](std::string d) {
        if (!d.empty() && d.back() != '/')
            d += '/';
        return d;
    };
    const std::string ter = dir(dirs.Terminus), dejavu = dir(dirs.DejaVu);
    return {
        // The small cells from fonts drawn for the screen pixel by pixel; the large ones from
        // outlines, which pixel-multiplied bitmaps would only make blocky.
        {Size12x18, ter + "ter-u18b_unicode.pcf.gz", 0, 1},
        {Size16x24, ter + "ter-u24b_unicode.pcf.gz", 0, 1},
        {Size24x36, dejavu + "DejaVuSansMono-Bold.ttf", FitCell, 1},
        {Size32x48, dejavu + "DejaVuSansMono-Bold.ttf", FitCell, 1},
    };
}

namespace {

// The 140 glyphs of a source at one size, placed in cells of w x h; counts per glyph the ink
// pixels that fall outside the cell.
struct TRendered {
    std::array<TSymbol, 140> Symbols;
    std::array<int, 140> Lost{};
    int TotalLost = 0;
};

TRendered RenderSet(const TSizeRecipe& recipe, int pixelSize, int w, int h) {
    const TGlyphSource source(recipe.FontFile, pixelSize, recipe.Scale);
    std::array<TRaster, 140> rasters;
    int above = 0, below = 0;
    for (std::size_t i = 0; i < SymbolTable.size(); ++i) {
        rasters[i] = source.Render(platform::AnsiToChar(SymbolTable[i]));
        if (rasters[i].Rows > 0) {
            above = std::max(above, rasters[i].Top);
            below = std::max(below, rasters[i].Rows - rasters[i].Top);
        }
    }
    // One baseline and one pen position for the whole set, so that the text stands on a line and
    // keeps the source font's spacing; the ink of the set is centred in the cell.
    const int baseline = (h - (above + below)) / 2 + above;
    const int pen = (w - source.Advance()) / 2;

    TRendered out;
    for (std::size_t i = 0; i < SymbolTable.size(); ++i) {
        const TRaster& r = rasters[i];
        TSymbol& s = out.Symbols[i];
        s.Code = SymbolTable[i];
        s.Width = static_cast<std::uint8_t>(w);
        s.Height = static_cast<std::uint8_t>(h);
        s.Mask.assign(static_cast<std::size_t>(h),
                      std::vector<std::uint8_t>(static_cast<std::size_t>(w)));
        const bool ink = std::find(r.Ink.begin(), r.Ink.end(), 1) != r.Ink.end();
        for (int y = 0; y < r.Rows; ++y)
            for (int x = 0; x < r.Width; ++x) {
                if (!r.At(y, x))
                    continue;
                const int row = baseline - r.Top + y, col = pen + r.Left + x;
                if (row < 0 || row >= h || col < 0 || col >= w) {
                    ++out.Lost[i];
                    continue;
                }
                s.Mask[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = 1;
            }
        out.TotalLost += out.Lost[i];
        if (!ink && s.Code != ' ')
            throw ESourceError("the font " + recipe.FontFile + " gives no ink for \"" +
                               Describe(s.Code) + "\"");
    }
    return out;
}

} // namespace

void BuildFont(const TSizeRecipe& recipe, TNFFont& font, TBuildReport& report) {
    const int w = font.CellWidth(), h = font.CellHeight();
    if (font.Size() != recipe.Size)
        throw ESourceError("a recipe for " + SizeName(recipe.Size) + " given a font of " +
                           SizeName(font.Size()));
    TRendered set;
    if (recipe.PixelSize >= 0) {
        set = RenderSet(recipe, recipe.PixelSize, w, h);
    } else {
        // The largest size of the outlines at which no glyph loses ink at the cell's edges.
        for (int px = h; px > 0; --px) {
            set = RenderSet(recipe, px, w, h);
            if (set.TotalLost == 0)
                break;
        }
    }
    for (std::size_t i = 0; i < set.Symbols.size(); ++i) {
        if (set.Lost[i] > 0)
            report.Warnings.push_back(SizeName(recipe.Size) + ": \"" +
                                      Describe(set.Symbols[i].Code) + "\" loses " +
                                      std::to_string(set.Lost[i]) + " pixels at the cell edge");
        font.SetSymbol(set.Symbols[i]);
    }
}

void BuildFonts(const std::vector<TSizeRecipe>& recipes, TFFont& fonts, TBuildReport& report) {
    for (const TSizeRecipe& recipe : recipes) {
        TNFFont* font = fonts.FontOfSize(recipe.Size);
        if (!font)
            throw ESourceError("no font of the size " + SizeName(recipe.Size));
        BuildFont(recipe, *font, report);
    }
}

std::string EncodeRuns(const TSymbol& symbol) {
    std::string out;
    auto put = [&](bool ink, int cells) {
        while (cells > 0) {
            const int n = std::min(cells, MaxRun);
            out += ink ? InkByte : BlankByte;
            out += static_cast<char>(n + CountBias);
            cells -= n;
        }
    };
    bool current = false;
    int run = 0;
    for (int c = 0; c < symbol.Width; ++c)
        for (int r = 0; r < symbol.Height; ++r) {
            const auto row = static_cast<std::size_t>(r), col = static_cast<std::size_t>(c);
            // A mask shorter than the cell (a cleared slot) is blank where it has no cells.
            const bool ink = row < symbol.Mask.size() && col < symbol.Mask[row].size() &&
                             symbol.Mask[row][col] != 0;
            if (ink != current && run > 0) {
                put(current, run);
                run = 0;
            }
            current = ink;
            ++run;
        }
    put(current, run);
    return out;
}

std::string EncodeFontFile(const TFFont& fonts) {
    std::string out = Header;
    for (const TNFFont* font :
         {fonts.Font12x18(), fonts.Font16x24(), fonts.Font24x36(), fonts.Font32x48()}) {
        for (int slot = 1; slot <= 140; ++slot) {
            const TSymbol s = font->GetSymbol(slot);
            out += Separator;
            out += s.Code;
            out += static_cast<char>(s.Width);
            out += EncodeRuns(s);
            out += "%%";
        }
    }
    out += EndMarker;
    if (out.find('\x1A') != std::string::npos)
        throw ESourceError("the font file would hold the end-of-file byte");
    return out;
}

} // namespace fonttool
