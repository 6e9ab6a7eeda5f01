#pragma once
// The proof sheet: every glyph of every size on a cell grid, sample lines as the exercise screen
// shows them (white on navy, "_" highlighted), and the small font magnified, so that a person can
// judge the glyphs.

#include "platform/Bitmap.h"
#include "render/FFont.h"

namespace fonttool {

platform::TBitmap DrawProof(const TFFont& fonts);

} // namespace fonttool
