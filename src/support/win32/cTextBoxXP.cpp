#include "support/win32/cTextBoxXP.h"

#include <windows.h>

#include <commctrl.h>

#include "support/win32/Text.h"

namespace trayhound {

void cTextBoxXP::SetCueBanner(std::string text) {
    cueBanner_ = std::move(text);
    setCueBanner();
}

void cTextBoxXP::setCueBanner() const {
    const std::wstring banner = ToWide(cueBanner_);
    SendMessageW(hWnd_, EM_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(banner.c_str()));
}

void cTextBoxXP::ShowBalloonTip(HWND hWnd) const {
    const std::wstring title = ToWide(balloonTipTitle_);
    const std::wstring text = ToWide(balloonTipText_);
    EDITBALLOONTIP balloon{};
    balloon.cbStruct = sizeof(balloon);
    balloon.pszTitle = title.c_str();
    balloon.pszText = text.c_str();
    balloon.ttiIcon = balloonTipIcon_;
    SendMessageW(hWnd, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&balloon));
}

void cTextBoxXP::HideBalloonTip(HWND hWnd) const noexcept {
    SendMessageW(hWnd, EM_HIDEBALLOONTIP, 0, 0);
}

}  // namespace trayhound
