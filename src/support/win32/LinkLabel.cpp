#include "support/win32/LinkLabel.h"

#include <commctrl.h>
#include <windowsx.h>

#include "support/win32/SystemError.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"
#include "support/win32/WindowProcedure.h"

namespace trayhound {
namespace {

constexpr wchar_t kClassName[] = L"TrayhoundLink";
constexpr const char* kSource = "Trayhound.LinkLabel.Create()";

void RegisterClassOnce(HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSEXW linkClass{};
        linkClass.cbSize = sizeof(linkClass);
        linkClass.lpfnWndProc = &WindowProcedure<LinkLabel>;
        linkClass.hInstance = instance;
        linkClass.lpszClassName = kClassName;
        return RegisterClassExW(&linkClass) != 0;
    }();
    if (!registered) ThrowLastError("Cannot register the link control", kSource);
}

}  // namespace

LinkLabel::~LinkLabel() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void LinkLabel::Create(HWND parent, int id, std::string_view text, std::string_view toolTip,
                       HCURSOR cursor, Handler onMouseUp) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    RegisterClassOnce(instance);
    cursor_ = cursor;
    onMouseUp_ = std::move(onMouseUp);
    toolTip_ = ToWide(toolTip);
    if (!CreateWindowExW(0, kClassName, ToWide(text).c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                         parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         this)) {
        ThrowLastError("Cannot create the link", kSource);
    }
    // The tool tip belongs to the dialog and goes with it.
    const HWND tip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance, nullptr);
    if (!tip) ThrowLastError("Cannot create the link's tool tip", kSource);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
    tool.lpszText = toolTip_.data();
    if (!SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
        ThrowLastError("Cannot give the link its tool tip", kSource);
    }
}

void LinkLabel::Fit(HFONT font, POINT at) {
    font_ = font;
    const std::wstring text = ToWide(WindowText(hwnd_));
    SIZE size{};
    {
        const WindowDc dc(hwnd_);
        SelectObjectGuard select(dc, font_);
        if (!GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) {
            ThrowLastError("Cannot measure the link", "Trayhound.LinkLabel.Fit()");
        }
    }
    if (!SetWindowPos(hwnd_, nullptr, at.x, at.y, size.cx, size.cy,
                      SWP_NOZORDER | SWP_NOACTIVATE)) {
        ThrowLastError("Cannot place the link", "Trayhound.LinkLabel.Fit()");
    }
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void LinkLabel::Paint() {
    const PaintDc dc(hwnd_);
    RECT area{};
    GetClientRect(hwnd_, &area);
    // The dialog's own background, as for its labels.
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        GetParent(hwnd_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
        reinterpret_cast<LPARAM>(hwnd_)));
    FillRect(dc, &area, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    SelectObjectGuard select(dc, font_);
    SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    const std::wstring text = ToWide(WindowText(hwnd_));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
}

LRESULT LinkLabel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_SETCURSOR:
            if (cursor_) {
                SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd_, &at);
            if (onMouseUp_) onMouseUp_(message, at);
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace trayhound
