#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace trayhound {

// A link in a dialog: its text in the link colour on the dialog's background, underlined by the
// font it is given, with its own cursor and the link as its tool tip. A mouse button released
// over it calls the handler with the message (WM_LBUTTONUP, WM_RBUTTONUP, ...) and the point on
// the screen.
class LinkLabel {
  public:
    using Handler = std::function<void(UINT mouseUp, POINT screen)>;
    static constexpr COLORREF kLinkColour = RGB(0, 0, 255);

    LinkLabel() = default;
    ~LinkLabel();
    LinkLabel(const LinkLabel&) = delete;
    LinkLabel& operator=(const LinkLabel&) = delete;

    // Creates the control as a child of `parent`. Throws Error when it cannot.
    void Create(HWND parent, int id, std::string_view text, std::string_view toolTip,
                HCURSOR cursor, Handler onMouseUp);
    // Sets its font and makes it the size of its text, with its top-left corner at `at`.
    void Fit(HFONT font, POINT at);
    HWND Hwnd() const noexcept { return hwnd_; }

    // The window procedure's side (WindowProcedure).
    void Attach(HWND window) noexcept { hwnd_ = window; }
    void Detach() noexcept { hwnd_ = nullptr; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void Paint();

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HCURSOR cursor_ = nullptr;
    Handler onMouseUp_;
    std::wstring toolTip_;
};

}  // namespace trayhound
