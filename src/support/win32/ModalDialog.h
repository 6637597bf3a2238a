#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "support/win32/DialogLayout.h"

namespace trayhound {

// The program's modal dialogs, by kind: the tray window asks for one by kind, Exit closes some
// kinds, and asking for a kind that is open brings the open dialog to the front.
enum class DialogKind { About, LaunchItem, List, Options };

// Base class of the program's modal dialogs, built in code from a twips table.
//
// A dialog subclass
//   - declares its look as constexpr tables: `ControlSpec` rows in tab order (ids, classes,
//     captions with "&" access keys, styles, twips bounds), optional `LineSpec` rows, and one
//     `DialogSpec` with the title and client size, which it hands to this constructor;
//   - gives the OK button the id IDOK with BS_DEFPUSHBUTTON and the Cancel button IDCANCEL, so
//     that Enter and Esc press them;
//   - overrides the handlers it needs: OnLoad (Form_Load: controls exist, window not yet shown),
//     OnCommand (WM_COMMAND from a control: `cmdOK_Click` and friends), OnMessage (any other
//     message), PreTranslate (keys before the focused control sees them), OnPaint, OnDpiChanged,
//     OnUnload (Form_Unload: runs once at every close, whichever way);
//   - closes itself with EndDialog() (from cmdOK_Click, cmdCancel_Click). Esc and the title
//     bar's close box arrive as OnCommand(IDCANCEL).
//
// ShowModal creates the window, runs OnLoad, disables the owner, shows the window and runs the
// dialog's own message loop (IsDialogMessageW: Tab, access keys, Enter and Esc) until the window
// closes. A WM_QUIT seen by the loop is posted again and ends the dialog, so that the program's
// main loop still sees it. Close() ends an open dialog from outside (Exit, the shutdown
// request) through the same unload handling. An error that reaches the top of a handler goes to
// the program's error policy (HandleUncaughtError).
class ModalDialog {
  public:
    virtual ~ModalDialog();
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    // Returns when the dialog has closed. `owner` may be null (no owner). Throws Error when the
    // window cannot be created. Showing a dialog that is already open brings it to the front.
    void ShowModal(HWND owner);
    // Unloads and closes an open dialog; nothing when it is not open.
    void Close() noexcept;
    void BringToFront() const noexcept;

    DialogKind Kind() const noexcept { return kind_; }
    bool IsOpen() const noexcept { return hwnd_ != nullptr; }
    bool IsVisible() const noexcept { return hwnd_ && IsWindowVisible(hwnd_); }
    HWND Hwnd() const noexcept { return hwnd_; }

    // The open dialog of that kind (the latest opened), or nullptr.
    static ModalDialog* Open(DialogKind kind) noexcept;
    // Closes every open dialog of these kinds, the latest opened first.
    static void Close(std::initializer_list<DialogKind> kinds) noexcept;

    // The window procedure's side (WindowProcedure).
    void Attach(HWND window) noexcept { hwnd_ = window; }
    void Detach() noexcept;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  protected:
    ModalDialog(DialogKind kind, const DialogSpec& spec) noexcept : kind_(kind), layout_(spec) {}

    virtual void OnLoad() {}
    virtual void OnUnload() {}
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    // Handles any message not handled by the base; the value is the dialog procedure's result
    // (the brush for WM_CTLCOLOR*). No value: default handling.
    virtual std::optional<INT_PTR> OnDialogMessage(UINT /*message*/, WPARAM, LPARAM) {
        return std::nullopt;
    }
    // A message of this dialog's thread before the dialog manager sees it; true when it was
    // handled and goes no further.
    virtual bool PreTranslate(const MSG& /*message*/) { return false; }
    virtual void OnPaint(HDC /*dc*/) {}
    virtual void OnDpiChanged(UINT /*dpi*/) {}

    // Runs OnUnload, re-enables and activates the owner and destroys the window; the modal loop
    // then ends. Safe to call more than once.
    void EndDialog();

    HWND Item(int id) const noexcept { return GetDlgItem(hwnd_, id); }
    std::string ItemText(int id) const;
    void SetItemText(int id, std::string_view text) const;
    void SetTitle(std::string_view title) const;
    UINT Dpi() const noexcept { return layout_.Dpi(); }
    DialogLayout& Layout() noexcept { return layout_; }

  private:
    void InitDialog();
    void RunLoop();

    DialogKind kind_;
    DialogLayout layout_;
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    bool closing_ = false;
};

}  // namespace trayhound
