#pragma once
// What the fonts draw text into on a window: a control that shows one picture of its own size,
// replaced in one assignment. The image control of the windows is one; the drawing code needs no
// widget to serve it.

#include "platform/Bitmap.h"

namespace platform {

class IDrawTarget {
public:
    virtual ~IDrawTarget() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual const TBitmap& Picture() const = 0;
    virtual void SetPicture(TBitmap&& picture) = 0;
};

} // namespace platform
