#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/Utf8.h"

namespace trayhound {

// The shell reports a mouse action on the tray icon as the mouse message it stands for; the
// program works with its number above WM_MOUSEMOVE (0 pointer moved, 1 left down, 2 left up,
// 3 left double-click, 4 right down, 5 right up, ... 9 middle double-click).
std::optional<std::int16_t> MouseButtonFromNotification(std::uint32_t mouseMessage) noexcept;

// What the tray window does for a mouse action on its icon.
enum class TrayAction { None, List, ProgramsMenu, CommandMenu, WaitForDoubleClick };
TrayAction ActionForMouseButton(std::int16_t mouseButton) noexcept;

// Tells a single left click from the first half of a double-click. A programs menu opened at
// the release of the first click would take the second click, and the double-click that opens
// the list editor would never reach the icon. So the release only starts the double-click time
// (WaitForDoubleClick); the menu opens when it has passed without a second click, and the release
// that ends a double-click opens nothing.
class TrayClicks {
  public:
    TrayAction OnMouseButton(std::int16_t mouseButton) noexcept;
    // The double-click time since the release has passed.
    TrayAction DoubleClickTimeEnded() noexcept;
    bool Waiting() const noexcept { return waiting_; }

  private:
    bool waiting_ = false;
    bool ignoreNextRelease_ = false;
};

// The tray tooltip shows at most 63 characters.
inline constexpr std::size_t kToolTipCharacters = 63;
// Balloon text and title fields.
inline constexpr std::size_t kBalloonTextCharacters = 255;
inline constexpr std::size_t kBalloonTitleCharacters = 63;

inline std::string TrayToolTip(std::string_view text) {
    return std::string(CutToUtf16Units(text, kToolTipCharacters));
}

}  // namespace trayhound
