// deps: zarvo_render
// The font file reader on arbitrary bytes: it must end with a glyph set or an exception of its
// own, never read or write past its buffers or hang; whatever it stored must draw safely.

#include "render/FFont.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TFFont fonts(TFFont::TBlank{}, 1024);
    try {
        fonts.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Exception&) {
    }
    platform::TBitmap bitmap(40, 30, platform::clNavy);
    const std::string line = "Aa\xC0\xFF_\xA8@";
    for (const TNFFont* f :
         {fonts.Font12x18(), fonts.Font16x24(), fonts.Font24x36(), fonts.Font32x48()})
        f->DrawText(line, bitmap, platform::clWhite, -5, 3, true);
    return 0;
}
