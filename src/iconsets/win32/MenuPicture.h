#pragma once

#include <windows.h>

#include <string>

#include "support/win32/UniqueHandles.h"

namespace trayhound {

// Menu pictures are square 32-bit DIB sections with premultiplied alpha, the size of the menu's
// check-mark box at the menu's DPI. A picture is drawn at its own size scaled by the DPI, made
// smaller to fit the box when needed, and centred in it, so that a 12 x 12 picture stays crisp at
// 100 % and grows smoothly at 150 % and 200 %.
int MenuPictureBox(UINT dpi) noexcept;

// The picture of an image file (BMP, ICO, GIF, JPEG, PNG and what else the system's image
// decoders read); an empty owner when the file cannot be loaded. Needs COM on this thread.
UniqueHbitmap LoadMenuPicture(const std::wstring& path, UINT dpi);

// The menu picture of a bitmap (the built-in pictures); an empty owner when it cannot be made.
UniqueHbitmap MenuPictureFromBitmap(HBITMAP bitmap, UINT dpi);

// The size a picture of `width` x `height` pixels is drawn at inside a box of `box` pixels.
SIZE MenuPictureSize(UINT width, UINT height, UINT dpi, int box) noexcept;

}  // namespace trayhound
