#include "Icon.h"

#include "Style.h"

#include <QPainterPath>
#include <QTransform>
#include <cmath>

namespace art {

QImage DrawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    Prepare(p);
    p.setRenderHint(QPainter::Antialiasing, true);
    const double s = size;

    // The page: a rounded sheet of squared paper with a thin ink edge.
    const QRectF page(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    QPainterPath outline;
    outline.addRoundedRect(page, s * 0.1, s * 0.1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawPath(outline.translated(s * 0.015, s * 0.02));
    p.setBrush(ink::Paper);
    p.drawPath(outline);
    p.save();
    p.setClipPath(outline);
    // Small icons keep only the margin: a grid of a few pixels would turn to grey.
    if (size >= 96)
        FillSquaredPaper(p, page, s / 16);
    DrawMarginRule(p, page.left() + s * 0.2, page.top(), page.bottom(), std::max(1.0, s / 128));
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink::Frame, std::max(1.0, s / 64)));
    p.drawPath(outline);

    // A capital and a small Cyrillic A in ink, right of the margin: the language lesson's sign.
    const QString letter = QStringLiteral("\u0410\u0430");
    const double glyph = s * 0.46;
    QPainterPath path = TextPath(TTypeface::SerifBold, glyph, letter);
    const double room = page.width() * 0.64;
    if (path.boundingRect().width() > room)
        path = QTransform::fromScale(room / path.boundingRect().width(),
                                     room / path.boundingRect().width())
                   .map(path);
    const QRectF bounds = path.boundingRect();
    const QPointF at(page.left() + s * 0.21 + (page.width() * 0.76 - bounds.width()) / 2 -
                         bounds.left(),
                     page.top() + page.height() * 0.40 - bounds.center().y());
    p.fillPath(path.translated(at), ink::Blue);

    // The teacher's tick below it, in red pen.
    QPen pen(ink::Red, std::max(2.0, s * 0.06), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    QPainterPath tick;
    tick.moveTo(s * 0.40, s * 0.73);
    tick.lineTo(s * 0.50, s * 0.82);
    tick.lineTo(s * 0.80, s * 0.64);
    p.drawPath(tick);
    return image;
}

} // namespace art
