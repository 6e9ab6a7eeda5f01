#include "platform/Bitmap.h"

#include "platform/Text.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace platform {

namespace {

QImage NewPixels(int width, int height, TColor fill) {
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(ColorToRgb(fill));
    return image;
}

// The angle, counter-clockwise in degrees on the screen, of the ellipse point that lies on the
// ray from the centre towards (px, py). Qt measures arcs by that parametric angle.
double EllipseAngle(double cx, double cy, double a, double b, int px, int py) {
    double dx = (px - cx) / (a > 0 ? a : 1);
    double dy = (cy - py) / (b > 0 ? b : 1);
    if (dx == 0 && dy == 0)
        return 0;
    return std::atan2(dy, dx) * 180 / std::numbers::pi;
}

} // namespace

TBitmap::TBitmap(int width, int height, TColor fill) : Pixels(NewPixels(width, height, fill)) {}

TBitmap::TBitmap(const QImage& image)
    : Pixels(image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32)) {}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width() && height == Height())
        return;
    QImage grown = NewPixels(width, height, BrushColor);
    if (!grown.isNull() && !Pixels.isNull()) {
        int w = std::min(width, Width()), h = std::min(height, Height());
        for (int y = 0; y < h; ++y)
            std::copy_n(reinterpret_cast<const QRgb*>(Pixels.constScanLine(y)), w,
                        reinterpret_cast<QRgb*>(grown.scanLine(y)));
    }
    Pixels = std::move(grown);
}

TColor TBitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return clInvalid;
    return RgbToColor(reinterpret_cast<const QRgb*>(Pixels.constScanLine(y))[x]);
}

void TBitmap::SetPixel(int x, int y, TColor color) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    reinterpret_cast<QRgb*>(Pixels.scanLine(y))[x] = ColorToRgb(color);
}

void TBitmap::FillRect(int left, int top, int right, int bottom, TColor color) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, Width());
    bottom = std::min(bottom, Height());
    if (left >= right || top >= bottom)
        return;
    if (left == 0 && top == 0 && right == Width() && bottom == Height()) {
        Pixels.fill(ColorToRgb(color));
        return;
    }
    QRgb rgb = ColorToRgb(color);
    for (int y = top; y < bottom; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(Pixels.scanLine(y));
        std::fill(row + left, row + right, rgb);
    }
}

void TBitmap::Fill(TColor color) {
    FillRect(0, 0, Width(), Height(), color);
}

void TBitmap::MoveTo(int x, int y) {
    Pos = QPoint(x, y);
    DotPhase = 0;
}

// Thin pens are plotted here rather than by QPainter: GDI leaves out a line's end point, so that
// joined segments do not plot their corners twice, and its dots must run on across the joints.
void TBitmap::PlotLine(int x0, int y0, int x1, int y1) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        bool ink = PenStyle == TPenStyle::psSolid || DotPhase % 2 == 0;
        ++DotPhase;
        if (ink)
            SetPixel(x0, y0, PenColor);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void TBitmap::PreparePainter(QPainter& p, bool withBrush) const {
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(QColor::fromRgb(ColorToRgb(PenColor)));
    pen.setWidth(PenWidth);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    // GDI draws dots with thin pens only; a wide dotted pen is solid.
    if (PenStyle == TPenStyle::psDot && PenWidth == 1)
        pen.setDashPattern({1, 1});
    p.setPen(pen);
    if (withBrush && !BrushClear)
        p.setBrush(QColor::fromRgb(ColorToRgb(BrushColor)));
    else
        p.setBrush(Qt::NoBrush);
}

void TBitmap::LineTo(int x, int y) {
    if (Pixels.isNull()) {
        Pos = QPoint(x, y);
        return;
    }
    if (PenWidth == 1) {
        PlotLine(Pos.x(), Pos.y(), x, y);
    } else {
        QPainter p(&Pixels);
        PreparePainter(p, false);
        p.drawLine(Pos, QPoint(x, y));
    }
    Pos = QPoint(x, y);
}

