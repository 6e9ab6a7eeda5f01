#include "screens/frmRule.h"

#include "app/Reports.h"
#include "app/Strings.h"
#include "content/FRule.h"
#include "platform/Image.h"
#include "platform/Screen.h"
#include "render/FFont.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

using namespace platform;

QPoint PlaceRule(int x, int y, int areaRight, int areaBottom, QSize outer, const TRuleMetrics& m) {
    const int width = outer.width(), height = outer.height();
    const int left = areaRight - m.EW - width - m.Margin < x && m.Margin + width < x
                         ? x - width - m.Margin
                         : x + m.EW + m.Margin;
    const int top = areaBottom - m.EH - height - m.Margin < y && m.Margin + height < y
                        ? y - height - m.Margin
                        : y + m.EH + m.Margin;
    return {left, top};
}

QPoint PlaceRuleOffText(int x, int y, const QRect& area, const QRect& screen, QSize outer,
                        const TRuleMetrics& m, const TSentenceOnScreen& sentence) {
    const int w = outer.width(), h = outer.height();
    const QPoint described =
        PlaceRule(x, y, area.x() + area.width(), area.y() + area.height(), outer, m);
    const QRect cell(x, y, std::max(m.EW, 1), std::max(m.EH, 1));
    const auto coversLine = [&](const QRect& r) {
        return std::any_of(sentence.Lines.begin(), sentence.Lines.end(),
                           [&](const QRect& line) { return r.intersects(line); });
    };
    const QRect there(described, outer);
    if (area.contains(there) && screen.contains(there) && !there.intersects(cell) &&
        !there.intersects(sentence.KeepClear) && !coversLine(there))
        return described;
    // Candidate edges: the described place, each side of the cell, each side of every line and
    // the area's edges; the best window has its edges on some of them.
    std::vector<int> lefts{described.x(), x + m.EW + m.Margin, x - w - m.Margin, area.left(),
                           area.right() + 1 - w};
    std::vector<int> tops{described.y(), y + m.EH + m.Margin, y - h - m.Margin, area.top(),
                          area.bottom() + 1 - h};
    for (const QRect& line : sentence.Lines) {
        lefts.push_back(line.right() + 1 + m.Margin);
        lefts.push_back(line.left() - m.Margin - w);
        tops.push_back(line.bottom() + 1 + m.Margin);
        tops.push_back(line.top() - m.Margin - h);
    }
    const auto clampTo = [](int v, int low, int high) {
        return high < low ? low : std::clamp(v, low, high);
    };
    struct TScore {
        int CoversClear, OutsideArea, LinesCovered, Distance, FromDescribed;
        auto operator<=>(const TScore&) const = default;
    };
    std::optional<TScore> best;
    QPoint chosen = described;
    for (int l : lefts) {
        l = clampTo(l, screen.left(), screen.right() + 1 - w);
        for (int t : tops) {
            t = clampTo(t, screen.top(), screen.bottom() + 1 - h);
            const QRect r(l, t, w, h);
            TScore score{};
            score.CoversClear = r.intersects(cell) || r.intersects(sentence.KeepClear);
            score.OutsideArea = !area.contains(r);
            for (const QRect& line : sentence.Lines)
                score.LinesCovered += r.intersects(line);
            const int dx = std::max({0, r.left() - cell.right(), cell.left() - r.right()});
            const int dy = std::max({0, r.top() - cell.bottom(), cell.top() - r.bottom()});
            score.Distance = dx + dy;
            score.FromDescribed = std::abs(l - described.x()) + std::abs(t - described.y());
            if (!best || score < *best) {
                best = score;
                chosen = r.topLeft();
            }
        }
    }
    return chosen;
}

std::optional<QPoint> RuleMovedByKey(WORD key, const QRect& frame, QSize screen, int stepX,
                                     int stepY) {
    QPoint at = frame.topLeft();
    switch (key) {
    case VK_LEFT:
        at.setX(std::max(0, at.x() - stepX));
        break;
    case VK_UP:
        at.setY(std::max(0, at.y() - stepY));
        break;
    case VK_RIGHT:
        at.setX(at.x() + frame.width() + stepX <= screen.width() ? at.x() + stepX
                                                                 : screen.width() - frame.width());
        break;
    case VK_DOWN:
        at.setY(at.y() + frame.height() + stepY <= screen.height()
                    ? at.y() + stepY
                    : screen.height() - frame.height());
        break;
    default:
        return std::nullopt;
    }
    return at;
}

