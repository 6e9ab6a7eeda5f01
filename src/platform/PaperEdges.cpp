#include "platform/PaperEdges.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

int Difference(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// Mean difference between line i and line j of the picture (columns when `columns`, rows
// otherwise), taken only near both ends of the lines: the paper shows in the corners, while a
// title or a block of controls may come close to an edge in the middle.
int LineDifference(const QImage& image, bool columns, int i, int j) {
    const int length = columns ? image.height() : image.width();
    const int corner = std::min(48, (length + 1) / 2);
    long sum = 0;
    int count = 0;
    const auto add = [&](int k) {
        sum += columns ? Difference(image.pixel(i, k), image.pixel(j, k))
                       : Difference(image.pixel(k, i), image.pixel(k, j));
        ++count;
    };
    for (int k = 0; k < corner; ++k)
        add(k);
    for (int k = std::max(length - corner, corner); k < length; ++k)
        add(k);
    return count ? static_cast<int>(sum / count) : 0;
}

// The source line for a surface line `s` lines away from the picture's first line.
int SourceLine(int s, int size, int before, int after) {
    if (s < 0)
        return ((s % before) + before) % before;
    if (s >= size)
        return size - after + (s - size) % after;
    return s;
}

} // namespace

int EdgePeriod(const QImage& picture, TEdge edge, int longest) {
    const bool columns = edge == TEdge::Left || edge == TEdge::Right;
    const int size = columns ? picture.width() : picture.height();
    const bool fromEnd = edge == TEdge::Right || edge == TEdge::Bottom;
    // Within this, the eye sees no seam: JPEG noise and antialiased edges stay below it.
    const int tolerance = 6;
    const auto line = [&](int k) { return fromEnd ? size - 1 - k : k; };
    // A flat strip before the first grid line is no pattern of its own: a repeat must be longer
    // than it.
    int flat = 1;
    while (flat < size && LineDifference(picture, columns, line(0), line(flat)) <= tolerance)
        ++flat;
    if (flat == size)
        return 1;
    for (int p = flat + 1; p <= std::min(longest, size / 2); ++p) {
        bool repeats = true;
        for (int k = 0; k < p && repeats; ++k)
            repeats = LineDifference(picture, columns, line(k), line(k + p)) <= tolerance;
        if (repeats)
            return p;
    }
    return 1;
}

QImage ExtendedPicture(const QImage& picture, QSize surface) {
    if (picture.isNull() || surface.isEmpty())
        return {};
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    const int w = source.width(), h = source.height();
    // Where the picture's first column and row land, as a centred picture has them.
    const int left = (surface.width() - w) / 2, top = (surface.height() - h) / 2;
    const bool wider = surface.width() > w, taller = surface.height() > h;
    const int pl = wider ? EdgePeriod(source, TEdge::Left) : 1;
    const int pr = wider ? EdgePeriod(source, TEdge::Right) : 1;
    const int pt = taller ? EdgePeriod(source, TEdge::Top) : 1;
    const int pb = taller ? EdgePeriod(source, TEdge::Bottom) : 1;

    std::vector<int> column(static_cast<std::size_t>(surface.width()));
    for (int x = 0; x < surface.width(); ++x)
        column[static_cast<std::size_t>(x)] = SourceLine(x - left, w, pl, pr);
    QImage out(surface, QImage::Format_RGB32);
    for (int y = 0; y < surface.height(); ++y) {
        const auto* from =
            reinterpret_cast<const QRgb*>(source.constScanLine(SourceLine(y - top, h, pt, pb)));
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < surface.width(); ++x)
            to[x] = from[column[static_cast<std::size_t>(x)]];
    }
    return out;
}

} // namespace platform
