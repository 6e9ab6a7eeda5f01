#include "Faces.h"

#include "Pictures.h"
#include "Style.h"

#include <QPainterPath>

#include <cmath>
#include <stdexcept>

namespace art {

namespace {

// Cyrillic letters in the order of the code page: а..я are 224..255, А..Я 192..223.
QChar CyrillicSmall(int offset) {
    return QChar(0x0430 + offset);
}
QChar CyrillicCapital(int offset) {
    return QChar(0x0410 + offset);
}

enum class TIcon { None, Tick, Cross, Forward, Question, Paragraph, Leave };

// The card of a face: raised with a shadow while released; pressed, it sinks into the shadow's
// place, darkens and shows a shade along its upper and left edges, and its content moves with it.
// Returns the rectangle that the content is drawn in.
QRectF DrawCard(QPainter& p, QSize size, bool pressed, bool squared) {
    const double w = size.width(), h = size.height();
    const double radius = 5;
    const double sink = pressed ? 2 : 0;
    const QRectF card(1 + sink, 1 + sink, w - 4, h - 4);
    p.save();
    p.setPen(Qt::NoPen);
    if (!pressed) {
        p.setBrush(QColor(0, 0, 60));
        p.drawRoundedRect(card.translated(2.5, 2.5), radius, radius);
    }
    QPainterPath shape;
    shape.addRoundedRect(card, radius, radius);
    p.setClipPath(shape);
    if (squared)
        FillSquaredPaper(p, card, 10);
    else
        p.fillRect(card, ink::Paper);
    if (pressed) {
        p.fillRect(card, QColor(120, 100, 60, 52));
        for (int i = 0; i < 4; ++i) {
            const QColor shade(40, 40, 70, 70 - i * 16);
            p.fillRect(QRectF(card.left(), card.top() + i, card.width(), 1), shade);
            p.fillRect(QRectF(card.left() + i, card.top(), 1, card.height()), shade);
        }
    } else {
        p.fillRect(QRectF(card.left(), card.top(), card.width(), 1.5), QColor(255, 255, 255));
    }
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pressed ? ink::Panel : ink::Frame, pressed ? 2 : 1.2));
    p.drawRoundedRect(card, radius, radius);
    p.restore();
    return card.adjusted(3, 3, -3, -3);
}

QColor InkOf(bool pressed) {
    return pressed ? ink::Blue.darker(130) : ink::Blue;
}

// A glyph centred by its own outline, so that a comma or a full stop sits in the middle of the
// face instead of on a baseline, and as large as the box allows.
void DrawCentredGlyph(QPainter& p, const QRectF& box, const QString& text, TTypeface face,
                      double pixels, const QColor& colour) {
    QPainterPath path = TextPath(face, pixels, text);
    QRectF b = path.boundingRect();
    const double fit = std::min({1.0, box.width() / b.width(), box.height() / b.height()});
    QTransform t;
    t.scale(fit, fit);
    path = t.map(path);
    b = path.boundingRect();
    path.translate(box.center() - b.center());
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
    p.restore();
}

bool IsSign(int number) {
    return (number >= 67 && number <= 73) || number == 83;
}