TfrmRule::TfrmRule(TLinks links, QWidget* parent) : TForm(parent), Links(links) {
    setObjectName("frmRule");
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8("Подумайте..."));
    SetKeyPreview(true);
    imgRule = new TImage(this);
    imgRule->setObjectName("imgRule");
    resize(324, 326);
}

void TfrmRule::ShowRule(const std::string& rule, int x, int y, const QRect& exampleBox,
                        const TSentenceOnScreen& sentence) {
    SetCaption(strfrmRuleTitle);
    if (!Links.Fonts || !Links.Rules) {
        // Start-up would have ended the program before any session; nothing to draw with.
        ShowRuleOutputError();
        return;
    }
    const std::vector<std::string>& lines = Links.Rules->GetRule(rule);
    Metrics =
        RuleMetrics(Links.Fonts->SmallSize(), Links.Fonts->LargeSize(), GetScreenMetrics().Width);

    const QSize frame = FrameSize();
    Layout(lines.size(), QPoint(x, y), exampleBox, frame, sentence);
    const bool drawn = DrawRule(lines);
    show();
    raise();
    activateWindow();
    // The window system tells the size of its frame only once the window is up: the first
    // showing is laid out again with it (without a second error box if drawing failed).
    if (FrameSize() != frame) {
        Layout(lines.size(), QPoint(x, y), exampleBox, FrameSize(), sentence);
        if (drawn)
            DrawRule(lines);
        else
            imgRule->SetPicture(TBitmap(imgRule->Width(), imgRule->Height(), HintBackColor));
    }
}

QSize TfrmRule::FrameSize() const {
    return frameGeometry().size() - geometry().size();
}

void TfrmRule::Layout(std::size_t lines, QPoint cell, const QRect& area, QSize frame,
                      const TSentenceOnScreen& sentence) {
    // The outer width is fixed; the page gets what the frame leaves of it.
    const int clientWidth = std::max(Metrics.WindowWidth() - frame.width(), 1);
    const int clientHeight = Metrics.PageHeight(lines);
    const QSize outer(Metrics.WindowWidth(), clientHeight + frame.height());
    QPoint at;
    if (sentence.Lines.empty()) {
        // The sentence area's edges as Windows gives a rectangle's: just past its last pixel.
        at = PlaceRule(cell.x(), cell.y(), area.x() + area.width(), area.y() + area.height(), outer,
                       Metrics);
    } else {
        const QScreen* screen = QGuiApplication::screenAt(cell);
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        const QRect room = screen ? screen->availableGeometry() : area;
        at = PlaceRuleOffText(cell.x(), cell.y(), area, room, outer, Metrics, sentence);
    }
    setFixedSize(clientWidth, std::max(clientHeight, 1));
    imgRule->setGeometry(0, 0, clientWidth, clientHeight);
    move(at);
}

bool TfrmRule::DrawRule(const std::vector<std::string>& lines) {
    TBitmap page(imgRule->Width(), imgRule->Height(), HintBackColor);
    // The pupil sees an empty page rather than a stale rule if drawing fails.
    imgRule->SetPicture(page);
    try {
        ::DrawRule(lines, *Links.Fonts->SmallFont(), Metrics, page);
    } catch (...) {
        ShowRuleOutputError();
        return false;
    }
    imgRule->SetPicture(std::move(page));
    return true;
}

void TfrmRule::HideRule() {
    hide();
}

void TfrmRule::FormShow() {
    const TScreenMetrics screen = GetScreenMetrics();
    StepX = screen.Width / 20;
    StepY = screen.Height / 20;
}

void TfrmRule::FormHide() {
    if (Links.Main)
        Links.Main->RuleHidden();
}

void TfrmRule::FormKeyDown(WORD& key, TShiftState shift) {
    const TScreenMetrics screen = GetScreenMetrics();
    if (const auto to = RuleMovedByKey(key, frameGeometry(), QSize(screen.Width, screen.Height),
                                       StepX, StepY)) {
        move(*to);
        key = 0;
        return;
    }
    if (Links.Main)
        Links.Main->PassKeyDown(key, shift);
}

void TfrmRule::FormKeyPress(char& key) {
    // Arrow keys carry the codes of "%", "&", "'" and "("; they must never reach the exercise
    // screen as typed answers.
    const auto code = static_cast<unsigned char>(key);
    if (code >= 37 && code <= 40) {
        key = 0;
        return;
    }
    if (Links.Main)
        Links.Main->PassKeyPress(key);
}