void TBitmap::Polyline(const std::vector<QPoint>& points) {
    if (points.empty())
        return;
    QPoint keep = Pos;
    MoveTo(points[0].x(), points[0].y());
    for (std::size_t i = 1; i < points.size(); ++i)
        LineTo(points[i].x(), points[i].y());
    // GDI's Polyline neither uses nor moves the current position.
    Pos = keep;
}

void TBitmap::Ellipse(int left, int top, int right, int bottom) {
    if (Pixels.isNull() || right - left < 2 || bottom - top < 2)
        return;
    QPainter p(&Pixels);
    PreparePainter(p, true);
    p.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TBitmap::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    if (Pixels.isNull() || right - left < 2 || bottom - top < 2)
        return;
    double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    double a = (right - left) / 2.0, b = (bottom - top) / 2.0;
    double start = EllipseAngle(cx, cy, a, b, x1, y1);
    double span = EllipseAngle(cx, cy, a, b, x2, y2) - start;
    while (span <= 0)
        span += 360; // equal rays give the whole ellipse, as in GDI
    QPainter p(&Pixels);
    PreparePainter(p, false);
    p.drawArc(QRect(left, top, right - left - 1, bottom - top - 1),
              static_cast<int>(std::lround(start * 16)), static_cast<int>(std::lround(span * 16)));
}

void TBitmap::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    if (Pixels.isNull() || right - left < 2 || bottom - top < 2)
        return;
    double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    double a = (right - left) / 2.0, b = (bottom - top) / 2.0;
    double start = EllipseAngle(cx, cy, a, b, x1, y1);
    double span = EllipseAngle(cx, cy, a, b, x2, y2) - start;
    while (span <= 0)
        span += 360;
    QPainter p(&Pixels);
    PreparePainter(p, true);
    p.drawPie(QRect(left, top, right - left - 1, bottom - top - 1),
              static_cast<int>(std::lround(start * 16)), static_cast<int>(std::lround(span * 16)));
}

void TBitmap::CopyRect(int x, int y, const TBitmap& source, int left, int top, int width,
                       int height) {
    // Clip against the source, then against this bitmap.
    if (left < 0) {
        x -= left;
        width += left;
        left = 0;
    }
    if (top < 0) {
        y -= top;
        height += top;
        top = 0;
    }
    width = std::min(width, source.Width() - left);
    height = std::min(height, source.Height() - top);
    if (x < 0) {
        left -= x;
        width += x;
        x = 0;
    }
    if (y < 0) {
        top -= y;
        height += y;
        y = 0;
    }
    width = std::min(width, Width() - x);
    height = std::min(height, Height() - y);
    if (width <= 0 || height <= 0)
        return;
    if (&source == this) {
        // Overlapping copy within one bitmap: go through a copy of the rows.
        QImage part = Pixels.copy(left, top, width, height);
        for (int r = 0; r < height; ++r)
            std::copy_n(reinterpret_cast<const QRgb*>(part.constScanLine(r)), width,
                        reinterpret_cast<QRgb*>(Pixels.scanLine(y + r)) + x);
        return;
    }
    for (int r = 0; r < height; ++r)
        std::copy_n(reinterpret_cast<const QRgb*>(source.Pixels.constScanLine(top + r)) + left,
                    width, reinterpret_cast<QRgb*>(Pixels.scanLine(y + r)) + x);
}

void TBitmap::TextCentered(int left, int top, int right, int bottom, const std::string& text,
                           TColor color, int pixelHeight, bool bold) {
    if (Pixels.isNull() || text.empty())
        return;
    QPainter p(&Pixels);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    QFont font;
    font.setPixelSize(std::max(pixelHeight, 1));
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(QColor::fromRgb(ColorToRgb(color)));
    p.drawText(QRect(left, top, right - left, bottom - top), Qt::AlignCenter | Qt::TextDontClip,
               FromAnsi(text));
}

} // namespace platform
