#include "Pictures.h"

#include "Style.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace art {

namespace {

// Design sizes the pictures leave room for: the variant selection's block of controls and the
// results lines, whose left edge follows the screen width.
constexpr int SelectionBlockWidth = 612;
constexpr int SelectionBlockHeight = 338;

// A full page of the exercise book: squared paper and the red margin rule.
void DrawPage(QPainter& p, QSize size, double marginX) {
    const double scale = size.height() / 480.0;
    FillSquaredPaper(p, QRectF(0, 0, size.width(), size.height()), std::round(16 * scale));
    DrawMarginRule(p, marginX, 0, size.height(), scale);
}

// A hand-drawn looking line in the teacher's red pen.
void DrawRedUnderline(QPainter& p, double x1, double x2, double y, double width) {
    p.save();
    QPainterPath path;
    path.moveTo(x1, y + width * 0.3);
    path.cubicTo(x1 + (x2 - x1) * 0.3, y - width * 0.4, x1 + (x2 - x1) * 0.7, y + width * 0.5, x2,
                 y - width * 0.2);
    p.setPen(QPen(ink::Red, width, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

// One line of text, centred on cx, in which the characters from `redFrom` for `redLength` are in
// red: the punctuation a pupil would have had to put in.
void DrawMottoLine(QPainter& p, double cx, double baseline, const QString& text, int redFrom,
                   int redLength, TTypeface face, double pixels) {
    const QString before = text.left(redFrom);
    const QString red = text.mid(redFrom, redLength);
    const QString after = text.mid(redFrom + redLength);
    const QFontMetricsF m(ArtFont(face, pixels));
    double x = cx - m.horizontalAdvance(text) / 2;
    DrawTextAt(p, QPointF(x, baseline), before, face, pixels, ink::Blue);
    x += m.horizontalAdvance(before);
    DrawTextAt(p, QPointF(x, baseline), red, face, pixels, ink::Red);
    x += m.horizontalAdvance(red);
    DrawTextAt(p, QPointF(x, baseline), after, face, pixels, ink::Blue);
}

// A small window's picture: paper edge to edge inside a thin ink frame.
void DrawNote(QPainter& p, QSize size, double marginX, double step) {
    FillSquaredPaper(p, QRectF(0, 0, size.width(), size.height()), step);
    if (marginX > 0)
        DrawMarginRule(p, marginX, 0, size.height(), 1);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ink::Frame, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(1, 1, size.width() - 2, size.height() - 2));
    p.restore();
}

// A round mark in the teacher's pen with a sign inside.
void DrawRoundMark(QPainter& p, QPointF centre, double radius, const QColor& colour,
                   const QString& sign, TTypeface face) {
    p.save();
    p.setPen(QPen(colour, std::max(2.0, radius / 10), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius, radius * 0.94);
    QPainterPath path = TextPath(face, radius * 1.25, sign);
    const QRectF b = path.boundingRect();
    path.translate(centre - b.center());
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
    p.restore();
}

} // namespace

QSize ScreenOfClass(int sizeClass) {
    switch (sizeClass) {
    case 1:
        return {640, 480};
    case 2:
        return {800, 600};
    case 3:
        return {1024, 768};
    default:
        return {1280, 1024};
    }
}

QImage DrawIntro(const TWording& w, QSize screen) {
    QImage image = NewImage(screen.width(), screen.height(), ink::Paper);
    QPainter p(&image);
    Prepare(p);
    const double W = screen.width(), H = screen.height();
    DrawPage(p, screen, std::round(W * 0.1));

    const QRectF card(W * 0.19, H * 0.11, W * 0.62, H * 0.40);
    DrawCardSheet(p, card, H * 0.012, H * 0.012);
    const double pad = card.width() * 0.06;
    const QRectF nameBox(card.left() + pad, card.top() + card.height() * 0.06,
                         card.width() - 2 * pad, card.height() * 0.42);
    DrawFittedText(p, nameBox, w.Name, TTypeface::SerifBold, H * 0.13, ink::Blue);
    const QFontMetricsF nameMetrics(
        FitFont(TTypeface::SerifBold, w.Name, nameBox.width(), H * 0.13, 8));
    const double nameWidth = nameMetrics.horizontalAdvance(w.Name);
    DrawRedUnderline(p, card.center().x() - nameWidth * 0.55, card.center().x() + nameWidth * 0.55,
                     nameBox.bottom() + H * 0.005, std::max(2.0, H * 0.006));
    DrawFittedText(p,
                   QRectF(card.left() + pad, card.top() + card.height() * 0.55,
                          card.width() - 2 * pad, card.height() * 0.18),
                   w.Subtitle1, TTypeface::Serif, H * 0.047, ink::Blue);
    DrawFittedText(p,
                   QRectF(card.left() + pad, card.top() + card.height() * 0.74,
                          card.width() - 2 * pad, card.height() * 0.16),
                   w.Subtitle2, TTypeface::SerifItalic, H * 0.042, ink::Pencil);

    const QFont motto = FitFont(TTypeface::SerifItalic, w.Motto, W * 0.7, H * 0.058, 8);
    DrawMottoLine(p, W / 2, H * 0.66, w.Motto, w.MottoRedFrom, w.MottoRedLength,
                  TTypeface::SerifItalic, motto.pixelSize());

    DrawFittedText(p, QRectF(W * 0.12, H * 0.85, W * 0.76, H * 0.06), w.PressAnyKey,
                   TTypeface::Sans, H * 0.034, ink::Pencil);
    return image;
}

QImage DrawLay(const TWording& w, QSize screen) {
    QImage image = NewImage(screen.width(), screen.height(), ink::Paper);
    QPainter p(&image);
    Prepare(p);
    const double W = screen.width(), H = screen.height();
    DrawPage(p, screen, std::round(W * 0.06));

    // The block of controls is centred in the window; its labels are drawn transparently, so the
    // paper under it is kept plain.
    const double blockTop = (H - SelectionBlockHeight) / 2;
    const double cardWidth = std::min(W - 8, SelectionBlockWidth + 28.0);
    const QRectF card((W - cardWidth) / 2, blockTop - 10, cardWidth, SelectionBlockHeight + 20);
    DrawCardSheet(p, card, 6, 5);

    // The picture is centred in the window's client area, which the caption and the status line
    // make smaller than the screen: the edges may be cut, so the title keeps close to the card.
    const double band = card.top();
    const double titleHeight = std::min(band * 0.5, H * 0.08);
    const QRectF titleBox(W * 0.08, band - 4 - titleHeight, W * 0.84, titleHeight);
    DrawFittedText(p, titleBox, w.ChooseTitle, TTypeface::SerifBold,
                   std::min(titleHeight * 0.85, H * 0.06), ink::Blue);
    // Below the card, above the status line, the program's name in pencil.
    const double below = std::min(H - card.bottom(), H * 0.06);
    DrawFittedText(p, QRectF(W * 0.1, card.bottom() + 4, W * 0.8, below * 0.7),
                   w.Name + QStringLiteral(" \u2014 ") + w.Subtitle1, TTypeface::SerifItalic,
                   std::min(below * 0.55, H * 0.035), ink::Pencil);
    return image;
}

QImage DrawResults(const TWording& w, QSize screen) {
    QImage image = NewImage(screen.width(), screen.height(), ink::Paper);
    QPainter p(&image);
    Prepare(p);
    const double W = screen.width(), H = screen.height();
    // The results are written from screen width / 8 + 10: the margin rule stands just before.
    DrawPage(p, screen, std::floor(W / 8) - 2);

    const double textTop = std::floor(H / 6) + 20;
    const QRectF titleBox(W / 8 + 10, textTop * 0.15, W * 0.7, textTop * 0.6);
    DrawFittedText(p, titleBox, w.ResultsTitle, TTypeface::SerifBold, H * 0.07, ink::Blue,
                   Qt::AlignLeft | Qt::AlignVCenter);
    const QFontMetricsF m(
        FitFont(TTypeface::SerifBold, w.ResultsTitle, titleBox.width(), H * 0.07, 8));
    const double titleWidth = m.horizontalAdvance(w.ResultsTitle);
    DrawRedUnderline(p, titleBox.left(), titleBox.left() + titleWidth * 1.05,
                     titleBox.bottom() - textTop * 0.02, std::max(2.0, H * 0.005));

    DrawFittedText(p, QRectF(W / 8 + 10, H * 0.86, W * 0.8, H * 0.05), w.ResultsContinue,
                   TTypeface::Sans, H * 0.032, ink::Pencil, Qt::AlignLeft | Qt::AlignVCenter);
    return image;
}

QImage DrawButtonPanel(int width) {
    // Navy like the screen around it, so that its transparent colour (the bottom-left pixel) is
    // the colour it shows anyway; a double rule of light blue divides it from the sentence.
    QImage image = NewImage(width, ButtonPanelHeight, NavyKey);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, width, 3), ink::PanelEdge);
    p.fillRect(QRect(0, 6, width, 1), QColor(72, 92, 168));
    QPen dots(QColor(52, 62, 150), 1, Qt::DotLine);
    p.setPen(dots);
    p.drawLine(QPoint(0, ButtonPanelHeight - 6), QPoint(width, ButtonPanelHeight - 6));
    return image;
}

QImage DrawArrow(const TWording& w) {
    const double W = ArrowSize.width(), H = ArrowSize.height();
    QImage image = NewImage(ArrowSize.width(), ArrowSize.height(), NavyKey);
    QPainter p(&image);
    Prepare(p);
    // A paper tag whose pointed end shows the way to the answer buttons on the left.
    QPolygonF tag;
    tag << QPointF(3, H / 2) << QPointF(26, 3.5) << QPointF(W - 3.5, 3.5)
        << QPointF(W - 3.5, H - 3.5) << QPointF(26, H - 3.5);
    p.setPen(QPen(ink::Frame, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink::Card);
    p.drawPolygon(tag);
    // A red arrow drawn with the teacher's pen, then the words.
    p.setPen(QPen(ink::Red, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(30, H / 2), QPointF(78, H / 2));
    p.drawLine(QPointF(30, H / 2), QPointF(42, H / 2 - 8));
    p.drawLine(QPointF(30, H / 2), QPointF(42, H / 2 + 8));
    DrawFittedText(p, QRectF(88, 4, W - 100, H - 8), w.ArrowText, TTypeface::SerifBold, 21,
                   ink::Blue);
    return image;
}

QImage DrawPraise(const TWording& w) {
    const double W = PraiseSize.width(), H = PraiseSize.height();
    QImage image = NewImage(PraiseSize.width(), PraiseSize.height(), ink::Paper);
    QPainter p(&image);
    Prepare(p);
    DrawNote(p, PraiseSize, 40, 16);
    DrawRoundMark(p, QPointF(112, H * 0.45), 62, ink::Red, QStringLiteral("5"),
                  TTypeface::SerifBold);
    const QRectF text(196, 0, W - 214, H);
    DrawFittedText(p, QRectF(text.left(), H * 0.22, text.width(), H * 0.2), w.PraiseTitle,
                   TTypeface::SerifBold, 44, ink::Blue);
    DrawRedUnderline(p, text.left() + text.width() * 0.1, text.right() - text.width() * 0.1,
                     H * 0.44, 2.5);
    DrawFittedText(p, QRectF(text.left(), H * 0.5, text.width(), H * 0.14), w.PraiseText,
                   TTypeface::Serif, 20, ink::Blue);
    DrawFittedText(p, QRectF(48, H * 0.84, W - 64, H * 0.1), w.PressAnyKeyShort, TTypeface::Sans,
                   14, ink::Pencil);
    return image;
}

QImage DrawRight(const TWording& w) {
    const double W = RightSize.width(), H = RightSize.height();
    QImage image = NewImage(RightSize.width(), RightSize.height(), ink::Paper);
    QPainter p(&image);
    Prepare(p);
    DrawNote(p, RightSize, 0, 14);
    // The right answer now stands in the sentence above this picture: an arrow points up to it.
    p.save();
    p.setPen(QPen(ink::Green, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(50, H * 0.8), QPointF(50, H * 0.2));
    p.drawLine(QPointF(50, H * 0.2), QPointF(36, H * 0.38));
    p.drawLine(QPointF(50, H * 0.2), QPointF(64, H * 0.38));
    p.restore();
    DrawFittedText(p, QRectF(92, H * 0.14, W - 108, H * 0.38), w.RightTitle, TTypeface::SerifBold,
                   26, ink::Green);
    DrawFittedText(p, QRectF(92, H * 0.56, W - 108, H * 0.28), w.RightText, TTypeface::Serif, 18,
                   ink::Blue);
    return image;
}

QImage DrawSlip(const TWording& w) {
    const double W = SlipSize.width(), H = SlipSize.height();
    QImage image = NewImage(SlipSize.width(), SlipSize.height(), ink::Paper);
    QPainter p(&image);
    Prepare(p);
    DrawNote(p, SlipSize, 0, 14);
    DrawRoundMark(p, QPointF(56, H / 2), 34, ink::Red, QStringLiteral("?"), TTypeface::SerifBold);
    DrawFittedText(p, QRectF(104, H * 0.16, W - 118, H * 0.36), w.SlipTitle, TTypeface::SerifBold,
                   26, ink::Red);
    DrawFittedText(p, QRectF(104, H * 0.55, W - 118, H * 0.26), w.SlipText, TTypeface::Serif, 17,
                   ink::Blue);
    return image;
}

QImage DrawExit(const TWording&) {
    // The exit question writes its own heading and three numbered lines over this picture, at
    // y 6, 30, 58 and 86; the paper gives them ruled lines to stand on and a margin to start at.
    QImage image = NewImage(ExitSize.width(), ExitSize.height(), ink::Paper);
    QPainter p(&image);
    Prepare(p);
    // The heading sits across the margin, so the margin rule starts below it.
    DrawNote(p, ExitSize, 0, 14);
    DrawMarginRule(p, 32, 27, ExitSize.height() - 2, 1);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ink::Rule, 1));
    for (int y : {26, 54, 82, 110})
        p.drawLine(QPoint(3, y), QPoint(ExitSize.width() - 4, y));
    p.restore();
    return image;
}

QImage DrawFrame() {
    const double W = FrameSize.width(), H = FrameSize.height();
    QImage image = NewImage(FrameSize.width(), FrameSize.height(), NavyKey);
    QPainter p(&image);
    Prepare(p);
    // A strip of the exercise book's page along the bottom, its corner turned up on the right.
    QPolygonF page;
    page << QPointF(96, H - 2) << QPointF(96, H - 30) << QPointF(W - 30, H - 30)
         << QPointF(W - 2, H - 12) << QPointF(W - 2, H - 2);
    p.setPen(QPen(ink::Frame, 1.5));
    p.setBrush(ink::Paper);
    p.drawPolygon(page);
    p.setPen(QPen(ink::Grid, 1));
    for (double x = 104; x < W - 30; x += 10)
        p.drawLine(QPointF(x, H - 28), QPointF(x, H - 4));
    p.drawLine(QPointF(98, H - 16), QPointF(W - 10, H - 16));
    p.setPen(QPen(ink::Margin, 1.5));
    p.drawLine(QPointF(118, H - 29), QPointF(118, H - 3));
    // A line of handwriting on it.
    QPainterPath writing;
    writing.moveTo(128, H - 10);
    for (int i = 0; i < 12; ++i)
        writing.cubicTo(132 + i * 14, H - 22, 136 + i * 14, H - 2, 142 + i * 14, H - 11);
    p.setPen(QPen(ink::Blue, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(writing);

    // The inkwell: a squat glass pot with a brass cap, ink showing through.
    const QRectF pot(14, H - 46, 66, 42);
    QPainterPath glass;
    glass.addRoundedRect(pot, 12, 12);
    p.setPen(QPen(ink::PanelEdge, 2));
    p.setBrush(QColor(200, 214, 236));
    p.drawPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 34, 86));
    p.drawRoundedRect(pot.adjusted(5, 14, -5, -5), 8, 8);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(QRectF(pot.left() + 8, pot.top() + 6, 7, 24), 3, 3);
    p.setPen(QPen(QColor(120, 84, 28), 1.5));
    p.setBrush(QColor(206, 160, 64));
    p.drawRoundedRect(QRectF(pot.left() + 18, pot.top() - 9, 30, 11), 3, 3);

    // The quill standing in it, leaning right: a shaft and the vane in two strokes.
    const QPointF tip(pot.left() + 36, pot.top() + 4);
    const QPointF top(W * 0.42, 6);
    QPainterPath vane;
    vane.moveTo(tip.x() + (top.x() - tip.x()) * 0.3, tip.y() + (top.y() - tip.y()) * 0.3);
    vane.cubicTo(tip.x() + 10, top.y() + 40, top.x() - 40, top.y() - 4, top.x(), top.y());
    vane.cubicTo(top.x() - 10, top.y() + 26, tip.x() + 40, tip.y() - 6,
                 tip.x() + (top.x() - tip.x()) * 0.3, tip.y() + (top.y() - tip.y()) * 0.3);
    p.setPen(QPen(QColor(150, 150, 170), 1.2));
    p.setBrush(ink::Card);
    p.drawPath(vane);
    p.setPen(QPen(ink::Pencil, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(tip, top);
    return image;
}

QImage DrawPointer() {
    QImage image = NewImage(PointerSize.width(), PointerSize.height(), Qt::white);
    QPainter p(&image);
    Prepare(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A yellow pencil lying from the top right down to its point at the bottom left, where the
    // trainer puts the middle of the check point's cell.
    const QPointF point(1, 31), end(21, 2);
    const double dx = end.x() - point.x(), dy = end.y() - point.y();
    const double len = std::hypot(dx, dy);
    const QPointF along(dx / len, dy / len), across(-dy / len * 4.2, dx / len * 4.2);
    auto at = [&](double t) { return point + along * t; };
    QPolygonF wood, body, eraser;
    wood << point << at(9) + across << at(9) - across;
    body << at(9) + across << at(len - 5) + across << at(len - 5) - across << at(9) - across;
    eraser << at(len - 5) + across << at(len) + across << at(len) - across << at(len - 5) - across;
    p.setPen(QPen(ink::Frame, 1));
    p.setBrush(QColor(236, 200, 150));
    p.drawPolygon(wood);
    p.setBrush(QColor(250, 196, 40));
    p.drawPolygon(body);
    p.setBrush(QColor(226, 120, 130));
    p.drawPolygon(eraser);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::Frame);
    p.drawPolygon(QPolygonF() << point << at(4) + across * 0.45 << at(4) - across * 0.45);
    return image;
}

} // namespace art
