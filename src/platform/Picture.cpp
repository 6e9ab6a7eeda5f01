#include "platform/Picture.h"

#include "platform/Files.h"
#include "platform/Text.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include <jpeglib.h>

namespace platform {

namespace {

// Pictures are at most screen-sized; this keeps a forged header from asking for gigabytes.
constexpr long long MaxPixels = 64LL * 1024 * 1024;

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Extension(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/");
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return Lower(path.substr(dot));
}

// --- JPEG ---------------------------------------------------------------------------------------
//
// libjpeg reports errors by calling error_exit, which by default ends the process. Ours jumps back
// to the frame that called setjmp. That frame holds only trivially destructible objects, so the
// jump skips no destructor; the C++ exception is raised by its caller once the frame has returned.

struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
    auto* err = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, err->Message);
    std::longjmp(err->Jump, 1);
}

// Warnings are what libjpeg says about damaged or cut-off data that it papers over with grey;
// such a file is refused instead.
void JpegEmitMessage(j_common_ptr info, int level) {
    if (level < 0)
        JpegErrorExit(info);
}

// Receives the image size from the decoder and gives it the pixel rows. It must not throw, since
// it runs inside the frame libjpeg may jump out of.
struct TJpegTarget {
    QImage Image;
    bool Allocate(int width, int height) noexcept {
        try {
            Image = QImage(width, height, QImage::Format_RGB32);
            return !Image.isNull();
        } catch (...) {
            return false;
        }
    }
};

