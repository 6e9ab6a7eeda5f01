#include "ImageFiles.h"

#include <QBuffer>
#include <QImageReader>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace art {

namespace {

void PutU16(QByteArray& out, unsigned v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void PutU32(QByteArray& out, quint32 v) {
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

struct TJpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

void JpegFail(j_common_ptr info) {
    auto* err = reinterpret_cast<TJpegError*>(info->err);
    std::longjmp(err->Jump, 1);
}

void JpegSilent(j_common_ptr, int) {}

// Kept free of non-trivial locals: the longjmp out of libjpeg skips destructors in this frame.
bool DecodeJpegInto(const unsigned char* data, unsigned long size, int* width, int* height,
                    std::vector<unsigned char>* rgb) {
    jpeg_decompress_struct info;
    TJpegError err;
    info.err = jpeg_std_error(&err.Manager);
    err.Manager.error_exit = JpegFail;
    err.Manager.emit_message = JpegSilent;
    if (setjmp(err.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *width = int(info.output_width);
    *height = int(info.output_height);
    rgb->resize(std::size_t(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb->data() + std::size_t(info.output_scanline) * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool EncodeJpegInto(const unsigned char* rgb, int width, int height, int quality,
                    unsigned char** out, unsigned long* outSize) {
    jpeg_compress_struct info;
    TJpegError err;
    info.err = jpeg_std_error(&err.Manager);
    err.Manager.error_exit = JpegFail;
    err.Manager.emit_message = JpegSilent;
    if (setjmp(err.Jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = FALSE;
    info.write_JFIF_header = TRUE;
    info.density_unit = 1;
    info.X_density = 96;
    info.Y_density = 96;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto row = const_cast<JSAMPROW>(rgb + std::size_t(info.next_scanline) * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

QByteArray EncodeBmp(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width();
    const int h = rgb.height();
    const int stride = (w * 3 + 3) & ~3;
    const quint32 pixelBytes = quint32(stride) * quint32(h);
    QByteArray out;
    out.reserve(int(54 + pixelBytes));
    out.append("BM", 2);
    PutU32(out, 54 + pixelBytes);
    PutU32(out, 0);
    PutU32(out, 54);
    PutU32(out, 40);
    PutU32(out, quint32(w));
    PutU32(out, quint32(h));
    PutU16(out, 1);
    PutU16(out, 24);
    PutU32(out, 0); // BI_RGB
    PutU32(out, pixelBytes);
    PutU32(out, 2835); // 72 dpi
    PutU32(out, 2835);
    PutU32(out, 0);
    PutU32(out, 0);
    QByteArray row(stride, '\0');
    for (int y = h - 1; y >= 0; --y) {
        const uchar* src = rgb.constScanLine(y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = char(src[3 * x + 2]);
            row[3 * x + 1] = char(src[3 * x + 1]);
            row[3 * x + 2] = char(src[3 * x]);
        }
        out.append(row);
    }
    return out;
}

QByteArray EncodeJpeg(const QImage& image, int quality) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<unsigned char> packed(std::size_t(rgb.width()) * rgb.height() * 3);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(packed.data() + std::size_t(y) * rgb.width() * 3, rgb.constScanLine(y),
                    std::size_t(rgb.width()) * 3);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok =
        EncodeJpegInto(packed.data(), rgb.width(), rgb.height(), quality, &buffer, &size);
    QByteArray out;
    if (ok)
        out = QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

QByteArray Encode(const QImage& image, TFormat format) {
    return format == TFormat::Bmp ? EncodeBmp(image) : EncodeJpeg(image);
}

QImage DecodeJpeg(const QByteArray& data) {
    int w = 0;
    int h = 0;
    std::vector<unsigned char> rgb;
    if (!DecodeJpegInto(reinterpret_cast<const unsigned char*>(data.constData()),
                        static_cast<unsigned long>(data.size()), &w, &h, &rgb))
        return {};
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        std::memcpy(image.scanLine(y), rgb.data() + std::size_t(y) * w * 3, std::size_t(w) * 3);
    return image;
}

QImage Decode(const QByteArray& data, TFormat format) {
    if (format == TFormat::Jpeg)
        return DecodeJpeg(data);
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace art
