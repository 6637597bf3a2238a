#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace trayhound {

// One owner template for every kind of handle: move-only, closed exactly once. Never wrap the
// predefined registry roots (HKEY_CURRENT_USER).
template <auto Close>
struct HandleCloser {
    template <class H>
    void operator()(H handle) const noexcept {
        Close(handle);
    }
};

template <class H, auto Close>
using UniqueHandleOf = std::unique_ptr<std::remove_pointer_t<H>, HandleCloser<Close>>;

using UniqueHkey = UniqueHandleOf<HKEY, &RegCloseKey>;
using UniqueHmenu = UniqueHandleOf<HMENU, &DestroyMenu>;
using UniqueHicon = UniqueHandleOf<HICON, &DestroyIcon>;
using UniqueHcursor = UniqueHandleOf<HCURSOR, &DestroyCursor>;
using UniqueHdc = UniqueHandleOf<HDC, &DeleteDC>;  // memory device contexts
using UniqueHglobal = UniqueHandleOf<HGLOBAL, &GlobalFree>;
using UniqueHlocal = UniqueHandleOf<HLOCAL, &LocalFree>;  // FormatMessage's buffers
// FindFirstFile's search, which fails as INVALID_HANDLE_VALUE rather than null.
using UniqueFind = UniqueHandleOf<HANDLE, &FindClose>;
using UniqueHhook = UniqueHandleOf<HHOOK, &UnhookWindowsHookEx>;

inline void CloseKernelHandle(HANDLE handle) noexcept {
    if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
}
// Kernel handles (files, mutexes, processes); INVALID_HANDLE_VALUE is treated as empty.
using UniqueHandle = UniqueHandleOf<HANDLE, &CloseKernelHandle>;

inline void DeleteGdiObject(HGDIOBJ object) noexcept {
    DeleteObject(object);
}
using UniqueHbitmap = UniqueHandleOf<HBITMAP, &DeleteGdiObject>;
using UniqueHfont = UniqueHandleOf<HFONT, &DeleteGdiObject>;
using UniqueHbrush = UniqueHandleOf<HBRUSH, &DeleteGdiObject>;

// A window's device context (GetDC), released with the owner; null for the screen.
class WindowDc {
  public:
    explicit WindowDc(HWND window = nullptr) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    operator HDC() const noexcept { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint of one WM_PAINT.
class PaintDc {
  public:
    explicit PaintDc(HWND window) noexcept : window_(window) { BeginPaint(window_, &paint_); }
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    operator HDC() const noexcept { return paint_.hdc; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

// A movable global memory block locked for the guard's lifetime; get() is null when it is not.
template <class T>
class GlobalLockGuard {
  public:
    explicit GlobalLockGuard(HGLOBAL block) noexcept
        : block_(block), data_(block ? static_cast<T*>(GlobalLock(block)) : nullptr) {}
    ~GlobalLockGuard() {
        if (data_) GlobalUnlock(block_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    T* get() const noexcept { return data_; }

  private:
    HGLOBAL block_;
    T* data_;
};

// The clipboard, open for the guard's lifetime when it could be opened.
class OpenClipboardGuard {
  public:
    explicit OpenClipboardGuard(HWND owner) noexcept : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardGuard() {
        if (open_) CloseClipboard();
    }
    OpenClipboardGuard(const OpenClipboardGuard&) = delete;
    OpenClipboardGuard& operator=(const OpenClipboardGuard&) = delete;
    explicit operator bool() const noexcept { return open_; }

  private:
    bool open_;
};

// Selects a GDI object into a device context for the guard's lifetime.
class SelectObjectGuard {
  public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) noexcept
        : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectObjectGuard() { SelectObject(dc_, previous_); }
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace trayhound