// Returns true on success; on failure `message` holds libjpeg's text.
bool DecodeJpeg(const unsigned char* data, unsigned long size, TJpegTarget* target, char* message) {
    jpeg_decompress_struct info;
    TJpegError err;
    JSAMPLE* volatile row = nullptr;
    info.err = jpeg_std_error(&err.Manager);
    err.Manager.error_exit = JpegErrorExit;
    err.Manager.emit_message = JpegEmitMessage;
    err.Message[0] = 0;
    if (setjmp(err.Jump)) {
        std::strncpy(message, err.Message, JMSG_LENGTH_MAX - 1);
        message[JMSG_LENGTH_MAX - 1] = 0;
        jpeg_destroy_decompress(&info);
        std::free(row);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (static_cast<long long>(info.image_width) * info.image_height > MaxPixels) {
        std::snprintf(message, JMSG_LENGTH_MAX, "JPEG image too large (%ux%u)",
                      static_cast<unsigned>(info.image_width),
                      static_cast<unsigned>(info.image_height));
        jpeg_destroy_decompress(&info);
        return false;
    }
    bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    long long pixels = static_cast<long long>(info.output_width) * info.output_height;
    if (info.output_width == 0 || info.output_height == 0 || pixels > MaxPixels ||
        !target->Allocate(static_cast<int>(info.output_width),
                          static_cast<int>(info.output_height))) {
        std::snprintf(message, JMSG_LENGTH_MAX, "JPEG image cannot be held (%ux%u)",
                      static_cast<unsigned>(info.output_width),
                      static_cast<unsigned>(info.output_height));
        jpeg_destroy_decompress(&info);
        return false;
    }
    int components = info.output_components;
    row = static_cast<JSAMPLE*>(std::malloc(static_cast<std::size_t>(info.output_width) *
                                            static_cast<std::size_t>(components)));
    if (!row) {
        std::snprintf(message, JMSG_LENGTH_MAX, "out of memory");
        jpeg_destroy_decompress(&info);
        return false;
    }
    // Adobe writes CMYK inverted.
    bool inverted = cmyk && info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        unsigned y = info.output_scanline;
        JSAMPROW rows[1] = {static_cast<JSAMPROW>(row)};
        jpeg_read_scanlines(&info, rows, 1);
        QRgb* out = reinterpret_cast<QRgb*>(target->Image.scanLine(static_cast<int>(y)));
        for (unsigned x = 0; x < info.output_width; ++x) {
            const JSAMPLE* p =
                static_cast<const JSAMPLE*>(row) + x * static_cast<unsigned>(components);
            if (cmyk) {
                int c = p[0], m = p[1], ye = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    ye = 255 - ye;
                    k = 255 - k;
                }
                out[x] = qRgb(c * k / 255, m * k / 255, ye * k / 255);
            } else if (components == 1) {
                out[x] = qRgb(p[0], p[0], p[0]);
            } else {
                out[x] = qRgb(p[0], p[1], p[2]);
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::free(row);
    return true;
}

} // namespace

TBitmap LoadJpegData(const std::string& bytes) {
    TJpegTarget target;
    char message[JMSG_LENGTH_MAX] = {};
    if (!DecodeJpeg(reinterpret_cast<const unsigned char*>(bytes.data()),
                    static_cast<unsigned long>(bytes.size()), &target, message))
        throw EInvalidGraphic(std::string("JPEG error: ") + message);
    return TBitmap(target.Image);
}

TBitmap LoadJpegFile(const std::string& path) {
    return LoadJpegData(ReadFileBytes(path, MaxPictureFileSize));
}

namespace {

unsigned ReadU16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t ReadU32(const std::string& b, std::size_t at) {
    return ReadU16(b, at) | static_cast<std::uint32_t>(ReadU16(b, at + 2)) << 16;
}

// Qt's reader fills the rows missing from a cut-off uncompressed bitmap with black and reports
// success; such a file is refused instead, as a damaged JPEG is.
void CheckBitmapLength(const std::string& bytes) {
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        return; // Qt's reader gives the error
    const long long offset = ReadU32(bytes, 10);
    const std::uint32_t header = ReadU32(bytes, 14);
    long long width = 0, height = 0;
    unsigned bits = 0;
    std::uint32_t compression = 0;
    if (header == 12) {
        width = ReadU16(bytes, 18);
        height = ReadU16(bytes, 20);
        bits = ReadU16(bytes, 24);
    } else if (header >= 40 && bytes.size() >= 34) {
        width = static_cast<std::int32_t>(ReadU32(bytes, 18));
        height = static_cast<std::int32_t>(ReadU32(bytes, 22));
        bits = ReadU16(bytes, 28);
        compression = ReadU32(bytes, 30);
    } else {
        return;
    }
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed || width <= 0 || bits == 0 || bits > 32)
        return;
    // Width and height come from the file and reach 2^31 each: their product with the stride
    // does not fit in 64 bits, so the pixel bytes are compared by division instead.
    const unsigned long long stride = (static_cast<unsigned long long>(width) * bits + 31) / 32 * 4;
    const unsigned long long rows = static_cast<unsigned long long>(height < 0 ? -height : height);
    const unsigned long long size = bytes.size();
    const unsigned long long start = static_cast<unsigned long long>(offset);
    if (start > size || (rows != 0 && stride > (size - start) / rows))
        throw EInvalidGraphic("Bitmap image is not valid: the file ends inside its pixels");
}

// The bundled pictures are uncompressed 24-bit bitmaps, the intro among them at full screen
// size. Qt's reader takes them a pixel at a time and first looks through its image plugins,
// which kept the first screen waiting; their rows are copied directly instead. Anything else
// goes to Qt's reader.
struct TPlainBitmap {
    std::uint32_t Offset = 0; // of the first pixel row in the file
    int Width = 0;
    int Rows = 0;
    bool TopDown = false; // rows run from the bottom up unless the height is negative
    std::size_t Stride = 0;
    std::int32_t XPerMetre = 0, YPerMetre = 0;
};

constexpr std::size_t PlainHeaderBytes = 54;

// Reads the file and information headers of a plain 24-bit bitmap of `fileSize` bytes whose
// pixels are all there; false for any other kind.
bool ParsePlain24BitHeader(const std::string& header, std::uint64_t fileSize, TPlainBitmap& b) {
    if (header.size() < PlainHeaderBytes || header[0] != 'B' || header[1] != 'M')
        return false;
    const std::uint32_t offset = ReadU32(header, 10);
    const std::uint32_t infoSize = ReadU32(header, 14);
    const auto width = static_cast<std::int32_t>(ReadU32(header, 18));
    const auto height = static_cast<std::int32_t>(ReadU32(header, 22));
    if (infoSize < 40 || infoSize > 124 || ReadU16(header, 26) != 1 || ReadU16(header, 28) != 24 ||
        ReadU32(header, 30) != 0)
        return false;
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return false;
    const long long rows = height < 0 ? -static_cast<long long>(height) : height;
    if (static_cast<long long>(width) * rows > MaxPixels)
        return false;
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
    if (offset < 14 + infoSize || offset > fileSize ||
        stride * static_cast<std::uint64_t>(rows) > fileSize - offset)
        return false;
    b.Offset = offset;
    b.Width = width;
    b.Rows = static_cast<int>(rows);
    b.TopDown = height < 0;
    b.Stride = static_cast<std::size_t>(stride);
    b.XPerMetre = static_cast<std::int32_t>(ReadU32(header, 38));
    b.YPerMetre = static_cast<std::int32_t>(ReadU32(header, 42));
    return true;
}

// The picture row that the file's `fileRow`-th pixel row becomes.
int PictureRow(const TPlainBitmap& b, int fileRow) {
    return b.TopDown ? fileRow : b.Rows - 1 - fileRow;
}

void CopyRow(const unsigned char* in, QImage& image, int row, int width) {
    QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(row));
    for (int x = 0; x < width; ++x, in += 3)
        line[x] = qRgb(in[2], in[1], in[0]);
}

