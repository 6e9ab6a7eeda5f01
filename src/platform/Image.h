#pragma once
// The image control of the forms: shows a bitmap, optionally sized to it, centred, stretched or
// with its transparent colour left out, and reports clicks and mouse events with Windows-like
// arguments. The screens compose a picture off screen and assign it in one step.

#include "platform/Bitmap.h"
#include "platform/DrawTarget.h"
#include "platform/Keys.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

namespace platform {

class TImage : public QWidget, public IDrawTarget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    // The picture. Assigning it repaints the control once; with AutoSize the control takes the
    // picture's size (an empty picture leaves the size as it is).
    const TBitmap& Picture() const override { return Pic; }
    void SetPicture(const TBitmap& picture);
    void SetPicture(TBitmap&& picture) override;
    // Reads a BMP file into the picture.
    void LoadBitmap(const std::string& path) { SetPicture(LoadBitmapFrom(path)); }

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    bool Center() const { return FCenter; }
    void SetCenter(bool on);
    // A centred picture smaller than the control continues its edges into the margins (see
    // PaperEdges.h) instead of leaving them to the background.
    bool ExtendEdges() const { return FExtendEdges; }
    void SetExtendEdges(bool on);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool on);
    // The colour of the picture's bottom-left pixel is not drawn.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool on);

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool on) { setEnabled(on); }
    // The control's own visibility, as Windows has it (not whether its window is shown).
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool on) { setVisible(on); }

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const override { return width(); }
    int Height() const override { return height(); }
    void SetLeft(int left) { move(left, y()); }
    void SetTop(int top) { move(x(), top); }
    void SetWidth(int w) { resize(w, height()); }
    void SetHeight(int h) { resize(width(), h); }
    void SetBounds(int left, int top, int w, int h) { setGeometry(left, top, w, h); }

    // Left button pressed and released over the control.
    std::function<void()> OnClick;
    std::function<void(TMouseButton, TShiftState, int x, int y)> OnMouseDown;
    std::function<void(TMouseButton, TShiftState, int x, int y)> OnMouseUp;
    std::function<void(TShiftState, int x, int y)> OnMouseMove;

    // Where the picture is drawn inside the control.
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    static TBitmap LoadBitmapFrom(const std::string& path);
    void PictureChanged();

    TBitmap Pic;
    QImage Shown; // the picture as painted: with transparency applied when that is on
    bool FAutoSize = false;
    bool FCenter = false;
    bool FStretch = false;
    bool FTransparent = false;
    bool FExtendEdges = false;
    QImage Extended; // the picture with its margins, for the control's size when it was made
    bool LeftDown = false;
};

} // namespace platform
