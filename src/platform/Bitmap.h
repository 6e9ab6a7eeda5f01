#pragma once
// An off-screen bitmap with the canvas operations the screens use, in the manner of the Windows
// GDI: colours are Windows values $00BBGGRR, rectangles are given as left, top, right, bottom with
// the right and bottom edge excluded, and drawing is never antialiased. The pixels are a 32-bit
// QImage, so a bitmap is cheap to copy (the pixels are shared until one side writes).

#include <QImage>
#include <QPoint>
#include <cstdint>
#include <string>
#include <vector>

class QPainter;

namespace platform {

// A Windows colour value: $00BBGGRR.
using TColor = std::uint32_t;

enum : TColor {
    clBlack = 0x00000000,
    clWhite = 0x00FFFFFF,
    clNavy = 0x00800000,
    clRed = 0x000000FF,
    // What GetPixel gives outside the bitmap, as GDI's CLR_INVALID.
    clInvalid = 0xFFFFFFFF,
};

// $00BBGGRR to Qt's 0xFFRRGGBB and back.
constexpr QRgb ColorToRgb(TColor c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr TColor RgbToColor(QRgb rgb) {
    return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

enum class TPenStyle { psSolid, psDot };

class TBitmap {
public:
    TBitmap() = default;
    // A bitmap of this size, filled with the given colour.
    TBitmap(int width, int height, TColor fill = clWhite);
    // Takes a Qt image as it is (converted to 32 bits).
    explicit TBitmap(const QImage& image);

    int Width() const { return Pixels.width(); }
    int Height() const { return Pixels.height(); }
    bool Empty() const { return Pixels.isNull(); }

    // Changing the size keeps the pixels at the top left; new area gets the brush colour.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }

    // Pixel access; outside the bitmap SetPixel does nothing and GetPixel gives clInvalid.
    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // Fills [left, right) x [top, bottom) with the colour, clipped to the bitmap.
    void FillRect(int left, int top, int right, int bottom, TColor color);
    void Fill(TColor color);

    // Pen for lines and outlines, brush for the inside of ellipses and pies and for new area.
    void SetPenColor(TColor color) { PenColor = color; }
    void SetPenWidth(int width) { PenWidth = width < 1 ? 1 : width; }
    void SetPenStyle(TPenStyle style) { PenStyle = style; }
    TColor GetPenColor() const { return PenColor; }
    int GetPenWidth() const { return PenWidth; }
    TPenStyle GetPenStyle() const { return PenStyle; }
    void SetBrushColor(TColor color) { BrushColor = color; }
    TColor GetBrushColor() const { return BrushColor; }
    // With a clear brush ellipses and pies are outlines only.
    void SetBrushClear(bool clear) { BrushClear = clear; }

    // Lines: LineTo draws from the current position and, as GDI does, leaves out the end point.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    QPoint PenPos() const { return Pos; }
    // Joined segments through the points: MoveTo the first, LineTo each of the others.
    void Polyline(const std::vector<QPoint>& points);

    // The ellipse inside the box, outlined with the pen and filled with the brush.
    void Ellipse(int left, int top, int right, int bottom);
    // The part of the box's ellipse from the ray towards (x1, y1) counter-clockwise to the ray
    // towards (x2, y2); Pie closes it with the two radii and fills it with the brush.
    void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    void Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);

    // Copies the source rectangle (left, top, width, height) to (x, y), clipped to both bitmaps.
    void CopyRect(int x, int y, const TBitmap& source, int left, int top, int width, int height);
    void Draw(int x, int y, const TBitmap& source) {
        CopyRect(x, y, source, 0, 0, source.Width(), source.Height());
    }

    // cp1251 text in the system font, centred in [left, right) x [top, bottom), not clipped
    // otherwise, drawn without background.
    void TextCentered(int left, int top, int right, int bottom, const std::string& text,
                      TColor color, int pixelHeight, bool bold = false);

    // The pixels, for the image control and for code that writes whole rows at once.
    const QImage& Image() const { return Pixels; }
    QImage& Image() { return Pixels; }

    bool operator==(const TBitmap& other) const { return Pixels == other.Pixels; }

private:
    QImage Pixels; // Format_RGB32
    TColor PenColor = clBlack;
    int PenWidth = 1;
    TPenStyle PenStyle = TPenStyle::psSolid;
    TColor BrushColor = clWhite;
    bool BrushClear = false;
    QPoint Pos;
    int DotPhase = 0; // a dotted pen's pattern runs on across joined segments

    void PlotLine(int x0, int y0, int x1, int y1);
    void PreparePainter(QPainter& p, bool withBrush) const;
};

} // namespace platform
