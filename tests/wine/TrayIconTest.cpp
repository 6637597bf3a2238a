#include <gtest/gtest.h>

#include <string>

#include "tray/win32/TrayIcon.h"

namespace trayhound {
namespace {

// A hidden top-level window that hands the icon its timer ticks, as the tray window does.
class HostWindow {
  public:
    explicit HostWindow(TrayIcon& icon) : icon_(icon) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TrayIconTestHost";
        RegisterClassExW(&windowClass);
        hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"TrayIconTestHost", L"", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, GetModuleHandleW(nullptr), this);
    }
    ~HostWindow() { DestroyWindow(hwnd_); }
    HWND Handle() const noexcept { return hwnd_; }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_TIMER && self->icon_.OnTimer(wParam)) return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    TrayIcon& icon_;
    HWND hwnd_ = nullptr;
};

NOTIFYICONDATAW RecordFor(HWND window) {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = window;
    record.uID = TrayIcon::kIconId;
    return record;
}

bool ShellHasIcon(HWND window) {
    auto record = RecordFor(window);
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG message{};
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(20);
    }
}

TEST(TrayIcon, AddShowsTheIconAndDeleteRemovesIt) {
    TrayIcon icon;
    HostWindow host(icon);
    icon.SetHWnd(host.Handle());
    icon.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    icon.SetToolTipText(std::string(70, 'x'));
    EXPECT_TRUE(icon.Add());
    EXPECT_TRUE(ShellHasIcon(host.Handle()));
    EXPECT_TRUE(icon.Modify());
    icon.Delete();
    EXPECT_FALSE(icon.IsShown());
    EXPECT_FALSE(ShellHasIcon(host.Handle()));
}

TEST(TrayIcon, AnAddTheShellRefusesIsRepeatedUntilItWorks) {
    TrayIcon icon;
    HostWindow host(icon);
    icon.SetHWnd(host.Handle());
    icon.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    icon.SetToolTipText("Trayhound");
    // The shell refuses a second icon with the same window and identifier.
    auto blocker = RecordFor(host.Handle());
    blocker.uFlags = NIF_ICON;
    blocker.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &blocker));

    EXPECT_FALSE(icon.Add());
    EXPECT_FALSE(icon.IsShown());
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &blocker));

    PumpFor(2500);
    EXPECT_TRUE(icon.IsShown());
    EXPECT_TRUE(ShellHasIcon(host.Handle()));
    icon.Delete();
}

TEST(TrayIcon, DeleteStopsRetrying) {
    TrayIcon icon;
    HostWindow host(icon);
    icon.SetHWnd(host.Handle());
    icon.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    auto blocker = RecordFor(host.Handle());
    blocker.uFlags = NIF_ICON;
    blocker.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &blocker));
    EXPECT_FALSE(icon.Add());
    icon.Delete();
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &blocker));

    PumpFor(1500);
    EXPECT_FALSE(icon.IsShown());
    EXPECT_FALSE(ShellHasIcon(host.Handle()));
}

TEST(TrayIcon, OnlyTheIconsOwnMouseNotificationsCount) {
    EXPECT_EQ(TrayIcon::CallEvent(TrayIcon::kIconId, WM_LBUTTONUP), 2);
    EXPECT_EQ(TrayIcon::CallEvent(TrayIcon::kIconId, WM_RBUTTONUP), 5);
    // The high word carries nothing that changes the message.
    EXPECT_EQ(TrayIcon::CallEvent(TrayIcon::kIconId, MAKELPARAM(WM_LBUTTONDBLCLK, 7)), 3);
    EXPECT_FALSE(TrayIcon::CallEvent(TrayIcon::kIconId + 1, WM_LBUTTONUP).has_value());
    EXPECT_FALSE(TrayIcon::CallEvent(TrayIcon::kIconId, WM_CONTEXTMENU).has_value());
}

}  // namespace
}  // namespace trayhound
