#include "support/win32/DialogLayout.h"

#include <algorithm>
#include <string>

#include "support/win32/SystemError.h"

namespace trayhound {

UINT WindowDpi(HWND window) noexcept {
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    return dpi ? dpi : kDefaultDpi;
}

RECT ToRect(const TwipsRect& bounds, UINT dpi) noexcept {
    const PixelRect pixels = ToPixels(bounds, dpi);
    return RECT{pixels.left, pixels.top, pixels.left + pixels.width, pixels.top + pixels.height};
}

UniqueHfont CreateFontForDpi(const FontSpec& spec, UINT dpi) {
    // A negative height asks for the character height, which is what a point size measures.
    const int height = FontHeight(spec.centipoints, dpi);
    const std::wstring face(spec.face);
    UniqueHfont font(CreateFontW(height, 0, 0, 0, spec.weight, spec.italic, spec.underline, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    if (!font) ThrowLastError("Cannot create a font", "Trayhound.DialogLayout.CreateFont()");
    return font;
}

void DialogLayout::Create(HWND parent, UINT dpi) {
    parent_ = parent;
    dpi_ = dpi;
    controls_.clear();
    for (const ControlSpec& item : spec_.controls) {
        const std::wstring className(item.className);
        const std::wstring text(item.text);
        HWND control = CreateWindowExW(
            item.exStyle, className.c_str(), text.c_str(), WS_CHILD | WS_VISIBLE | item.style, 0, 0,
            0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.id)),
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
        if (!control) ThrowLastError("Cannot create a control", "Trayhound.DialogLayout.Create()");
        controls_.push_back(control);
        Place(control, item);
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(Font(item.font ? *item.font : spec_.font)), FALSE);
    }
}

void DialogLayout::Relayout(UINT dpi) {
    // The new fonts go in before the old ones are deleted, so no control ever draws with a
    // deleted font.
    std::vector<CachedFont> oldFonts = std::move(fonts_);
    fonts_.clear();
    dpi_ = dpi;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlSpec& item = spec_.controls[i];
        Place(controls_[i], item);
        SendMessageW(controls_[i], WM_SETFONT,
                     reinterpret_cast<WPARAM>(Font(item.font ? *item.font : spec_.font)), TRUE);
    }
    if (parent_) InvalidateRect(parent_, nullptr, TRUE);
}

SIZE DialogLayout::WindowSize(DWORD style, DWORD exStyle, UINT dpi) const noexcept {
    RECT frame{0, 0, TwipsToPixels(spec_.clientWidth, dpi), TwipsToPixels(spec_.clientHeight, dpi)};
    AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void DialogLayout::PaintLines(HDC dc) const noexcept {
    for (const LineSpec& line : spec_.lines) {
        const int x1 = TwipsToPixels(line.x1, dpi_);
        const int y1 = TwipsToPixels(line.y1, dpi_);
        const int x2 = TwipsToPixels(line.x2, dpi_);
        const int y2 = TwipsToPixels(line.y2, dpi_);
        // One pixel wide; a horizontal or vertical line is a thin filled rectangle.
        RECT pixels{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
        FillRect(dc, &pixels, GetSysColorBrush(line.sysColor));
    }
}

HFONT DialogLayout::Font(const FontSpec& spec) {
    const auto found = std::find_if(fonts_.begin(), fonts_.end(),
                                    [&](const CachedFont& cached) { return cached.spec == spec; });
    if (found != fonts_.end()) return found->font.get();
    fonts_.push_back(CachedFont{spec, CreateFontForDpi(spec, dpi_)});
    return fonts_.back().font.get();
}

void DialogLayout::Place(HWND control, const ControlSpec& item) const {
    TwipsRect bounds = item.bounds;
    bounds.height += item.dropDownHeight;
    const RECT pixels = ToRect(bounds, dpi_);
    if (!MoveWindow(control, pixels.left, pixels.top, pixels.right - pixels.left,
                    pixels.bottom - pixels.top, TRUE)) {
        ThrowLastError("Cannot place a control", "Trayhound.DialogLayout.Place()");
    }
    if (item.dropDownHeight > 0) {
        // The closed combo box's own height, as the table gives it; the rest is its list.
        const int fieldHeight = TwipsToPixels(item.bounds.height, dpi_);
        const int border = GetSystemMetricsForDpi(SM_CYEDGE, dpi_) * 2 + 2;
        SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                     std::max(1, fieldHeight - border));
    }
}

}  // namespace trayhound
