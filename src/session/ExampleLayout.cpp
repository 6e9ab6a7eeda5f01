#include "session/ExampleLayout.h"

#include <algorithm>

TTextLines BreakLines(std::string_view s, int lineChars) {
    const int w = std::max(lineChars, 2);
    const int n = static_cast<int>(s.size());
    // 1-based like the positions, so that the steps read as the rules do.
    auto at = [s](int i) { return s[static_cast<std::size_t>(i - 1)]; };
    auto piece = [s](int from, int to) {
        return std::string(
            s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1)));
    };
    TTextLines lines;
    int start = 1;
    do {
        TTextLine line;
        line.Start = start;
        int star = 0;
        for (int i = start; i <= std::min(start + w - 1, n - 1); ++i)
            if (at(i) == '*') {
                star = i;
                break;
            }
        if (star) {
            line.Text = piece(start, star);
            start = star + 1;
        } else if (n - start <= w) {
            line.Text = start <= n ? piece(start, n) : std::string();
            start = n + 1;
        } else {
            int e = start + w - 1;
            while (e > start && at(e) != ' ')
                --e;
            if (e > start) {
                line.Text = piece(start, e);
                start = e + 1;
            } else {
                line.Text = piece(start, start + w - 2) + "-";
                start += w - 1;
            }
        }
        line.Length = start - line.Start;
        lines.push_back(std::move(line));
    } while (start <= n);
    return lines;
}

int LineOfPosition(const TTextLines& lines, int p, int textLength) {
    if (p < 1 || p > textLength || lines.empty())
        return -1;
    for (std::size_t l = 0; l < lines.size(); ++l)
        if (p < lines[l].Start + lines[l].Length)
            return static_cast<int>(l);
    return static_cast<int>(lines.size()) - 1;
}

int LineStart(const TTextLines& lines, int line) {
    if (line < 0 || line >= static_cast<int>(lines.size()))
        return 0;
    return lines[static_cast<std::size_t>(line)].Start;
}

void TExampleLayout::BreakDisplayText() {
    Lines = BreakLines(DisplayText, LineChars);
}

void TExampleLayout::LayOut(std::string_view text, const TBoxGeometry& box) {
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32)
        --e;
    DisplayText = std::string(text.substr(b, e - b));
    Trimmed = static_cast<int>(b);
    RemovedCount = 0;
    Fit(box);
    CellX = 0;
    CellY = 0;
    MistakeMarks.clear();
}

void TExampleLayout::Fit(const TBoxGeometry& box) {
    // A window narrower than the screen (un-maximised) centres the lines in what it shows.
    PictureWidth = box.Width > 0 && (box.ScreenWidth <= 0 || box.Width < box.ScreenWidth)
                       ? box.Width
                       : box.ScreenWidth;
    PictureHeight = std::max(box.ClientHeight, 1);
    LineChars = std::max(box.Width / std::max(Metrics.W, 1) - 3, 2);
    BreakDisplayText();
    const int lineCount = static_cast<int>(Lines.size());
    if (PictureHeight / LineHeight() < lineCount)
        PictureHeight = LineHeight() * (lineCount + 1);
    ScrollPosition = 0;
    if (box.ClientHeight < PictureHeight) {
        ScrollRange = PictureHeight;
        ScrollBarVisible = true;
    } else {
        ScrollRange = 0;
        ScrollBarVisible = false;
    }
    TopMargin = std::max(CentredTop(), 40);
}

void TExampleLayout::Reflow(const TBoxGeometry& box) {
    Fit(box);
    for (TMistakeMark& m : MistakeMarks)
        CellOf(m.At, m.X, m.Y);
}

bool TExampleLayout::CellOf(int p, int& x, int& y) const {
    const int line = LineOfPosition(Lines, p, static_cast<int>(DisplayText.size()));
    if (line < 0)
        return false;
    x = (p - LineStart(Lines, line)) * Metrics.W + LeftMargin() + 1;
    y = LineHeight() * line + TopMargin + 1;
    return true;
}

std::vector<TLineBox> TExampleLayout::LineBoxes() const {
    std::vector<TLineBox> boxes;
    boxes.reserve(Lines.size());
    for (std::size_t i = 0; i < Lines.size(); ++i)
        // Down to the mistake marks' strokes under the cells.
        boxes.push_back({LeftMargin(), LineHeight() * static_cast<int>(i) + TopMargin,
                         Metrics.W * static_cast<int>(Lines[i].Text.size()), Metrics.H + 7});
    return boxes;
}

int TExampleLayout::CellLine() const {
    if (CellX == 0 && CellY == 0)
        return -1;
    return LineOfPosition(Lines, CellAt, static_cast<int>(DisplayText.size()));
}

void TExampleLayout::Locate(int position, const TBoxGeometry& box) {
    BreakDisplayText();
    TopMargin = std::max(CentredTop(), 40);
    CellAt = DisplayPosition(position);
    if (!CellOf(CellAt, CellX, CellY)) {
        CellX = 0;
        CellY = 0;
        return;
    }
    if (box.Height - Metrics.Hs < PictureHeight) {
        int pos = box.ScrollPosition;
        while (CellY < pos + 44 && pos > 0)
            --pos;
        while (box.ClientHeight + pos - Metrics.H - 4 < CellY &&
               pos < ScrollRange - box.ClientHeight)
            ++pos;
        ScrollPosition = pos;
    } else {
        ScrollPosition = box.ScrollPosition;
    }
}

void TExampleLayout::RemoveAt(int position) {
    const int p = DisplayPosition(position);
    if (p < 1 || p > static_cast<int>(DisplayText.size()))
        return;
    DisplayText.erase(static_cast<std::size_t>(p - 1), 1);
    ++RemovedCount;
    BreakDisplayText();
}

TTextLines TExampleLayout::ShownLines(const TShownCheckPoints& points) const {
    TTextLines lines = BreakLines(DisplayText, LineChars);
    const int length = static_cast<int>(DisplayText.size());
    // The cell of a display position: line and 1-based column; false when it has none.
    auto cell = [&](int p, int& line, int& k) {
        line = LineOfPosition(lines, p, length);
        if (line < 0)
            return false;
        k = p - LineStart(lines, line) + 1;
        return k >= 1 && k <= lines[static_cast<std::size_t>(line)].Length;
    };
    int removedLine = -1, removedAt = 0;
    if (points.Current > 0) {
        int line = 0, k = 0;
        if (cell(DisplayPosition(points.Current), line, k)) {
            std::string& t = lines[static_cast<std::size_t>(line)].Text;
            if (points.Shown == '@') {
                t.erase(static_cast<std::size_t>(k - 1), 1);
                removedLine = line;
                removedAt = k;
            } else {
                t[static_cast<std::size_t>(k - 1)] = points.Shown;
            }
        }
    }
    for (int q : points.Later) {
        int line = 0, k = 0;
        if (!cell(DisplayPosition(q), line, k))
            continue;
        if (line == removedLine) {
            if (k == removedAt)
                continue; // the same place as the closed-up one: nothing left to mark
            if (k > removedAt)
                --k;
        }
        std::string& t = lines[static_cast<std::size_t>(line)].Text;
        if (k >= 1 && k <= static_cast<int>(t.size()))
            t[static_cast<std::size_t>(k - 1)] = '_';
    }
    return lines;
}
