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
using UniqueHwnd = UniqueHandleOf<HWND, &DestroyWindow>;

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
