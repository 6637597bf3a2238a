#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "support/win32/DialogLayout.h"

namespace trayhound {

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
//     message), OnUnload (Form_Unload: runs once at every close, whichever way), OnDpiChanged;
//   - closes itself with EndDialog() (from cmdOK_Click, cmdCancel_Click). Esc and the title
//     bar's close box arrive as OnCommand(IDCANCEL).
//
// ShowModal creates the window, runs OnLoad, disables the owner, shows the window and runs the
// dialog's own message loop (IsDialogMessageW: Tab, access keys, Enter and Esc) until the window
// closes. A WM_QUIT seen by the loop is posted again and ends the dialog, so that the program's
// main loop still sees it. Close() ends an open dialog from outside (Exit, the shutdown
// request) through the same unload handling.
//
// Exceptions from handlers never cross into user32: they are caught at the dialog procedure and
// shown in a message box titled with the program's title.
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

    bool IsOpen() const noexcept { return hwnd_ != nullptr; }
    HWND Hwnd() const noexcept { return hwnd_; }

  protected:
    explicit ModalDialog(const DialogSpec& spec) noexcept : layout_(spec) {}

    virtual void OnLoad() {}
    virtual void OnUnload() {}
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    // Handles any message not handled by the base; the value is the dialog procedure's result
    // (the brush for WM_CTLCOLOR*). No value: default handling.
    virtual std::optional<INT_PTR> OnMessage(UINT /*message*/, WPARAM, LPARAM) {
        return std::nullopt;
    }
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
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void InitDialog();
    void RunLoop();

    DialogLayout layout_;
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    bool closing_ = false;
};

// Text of any window (UTF-8).
std::string WindowText(HWND window);
void SetWindowText(HWND window, std::string_view text);

}  // namespace trayhound
