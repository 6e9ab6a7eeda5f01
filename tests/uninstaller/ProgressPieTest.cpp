#include "uninstaller/ProgressPie.h"
#include "uninstaller/UninstallWindow.h"

#include <QRect>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using platform::clBlack;
using platform::clRed;
using platform::TBitmap;

namespace {

constexpr int W = 400, H = 300;

// The pixel at `degrees` clockwise from 12 o'clock, `fraction` of the way from the centre to the
// ellipse.
platform::TColor At(const TBitmap& b, double degrees, double fraction) {
    double a = degrees * std::numbers::pi / 180;
    int x = static_cast<int>(std::lround(W / 2.0 + fraction * (W / 2.0) * std::sin(a)));
    int y = static_cast<int>(std::lround(H / 2.0 - fraction * (H / 2.0) * std::cos(a)));
    return b.GetPixel(x, y);
}

TBitmap Drawn(int progress, bool withNumber) {
    TBitmap b(W, H, clLightGray);
    if (withNumber)
        DrawProgressPie(b, progress);
    else
        DrawPie(b, progress);
    return b;
}

// Where the number is: the pixels that the number changed.
QRect NumberBox(int progress) {
    TBitmap plain = Drawn(progress, false), full = Drawn(progress, true);
    QRect box;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (plain.GetPixel(x, y) != full.GetPixel(x, y)) {
                EXPECT_EQ(full.GetPixel(x, y), clBlack);
                box |= QRect(x, y, 1, 1);
            }
    return box;
}

void ExpectNumberCentred(int progress) {
    QRect box = NumberBox(progress);
    ASSERT_FALSE(box.isEmpty()) << progress << "%: no number drawn";
    EXPECT_GT(box.width(), 20) << "a readable number is more than a dot";
    EXPECT_NEAR(box.center().x() + 0.5, W / 2.0, 2.0) << progress << "%";
    EXPECT_NEAR(box.center().y() + 0.5, H / 2.0, 3.0) << progress << "%";
    EXPECT_GE(box.top(), H / 2 - 10);
    EXPECT_LT(box.bottom(), H / 2 + 10);
}

} // namespace

TEST(ProgressPie, TheEllipseBoxIsTheClientWidthRoundedDownToEven) {
    EXPECT_EQ(PieGeometry(0, 400, 300).BoxRight, 400);
    EXPECT_EQ(PieGeometry(0, 399, 273).BoxRight, 398);
    EXPECT_EQ(PieGeometry(0, 399, 273).BoxBottom, 273);
    TUninstallWindow window("Zarvo: Uninstall");
    EXPECT_EQ(window.width(), TUninstallWindow::WindowWidth);
    EXPECT_EQ(window.height(), TUninstallWindow::WindowHeight);
    // The end point lies on the ellipse: 12, 3, 6 and 9 o'clock at 0, 25, 50 and 75.
    EXPECT_EQ(PieGeometry(0, W, H).End, QPoint(200, 0));
    EXPECT_EQ(PieGeometry(25, W, H).End, QPoint(400, 150));
    EXPECT_EQ(PieGeometry(50, W, H).End, QPoint(200, 300));
    EXPECT_EQ(PieGeometry(75, W, H).End, QPoint(0, 150));
}

TEST(ProgressPie, AtZeroTheEllipseIsEmpty) {
    TBitmap b = Drawn(0, true);
    for (double deg : {20.0, 90.0, 180.0, 270.0, 340.0})
        EXPECT_EQ(At(b, deg, 0.7), clLightGray) << deg;
    EXPECT_EQ(b.GetPixel(3, 3), clLightGray) << "outside the ellipse";
    EXPECT_EQ(b.GetPixel(0, H / 2), clBlack) << "the outline";
    EXPECT_EQ(b.GetPixel(W / 2, H - 1), clBlack);
    ExpectNumberCentred(0);
}

TEST(ProgressPie, At23TheSectorRunsClockwiseFromTwelveToTheAngle) {
    TBitmap b = Drawn(23, true);
    // 23 % is 82.8 degrees.
    for (double deg : {5.0, 40.0, 78.0})
        EXPECT_EQ(At(b, deg, 0.6), clRed) << deg;
    for (double deg : {88.0, 180.0, 270.0, 355.0})
        EXPECT_EQ(At(b, deg, 0.6), clLightGray) << deg;
    EXPECT_EQ(At(b, 45, 0.999), clBlack) << "the outline goes round the sector too";
    // Across the 12 o'clock radius: grey, the black line, then red.
    int x = W / 2 - 10;
    while (x < W / 2 + 10 && b.GetPixel(x, H / 4) == clLightGray)
        ++x;
    EXPECT_NEAR(x, W / 2, 2);
    EXPECT_EQ(b.GetPixel(x, H / 4), clBlack);
    EXPECT_EQ(b.GetPixel(x + 1, H / 4), clRed);
    EXPECT_EQ(b.GetPixel(3, 3), clLightGray);
    ExpectNumberCentred(23);
}

TEST(ProgressPie, At100TheWholeDiscIsRed) {
    TBitmap b = Drawn(100, true);
    for (double deg = 0; deg < 360; deg += 30)
        EXPECT_EQ(At(b, deg, 0.8), clRed) << deg;
    EXPECT_EQ(b.GetPixel(W / 2, H / 4), clRed) << "no radius is drawn over the full disc";
    EXPECT_EQ(b.GetPixel(0, H / 2), clBlack);
    EXPECT_EQ(b.GetPixel(3, H - 3), clLightGray);
    ExpectNumberCentred(100);
}
