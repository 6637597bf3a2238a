#pragma once

#include <windows.h>

#include <span>

#include "support/win32/UniqueHandles.h"

namespace trayhound {

// A banner across the top of a window, painted from one bitmap made for its size: a colour for
// each pixel column, left to right, and a picture strip stretched along an area of it. A label
// over it looks through to it with Brush(), once the brush origin is its own.
class Banner {
  public:
    // Throws Error when the bitmap cannot be made.
    void Make(SIZE size, std::span<const COLORREF> columns, HBITMAP strip, RECT stripArea);
    void Paint(HDC dc) const noexcept;
    // The banner as a brush for a control whose top-left corner lies at `origin` in it.
    HBRUSH Brush(HDC dc, POINT origin) const noexcept;

  private:
    UniqueHbitmap bitmap_;
    UniqueHbrush brush_;
    SIZE size_{};
};

}  // namespace trayhound
