#include "GlyphSource.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace fonttool {

namespace {

FT_Face AsFace(void* p) {
    return static_cast<FT_Face>(p);
}

} // namespace

TGlyphSource::TGlyphSource(const std::string& path, int pixelSize, int scale)
    : FPath(path), Scale(scale < 1 ? 1 : scale) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib))
        throw ESourceError("cannot start the FreeType library");
    Library = lib;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, path.c_str(), 0, &face)) {
        FT_Done_FreeType(lib);
        throw ESourceError("cannot open the font " + path);
    }
    Face = face;
    Outline = FT_IS_SCALABLE(face);
    FT_Error error = 0;
    if (pixelSize > 0 && Outline)
        error = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
    else if (face->num_fixed_sizes > 0)
        error = FT_Select_Size(face, 0);
    else
        error = 1;
    if (!error)
        error = FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    if (error) {
        FT_Done_Face(face);
        FT_Done_FreeType(lib);
        throw ESourceError("the font " + path + " has no usable size or no Unicode character map");
    }
    // A fixed-pitch font: the advance of "0" is every glyph's.
    if (FT_Load_Char(face, '0', FT_LOAD_DEFAULT)) {
        FT_Done_Face(face);
        FT_Done_FreeType(lib);
        throw ESourceError("the font " + path + " has no digit zero");
    }
    FAdvance = static_cast<int>((face->glyph->advance.x + 32) >> 6) * Scale;
}

TGlyphSource::~TGlyphSource() {
    FT_Done_Face(AsFace(Face));
    FT_Done_FreeType(static_cast<FT_Library>(Library));
}

TRaster TGlyphSource::Render(char32_t ch) const {
    FT_Face face = AsFace(Face);
    const FT_UInt index = FT_Get_Char_Index(face, ch);
    if (index == 0)
        throw ESourceError("the font " + FPath + " has no character U+" +
                           std::to_string(static_cast<unsigned long>(ch)));
    // Hinted one-colour rendering: the hinter keeps stems whole at small sizes.
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME))
        throw ESourceError("cannot render a glyph of " + FPath);
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    TRaster r;
    r.Left = slot->bitmap_left * Scale;
    r.Top = slot->bitmap_top * Scale;
    r.Width = static_cast<int>(bm.width) * Scale;
    r.Rows = static_cast<int>(bm.rows) * Scale;
    r.Ink.assign(static_cast<std::size_t>(r.Width * r.Rows), 0);
    for (unsigned y = 0; y < bm.rows; ++y) {
        const unsigned char* row = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
        for (unsigned x = 0; x < bm.width; ++x) {
            bool ink = false;
            if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                ink = (row[x >> 3] >> (7 - (x & 7))) & 1;
            else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                ink = row[x] >= 128;
            if (!ink)
                continue;
            for (int dy = 0; dy < Scale; ++dy)
                for (int dx = 0; dx < Scale; ++dx)
                    r.Ink[static_cast<std::size_t>((static_cast<int>(y) * Scale + dy) * r.Width +
                                                   static_cast<int>(x) * Scale + dx)] = 1;
        }
    }
    return r;
}

} // namespace fonttool