QImage NewPicture(const TPlainBitmap& b) {
    QImage image(b.Width, b.Rows, QImage::Format_RGB32);
    // Qt's reader keeps the resolution; so does this.
    image.setDotsPerMeterX(b.XPerMetre);
    image.setDotsPerMeterY(b.YPerMetre);
    return image;
}

bool DecodePlain24BitBitmap(const std::string& bytes, QImage& image) {
    TPlainBitmap b;
    if (!ParsePlain24BitHeader(bytes, bytes.size(), b))
        return false;
    QImage out = NewPicture(b);
    if (out.isNull())
        return false;
    const auto* pixels = reinterpret_cast<const unsigned char*>(bytes.data()) + b.Offset;
    for (int y = 0; y < b.Rows; ++y)
        CopyRow(pixels + b.Stride * static_cast<std::size_t>(y), out, PictureRow(b, y), b.Width);
    image = std::move(out);
    return true;
}

// Reads up to `n` bytes at `at`; false unless all of them came.
bool ReadAt(int fd, char* to, std::size_t n, std::uint64_t at) {
    while (n > 0) {
        const ssize_t got = ::pread(fd, to, n, static_cast<off_t>(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        to += got;
        n -= static_cast<std::size_t>(got);
        at += static_cast<std::uint64_t>(got);
    }
    return true;
}

struct TCloseOnExit {
    int Fd;
    ~TCloseOnExit() { ::close(Fd); }
};

// A plain 24-bit bitmap file read a band of rows at a time straight into the picture, without
// first holding the whole file: for the screen-sized intro that copy cost as much fresh memory
// again. False for anything but such a regular file read in full; the caller then reads the file
// whole, which also gives any error.
bool ReadPlain24BitBitmapFile(const std::string& path, QImage& image) {
    const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const TCloseOnExit closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > MaxPictureFileSize)
        return false;
    std::string header(PlainHeaderBytes, '\0');
    TPlainBitmap b;
    if (!ReadAt(fd, header.data(), header.size(), 0) ||
        !ParsePlain24BitHeader(header, static_cast<std::uint64_t>(st.st_size), b))
        return false;
    QImage out = NewPicture(b);
    if (out.isNull())
        return false;
    const int bandRows = std::max(1, static_cast<int>(256 * 1024 / b.Stride));
    std::string band(b.Stride * static_cast<std::size_t>(std::min(bandRows, b.Rows)), '\0');
    for (int first = 0; first < b.Rows; first += bandRows) {
        const int rows = std::min(bandRows, b.Rows - first);
        if (!ReadAt(fd, band.data(), b.Stride * static_cast<std::size_t>(rows),
                    b.Offset + b.Stride * static_cast<std::uint64_t>(first)))
            return false; // cut short since it was measured
        const auto* in = reinterpret_cast<const unsigned char*>(band.data());
        for (int y = 0; y < rows; ++y)
            CopyRow(in + b.Stride * static_cast<std::size_t>(y), out, PictureRow(b, first + y),
                    b.Width);
    }
    image = std::move(out);
    return true;
}

} // namespace

TBitmap LoadBitmapData(const std::string& bytes) {
    CheckBitmapLength(bytes);
    if (QImage plain; DecodePlain24BitBitmap(bytes, plain))
        return TBitmap(plain);
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    QSize size = reader.size();
    if (size.isValid() && static_cast<long long>(size.width()) * size.height() > MaxPixels)
        throw EInvalidGraphic("Bitmap image is not valid (too large)");
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw EInvalidGraphic("Bitmap image is not valid: " + ToAnsi(reader.errorString()));
    return TBitmap(image);
}

TBitmap LoadBitmapFile(const std::string& path) {
    if (QImage plain; ReadPlain24BitBitmapFile(path, plain))
        return TBitmap(plain);
    return LoadBitmapData(ReadFileBytes(path, MaxPictureFileSize));
}

TBitmap LoadPictureByExtension(const std::string& path) {
    std::string ext = Extension(path);
    if (ext == ".bmp" || ext == ".dib")
        return LoadBitmapFile(path);
    if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe" || ext == ".jfif")
        return LoadJpegFile(path);
    throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
}

TBitmap LoadPicture(const std::string& path) {
    try {
        return LoadPictureByExtension(path);
    } catch (const Exception&) {
        return LoadJpegFile(path);
    }
}

} // namespace platform
