#include "tray/TrayEvents.h"

#include <algorithm>
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

TrayAction TrayClicks::OnMouseButton(std::int16_t mouseButton) noexcept {
    constexpr std::int16_t kLeftDown = 1;
    constexpr std::int16_t kLeftUp = 2;
    switch (mouseButton) {
        case kLeftDown:
            // A new click: whatever the last double-click left behind is over.
            ignoreNextRelease_ = false;
            return TrayAction::None;
        case kLeftUp:
            if (std::exchange(ignoreNextRelease_, false)) return TrayAction::None;
            waiting_ = true;
            return TrayAction::WaitForDoubleClick;
        default: {
            const TrayAction action = ActionForMouseButton(mouseButton);
            if (action == TrayAction::List) ignoreNextRelease_ = true;
            // Another menu or the list editor takes the place of the programs menu.
            if (action != TrayAction::None) waiting_ = false;
            return action;
        }
    }
}

TrayAction TrayClicks::DoubleClickTimeEnded() noexcept {
    return std::exchange(waiting_, false) ? TrayAction::ProgramsMenu : TrayAction::None;
}

}  // namespace trayhound
