#pragma once

#include "Wording.h"

#include <QImage>
#include <QSize>

// The screen pictures of one picture folder. Full-screen pictures are drawn for the screen size
// they are named for; the others have the one size their window or control gives them.
namespace art {

// Screens of the four size classes, 1 to 4.
QSize ScreenOfClass(int sizeClass);

// Height of the button panel below the example box of the exercise screen.
constexpr int ButtonPanelHeight = 108;
constexpr QSize ArrowSize{362, 41};
constexpr QSize PraiseSize{473, 304};
constexpr QSize RightSize{480, 100};
constexpr QSize SlipSize{460, 120};
constexpr QSize ExitSize{320, 120};
// The exercise screen's own pictures: the frame in the example box's corner and the pointer
// above the current check point.
constexpr QSize FrameSize{340, 82};
constexpr QSize PointerSize{23, 32};

// The exercise screen's navy, which the arrow and the panel use as their transparent colour.
inline const QColor NavyKey{0, 0, 128};

QImage DrawIntro(const TWording& w, QSize screen);
QImage DrawLay(const TWording& w, QSize screen);
QImage DrawResults(const TWording& w, QSize screen);
QImage DrawButtonPanel(int width);
QImage DrawArrow(const TWording& w);
QImage DrawPraise(const TWording& w);
QImage DrawRight(const TWording& w);
QImage DrawSlip(const TWording& w);
QImage DrawExit(const TWording& w);
// On the navy key, like the arrow.
QImage DrawFrame();
// On white, which the trainer leaves out; drawn without antialiasing so that no pale fringe
// shows against the navy.
QImage DrawPointer();

} // namespace art
