#pragma once

#include <QImage>

namespace art {

// The program's icon at `size` x `size` pixels: a sheet of the exercise book with "Аа" in ink and
// the teacher's red tick, on a transparent ground.
QImage DrawIcon(int size);

// The sizes the desktop's icon theme gets.
inline constexpr int IconSizes[] = {48, 128, 256};

} // namespace art
