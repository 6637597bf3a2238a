#include "tray/TrayEvents.h"

#include <cstdlib>
#include <utility>

namespace trayhound {

namespace {
constexpr std::uint32_t kMouseFirst = 0x0200;  // WM_MOUSEMOVE
constexpr std::uint32_t kMouseLast = 0x0209;   // WM_MBUTTONDBLCLK

}  // namespace

std::optional<std::int16_t> MouseButtonFromNotification(std::uint32_t mouseMessage) noexcept {
    if (mouseMessage < kMouseFirst || mouseMessage > kMouseLast) return std::nullopt;
    return static_cast<std::int16_t>(mouseMessage - kMouseFirst);
}

TrayAction ActionForMouseButton(std::int16_t mouseButton) noexcept {
    switch (mouseButton) {
        case 3:
            return TrayAction::List;
        case 2:
            return TrayAction::ProgramsMenu;
        case 5:
            return TrayAction::CommandMenu;
        default:
            return TrayAction::None;
    }
}

bool IsDoubleClick(const Press& first, const Press& second, const DoubleClickRule& rule) noexcept {
    // Unsigned: the clock wraps after 49.7 days.
    return second.time - first.time <= rule.time &&
           std::abs(second.x - first.x) <= rule.width / 2 &&
           std::abs(second.y - first.y) <= rule.height / 2;
}

TrayAction TrayClicks::OnMouseButton(std::int16_t mouseButton, const Press& at) noexcept {
    constexpr std::int16_t kLeftDown = 1;
    constexpr std::int16_t kLeftUp = 2;
    switch (mouseButton) {
        case kLeftDown:
            // A new click: whatever an earlier double click or menu left behind is over.
            lastPress_ = at;
            ignoreNextRelease_ = false;
            return TrayAction::None;
        case kLeftUp:
            return std::exchange(ignoreNextRelease_, false) ? TrayAction::None
                                                            : TrayAction::ProgramsMenu;
        default: {
            const TrayAction action = ActionForMouseButton(mouseButton);
            if (action == TrayAction::List) ignoreNextRelease_ = true;
            return action;
        }
    }
}

bool TrayClicks::PressWhileMenuOpen(const Press& at, const DoubleClickRule& rule) noexcept {
    // Its release comes to the icon, if it is over the icon, and must not open the menu again.
    ignoreNextRelease_ = true;
    return lastPress_ && IsDoubleClick(*lastPress_, at, rule);
}

}  // namespace trayhound
