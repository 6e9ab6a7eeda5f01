#include "platform/Image.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// What the control shows, painted over a parent-coloured background.
QImage Shown(TImage& image, QColor behind) {
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(behind);
    image.render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
    return out;
}

} // namespace

TEST(Image, AutoSizeFollowsThePictureButNotAnEmptyOne) {
    TImage image;
    image.resize(50, 50);
    image.SetAutoSize(true);
    image.SetPicture(TBitmap(30, 20, clRed));
    EXPECT_EQ(image.size(), QSize(30, 20));
    image.SetPicture(TBitmap());
    EXPECT_EQ(image.size(), QSize(30, 20));

    TImage fixed;
    fixed.resize(50, 50);
    fixed.SetPicture(TBitmap(30, 20, clRed));
    EXPECT_EQ(fixed.size(), QSize(50, 50));
    EXPECT_EQ(fixed.PictureRect(), QRect(0, 0, 30, 20));
    fixed.SetCenter(true);
    EXPECT_EQ(fixed.PictureRect(), QRect(10, 15, 30, 20));
    fixed.SetStretch(true);
    EXPECT_EQ(fixed.PictureRect(), QRect(0, 0, 50, 50));
}

TEST(Image, TransparentLeavesOutTheBottomLeftColour) {
    TBitmap pic(4, 4, clWhite);
    pic.FillRect(1, 1, 3, 3, clRed);
    TImage image;
    image.resize(4, 4);
    image.SetPicture(pic);
    EXPECT_EQ(QColor(Shown(image, Qt::green).pixel(0, 0)), QColor(Qt::white));

    image.SetTransparent(true);
    QImage out = Shown(image, Qt::green);
    EXPECT_EQ(QColor(out.pixel(0, 0)), QColor(Qt::green));
    EXPECT_EQ(QColor(out.pixel(3, 3)), QColor(Qt::green));
    EXPECT_EQ(QColor(out.pixel(1, 1)), QColor(Qt::red));
    // The picture itself is unchanged.
    EXPECT_EQ(image.Picture().GetPixel(0, 0), clWhite);

    // A new picture is keyed by its own bottom-left colour.
    pic.SetPixel(0, 3, clRed);
    image.SetPicture(pic);
    out = Shown(image, Qt::green);
    EXPECT_EQ(QColor(out.pixel(1, 1)), QColor(Qt::green));
    EXPECT_EQ(QColor(out.pixel(0, 0)), QColor(Qt::white));
}

TEST(Image, ClickNeedsLeftPressAndReleaseOverTheControl) {
    TImage image;
    image.resize(40, 40);
    image.show();
    int clicks = 0, downs = 0, ups = 0;
    TMouseButton lastDown = TMouseButton::mbMiddle;
    image.OnClick = [&] { ++clicks; };
    image.OnMouseDown = [&](TMouseButton b, TShiftState, int x, int y) {
        ++downs;
        lastDown = b;
        EXPECT_EQ(x, 10);
        EXPECT_EQ(y, 12);
    };
    image.OnMouseUp = [&](TMouseButton, TShiftState, int, int) { ++ups; };

    QTest::mouseClick(&image, Qt::LeftButton, {}, QPoint(10, 12));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(lastDown, TMouseButton::mbLeft);

    QTest::mouseClick(&image, Qt::RightButton, {}, QPoint(10, 12));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(lastDown, TMouseButton::mbRight);

    // Released away from the control: a release, but no click.
    QTest::mousePress(&image, Qt::LeftButton, {}, QPoint(10, 12));
    QTest::mouseRelease(&image, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, 3);
    EXPECT_EQ(ups, 3);
}
