#pragma once
// Full-screen backgrounds are drawn for the screen shapes of their size class (4:3, 5:4); on a
// wider or taller screen the margins around the centred picture continue the picture's own edges
// - the squared paper goes on to the screen's edge - instead of showing bars.

#include <QImage>
#include <QSize>

namespace platform {

// The shortest repeat of the picture's pattern at one edge: at the left edge columns [0, p) equal
// [p, 2p) (rows for the top edge, counted from the far side for the right and bottom edges),
// within a small tolerance for every single column or row, compared near the lines' ends where
// the paper shows; p is longer than the flat strip before the edge's first line. 1 (the edge line
// repeated) for a flat edge or when no repeat of at most `longest` is found.
enum class TEdge { Left, Right, Top, Bottom };
int EdgePeriod(const QImage& picture, TEdge edge, int longest = 128);

// The picture centred on a surface of that size (where it is larger it is cut evenly, as centring
// does), the margins filled by repeating each edge's pattern outward.
QImage ExtendedPicture(const QImage& picture, QSize surface);

} // namespace platform
