#include "Catalogue.h"
#include "Faces.h"
#include "ImageFiles.h"
#include "Pictures.h"

#include "platform/PaperEdges.h"
#include "platform/Picture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace art;

namespace {

const std::vector<TArtPiece>& Pieces() {
    static const std::vector<TArtPiece> pieces = Catalogue();
    return pieces;
}

const TArtPiece& Piece(const QString& folder, const QString& name) {
    for (const TArtPiece& p : Pieces())
        if (p.Folder == folder && p.FileName == name)
            return p;
    throw std::runtime_error("no piece " + (folder + "/" + name).toStdString());
}

std::string Bytes(const QByteArray& b) {
    return b.toStdString();
}

double MeanLuminance(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    return sum / (image.width() * image.height());
}

} // namespace

TEST(ArtCatalogue, BothFoldersHoldEveryPictureAndFaceInItsFormatAndSize) {
    const std::map<QString, std::pair<TFormat, QSize>> fixed = {
        {"arrow.fpf", {TFormat::Bmp, {362, 41}}},  {"praise.fpf", {TFormat::Jpeg, PraiseSize}},
        {"right.fpf", {TFormat::Jpeg, RightSize}}, {"slip.fpf", {TFormat::Jpeg, SlipSize}},
        {"exit.fpf", {TFormat::Bmp, {320, 120}}},  {"frame.fpf", {TFormat::Bmp, {340, 82}}},
        {"pointer.fpf", {TFormat::Bmp, {23, 32}}},
    };
    const QSize screens[] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (const QString folder : {"RFPF", "EFPF"}) {
        std::map<QString, const TArtPiece*> files;
        for (const TArtPiece& p : Pieces()) {
            if (p.Folder == folder) {
                EXPECT_TRUE(files.emplace(p.FileName, &p).second) << p.FileName.toStdString();
            }
        }
        std::set<QString> expected;
        for (int n = 1; n <= 4; ++n) {
            const QString d = QString::number(n);
            const QSize screen = screens[n - 1];
            for (const auto& [stem, format, size] :
                 {std::tuple{"intro", TFormat::Bmp, screen},
                  {"lay", TFormat::Bmp, screen},
                  {"res", TFormat::Bmp, screen},
                  {"button", TFormat::Jpeg, QSize(screen.width(), ButtonPanelHeight)}}) {
                const QString name = stem + d + ".fpf";
                expected.insert(name);
                ASSERT_TRUE(files.count(name)) << name.toStdString();
                EXPECT_EQ(files[name]->Format, format) << name.toStdString();
                EXPECT_EQ(files[name]->Size, size) << name.toStdString();
            }
        }
        for (const auto& [name, kind] : fixed) {
            expected.insert(name);
            ASSERT_TRUE(files.count(name)) << name.toStdString();
            EXPECT_EQ(files[name]->Format, kind.first) << name.toStdString();
            EXPECT_EQ(files[name]->Size, kind.second) << name.toStdString();
        }
        // Button faces, released (0) and pressed (1).
        std::vector<int> numbers;
        for (auto [first, last] : {std::pair{1, 6}, {8, 39}, {41, 83}, {168, 168}, {184, 184}})
            for (int n = first; n <= last; ++n)
                numbers.push_back(n);
        EXPECT_EQ(ButtonNumbers(), numbers);
        for (int n : numbers)
            for (int state : {0, 1}) {
                const QString name =
                    QStringLiteral("%1%2.fbf").arg(state).arg(n, 3, 10, QChar('0'));
                expected.insert(name);
                ASSERT_TRUE(files.count(name)) << name.toStdString();
                EXPECT_EQ(files[name]->Format, TFormat::Bmp);
                const QSize size = n >= 77 && n <= 79   ? QSize(220, 40)
                                   : n >= 80 && n <= 82 ? QSize(130, 40)
                                                        : QSize(70, 94);
                EXPECT_EQ(files[name]->Size, size) << name.toStdString();
            }
        EXPECT_EQ(files.size(), expected.size());
    }
}

