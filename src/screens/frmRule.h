#pragma once
// The rule window: a small tool window on top of the exercise screen that shows one grammar rule
// beside the check point the pupil is at. The picture comes from RuleDrawing; the window sizes,
// places and shows it, lets the arrow keys push it around and passes every other key on to the
// exercise screen.

#include "platform/Form.h"
#include "render/RuleDrawing.h"
#include "screens/ScreenLinks.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>
#include <string>
#include <vector>

class TFFont;
class TFRule;
namespace platform {
class TImage;
}

class TfrmRule : public platform::TForm, public IRuleWindow {
    Q_OBJECT
public:
    // What the window draws with and whom it passes keys on to; any may be missing.
    struct TLinks {
        const TFFont* Fonts = nullptr;
        const TFRule* Rules = nullptr;
        IRuleHost* Main = nullptr;
    };
    explicit TfrmRule(TLinks links, QWidget* parent = nullptr);

    // Draws the rule (an unknown identifier gets the library's line for a missing rule) and shows
    // the window beside the check point's cell, whose top-left corner is at (x, y) on the screen.
    // Of the sentence area only the right and bottom edges count.
    void ShowRule(const std::string& rule, int x, int y, const QRect& exampleBox) {
        ShowRule(rule, x, y, exampleBox, TSentenceOnScreen{});
    }
    void ShowRule(const std::string& rule, int x, int y, const QRect& exampleBox,
                  const TSentenceOnScreen& sentence) override;
    void HideRule() override;
    bool RuleShown() const override { return isVisible(); }
    // Draws the lines into imgRule. On failure the error box is shown, the empty page stays and
    // the result is false.
    bool DrawRule(const std::vector<std::string>& lines);

    // Arrow keys move the window; every other key goes on to the exercise screen.
    void FormKeyDown(platform::WORD& key, platform::TShiftState shift) override;
    void FormKeyPress(char& key) override;

    platform::TImage* imgRule = nullptr;
    // A twentieth of the screen, taken afresh whenever the window is shown.
    int StepX = 0;
    int StepY = 0;

protected:
    void FormShow() override;
    void FormHide() override;

private:
    // Sizes the window for that many lines, keeping its outer width, and places it beside the
    // check point's cell.
    void Layout(std::size_t lines, QPoint cell, const QRect& area, QSize frame,
                const TSentenceOnScreen& sentence);
    QSize FrameSize() const;

    TLinks Links;
    TRuleMetrics Metrics;
};

// Where the window's outer top-left corner goes: right of and below the check point's cell at
// (x, y), or left of / above it when it would cross the sentence area's right / bottom edge and
// there is room on that side.
QPoint PlaceRule(int x, int y, int areaRight, int areaBottom, QSize outer, const TRuleMetrics& m);

// Where the window's outer top-left corner goes when the sentence's lines are known: never over
// what must stay clear, inside the sentence area when it fits there, over as few lines as the
// room allows, and then as near the check point's cell (x, y) as it can be - beside it as
// PlaceRule puts it when that covers nothing. `screen` is the room the window may take at all.
QPoint PlaceRuleOffText(int x, int y, const QRect& area, const QRect& screen, QSize outer,
                        const TRuleMetrics& m, const TSentenceOnScreen& sentence);

// The window's new outer top-left corner after an arrow key, by a step, kept on the screen (flush
// against the edge when the step would pass it); nothing for any other key.
std::optional<QPoint> RuleMovedByKey(platform::WORD key, const QRect& frame, QSize screen,
                                     int stepX, int stepY);
