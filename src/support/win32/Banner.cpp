#include "support/win32/Banner.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "support/win32/SystemError.h"

namespace trayhound {

void Banner::Make(SIZE size, std::span<const COLORREF> columns, HBITMAP strip, RECT stripArea) {
    constexpr const char* kSource = "Trayhound.Banner.Make()";
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueHbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) ThrowLastError("Cannot make the banner", kSource);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const auto width = std::min(static_cast<std::size_t>(size.cx), columns.size());
    for (int y = 0; y < size.cy; ++y) {
        std::uint32_t* row = pixels + static_cast<std::size_t>(y) * size.cx;
        for (std::size_t x = 0; x < width; ++x) {
            const COLORREF c = columns[x];
            row[x] = (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) |
                     GetBValue(c);
        }
    }
    if (strip) {
        const UniqueHdc target(CreateCompatibleDC(nullptr));
        const UniqueHdc source(CreateCompatibleDC(nullptr));
        BITMAP picture{};
        if (!target || !source || !GetObjectW(strip, sizeof(picture), &picture)) {
            ThrowLastError("Cannot draw the banner's strip", kSource);
        }
        const SelectObjectGuard into(target.get(), bitmap.get());
        const SelectObjectGuard from(source.get(), strip);
        SetStretchBltMode(target.get(), HALFTONE);
        SetBrushOrgEx(target.get(), 0, 0, nullptr);
        if (!StretchBlt(target.get(), stripArea.left, stripArea.top,
                        stripArea.right - stripArea.left, stripArea.bottom - stripArea.top,
                        source.get(), 0, 0, picture.bmWidth, std::abs(picture.bmHeight), SRCCOPY)) {
            ThrowLastError("Cannot draw the banner's strip", kSource);
        }
    }
    UniqueHbrush brush(CreatePatternBrush(bitmap.get()));
    if (!brush) ThrowLastError("Cannot make the banner's brush", kSource);
    brush_ = std::move(brush);
    bitmap_ = std::move(bitmap);
    size_ = size;
}

void Banner::Paint(HDC dc) const noexcept {
    RECT area{0, 0, size_.cx, size_.cy};
    SetBrushOrgEx(dc, 0, 0, nullptr);
    FillRect(dc, &area, brush_.get());
}

HBRUSH Banner::Brush(HDC dc, POINT origin) const noexcept {
    SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
    return brush_.get();
}

}  // namespace trayhound