TEST(ArtCatalogue, FaceCharactersMatchTheButtonNumbers) {
    EXPECT_EQ(ButtonCharacter(1), QString::fromUtf8("а"));
    EXPECT_EQ(ButtonCharacter(6), QString::fromUtf8("е"));
    EXPECT_EQ(ButtonCharacter(8), QString::fromUtf8("ж"));
    EXPECT_EQ(ButtonCharacter(33), QString::fromUtf8("я"));
    EXPECT_EQ(ButtonCharacter(34), QString::fromUtf8("А"));
    EXPECT_EQ(ButtonCharacter(39), QString::fromUtf8("Е"));
    EXPECT_EQ(ButtonCharacter(41), QString::fromUtf8("Ж"));
    EXPECT_EQ(ButtonCharacter(66), QString::fromUtf8("Я"));
    EXPECT_EQ(ButtonCharacter(168), QString::fromUtf8("Ё"));
    EXPECT_EQ(ButtonCharacter(184), QString::fromUtf8("ё"));
    EXPECT_EQ(ButtonCharacter(67), ",");
    EXPECT_EQ(ButtonCharacter(72), "?");
    EXPECT_EQ(ButtonCharacter(83), "\"");
    EXPECT_TRUE(ButtonCharacter(74).isEmpty());
    EXPECT_TRUE(ButtonCharacter(77).isEmpty());
    EXPECT_THROW(DrawButtonFace(7, false, WordingFor(TLanguage::Russian)), std::invalid_argument);
    EXPECT_THROW(DrawButtonFace(84, false, WordingFor(TLanguage::Russian)), std::invalid_argument);
}

// Every file is read back the way its screen reads it: BMP pictures and faces by the bitmap
// reader with detection off, JPEG pictures by libjpeg, and neither passes for the other kind.
TEST(ArtCatalogue, EveryFileReadsBackAsItsScreenReadsIt) {
    for (const TArtPiece& p : Pieces()) {
        const std::string name = (p.Folder + "/" + p.FileName).toStdString();
        const std::string bytes = Bytes(RenderPiece(p));
        platform::TBitmap b;
        if (p.Format == TFormat::Bmp) {
            ASSERT_NO_THROW(b = platform::LoadBitmapData(bytes)) << name;
            EXPECT_THROW(platform::LoadJpegData(bytes), platform::EInvalidGraphic) << name;
        } else {
            ASSERT_NO_THROW(b = platform::LoadJpegData(bytes)) << name;
            EXPECT_THROW(platform::LoadBitmapData(bytes), platform::EInvalidGraphic) << name;
        }
        EXPECT_EQ(b.Width(), p.Size.width()) << name;
        EXPECT_EQ(b.Height(), p.Size.height()) << name;
    }
}

TEST(ArtCatalogue, OutputIsTheSameOnEveryRun) {
    // Drawn in the opposite order, every file comes out byte for byte the same: nothing that
    // was drawn before (font caches among it) may change a picture.
    const std::vector<TArtPiece>& pieces = Pieces();
    std::vector<QByteArray> backwards(pieces.size());
    for (std::size_t i = pieces.size(); i-- > 0;)
        backwards[i] = RenderPiece(pieces[i]);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        EXPECT_EQ(RenderPiece(pieces[i]), backwards[i])
            << (pieces[i].Folder + "/" + pieces[i].FileName).toStdString();
    // The two languages differ where there are words, and only there.
    EXPECT_NE(RenderPiece(Piece("RFPF", "intro1.fpf")), RenderPiece(Piece("EFPF", "intro1.fpf")));
    EXPECT_NE(RenderPiece(Piece("RFPF", "0077.fbf")), RenderPiece(Piece("EFPF", "0077.fbf")));
    EXPECT_EQ(RenderPiece(Piece("RFPF", "0001.fbf")), RenderPiece(Piece("EFPF", "0001.fbf")));
}

