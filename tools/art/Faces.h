#pragma once

#include "Wording.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <vector>

// The faces of the exercise screen's image buttons, released and pressed.
namespace art {

constexpr QSize AnswerFaceSize{70, 94};
constexpr QSize WideFaceSize{220, 40};
constexpr QSize NarrowFaceSize{130, 40};

// Every button number that has a face, in ascending order.
std::vector<int> ButtonNumbers();

// The character a letter or sign face shows (Unicode), or an empty string for the faces without
// a character (74 to 76) and the command buttons (77 to 82).
QString ButtonCharacter(int number);

QSize FaceSize(int number);

// Throws std::invalid_argument for a number without a face.
QImage DrawButtonFace(int number, bool pressed, const TWording& w);

} // namespace art
