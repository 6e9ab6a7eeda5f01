#pragma once
// Reading picture files into bitmaps. BMP goes through Qt's reader with the format forced, since
// with detection on Qt quietly decodes whatever the bytes are; JPEG goes through libjpeg, whose
// errors are turned into exceptions so that a damaged file never ends the program.

#include "platform/Bitmap.h"
#include "platform/Exception.h"

#include <string>

namespace platform {

// A file that is not a picture of the kind it is read as, or is damaged or cut short.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// Read as BMP whatever the extension. A file that cannot be opened raises EInOutError.
TBitmap LoadBitmapFile(const std::string& path);
TBitmap LoadBitmapData(const std::string& bytes);

// Read as JPEG (JFIF) whatever the extension.
TBitmap LoadJpegFile(const std::string& path);
TBitmap LoadJpegData(const std::string& bytes);

// Read as the kind the extension names (.bmp, .jpg, .jpeg, .jpe, .jfif); any other extension, the
// .fpf of our picture files among them, raises EInvalidGraphic.
TBitmap LoadPictureByExtension(const std::string& path);
// As the kind the extension names, and when that fails, as JPEG data.
TBitmap LoadPicture(const std::string& path);

} // namespace platform