TEST(ArtCatalogue, PressedFacesAreDarkerAndDifferent) {
    const TWording& w = WordingFor(TLanguage::Russian);
    for (int n : ButtonNumbers()) {
        const QImage up = DrawButtonFace(n, false, w);
        const QImage down = DrawButtonFace(n, true, w);
        EXPECT_NE(up, down) << n;
        EXPECT_LT(MeanLuminance(down), MeanLuminance(up) - 3) << n;
    }
}

// The arrow and the button panel are shown transparent: their bottom-left colour is left out.
// It must be the screen's navy, and the arrow's own drawing must not contain it.
TEST(ArtCatalogue, TransparentPicturesKeyOnNavyOnly) {
    for (const QString folder : {"RFPF", "EFPF"}) {
        const platform::TBitmap arrow =
            platform::LoadBitmapData(Bytes(RenderPiece(Piece(folder, "arrow.fpf"))));
        const platform::TColor key = arrow.GetPixel(0, arrow.Height() - 1);
        EXPECT_EQ(key, platform::clNavy);
        int inside = 0;
        for (int y = 8; y < arrow.Height() - 8; ++y)
            for (int x = 40; x < arrow.Width() - 8; ++x)
                inside += arrow.GetPixel(x, y) == key;
        EXPECT_EQ(inside, 0) << folder.toStdString();

        const platform::TBitmap panel =
            platform::LoadJpegData(Bytes(RenderPiece(Piece(folder, "button1.fpf"))));
        const QColor corner(panel.Image().pixel(0, panel.Height() - 1));
        EXPECT_NEAR(corner.red(), 0, 6);
        EXPECT_NEAR(corner.green(), 0, 6);
        EXPECT_NEAR(corner.blue(), 128, 6);
    }
}

// The pointer is left out where it is white: its edge is white around the pencil, which has no
// pale fringe, and its point reaches the bottom-left corner where the trainer aims it.
TEST(ArtCatalogue, PointerIsAPencilOnWhite) {
    const platform::TBitmap pointer =
        platform::LoadBitmapData(Bytes(RenderPiece(Piece("RFPF", "pointer.fpf"))));
    int ink = 0, pale = 0;
    for (int y = 0; y < pointer.Height(); ++y)
        for (int x = 0; x < pointer.Width(); ++x) {
            const QColor c(pointer.Image().pixel(x, y));
            if (pointer.GetPixel(x, y) == platform::clWhite)
                continue;
            ++ink;
            pale += c.lightness() > 235;
        }
    EXPECT_GT(ink, 100);
    EXPECT_EQ(pale, 0);
    EXPECT_EQ(pointer.GetPixel(pointer.Width() - 1, pointer.Height() - 1), platform::clWhite);
    bool pointNearCorner = false;
    for (int y = 28; y < 32; ++y)
        for (int x = 0; x < 4; ++x)
            pointNearCorner |= pointer.GetPixel(x, y) != platform::clWhite;
    EXPECT_TRUE(pointNearCorner);
    const platform::TBitmap frame =
        platform::LoadBitmapData(Bytes(RenderPiece(Piece("RFPF", "frame.fpf"))));
    EXPECT_EQ(frame.GetPixel(0, frame.Height() - 1), platform::clNavy);
}

TEST(ArtCatalogue, WritingSkipsUnchangedFilesAndReportsFailures) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::vector<TArtPiece> some = {Piece("RFPF", "exit.fpf"), Piece("EFPF", "0068.fbf")};
    EXPECT_EQ(WritePieces(some, dir.path()), 2);
    QFile exit(dir.filePath("RFPF/exit.fpf"));
    ASSERT_TRUE(exit.open(QIODevice::ReadOnly));
    EXPECT_EQ(exit.readAll(), RenderPiece(some[0]));
    exit.close();
    EXPECT_EQ(WritePieces(some, dir.path()), 0);

    // A damaged file is replaced.
    ASSERT_TRUE(exit.open(QIODevice::WriteOnly | QIODevice::Truncate));
    exit.write("BM");
    exit.close();
    EXPECT_EQ(WritePieces(some, dir.path()), 1);

    // A folder that cannot be made: a file stands in its way.
    QFile blocker(dir.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(WritePieces(some, dir.filePath("blocked")), std::runtime_error);

    // A drawing of the wrong size is not written.
    TArtPiece wrong = some[0];
    wrong.Size = QSize(1, 1);
    EXPECT_THROW(RenderPiece(wrong), std::runtime_error);
}

