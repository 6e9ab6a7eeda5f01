#include "platform/Picture.h"

#include "support/Sandbox.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// A small picture with distinct colours in its corners and an odd width, so row padding and
// the bottom-up order of BMP rows both matter.
QImage Sample() {
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(QColor(200, 200, 200));
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(6, 0, qRgb(0, 255, 0));
    image.setPixel(0, 4, qRgb(0, 0, 255));
    image.setPixel(6, 4, qRgb(10, 20, 30));
    return image;
}

std::string Encode(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes.toStdString();
}

QImage Flat(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void PutU32(std::string& s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

TEST(Picture, BitmapDataKeepsEveryPixel) {
    const TBitmap b = LoadBitmapData(Encode(Sample(), "bmp"));
    ASSERT_EQ(b.Width(), 7);
    ASSERT_EQ(b.Height(), 5);
    EXPECT_EQ(b.GetPixel(0, 0), clRed);
    EXPECT_EQ(b.GetPixel(6, 0), 0x0000FF00u);
    EXPECT_EQ(b.GetPixel(0, 4), 0x00FF0000u);
    EXPECT_EQ(b.GetPixel(6, 4), 0x001E140Au);
}

TEST(Picture, JpegDataDecodesColourAndGrey) {
    const TBitmap b = LoadJpegData(Encode(Flat(16, 8, QColor(0, 0, 128)), "jpeg", 95));
    ASSERT_EQ(b.Width(), 16);
    ASSERT_EQ(b.Height(), 8);
    const QColor c(b.Image().pixel(8, 4));
    EXPECT_NEAR(c.red(), 0, 4);
    EXPECT_NEAR(c.green(), 0, 4);
    EXPECT_NEAR(c.blue(), 128, 4);

    const TBitmap g = LoadJpegData(Encode(
        Flat(8, 8, QColor(90, 90, 90)).convertToFormat(QImage::Format_Grayscale8), "jpeg", 95));
    EXPECT_NEAR(QColor(g.Image().pixel(3, 3)).green(), 90, 3);
}

TEST(Picture, EachDecoderRefusesTheOtherKind) {
    const std::string bmp = Encode(Sample(), "bmp");
    const std::string jpeg = Encode(Flat(8, 8, Qt::white), "jpeg");
    // Qt would recognise the JPEG if it were allowed to look; the BMP reader must not.
    EXPECT_THROW(LoadBitmapData(jpeg), EInvalidGraphic);
    EXPECT_THROW(LoadJpegData(bmp), EInvalidGraphic);
    EXPECT_THROW(LoadBitmapData(Encode(Sample(), "png")), EInvalidGraphic);
}

TEST(Picture, DamagedFilesRaiseInsteadOfEndingTheProgram) {
    const std::string jpeg = Encode(Sample().scaled(64, 64), "jpeg");
    const std::string bmp = Encode(Sample(), "bmp");
    for (const std::string& bad :
         {std::string(), std::string("\xFF\xD8"), jpeg.substr(0, jpeg.size() / 2),
          jpeg.substr(0, 20), std::string(1000, '\0')})
        EXPECT_THROW(LoadJpegData(bad), EInvalidGraphic) << bad.size();
    for (const std::string& bad : {std::string(), std::string("BM"), bmp.substr(0, 40),
                                   bmp.substr(0, 54), bmp.substr(0, bmp.size() - 1)})
        EXPECT_THROW(LoadBitmapData(bad), EInvalidGraphic) << bad.size();

    // Scrambled entropy-coded data: libjpeg would paper over it; we refuse the file.
    std::string scrambled = jpeg;
    for (std::size_t i = scrambled.size() / 2; i < scrambled.size() - 2; i += 7)
        scrambled[i] = char(scrambled[i] ^ 0x5A);
    EXPECT_THROW(LoadJpegData(scrambled), EInvalidGraphic);
}

TEST(Picture, ForgedSizesAreRefusedBeforeAllocating) {
    std::string bmp = Encode(Sample(), "bmp");
    PutU32(bmp, 18, 100000); // width
    PutU32(bmp, 22, 100000); // height
    EXPECT_THROW(LoadBitmapData(bmp), EInvalidGraphic);

    // SOF0 of a JPEG: FF C0, length, precision, height (2 bytes), width (2 bytes).
    std::string jpeg = Encode(Flat(8, 8, Qt::white), "jpeg");
    const std::size_t sof = jpeg.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    jpeg[sof + 5] = char(0xFF);
    jpeg[sof + 6] = char(0xFF);
    jpeg[sof + 7] = char(0xFF);
    jpeg[sof + 8] = char(0xFF);
    EXPECT_THROW(LoadJpegData(jpeg), EInvalidGraphic);
}

TEST(Picture, HeadersNearTheIntegerLimitsAreRefusedByTheirLength) {
    // Width and height near 2^31: the pixel byte count overflowed the length check.
    for (const char* name : {"bmp_overflow_min.bmp", "bmp_overflow_fuzzed.bmp"}) {
        QFile file(QString(ZARVO_SOURCE_DIR "/fuzz/corpus/fuzz_bmp/") + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray data = file.readAll();
        try {
            LoadBitmapData(data.toStdString());
            ADD_FAILURE() << name << " was accepted";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(std::string(e.what()).find("ends inside its pixels"), std::string::npos)
                << name << ": " << e.what();
        }
    }
}

TEST(Picture, KindFollowsTheExtensionElseJpegData) {
    TSandbox box;
    const std::string bmp = Encode(Sample(), "bmp");
    const std::string jpeg = Encode(Flat(10, 6, Qt::white), "jpeg");
    const std::string bmpFile = box.Write("p/a.BMP", bmp);
    const std::string jpegFile = box.Write("p/b.jpg", jpeg);
    const std::string fpfJpeg = box.Write("p/praise.fpf", jpeg);
    const std::string fpfBmp = box.Write("p/exit.fpf", bmp);
    const std::string wrongName = box.Write("p/c.bmp", jpeg);
    const std::string dotInFolder = box.Write("p.d/noext", jpeg);

    EXPECT_EQ(LoadPictureByExtension(bmpFile).Width(), 7);
    EXPECT_EQ(LoadPictureByExtension(jpegFile).Width(), 10);
    EXPECT_THROW(LoadPictureByExtension(fpfJpeg), EInvalidGraphic);
    EXPECT_THROW(LoadPictureByExtension(dotInFolder), EInvalidGraphic);

    EXPECT_EQ(LoadPicture(fpfJpeg).Width(), 10);
    EXPECT_EQ(LoadPicture(wrongName).Width(), 10); // a JPEG under a BMP name
    EXPECT_EQ(LoadPicture(dotInFolder).Width(), 10);
    // Neither its own kind nor JPEG data: the JPEG decoder's error reaches the caller.
    EXPECT_THROW(LoadPicture(fpfBmp), EInvalidGraphic);
    EXPECT_EQ(LoadBitmapFile(fpfBmp).Height(), 5);
    EXPECT_THROW(LoadPicture(box.Root() + "p/missing.fpf"), EInOutError);
    EXPECT_THROW(LoadBitmapFile(box.Root() + "p/missing.bmp"), EInOutError);
}

namespace {

// What Qt's own reader makes of a bitmap, the reference for the direct copy of plain ones.
QImage ReadWithQt(const std::string& bytes) {
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImage image;
    QImageReader(&buffer, "bmp").read(&image);
    return image.convertToFormat(QImage::Format_RGB32);
}

// A 24-bit bitmap's rows turned top-down, as some programs write them (negative height).
std::string TopDown(const std::string& bmp, int width, int height) {
    const std::size_t offset = static_cast<unsigned char>(bmp[10]);
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    std::string out = bmp;
    for (int y = 0; y < height; ++y)
        out.replace(offset + stride * static_cast<std::size_t>(y), stride, bmp,
                    offset + stride * static_cast<std::size_t>(height - 1 - y), stride);
    PutU32(out, 22, static_cast<std::uint32_t>(-height));
    return out;
}

} // namespace

TEST(Picture, PlainBitmapsReadAsQtReadsThem) {
    TSandbox box;
    for (int width = 1; width <= 6; ++width) {
        QImage image(width, 3, QImage::Format_RGB32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, qRgb(40 * x + y, 255 - 30 * y, (x * 77 + y * 13) & 0xFF));
        const std::string bottomUp = Encode(image, "bmp");
        ASSERT_EQ(bottomUp[28], 24) << "the writer's bitmaps are the plain 24-bit kind";
        // Pixels placed after a gap (a colour table) start where the header says.
        std::string gap = bottomUp;
        gap.insert(54, 16, '\x55');
        PutU32(gap, 10, 54 + 16);
        PutU32(gap, 2, static_cast<std::uint32_t>(gap.size()));
        for (const std::string& bmp : {bottomUp, TopDown(bottomUp, width, 3), gap}) {
            const TBitmap b = LoadBitmapData(bmp);
            EXPECT_EQ(b.Image(), image) << width;
            EXPECT_EQ(b.Image(), ReadWithQt(bmp)) << width;
            EXPECT_EQ(LoadBitmapFile(box.Write("plain.bmp", bmp)).Image(), image) << width;
        }
    }
    // A file is read in bands of rows: one larger than a band, and one cut short inside its
    // pixels, which is refused as the whole file's reading refuses it.
    QImage large(301, 700, QImage::Format_RGB32);
    for (int y = 0; y < large.height(); ++y)
        for (int x = 0; x < large.width(); ++x)
            large.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
    const std::string largeBmp = Encode(large, "bmp");
    EXPECT_EQ(LoadBitmapFile(box.Write("large.bmp", largeBmp)).Image(), large);
    const std::string cut = box.Write("cut.bmp", largeBmp.substr(0, largeBmp.size() - 1000));
    try {
        LoadBitmapFile(cut);
        ADD_FAILURE() << "a cut-off file was accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("ends inside its pixels"), std::string::npos)
            << e.what();
    }

    // Other depths still go through Qt's reader.
    const std::string paletted =
        Encode(Sample().convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither), "bmp");
    ASSERT_LT(paletted[28], 24);
    EXPECT_EQ(LoadBitmapData(paletted).Image(), ReadWithQt(paletted));
}
