#pragma once

#include <windows.h>

#include "support/win32/ErrorPolicy.h"

namespace trayhound {

// A window of a class of the program's own: the object rides in CreateWindowEx's parameter.
struct ClassWindow {
    using Result = LRESULT;
    static constexpr int kUserData = GWLP_USERDATA;
    static constexpr UINT kFirstMessage = WM_NCCREATE;
    static void* Object(LPARAM lParam) noexcept {
        return reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams;
    }
    static Result Unhandled(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

// A window of the system's dialog class: the object rides in the dialog's creation parameter.
struct DialogWindow {
    using Result = INT_PTR;
    static constexpr int kUserData = DWLP_USER;
    static constexpr UINT kFirstMessage = WM_INITDIALOG;
    static void* Object(LPARAM lParam) noexcept { return reinterpret_cast<void*>(lParam); }
    static Result Unhandled(HWND, UINT, WPARAM, LPARAM) noexcept { return FALSE; }
};

// The one bridge from user32 to the object behind a window. The object is kept in the window's
// user data from its first message to WM_NCDESTROY, so no message reaches a dangling object, and
// an exception never crosses into user32: the program's error policy takes it. Self provides
// Attach(HWND) and Detach() (noexcept) and Result OnMessage(UINT, WPARAM, LPARAM).
template <class Self, class Kind = ClassWindow>
typename Kind::Result CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<Self*>(GetWindowLongPtrW(window, Kind::kUserData));
    if (message == Kind::kFirstMessage) {
        self = static_cast<Self*>(Kind::Object(lParam));
        SetWindowLongPtrW(window, Kind::kUserData, reinterpret_cast<LONG_PTR>(self));
        self->Attach(window);
    }
    if (!self) return Kind::Unhandled(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, Kind::kUserData, 0);
        self->Detach();
        return Kind::Unhandled(window, message, wParam, lParam);
    }
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        HandleUncaughtError(window);
    }
    return 0;
}

}  // namespace trayhound
