// deps: zarvo_platform
// The JPEG reader: any bytes give a bitmap or EInvalidGraphic; libjpeg never ends the process.

#include "platform/Picture.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const platform::TBitmap b =
            platform::LoadJpegData(std::string(reinterpret_cast<const char*>(data), size));
        if (!b.Empty())
            (void)b.GetPixel(b.Width() - 1, b.Height() - 1);
    } catch (const platform::EInvalidGraphic&) {
    }
    return 0;
}
