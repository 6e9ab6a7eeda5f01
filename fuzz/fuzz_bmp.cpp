// deps: zarvo_platform
// The BMP reader: any bytes give a bitmap or EInvalidGraphic, nothing else.

#include "platform/Picture.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const platform::TBitmap b =
            platform::LoadBitmapData(std::string(reinterpret_cast<const char*>(data), size));
        if (!b.Empty())
            (void)b.GetPixel(b.Width() - 1, b.Height() - 1);
    } catch (const platform::EInvalidGraphic&) {
    }
    return 0;
}
