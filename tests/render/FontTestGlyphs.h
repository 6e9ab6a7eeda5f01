#pragma once
// Glyphs and font file bytes made up for the font tests.

#include "render/NFFont.h"

#include <string>

namespace fonttest {

// A pattern that differs from character to character, with ink and blank cells in every row.
inline bool PatternInk(char ch, int row, int column) {
    return (row + 2 * column + static_cast<unsigned char>(ch)) % 3 == 0;
}

inline TSymbol PatternGlyph(char ch, int width, int height) {
    TSymbol s;
    s.Code = ch;
    s.Width = static_cast<std::uint8_t>(width);
    s.Height = static_cast<std::uint8_t>(height);
    s.Mask.assign(static_cast<std::size_t>(height),
                  std::vector<std::uint8_t>(static_cast<std::size_t>(width)));
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            s.Mask[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
                PatternInk(ch, r, c) ? 1 : 0;
    return s;
}

// Font file pieces: runs are (value, cells) pairs, counts written as cells + 31.
inline std::string Cells(char value, int cells) {
    return std::string(1, value) + static_cast<char>(cells + 31);
}
inline std::string Record(char code, int widthByte, const std::string& runs) {
    return std::string("\r\n") + code + static_cast<char>(widthByte) + runs + "%%";
}
inline const std::string Header = "test font%\n";

} // namespace fonttest
