#include "platform/PaperEdges.h"
#include "platform/Image.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace platform;

namespace {

const QRgb Paper = qRgb(252, 250, 240), Grid = qRgb(205, 222, 240), Margin = qRgb(230, 80, 80);

// Squared paper as the art tool draws it, over a whole surface: grid lines every `step` pixels
// from `phase`, and a red margin rule at `rule`.
QImage SquaredPaper(QSize size, int step, QPoint phase, int rule) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const bool line = (x - phase.x()) % step == 0 || (y - phase.y()) % step == 0;
            image.setPixel(x, y, x == rule ? Margin : line ? Grid : Paper);
        }
    return image;
}

} // namespace

TEST(PaperEdges, SquaredPaperGoesOnToTheScreensEdgeWithoutASeam) {
    // A 5:4 picture on a 16:9 screen: the margins must be the paper the picture would have been
    // had it been drawn for that screen, margin rule aside (it lies inside the picture).
    const QSize screen(480, 270), pictureSize(320, 256);
    const QPoint at((screen.width() - pictureSize.width()) / 2,
                    (screen.height() - pictureSize.height()) / 2);
    const int step = 11;
    const QImage whole = SquaredPaper(screen, step, at + QPoint(3, 5), at.x() + 40);
    const QImage picture = whole.copy(QRect(at, pictureSize));
    EXPECT_EQ(EdgePeriod(picture, TEdge::Left), step);
    EXPECT_EQ(EdgePeriod(picture, TEdge::Right), step);
    EXPECT_EQ(EdgePeriod(picture, TEdge::Top), step);
    EXPECT_EQ(EdgePeriod(picture, TEdge::Bottom), step);
    EXPECT_EQ(ExtendedPicture(picture, screen), whole);

    // Taller than wide (a rotated screen): the same paper above and below.
    const QSize tall(300, 400);
    const QPoint at2((tall.width() - pictureSize.width()) / 2,
                     (tall.height() - pictureSize.height()) / 2);
    const QImage extended = ExtendedPicture(picture, tall);
    ASSERT_EQ(extended.size(), tall);
    for (int y = 0; y < tall.height(); ++y)
        for (int x = 0; x < tall.width(); ++x) {
            const int px = x - at2.x() + at.x(), py = y - at2.y() + at.y();
            const bool line = (px - at.x() - 3) % step == 0 || (py - at.y() - 5) % step == 0;
            const QRgb want = px == at.x() + 40 ? Margin : line ? Grid : Paper;
            ASSERT_EQ(extended.pixel(x, y), want) << x << "," << y;
        }
}

TEST(PaperEdges, APictureWithoutARepeatStretchesItsEdgeLinesAndALargerOneIsCut) {
    // A gradient repeats nowhere: each margin pixel takes the nearest edge pixel.
    QImage gradient(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            gradient.setPixel(x, y, qRgb(x * 6, y * 8, 100));
    EXPECT_EQ(EdgePeriod(gradient, TEdge::Left), 1);
    const QImage out = ExtendedPicture(gradient, QSize(60, 50));
    EXPECT_EQ(out.pixel(0, 0), gradient.pixel(0, 0));
    EXPECT_EQ(out.pixel(59, 49), gradient.pixel(39, 29));
    EXPECT_EQ(out.pixel(5, 25), gradient.pixel(0, 15));
    EXPECT_EQ(out.pixel(30, 25), gradient.pixel(20, 15));

    // Larger than the surface: cut evenly, as a centred picture is.
    EXPECT_EQ(ExtendedPicture(gradient, QSize(20, 10)), gradient.copy(10, 10, 20, 10));
    EXPECT_TRUE(ExtendedPicture(QImage(), QSize(20, 10)).isNull());
    EXPECT_TRUE(ExtendedPicture(gradient, QSize(0, 10)).isNull());
}

TEST(PaperEdges, TheImageControlPaintsTheMarginsOnlyWhenAsked) {
    const QImage paper = SquaredPaper(QSize(64, 48), 8, QPoint(0, 0), 40);
    TImage image;
    image.resize(96, 48);
    image.SetCenter(true);
    image.SetPicture(TBitmap(paper));
    const auto shown = [&] {
        QImage out(image.size(), QImage::Format_RGB32);
        out.fill(Qt::black);
        image.render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
        return out;
    };
    EXPECT_EQ(shown().pixel(2, 10), qRgb(0, 0, 0));
    image.SetExtendEdges(true);
    const QImage extended = shown();
    EXPECT_EQ(extended.pixel(16, 0), paper.pixel(0, 0));
    EXPECT_EQ(extended.pixel(0, 1), paper.pixel(0, 1)); // a grid line 16 columns left
    EXPECT_EQ(extended.pixel(3, 3), paper.pixel(3, 3));
    EXPECT_EQ(extended.pixel(95, 3), paper.pixel(63, 3)); // column 79 of the paper
    // A new picture is extended afresh.
    image.SetPicture(TBitmap(64, 48, clRed));
    EXPECT_EQ(shown().pixel(2, 10), qRgb(255, 0, 0));
}
