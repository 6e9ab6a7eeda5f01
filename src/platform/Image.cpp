#include "platform/Image.h"

#include "platform/PaperEdges.h"
#include "platform/Picture.h"

#include <QMouseEvent>
#include <QPainter>

namespace platform {

TImage::TImage(QWidget* parent) : QWidget(parent) {
    // Windows reports mouse moves without a button held, too.
    setMouseTracking(true);
}

TBitmap TImage::LoadBitmapFrom(const std::string& path) {
    return LoadBitmapFile(path);
}

void TImage::SetPicture(const TBitmap& picture) {
    Pic = picture;
    PictureChanged();
}

void TImage::SetPicture(TBitmap&& picture) {
    Pic = std::move(picture);
    PictureChanged();
}

void TImage::PictureChanged() {
    if (FTransparent && !Pic.Empty()) {
        Shown = Pic.Image().convertToFormat(QImage::Format_ARGB32);
        QRgb key = Shown.pixel(0, Shown.height() - 1) | 0xFF000000u;
        for (int y = 0; y < Shown.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(Shown.scanLine(y));
            for (int x = 0; x < Shown.width(); ++x)
                if ((row[x] | 0xFF000000u) == key)
                    row[x] = 0;
        }
    } else {
        Shown = Pic.Image();
    }
    Extended = QImage();
    // An empty picture keeps the size: a control that shrank to nothing could not be pressed or
    // placed any more.
    if (FAutoSize && !Pic.Empty())
        resize(Pic.Width(), Pic.Height());
    update();
}

void TImage::SetAutoSize(bool on) {
    FAutoSize = on;
    if (on && !Pic.Empty())
        resize(Pic.Width(), Pic.Height());
}

void TImage::SetCenter(bool on) {
    FCenter = on;
    update();
}

void TImage::SetExtendEdges(bool on) {
    FExtendEdges = on;
    Extended = QImage();
    update();
}

void TImage::SetStretch(bool on) {
    FStretch = on;
    update();
}

void TImage::SetTransparent(bool on) {
    if (on == FTransparent)
        return;
    FTransparent = on;
    PictureChanged();
}

QRect TImage::PictureRect() const {
    if (Pic.Empty())
        return {};
    if (FStretch)
        return rect();
    int left = FCenter ? (width() - Pic.Width()) / 2 : 0;
    int top = FCenter ? (height() - Pic.Height()) / 2 : 0;
    return QRect(left, top, Pic.Width(), Pic.Height());
}

void TImage::paintEvent(QPaintEvent*) {
    if (Shown.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (FExtendEdges && FCenter && !FStretch && !FTransparent &&
        (Shown.width() < width() || Shown.height() < height())) {
        // Made once per size: a resize is rare, a repaint is not.
        if (Extended.size() != size())
            Extended = ExtendedPicture(Shown, size());
        p.drawImage(0, 0, Extended);
        return;
    }
    p.drawImage(PictureRect(), Shown);
}

void TImage::mousePressEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    TMouseButton button = MouseButton(*event);
    if (button == TMouseButton::mbLeft)
        LeftDown = true;
    if (OnMouseDown)
        OnMouseDown(button, ShiftState(*event), at.x(), at.y());
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is a press like the first.
    mousePressEvent(event);
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    TMouseButton button = MouseButton(*event);
    bool click = button == TMouseButton::mbLeft && LeftDown && rect().contains(at);
    if (button == TMouseButton::mbLeft)
        LeftDown = false;
    if (OnMouseUp)
        OnMouseUp(button, ShiftState(*event), at.x(), at.y());
    if (click && OnClick)
        OnClick();
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (OnMouseMove)
        OnMouseMove(ShiftState(*event), at.x(), at.y());
}

} // namespace platform
