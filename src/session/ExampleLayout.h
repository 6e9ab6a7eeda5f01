#pragma once
// How an example sentence is laid out in the example box: the display text, its lines, the
// metrics, the cell of the current check point, the scroll position that keeps it in view, and
// the characters shown at the check points. Positions are 1-based, as the library gives them.

#include <string>
#include <string_view>
#include <vector>

// Cell width and height of the large font, cell height of the small one.
struct TTextMetrics {
    int W = 0;
    int H = 0;
    int Hs = 0;
};

// One line of the display text: the characters shown (a split word ends with "-", which is not
// part of the text) and the part of the display text it shows.
struct TTextLine {
    std::string Text;
    int Start = 1;  // 1-based position in the display text of the first character
    int Length = 0; // characters of the display text on this line
};
using TTextLines = std::vector<TTextLine>;

// Breaks `s` into lines of `lineChars` cells: a "*" ends its line (and stays at its end), a line
// otherwise ends after its last space, a word longer than a line is split with "-", and the rest
// is taken whole once at most `lineChars` characters follow the line start. Never fewer than one
// line; `lineChars` below 2 is taken as 2.
TTextLines BreakLines(std::string_view s, int lineChars);

// The line holding display position p: -1 when p is below 1 or beyond `textLength`, the last line
// when p lies beyond all lines.
int LineOfPosition(const TTextLines& lines, int p, int textLength);
// The display position of the first character of line L, or 0 for no such line.
int LineStart(const TTextLines& lines, int line);

// The example box as the form has it at the moment.
struct TBoxGeometry {
    int ScreenWidth = 0;
    int Width = 0;
    int Height = 0;
    int ClientHeight = 0;
    int ScrollPosition = 0;
};

// Where a line's characters stand in the example picture.
struct TLineBox {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

struct TMistakeMark {
    int X = 0;
    int Y = 0;
    int Count = 0;
    // The display position of the marked cell, so that the mark follows it to a new line
    // length; later closed-up "@"s stand after it and do not move it.
    int At = 0;
    bool operator==(const TMistakeMark&) const = default;
};

// What the check points of the example show: the current one its chosen character or "_", the
// later ones "_"; positions are the stored ones.
struct TShownCheckPoints {
    int Current = 0;  // position of the current check point; 0: none
    char Shown = '_'; // what stands there
    std::vector<int> Later;
};

class TExampleLayout {
public:
    TTextMetrics Metrics;
    std::string DisplayText;
    // Leading blanks trimmed off the stored text, which shift every position by as much.
    int Trimmed = 0;
    int RemovedCount = 0;
    int LineChars = 2;
    TTextLines Lines;
    int TopMargin = 40;
    int CellX = 0;
    int CellY = 0;
    // The display position of the located cell.
    int CellAt = 0;
    std::vector<TMistakeMark> MistakeMarks;
    int PictureWidth = 0;
    int PictureHeight = 0;
    int ScrollRange = 0;
    int ScrollPosition = 0;
    bool ScrollBarVisible = false;

    int LineHeight() const { return Metrics.H + 40; }
    int LeftMargin() const { return (PictureWidth - Metrics.W * LineChars) / 2; }
    int CentredTop() const {
        return (PictureHeight - LineHeight() * static_cast<int>(Lines.size())) / 2;
    }
    // Where a stored position stands in the display text.
    int DisplayPosition(int position) const { return position - Trimmed - RemovedCount; }

    // A new example: the display text, the picture size, the line length, the lines and the
    // scroll range. No check point is located yet.
    void LayOut(std::string_view text, const TBoxGeometry& box);
    // The same display text broken again for a new box: picture size, line length, lines,
    // scroll range, and the mistake marks moved with their cells. The cell is left to Locate.
    void Reflow(const TBoxGeometry& box);
    // The cell of the check point at `position` and the scroll position that keeps it in view.
    // A position outside the text leaves the cell at 0, 0 (no pointer).
    void Locate(int position, const TBoxGeometry& box);
    // A passed "@": the text closes up at the check point.
    void RemoveAt(int position);
    // Each line's characters in the picture, in line order (the rule window keeps off them).
    std::vector<TLineBox> LineBoxes() const;
    // The line of the located cell; -1 when no cell is located.
    int CellLine() const;
    // The lines as drawn, with the check points' characters in place.
    TTextLines ShownLines(const TShownCheckPoints& points) const;

private:
    void BreakDisplayText();
    // The picture and line sizes for the box, and the lines of the display text in them.
    void Fit(const TBoxGeometry& box);
    // The cell of a display position; false when it is outside the text.
    bool CellOf(int p, int& x, int& y) const;
};
