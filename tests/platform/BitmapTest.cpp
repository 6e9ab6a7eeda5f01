#include "platform/Bitmap.h"

#include <QColor>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr TColor Blue = 0x00FF0000;
constexpr TColor Green = 0x0000FF00;

int CountColour(const TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.GetPixel(x, y) == c;
    return n;
}

// The smallest rectangle [left, right) x [top, bottom) holding every pixel of the colour.
QRect InkBox(const TBitmap& b, TColor c) {
    QRect box;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.GetPixel(x, y) == c)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(Bitmap, ColoursAreWindowsValuesAndPixelsOutsideAreIgnored) {
    TBitmap b(4, 3, clNavy);
    EXPECT_EQ(b.GetPixel(0, 0), clNavy);
    EXPECT_EQ(QColor(b.Image().pixel(0, 0)), QColor(0, 0, 128));
    b.SetPixel(1, 1, clRed);
    EXPECT_EQ(QColor(b.Image().pixel(1, 1)), QColor(255, 0, 0));
    EXPECT_EQ(b.GetPixel(1, 1), clRed);
    b.SetPixel(-1, 0, clRed);
    b.SetPixel(4, 0, clRed);
    b.SetPixel(0, 3, clRed);
    EXPECT_EQ(CountColour(b, clRed), 1);
    EXPECT_EQ(b.GetPixel(-1, 0), clInvalid);
    EXPECT_EQ(b.GetPixel(4, 2), clInvalid);
    EXPECT_EQ(TBitmap().GetPixel(0, 0), clInvalid);
}

TEST(Bitmap, FillRectExcludesRightAndBottomAndClips) {
    TBitmap b(10, 8, clWhite);
    b.FillRect(2, 3, 5, 6, clRed);
    EXPECT_EQ(InkBox(b, clRed), QRect(QPoint(2, 3), QPoint(4, 5)));
    b.FillRect(-5, -5, 1, 1, Blue);
    EXPECT_EQ(InkBox(b, Blue), QRect(0, 0, 1, 1));
    b.FillRect(9, 7, 100, 100, Green);
    EXPECT_EQ(InkBox(b, Green), QRect(9, 7, 1, 1));
    b.FillRect(6, 6, 6, 8, clBlack); // empty
    b.FillRect(7, 2, 3, 4, clBlack); // reversed
    EXPECT_EQ(CountColour(b, clBlack), 0);
}

TEST(Bitmap, SetSizeKeepsTopLeftAndFillsNewAreaWithBrush) {
    TBitmap b(2, 2, clRed);
    b.SetBrushColor(Blue);
    b.SetSize(3, 4);
    EXPECT_EQ(b.GetPixel(1, 1), clRed);
    EXPECT_EQ(b.GetPixel(2, 0), Blue);
    EXPECT_EQ(b.GetPixel(0, 3), Blue);
    b.SetSize(1, 1);
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(b.GetPixel(0, 0), clRed);
    b.SetSize(-3, 5);
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, LinesLeaveOutTheEndPointAndJoinWithoutGaps) {
    TBitmap b(12, 12, clWhite);
    b.SetPenColor(clBlack);
    b.MoveTo(1, 1);
    b.LineTo(6, 1);
    EXPECT_EQ(InkBox(b, clBlack), QRect(QPoint(1, 1), QPoint(5, 1)));
    EXPECT_EQ(b.PenPos(), QPoint(6, 1));
    b.LineTo(6, 6); // the corner (6, 1) is drawn by the second segment
    EXPECT_EQ(b.GetPixel(6, 1), clBlack);
    EXPECT_EQ(b.GetPixel(6, 6), clWhite);
    EXPECT_EQ(CountColour(b, clBlack), 10);

    // A diagonal has one pixel per step.
    TBitmap d(10, 10, clWhite);
    d.SetPenColor(clRed);
    d.MoveTo(0, 0);
    d.LineTo(5, 5);
    EXPECT_EQ(CountColour(d, clRed), 5);
    EXPECT_EQ(d.GetPixel(4, 4), clRed);

    // Off the bitmap nothing is written and nothing breaks.
    d.MoveTo(-50, -50);
    d.LineTo(60, -40);
    EXPECT_EQ(CountColour(d, clRed), 5);
}

TEST(Bitmap, DottedPenRunsOnAcrossJointsAndPolylineKeepsPosition) {
    TBitmap b(20, 5, clWhite);
    b.SetPenColor(clBlack);
    b.SetPenStyle(TPenStyle::psDot);
    b.MoveTo(15, 3);
    b.Polyline({QPoint(0, 1), QPoint(3, 1), QPoint(8, 1)});
    // Every other pixel along the whole run, across the joint at x = 3.
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(b.GetPixel(x, 1), x % 2 == 0 ? clBlack : clWhite) << x;
    EXPECT_EQ(b.PenPos(), QPoint(15, 3));
    b.Polyline({});
    EXPECT_EQ(b.PenPos(), QPoint(15, 3));

    // A wide pen draws solid and thick whatever its style.
    TBitmap w(20, 20, clWhite);
    w.SetPenColor(clBlack);
    w.SetPenWidth(4);
    w.SetPenStyle(TPenStyle::psDot);
    w.MoveTo(2, 10);
    w.LineTo(17, 10);
    for (int x = 4; x < 16; ++x)
        EXPECT_EQ(w.GetPixel(x, 10), clBlack) << x;
    EXPECT_GE(InkBox(w, clBlack).height(), 3);
}

