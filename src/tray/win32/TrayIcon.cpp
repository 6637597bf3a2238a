#include "tray/win32/TrayIcon.h"

#include <algorithm>

#include "support/win32/SystemError.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"
#include "tray/TrayEvents.h"

namespace trayhound {

namespace {

constexpr UINT kAddRetryIntervalMs = 1000;
constexpr int kAddRetries = 60;

static_assert(sizeof(NOTIFYICONDATAW::szInfo) / sizeof(wchar_t) - 1 == kBalloonTextCharacters);
static_assert(sizeof(NOTIFYICONDATAW::szInfoTitle) / sizeof(wchar_t) - 1 ==
              kBalloonTitleCharacters);

// Copies as much of `text` as fits a fixed shell field, which always keeps its final NUL.
template <std::size_t N>
void CopyToField(wchar_t (&field)[N], const std::string& text) {
    const std::wstring wide = ToWide(CutToUtf16Units(text, N - 1));
    std::fill(std::begin(field), std::end(field), L'\0');
    std::copy_n(wide.begin(), std::min(wide.size(), N - 1), field);
}

}  // namespace

TrayIcon::~TrayIcon() {
    Delete();
}

NOTIFYICONDATAW TrayIcon::Record(UINT flags) const {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = hwnd_;
    record.uID = kIconId;
    record.uFlags = flags;
    record.uCallbackMessage = kCallbackMessage;
    record.hIcon = icon_;
    CopyToField(record.szTip, TrayToolTip(toolTipText_));
    return record;
}

bool TrayIcon::TryAdd() {
    auto record = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    shown_ = Shell_NotifyIconW(NIM_ADD, &record) != FALSE;
    return shown_;
}

bool TrayIcon::Add() {
    wanted_ = true;
    StopRetrying();
    if (TryAdd()) return true;
    // The shell may still be starting (logon, Explorer restarting): try again shortly.
    if (!SetTimer(hwnd_, kAddRetryTimer, kAddRetryIntervalMs, nullptr)) {
        ThrowLastError("Cannot start the tray icon's timer", "Trayhound.TrayIcon.Add()");
    }
    retriesLeft_ = kAddRetries;
    return false;
}

bool TrayIcon::Modify() {
    if (!shown_) return false;
    auto record = Record(NIF_ICON | NIF_TIP);
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

void TrayIcon::Delete() noexcept {
    wanted_ = false;
    StopRetrying();
    if (!shown_) return;
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = hwnd_;
    record.uID = kIconId;
    Shell_NotifyIconW(NIM_DELETE, &record);  // a shell that already lost the icon is no error
    shown_ = false;
}

bool TrayIcon::ShowBalloonTip(const std::string& sMessage, const std::string& sTitle, DWORD eIcon,
                              UINT lTimeOutMs) {
    if (!shown_) return false;
    auto record = Record(NIF_INFO);
    CopyToField(record.szInfo, sMessage);     // 255 characters
    CopyToField(record.szInfoTitle, sTitle);  // 63 characters
    record.dwInfoFlags = eIcon;
    record.uTimeout = lTimeOutMs;
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

std::optional<std::int16_t> TrayIcon::CallEvent(WPARAM wParam, LPARAM lParam) noexcept {
    if (wParam != kIconId) return std::nullopt;
    return MouseButtonFromNotification(LOWORD(lParam));
}

namespace {

// The press watcher of the menu that is open now; one thread shows one menu at a time.
TrayIcon::PressWatcher* activeWatcher = nullptr;

// Sees the messages of the open menu's own loop before the menu acts on them.
LRESULT CALLBACK MenuMessageFilter(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_MENU && activeWatcher &&
        (message->message == WM_LBUTTONDOWN || message->message == WM_NCLBUTTONDOWN)) {
        try {
            if ((*activeWatcher)(*message)) {
                EndMenu();
                return TRUE;
            }
        } catch (...) {
            // The press goes to the menu as it would without a watcher.
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

UINT TrayIcon::CallPopupMenu(HMENU menu, UINT defaultItem, PressWatcher onLeftPress) {
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(hwnd_);
    if (!SetMenuDefaultItem(menu, defaultItem ? defaultItem : static_cast<UINT>(-1), FALSE)) {
        ThrowLastError("Cannot mark the menu's default entry",
                       "Trayhound.TrayIcon.CallPopupMenu()");
    }
    POINT at{};
    if (!GetCursorPos(&at)) {
        ThrowLastError("Cannot read the pointer position", "Trayhound.TrayIcon.CallPopupMenu()");
    }
    const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    UniqueHhook filter;
    if (onLeftPress) {
        filter.reset(
            SetWindowsHookExW(WH_MSGFILTER, &MenuMessageFilter, nullptr, GetCurrentThreadId()));
        if (!filter) ThrowLastError("Cannot watch the menu", "Trayhound.TrayIcon.CallPopupMenu()");
        activeWatcher = &onLeftPress;
    }
    menuOpen_ = true;
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | align, at.x, at.y, hwnd_, nullptr));
    menuOpen_ = false;
    activeWatcher = nullptr;
    // Lets the menu close properly the next time the user clicks outside it.
    PostMessageW(hwnd_, WM_NULL, 0, 0);
    return command;
}

bool TrayIcon::OnTimer(UINT_PTR timer) {
    if (timer != kAddRetryTimer) return false;
    // A tick already queued when the retrying stopped must not add the icon a second time: the
    // shell would refuse it, and the icon would be taken for gone while it is shown.
    if (retriesLeft_ <= 0) return true;
    if (TryAdd() || --retriesLeft_ <= 0) StopRetrying();
    return true;
}

void TrayIcon::OnTaskbarCreated() {
    // A new shell knows no icons; show ours again if it should be there.
    shown_ = false;
    if (wanted_) Add();
}

UINT TrayIcon::TaskbarCreatedMessage() noexcept {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void TrayIcon::StopRetrying() noexcept {
    if (retriesLeft_ > 0) KillTimer(hwnd_, kAddRetryTimer);
    retriesLeft_ = 0;
}

}  // namespace trayhound
