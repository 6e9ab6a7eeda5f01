#include "Style.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainterPath>

#include <cmath>
#include <stdexcept>

namespace art {

namespace {

const char* const FontDir = "/usr/share/fonts/truetype/dejavu/";

struct TFontFile {
    TTypeface Face;
    const char* File;
};

const TFontFile FontFiles[] = {
    {TTypeface::Sans, "DejaVuSans.ttf"},
    {TTypeface::SansBold, "DejaVuSans-Bold.ttf"},
    {TTypeface::Serif, "DejaVuSerif.ttf"},
    {TTypeface::SerifBold, "DejaVuSerif-Bold.ttf"},
    {TTypeface::SerifItalic, "DejaVuSerif-Italic.ttf"},
    {TTypeface::SerifBoldItalic, "DejaVuSerif-BoldItalic.ttf"},
};

QString SansFamily;
QString SerifFamily;

} // namespace

void LoadFonts() {
    if (!SansFamily.isEmpty())
        return;
    for (const TFontFile& f : FontFiles) {
        const QString path = QString::fromLatin1(FontDir) + QString::fromLatin1(f.File);
        const int id = QFontDatabase::addApplicationFont(path);
        if (id < 0)
            throw std::runtime_error("cannot load font " + path.toStdString());
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (families.isEmpty())
            throw std::runtime_error("font without a family: " + path.toStdString());
        if (f.Face == TTypeface::Sans)
            SansFamily = families.front();
        if (f.Face == TTypeface::Serif)
            SerifFamily = families.front();
    }
}

QFont ArtFont(TTypeface face, double pixelSize) {
    LoadFonts();
    const bool serif = face == TTypeface::Serif || face == TTypeface::SerifBold ||
                       face == TTypeface::SerifItalic || face == TTypeface::SerifBoldItalic;
    QFont font(serif ? SerifFamily : SansFamily);
    font.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    font.setBold(face == TTypeface::SansBold || face == TTypeface::SerifBold ||
                 face == TTypeface::SerifBoldItalic);
    font.setItalic(face == TTypeface::SerifItalic || face == TTypeface::SerifBoldItalic);
    font.setStretch(QFont::Unstretched);
    font.setKerning(true);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoFontMerging));
    return font;
}

QFont FitFont(TTypeface face, const QString& text, double width, double maxPixels,
              double minPixels) {
    for (double px = maxPixels; px > minPixels; px -= 1) {
        QFont font = ArtFont(face, px);
        if (QFontMetricsF(font).horizontalAdvance(text) <= width)
            return font;
    }
    return ArtFont(face, minPixels);
}

void Prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QImage NewImage(int width, int height, const QColor& fill) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

void FillSquaredPaper(QPainter& p, const QRectF& area, double step) {
    p.save();
    p.setClipRect(area);
    p.fillRect(area, ink::Paper);
    p.setPen(QPen(ink::Grid, 1));
    p.setRenderHint(QPainter::Antialiasing, false);
    const double x0 = std::floor(area.left() / step) * step;
    for (double x = x0; x <= area.right(); x += step)
        p.drawLine(QPointF(std::floor(x) + 0.5, area.top()),
                   QPointF(std::floor(x) + 0.5, area.bottom()));
    const double y0 = std::floor(area.top() / step) * step;
    for (double y = y0; y <= area.bottom(); y += step)
        p.drawLine(QPointF(area.left(), std::floor(y) + 0.5),
                   QPointF(area.right(), std::floor(y) + 0.5));
    p.restore();
}

void DrawMarginRule(QPainter& p, double x, double top, double bottom, double scale) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ink::Margin, std::max(1.0, std::round(scale))));
    p.drawLine(QPointF(x, top), QPointF(x, bottom));
    p.restore();
}

void DrawFittedText(QPainter& p, const QRectF& box, const QString& text, TTypeface face,
                    double maxPixels, const QColor& colour, int align) {
    p.save();
    p.setFont(FitFont(face, text, box.width(), maxPixels, std::min(maxPixels, 8.0)));
    p.setPen(colour);
    p.drawText(box, align | Qt::TextSingleLine, text);
    p.restore();
}

void DrawCardSheet(QPainter& p, const QRectF& r, double radius, double shadow) {
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        const double d = shadow * i / 3.0;
        p.setBrush(QColor(60, 70, 100, 18));
        p.drawRoundedRect(r.translated(d * 0.6, d), radius + d * 0.3, radius + d * 0.3);
    }
    p.setBrush(ink::Card);
    p.setPen(QPen(ink::Rule, 1));
    p.drawRoundedRect(r, radius, radius);
    p.restore();
}

} // namespace art
