#include "session/ExampleDrawing.h"

#include "render/NFFont.h"

using namespace platform;

void DrawExample(const TExampleLayout& layout, const TExampleDrawing& what, TBitmap& picture) {
    if (picture.Width() != layout.PictureWidth || picture.Height() != layout.PictureHeight)
        picture = TBitmap(layout.PictureWidth, layout.PictureHeight, clNavy);
    else
        picture.Fill(clNavy);
    if (what.Font) {
        const TTextLines lines = layout.ShownLines(what.Points);
        const int x = layout.LeftMargin();
        for (std::size_t i = 0; i < lines.size(); ++i)
            what.Font->DrawText(lines[i].Text, picture, clWhite, x,
                                layout.LineHeight() * static_cast<int>(i) + layout.TopMargin,
                                false);
    }
    if (what.Pointer)
        DrawPointer(layout, *what.Pointer, picture);
    DrawMistakeMarks(layout, what.CheckPointMistakes, picture);
}

void DrawPointer(const TExampleLayout& layout, const TBitmap& pointer, TBitmap& picture) {
    if (layout.CellX <= 0 || layout.CellY <= 0)
        return;
    const int left = layout.CellX + layout.Metrics.W / 2;
    const int top = layout.CellY - 39;
    for (int j = 0; j < pointer.Height(); ++j)
        for (int i = 0; i < pointer.Width(); ++i) {
            const TColor c = pointer.GetPixel(i, j);
            if (c != clWhite)
                picture.SetPixel(left + i, top + j, c);
        }
}

void DrawMistakeMarks(const TExampleLayout& layout, int checkPointMistakes, TBitmap& picture) {
    const int w = layout.Metrics.W, h = layout.Metrics.H;
    // A red pen two pixels wide from X + 1 up to (not including) X + w - 3: as rectangles, since
    // a painter set up for every stroke would cost more than the rest of the redraw.
    auto strokes = [&](int x, int y, int count) {
        for (int k = 0; k < count; ++k)
            picture.FillRect(x + 1, y + h + 4 * k, x + w - 3, y + h + 4 * k + 2, clRed);
    };
    for (const TMistakeMark& m : layout.MistakeMarks)
        strokes(m.X, m.Y, m.Count);
    if (checkPointMistakes > 0 && layout.CellX > 0 && layout.CellY > 0)
        strokes(layout.CellX, layout.CellY, checkPointMistakes);
}

TBitmap PlainPointer() {
    TBitmap b(23, 32, clWhite);
    // A pencil lying from the top right down to its point at the bottom left.
    for (int j = 0; j < 32; ++j) {
        const int centre = 22 - (j * 20) / 31;
        for (int i = centre - 3; i <= centre + 3; ++i)
            b.SetPixel(i, j, j > 25 ? TColor(0x00303030) : TColor(0x0000C0F0));
    }
    return b;
}
