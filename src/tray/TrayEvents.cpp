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
        case kLeftDoubleClick:
            return TrayAction::List;
        case kLeftUp:
            return TrayAction::ProgramsMenu;
        case kRightUp:
            return TrayAction::CommandMenu;
        default:
            return TrayAction::None;
    }
}

namespace {

bool InRectangle(const Press& first, const Press& second, const DoubleClickRule& rule) noexcept {
    return std::abs(second.x - first.x) <= rule.width / 2 &&
           std::abs(second.y - first.y) <= rule.height / 2;
}

}  // namespace

bool IsDoubleClick(const Press& first, const Press& second, const DoubleClickRule& rule) noexcept {
    // Unsigned: the clock wraps after 49.7 days.
    return second.time - first.time <= rule.time && InRectangle(first, second, rule);
}

TrayAction TrayClicks::OnMouseButton(std::int16_t mouseButton, const Press& at) noexcept {
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

MenuPress TrayClicks::PressWhileMenuOpen(const Press& at, const DoubleClickRule& rule) noexcept {
    // Its release may come to the icon, and must not open the menu again.
    ignoreNextRelease_ = true;
    if (!lastPress_ || !InRectangle(*lastPress_, at, rule)) return MenuPress::Menu;
    return IsDoubleClick(*lastPress_, at, rule) ? MenuPress::List : MenuPress::Close;
}

}  // namespace trayhound
