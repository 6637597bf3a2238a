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
inline constexpr std::int16_t kLeftDown = 1;
inline constexpr std::int16_t kLeftUp = 2;
inline constexpr std::int16_t kLeftDoubleClick = 3;
inline constexpr std::int16_t kRightUp = 5;

// What the tray window does for a mouse action on its icon.
enum class TrayAction { None, List, ProgramsMenu, CommandMenu };
TrayAction ActionForMouseButton(std::int16_t mouseButton) noexcept;

// A press of a mouse button: when (milliseconds of the system's clock) and where (screen pixels).
struct Press {
    std::uint32_t time = 0;
    int x = 0;
    int y = 0;
};

// The system's rule for a double click: the second press within `time` of the first, inside a
// rectangle of `width` by `height` centred on it.
struct DoubleClickRule {
    std::uint32_t time = 500;
    int width = 4;
    int height = 4;
};
bool IsDoubleClick(const Press& first, const Press& second, const DoubleClickRule& rule) noexcept;

// What a press of the left button while the programs menu is open does.
enum class MenuPress {
    Menu,   // it is the menu's: it chooses an entry, or closes the menu
    Close,  // a second click on the icon: it closes the menu
    List,   // a double click on the icon: it closes the menu and opens the list editor
};

// The left button on the tray icon. The programs menu opens as the button is released. While it
// is open it takes the next press, which the icon never sees. A press on the icon (within the
// double-click rectangle of the press that opened the menu) closes the menu, and when it makes
// a double click with that press it opens the list editor, as a double click on the icon does.
// The release of any press the menu took, and of a double click, opens nothing.
class TrayClicks {
  public:
    TrayAction OnMouseButton(std::int16_t mouseButton, const Press& at) noexcept;
    MenuPress PressWhileMenuOpen(const Press& at, const DoubleClickRule& rule) noexcept;

  private:
    std::optional<Press> lastPress_;
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
