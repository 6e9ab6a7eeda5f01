#pragma once

#include <QByteArray>
#include <QImage>

// Encoders for the two picture formats the trainer reads, written by hand so that every byte of
// the output is ours to decide (no time stamps, no encoder defaults that differ between builds).
namespace art {

enum class TFormat { Bmp, Jpeg };

// Uncompressed 24-bit Windows bitmap (BITMAPINFOHEADER, bottom-up rows).
QByteArray EncodeBmp(const QImage& image);

// Baseline JFIF through libjpeg: sequential, Huffman tables fixed, 4:2:0 sampling.
QByteArray EncodeJpeg(const QImage& image, int quality = 92);

QByteArray Encode(const QImage& image, TFormat format);

// Decodes JPEG data with libjpeg; a corrupt stream gives a null image instead of ending the
// process (libjpeg's default error handler calls exit()).
QImage DecodeJpeg(const QByteArray& data);

// Decodes data the way the trainer reads either format: BMP with format detection off, so a
// JPEG under a BMP name is never silently accepted.
QImage Decode(const QByteArray& data, TFormat format);

} // namespace art
