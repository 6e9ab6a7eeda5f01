#include "Style.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QRawFont>

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
    // Hinted and unhinted outlines of a glyph differ, and which one a path gets depends on what
    // was drawn before; without hinting every drawing is the same whatever came first.
    font.setHintingPreference(QFont::PreferNoHinting);
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

QPainterPath TextPath(TTypeface face, double pixelSize, const QString& text) {
    const char* file = nullptr;
    for (const TFontFile& f : FontFiles)
        if (f.Face == face)
            file = f.File;
    const QString path = QString::fromLatin1(FontDir) + QString::fromLatin1(file);
    QRawFont raw(path, std::max(1.0, std::round(pixelSize)), QFont::PreferNoHinting);
    if (!raw.isValid())
        throw std::runtime_error("cannot load font " + path.toStdString());
    const QList<quint32> glyphs = raw.glyphIndexesForString(text);
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
    QPainterPath out;
    QPointF at(0, 0);
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        out.addPath(raw.pathForGlyph(glyphs[i]).translated(at));
        at += advances[i];
    }
    return out;
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

void DrawTextAt(QPainter& p, QPointF at, const QString& text, TTypeface face, double pixelSize,
                const QColor& colour) {
    constexpr double LargestCachedGlyph = 48;
    p.save();
    if (std::round(pixelSize) >= LargestCachedGlyph) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(TextPath(face, pixelSize, text).translated(at));
    } else {
        p.setFont(ArtFont(face, pixelSize));
        p.setPen(colour);
        p.drawText(at, text);
    }
    p.restore();
}

void DrawFittedText(QPainter& p, const QRectF& box, const QString& text, TTypeface face,
                    double maxPixels, const QColor& colour, int align) {
    const QFont font = FitFont(face, text, box.width(), maxPixels, std::min(maxPixels, 8.0));
    const QFontMetricsF m(font);
    const double width = m.horizontalAdvance(text);
    double x = box.center().x() - width / 2;
    if (align & Qt::AlignLeft)
        x = box.left();
    else if (align & Qt::AlignRight)
        x = box.right() - width;
    const double baseline = box.center().y() + (m.ascent() - m.descent()) / 2;
    DrawTextAt(p, QPointF(x, baseline), text, face, font.pixelSize(), colour);
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