TEST(ArtEncoding, BitmapRowsArePaddedAndBottomUp) {
    for (int width : {1, 2, 3, 5}) {
        QImage image(width, 3, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(0, 0, qRgb(255, 0, 0));
        image.setPixel(width - 1, 2, qRgb(0, 0, 255));
        const QByteArray bmp = EncodeBmp(image);
        EXPECT_EQ(bmp.size(), 54 + ((width * 3 + 3) & ~3) * 3);
        const platform::TBitmap b = platform::LoadBitmapData(Bytes(bmp));
        EXPECT_EQ(b.GetPixel(0, 0), platform::clRed) << width;
        EXPECT_EQ(b.GetPixel(width - 1, 2), 0x00FF0000u) << width;
        EXPECT_EQ(Decode(bmp, TFormat::Bmp), image.convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_TRUE(DecodeJpeg(QByteArray("\xFF\xD8\xFF", 3)).isNull());
    EXPECT_TRUE(Decode(EncodeJpeg(QImage(4, 4, QImage::Format_RGB32)), TFormat::Bmp).isNull());
}

// The build runs zarvo-art into the content directory; the trainer reads these very files.
TEST(ArtCatalogue, BuiltContentHoldsEveryPieceReadableByTheTrainer) {
    const QString content = QString::fromUtf8(ZARVO_CONTENT_BUILD_DIR);
    for (const TArtPiece& p : Pieces()) {
        const std::string path = QDir(content).filePath(p.Folder + "/" + p.FileName).toStdString();
        ASSERT_TRUE(QFile::exists(QString::fromStdString(path))) << path;
        platform::TBitmap b;
        if (p.Format == TFormat::Bmp)
            ASSERT_NO_THROW(b = platform::LoadBitmapFile(path)) << path;
        else // praise, right and slip: by extension first, then as JPEG data
            ASSERT_NO_THROW(b = platform::LoadPicture(path)) << path;
        EXPECT_EQ(QSize(b.Width(), b.Height()), p.Size) << path;
    }
}

TEST(ArtCatalogue, BackgroundsContinueTheirPaperOnWiderAndTallerScreens) {
    // The trainer fills the margins of a centred background by repeating each edge's pattern;
    // the paper's pitch must be what it finds at all four edges, or the margins would show
    // stripes instead of squares.
    for (const TArtPiece& p : Pieces()) {
        if (p.Folder != "RFPF" || !(p.FileName.startsWith("intro") ||
                                    p.FileName.startsWith("lay") || p.FileName.startsWith("res")))
            continue;
        SCOPED_TRACE(p.FileName.toStdString());
        const QImage picture = p.Draw();
        const int step = static_cast<int>(std::lround(16 * picture.height() / 480.0));
        for (platform::TEdge edge : {platform::TEdge::Left, platform::TEdge::Right,
                                     platform::TEdge::Top, platform::TEdge::Bottom})
            EXPECT_EQ(platform::EdgePeriod(picture, edge), step) << static_cast<int>(edge);
        // On a 16:9 screen of the same height nothing of the picture is lost.
        const QSize wide(picture.height() * 16 / 9, picture.height());
        const QImage extended = platform::ExtendedPicture(picture, wide);
        EXPECT_EQ(extended.copy((wide.width() - picture.width()) / 2, 0, picture.width(),
                                picture.height()),
                  picture.convertToFormat(QImage::Format_RGB32));
    }
}