void DrawAnswerFace(QPainter& p, int number, bool pressed, const TWording& w) {
    const QRectF box = DrawCard(p, AnswerFaceSize, pressed, true);
    const QColor ink = InkOf(pressed);
    if (number >= 74 && number <= 76) {
        // The answers without a character: a little picture above a one-word caption.
        const QString caption = number == 74 ? w.Merge : number == 75 ? w.Apart : w.NoSign;
        const QRectF pic(box.left(), box.top() + 6, box.width(), 46);
        p.save();
        p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        const double cy = pic.top() + 18, cx = pic.center().x();
        if (number == 74 || number == 75) {
            // Two pieces of a word, joined by an arc or held apart by a gap.
            const double gap = number == 74 ? 0 : 12;
            const double piece = (pic.width() - 12 - gap) / 2;
            const QRectF left(cx - gap / 2 - piece, cy - 10, piece, 20);
            const QRectF right(cx + gap / 2, cy - 10, piece, 20);
            p.drawRoundedRect(left, 3, 3);
            p.drawRoundedRect(right, 3, 3);
            p.setPen(QPen(ink::Red, 2.5, Qt::SolidLine, Qt::RoundCap));
            if (number == 74) {
                p.drawArc(QRectF(cx - 10, cy + 4, 20, 16), 180 * 16, 180 * 16);
            } else {
                p.drawLine(QPointF(cx - gap / 2 + 1, cy + 16), QPointF(cx + gap / 2 - 1, cy + 16));
                p.drawLine(QPointF(cx - gap / 2 + 1, cy + 12), QPointF(cx - gap / 2 + 1, cy + 16));
                p.drawLine(QPointF(cx + gap / 2 - 1, cy + 12), QPointF(cx + gap / 2 - 1, cy + 16));
            }
        } else {
            // Nothing to put in: an empty place.
            p.setPen(QPen(ink, 2, Qt::DashLine));
            p.drawRect(QRectF(cx - 12, cy - 14, 24, 28));
        }
        p.restore();
        DrawFittedText(p, QRectF(box.left(), box.bottom() - 30, box.width(), 22), caption,
                       TTypeface::SansBold, 13, ink);
        return;
    }
    const QString text = ButtonCharacter(number);
    if (number == 83) {
        // Straight quotes drawn upright read as a pause sign; written by hand, slanted and
        // standing high over a pencil line, they read as quotation marks.
        p.save();
        p.setPen(QPen(ink, 5.5, Qt::SolidLine, Qt::RoundCap));
        const double cx = box.center().x(), top = box.top() + 20;
        for (double dx : {-8.0, 8.0})
            p.drawLine(QPointF(cx + dx + 3, top), QPointF(cx + dx - 3, top + 22));
        p.setPen(QPen(ink::Pencil, 1.5, Qt::DotLine));
        p.drawLine(QPointF(box.left() + 8, box.bottom() - 22),
                   QPointF(box.right() - 8, box.bottom() - 22));
        p.restore();
    } else if (IsSign(number)) {
        DrawCentredGlyph(p, box.adjusted(8, 14, -8, -14), text, TTypeface::SerifBold, 96, ink);
    } else {
        DrawCentredGlyph(p, box.adjusted(4, 10, -4, -10), text, TTypeface::Serif, 58, ink);
    }
}

