#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

// The one look of the whole set: a school exercise book. Cream squared paper, blue-black ink,
// a red margin rule and the teacher's red pen; the exercise screen's own navy for the panel.
namespace art {

namespace ink {
inline const QColor Paper{252, 250, 242};
inline const QColor PaperPressed{230, 224, 205};
inline const QColor Card{255, 254, 250};
inline const QColor Grid{216, 228, 241};
inline const QColor Rule{168, 193, 224};
inline const QColor Margin{226, 134, 134};
inline const QColor Blue{32, 56, 120};
inline const QColor Red{190, 44, 36};
inline const QColor Green{40, 120, 52};
inline const QColor Pencil{112, 118, 132};
inline const QColor Frame{38, 48, 88};
inline const QColor Panel{14, 26, 112};
inline const QColor PanelEdge{132, 156, 212};
} // namespace ink

enum class TTypeface { Sans, SansBold, Serif, SerifBold, SerifItalic, SerifBoldItalic };

// Registers the DejaVu files by path so the pictures do not depend on what fontconfig would pick.
// Throws std::runtime_error when a file is missing.
void LoadFonts();

QFont ArtFont(TTypeface face, double pixelSize);

// The largest font not above maxPixels (and not below minPixels) whose text fits the width.
QFont FitFont(TTypeface face, const QString& text, double width, double maxPixels,
              double minPixels);

// The outline of a line of text, baseline at y = 0, read straight from the font file without
// hinting, so that it does not depend on font matching or on what was drawn before.
QPainterPath TextPath(TTypeface face, double pixelSize, const QString& text);

// One line of text with its baseline starting at `at`. Large sizes are filled as outlines from
// TextPath: Qt draws big glyphs as paths whose outline depends on what the font engine drew
// before, which would make the pictures depend on the order they are drawn in.
void DrawTextAt(QPainter& p, QPointF at, const QString& text, TTypeface face, double pixelSize,
                const QColor& colour);

// A painter with the settings every recipe uses.
void Prepare(QPainter& p);

QImage NewImage(int width, int height, const QColor& fill);

// Squared exercise-book paper; the grid is anchored at the origin so neighbouring pictures agree.
void FillSquaredPaper(QPainter& p, const QRectF& area, double step);

// The red margin rule of an exercise book, a double hairline.
void DrawMarginRule(QPainter& p, double x, double top, double bottom, double scale);

// Text centred in a box on one line, shrunk to fit.
void DrawFittedText(QPainter& p, const QRectF& box, const QString& text, TTypeface face,
                    double maxPixels, const QColor& colour, int align = Qt::AlignCenter);

// A sheet of card lying on the page: a soft shadow, a light fill and a thin ink edge.
void DrawCardSheet(QPainter& p, const QRectF& r, double radius, double shadow);

} // namespace art
