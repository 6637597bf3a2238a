#include "support/win32/WindowFormPosition.h"

#include <cmath>

#include "support/win32/DialogLayout.h"
#include "support/win32/SystemError.h"
#include "support/win32/Text.h"

namespace trayhound {

int WindowFormPosition::WindowState() const {
    if (IsIconic(window_)) return 1;
    if (IsZoomed(window_)) return 2;
    return 0;
}

void WindowFormPosition::SetWindowState(int state) {
    if (state == WindowState()) return;
    ShowWindow(window_, state == 1 ? SW_MINIMIZE : state == 2 ? SW_MAXIMIZE : SW_RESTORE);
}

RECT WindowFormPosition::Bounds() const noexcept {
    RECT bounds{};
    GetWindowRect(window_, &bounds);
    return bounds;
}

double WindowFormPosition::Left() const {
    return Bounds().left * TwipsPerPixelX();
}

double WindowFormPosition::Top() const {
    return Bounds().top * TwipsPerPixelY();
}

double WindowFormPosition::Width() const {
    const RECT bounds = Bounds();
    return (bounds.right - bounds.left) * TwipsPerPixelX();
}

double WindowFormPosition::Height() const {
    const RECT bounds = Bounds();
    return (bounds.bottom - bounds.top) * TwipsPerPixelY();
}

int WindowFormPosition::ToPixels(double twips) const noexcept {
    return static_cast<int>(std::lround(twips / TwipsPerPixelX()));
}

void WindowFormPosition::Move(int left, int top, int width, int height) const {
    if (!SetWindowPos(window_, nullptr, left, top, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER)) {
        ThrowLastError("Cannot place the window", "Trayhound.FormPosition");
    }
}

void WindowFormPosition::SetLeft(double twips) {
    const RECT bounds = Bounds();
    Move(ToPixels(twips), bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

void WindowFormPosition::SetTop(double twips) {
    const RECT bounds = Bounds();
    Move(bounds.left, ToPixels(twips), bounds.right - bounds.left, bounds.bottom - bounds.top);
}

void WindowFormPosition::SetWidth(double twips) {
    const RECT bounds = Bounds();
    Move(bounds.left, bounds.top, ToPixels(twips), bounds.bottom - bounds.top);
}

void WindowFormPosition::SetHeight(double twips) {
    const RECT bounds = Bounds();
    Move(bounds.left, bounds.top, bounds.right - bounds.left, ToPixels(twips));
}

double WindowFormPosition::ScreenWidth() const {
    return GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX();
}

double WindowFormPosition::ScreenHeight() const {
    return GetSystemMetrics(SM_CYSCREEN) * TwipsPerPixelY();
}

double WindowFormPosition::TwipsPerPixelX() const {
    return static_cast<double>(kTwipsPerInch) / WindowDpi(window_);
}

double WindowFormPosition::TwipsPerPixelY() const {
    return TwipsPerPixelX();
}

std::string WindowFormPosition::DecimalSeparator() const {
    wchar_t separator[8]{};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator,
                        static_cast<int>(std::size(separator))) <= 1) {
        return ".";
    }
    return ToUtf8(separator);
}

void RestoreFormPosition(HWND window, const std::string& name, bool restoreSize,
                         const SettingsStore& store) {
    WindowFormPosition view(window, name);
    RestoreFormPosition(view, restoreSize, store);
}

void SaveFormPosition(HWND window, const std::string& name, SettingsStore& store) {
    WindowFormPosition view(window, name);
    SaveFormPosition(view, store);
}

}  // namespace trayhound