void DrawIcon(QPainter& p, TIcon icon, const QPointF& c, double r, bool pressed) {
    p.save();
    const QColor ink = InkOf(pressed);
    QPen pen(ink, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (icon) {
    case TIcon::Tick:
        pen.setColor(ink::Green);
        pen.setWidthF(3.2);
        p.setPen(pen);
        p.drawPolyline(QPolygonF() << QPointF(c.x() - r * 0.75, c.y())
                                   << QPointF(c.x() - r * 0.2, c.y() + r * 0.6)
                                   << QPointF(c.x() + r * 0.8, c.y() - r * 0.7));
        break;
    case TIcon::Cross:
        pen.setColor(ink::Red);
        pen.setWidthF(3.2);
        p.setPen(pen);
        p.drawLine(QPointF(c.x() - r * 0.6, c.y() - r * 0.6),
                   QPointF(c.x() + r * 0.6, c.y() + r * 0.6));
        p.drawLine(QPointF(c.x() + r * 0.6, c.y() - r * 0.6),
                   QPointF(c.x() - r * 0.6, c.y() + r * 0.6));
        break;
    case TIcon::Forward:
        pen.setWidthF(3);
        p.setPen(pen);
        p.drawLine(QPointF(c.x() - r * 0.8, c.y()), QPointF(c.x() + r * 0.8, c.y()));
        p.drawLine(QPointF(c.x() + r * 0.8, c.y()), QPointF(c.x() + r * 0.25, c.y() - r * 0.55));
        p.drawLine(QPointF(c.x() + r * 0.8, c.y()), QPointF(c.x() + r * 0.25, c.y() + r * 0.55));
        break;
    case TIcon::Question:
    case TIcon::Paragraph: {
        p.setPen(QPen(ink, 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r, r);
        DrawCentredGlyph(p, QRectF(c.x() - r * 0.6, c.y() - r * 0.62, r * 1.2, r * 1.24),
                         icon == TIcon::Question ? QStringLiteral("?") : QStringLiteral("\u00A7"),
                         TTypeface::SerifBold, 40, ink);
        break;
    }
    case TIcon::Leave:
        // A door frame and an arrow going out of it.
        p.setPen(pen);
        p.drawPolyline(QPolygonF() << QPointF(c.x() - r * 0.1, c.y() - r * 0.85)
                                   << QPointF(c.x() - r * 0.8, c.y() - r * 0.85)
                                   << QPointF(c.x() - r * 0.8, c.y() + r * 0.85)
                                   << QPointF(c.x() - r * 0.1, c.y() + r * 0.85));
        pen.setColor(ink::Red);
        p.setPen(pen);
        p.drawLine(QPointF(c.x() - r * 0.35, c.y()), QPointF(c.x() + r * 0.9, c.y()));
        p.drawLine(QPointF(c.x() + r * 0.9, c.y()), QPointF(c.x() + r * 0.45, c.y() - r * 0.45));
        p.drawLine(QPointF(c.x() + r * 0.9, c.y()), QPointF(c.x() + r * 0.45, c.y() + r * 0.45));
        break;
    case TIcon::None:
        break;
    }
    p.restore();
}

void DrawCommandFace(QPainter& p, QSize size, bool pressed, const QString& caption, TIcon icon) {
    const QRectF box = DrawCard(p, size, pressed, false);
    const double r = box.height() * (size.width() < WideFaceSize.width() ? 0.32 : 0.36);
    const QPointF iconCentre(box.left() + 6 + r, box.center().y());
    DrawIcon(p, icon, iconCentre, r, pressed);
    const double textLeft = iconCentre.x() + r + 4;
    DrawFittedText(p, QRectF(textLeft, box.top(), box.right() - textLeft - 4, box.height()),
                   caption, TTypeface::SerifBold, 19, InkOf(pressed));
}

} // namespace

std::vector<int> ButtonNumbers() {
    std::vector<int> numbers;
    for (int n = 1; n <= 83; ++n)
        if (n != 7 && n != 40)
            numbers.push_back(n);
    numbers.push_back(168);
    numbers.push_back(184);
    return numbers;
}

QString ButtonCharacter(int number) {
    if (number >= 1 && number <= 6)
        return CyrillicSmall(number - 1);
    if (number >= 8 && number <= 33)
        return CyrillicSmall(number - 2);
    if (number >= 34 && number <= 39)
        return CyrillicCapital(number - 34);
    if (number >= 41 && number <= 66)
        return CyrillicCapital(number - 35);
    switch (number) {
    case 67:
        return QStringLiteral(",");
    case 68:
        return QStringLiteral(".");
    case 69:
        return QStringLiteral(";");
    case 70:
        return QStringLiteral(":");
    case 71:
        // The one sign serves for hyphen and dash; a short dash reads as either.
        return QStringLiteral("\u2013");
    case 72:
        return QStringLiteral("?");
    case 73:
        return QStringLiteral("!");
    case 83:
        return QStringLiteral("\"");
    case 168:
        return QStringLiteral("\u0401");
    case 184:
        return QStringLiteral("\u0451");
    default:
        return {};
    }
}

QSize FaceSize(int number) {
    if (number >= 77 && number <= 79)
        return WideFaceSize;
    if (number >= 80 && number <= 82)
        return NarrowFaceSize;
    return AnswerFaceSize;
}

QImage DrawButtonFace(int number, bool pressed, const TWording& w) {
    const bool known = (number >= 1 && number <= 83 && number != 7 && number != 40) ||
                       number == 168 || number == 184;
    if (!known)
        throw std::invalid_argument("no button face " + std::to_string(number));
    const QSize size = FaceSize(number);
    // The corners outside the rounded card are the panel's navy.
    QImage image = NewImage(size.width(), size.height(), NavyKey);
    QPainter p(&image);
    Prepare(p);
    switch (number) {
    case 77:
        DrawCommandFace(p, size, pressed, w.Accept, TIcon::Tick);
        break;
    case 78:
        DrawCommandFace(p, size, pressed, w.Cancel, TIcon::Cross);
        break;
    case 79:
        DrawCommandFace(p, size, pressed, w.Further, TIcon::Forward);
        break;
    case 80:
        DrawCommandFace(p, size, pressed, w.Help, TIcon::Question);
        break;
    case 81:
        DrawCommandFace(p, size, pressed, w.Hint, TIcon::Paragraph);
        break;
    case 82:
        DrawCommandFace(p, size, pressed, w.Exit, TIcon::Leave);
        break;
    default:
        DrawAnswerFace(p, number, pressed, w);
        break;
    }
    return image;
}

} // namespace art
