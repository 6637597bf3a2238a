#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace trayhound {

// Cue banner and balloon tips of a single-line edit box. Only stores texts and sends the edit
// control's messages (which need the version-6 common controls); it draws nothing itself.
class cTextBoxXP {
  public:
    // Remembers the edit box's window handle; the control itself is not held.
    void TextBox(HWND txtThis) noexcept { hWnd_ = txtThis; }

    const std::string& CueBanner() const noexcept { return cueBanner_; }
    // Stores the text and at once sends it to the stored edit box.
    void SetCueBanner(std::string text);

    const std::string& BalloonTipTitle() const noexcept { return balloonTipTitle_; }
    void SetBalloonTipTitle(std::string text) { balloonTipTitle_ = std::move(text); }
    const std::string& BalloonTipText() const noexcept { return balloonTipText_; }
    void SetBalloonTipText(std::string text) { balloonTipText_ = std::move(text); }
    // 0 none, 1 information, 2 warning, 3 error (TTI_*).
    std::int32_t BalloonTipIcon() const noexcept { return balloonTipIcon_; }
    void SetBalloonTipIcon(std::int32_t icon) noexcept { balloonTipIcon_ = icon; }

    // Shows the stored balloon at `hWnd`, the edit box's handle (not necessarily the stored one).
    void ShowBalloonTip(HWND hWnd) const;
    void HideBalloonTip(HWND hWnd) const noexcept;
    // Sends the stored cue banner to the stored edit box; it hides while the box has the focus.
    void setCueBanner() const;

  private:
    HWND hWnd_ = nullptr;
    std::string cueBanner_;
    std::string balloonTipTitle_;
    std::string balloonTipText_;
    std::int32_t balloonTipIcon_ = 0;
};

}  // namespace trayhound
