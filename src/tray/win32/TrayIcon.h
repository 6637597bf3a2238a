#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace trayhound {

// The program's one icon in the notification area. The host window receives its mouse
// notifications as kCallbackMessage and hands them to MouseButton(); it also routes WM_TIMER
// and the "TaskbarCreated" broadcast here, so that an icon the shell was not ready for is
// added later and one that a restarted shell forgot is added again.
class TrayIcon {
  public:
    static constexpr UINT kCallbackMessage = WM_APP + 1;
    static constexpr UINT kIconId = 1;
    // The timer that retries adding the icon while the shell is not ready.
    static constexpr UINT_PTR kAddRetryTimer = 0x7101;

    TrayIcon() = default;
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    HWND hWnd() const noexcept { return hwnd_; }
    void SetHWnd(HWND window) noexcept { hwnd_ = window; }
    HICON Icon() const noexcept { return icon_; }
    void SetIcon(HICON icon) noexcept { icon_ = icon; }
    const std::string& ToolTipText() const noexcept { return toolTipText_; }
    void SetToolTipText(std::string text) { toolTipText_ = std::move(text); }

    // Puts the icon into the notification area. While the shell refuses, the request is
    // repeated every second for about a minute, driven by the host window's timer. True when
    // the icon is shown now.
    bool Add();
    // Shows the current icon and tooltip.
    bool Modify();
    // Removes the icon (and stops retrying to add it).
    void Delete() noexcept;
    // A balloon message on the icon; cut to the shell's field sizes.
    bool ShowBalloonTip(const std::string& sMessage, const std::string& sTitle = {},
                        DWORD eIcon = NIIF_NONE, UINT lTimeOutMs = 10000);

    bool IsShown() const noexcept { return shown_; }

    // The mouse-button number (0 to 9) of a kCallbackMessage, or nothing.
    static std::optional<std::int16_t> CallEvent(WPARAM wParam, LPARAM lParam) noexcept;

    // Called with each press of the left button that the open menu sees; true takes the press
    // (the menu does not act on it) and closes the menu.
    using PressWatcher = std::function<bool(const MSG& press)>;

    // Shows `menu` at the pointer as the shell expects of a notification icon's menu and
    // returns the chosen command (0 when none). `defaultItem` (a command id, 0 for none) is
    // drawn in bold.
    UINT CallPopupMenu(HMENU menu, UINT defaultItem = 0, PressWatcher onLeftPress = {});
    // One of the icon's menus is open.
    bool MenuOpen() const noexcept { return menuOpen_; }

    // Host window hooks. OnTimer returns true when the timer was the icon's.
    bool OnTimer(UINT_PTR timer);
    void OnTaskbarCreated();
    static UINT TaskbarCreatedMessage() noexcept;

  private:
    NOTIFYICONDATAW Record(UINT flags) const;
    bool TryAdd();
    void StopRetrying() noexcept;

    HWND hwnd_ = nullptr;
    HICON icon_ = nullptr;
    std::string toolTipText_;
    bool shown_ = false;
    bool wanted_ = false;  // Add was called and Delete was not
    bool menuOpen_ = false;
    int retriesLeft_ = 0;
};

}  // namespace trayhound