TEST(Bitmap, EllipseStaysInsideItsBoxAndUsesTheBrush) {
    TBitmap b(30, 20, clWhite);
    b.SetPenColor(clBlack);
    b.SetBrushColor(clRed);
    b.Ellipse(5, 4, 25, 16);
    QRect outline = InkBox(b, clBlack);
    EXPECT_EQ(outline, QRect(QPoint(5, 4), QPoint(24, 15)));
    EXPECT_EQ(b.GetPixel(15, 10), clRed);
    EXPECT_EQ(b.GetPixel(5, 4), clWhite); // the corner of the box is outside the ellipse

    TBitmap c(30, 20, clWhite);
    c.SetPenColor(clBlack);
    c.SetBrushClear(true);
    c.Ellipse(5, 4, 25, 16);
    EXPECT_EQ(c.GetPixel(15, 10), clWhite);
    EXPECT_GT(CountColour(c, clBlack), 20);

    c.Ellipse(3, 3, 4, 10); // too narrow to draw
    c.Ellipse(10, 10, 5, 5);
    EXPECT_EQ(InkBox(c, clBlack), QRect(QPoint(5, 4), QPoint(24, 15)));
}

TEST(Bitmap, PieAndArcGoCounterClockwiseFromStartToEndRay) {
    // A quarter from the ray to the right to the ray upwards: the top-right quadrant.
    TBitmap b(41, 41, clWhite);
    b.SetPenColor(clBlack);
    b.SetBrushColor(clRed);
    b.Pie(0, 0, 41, 41, 40, 20, 20, 0);
    EXPECT_EQ(b.GetPixel(30, 10), clRed);
    EXPECT_EQ(b.GetPixel(10, 10), clWhite);
    EXPECT_EQ(b.GetPixel(10, 30), clWhite);
    EXPECT_EQ(b.GetPixel(30, 30), clWhite);

    // The same rays the other way round give the other three quarters.
    TBitmap c(41, 41, clWhite);
    c.SetPenColor(clBlack);
    c.SetBrushColor(clRed);
    c.Pie(0, 0, 41, 41, 20, 0, 40, 20);
    EXPECT_EQ(c.GetPixel(30, 10), clWhite);
    EXPECT_EQ(c.GetPixel(10, 10), clRed);
    EXPECT_EQ(c.GetPixel(10, 30), clRed);
    EXPECT_EQ(c.GetPixel(30, 30), clRed);

    // An arc is the outline only, on the side it names.
    TBitmap a(41, 41, clWhite);
    a.SetPenColor(clBlack);
    a.Arc(0, 0, 41, 41, 40, 20, 0, 20); // the upper half
    QRect ink = InkBox(a, clBlack);
    EXPECT_LE(ink.bottom(), 21);
    EXPECT_LE(ink.top(), 1);
    EXPECT_EQ(a.GetPixel(20, 10), clWhite);
}

TEST(Bitmap, CopyRectClipsBothSidesAndHandlesOverlap) {
    TBitmap src(4, 4, clWhite);
    src.SetPixel(0, 0, clRed);
    src.SetPixel(3, 3, Blue);
    TBitmap dst(6, 6, clBlack);
    dst.CopyRect(-1, -1, src, 0, 0, 4, 4); // (0,0) of the source falls off the top left
    EXPECT_EQ(CountColour(dst, clRed), 0);
    EXPECT_EQ(dst.GetPixel(2, 2), Blue);
    EXPECT_EQ(dst.GetPixel(3, 3), clBlack);

    TBitmap d2(6, 6, clBlack);
    // A source rectangle starting outside the source keeps its mapping: (0,0) lands at (4,4).
    d2.CopyRect(2, 2, src, -2, -2, 6, 6);
    EXPECT_EQ(d2.GetPixel(4, 4), clRed);
    EXPECT_EQ(d2.GetPixel(3, 3), clBlack);
    EXPECT_EQ(d2.GetPixel(5, 5), clWhite);
    d2.Draw(0, 0, src);
    EXPECT_EQ(d2.GetPixel(0, 0), clRed);

    // Within one bitmap: a shift right by one keeps the original row.
    TBitmap row(5, 1, clWhite);
    for (int x = 0; x < 5; ++x)
        row.SetPixel(x, 0, TColor(x + 1));
    row.CopyRect(1, 0, row, 0, 0, 4, 1);
    for (int x = 1; x < 5; ++x)
        EXPECT_EQ(row.GetPixel(x, 0), TColor(x)) << x;

    // A copy of a bitmap does not change when the original is drawn on.
    TBitmap copy = src;
    src.FillRect(0, 0, 4, 4, Green);
    EXPECT_EQ(copy.GetPixel(0, 0), clRed);
}

TEST(Bitmap, TextIsCentredInItsBox) {
    TBitmap b(200, 60, clWhite);
    b.TextCentered(0, 0, 200, 60, "\xCF\xF0\xE8\xE2\xE5\xF2", clBlack, 20); // "Привет"
    QRect ink = InkBox(b, clBlack);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 100, 6);
    EXPECT_NEAR(ink.center().y(), 30, 6);
    EXPECT_LT(ink.height(), 30);
    // Not antialiased: only the two colours.
    EXPECT_EQ(CountColour(b, clBlack) + CountColour(b, clWhite), 200 * 60);
}
