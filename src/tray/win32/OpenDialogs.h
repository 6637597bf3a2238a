#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace trayhound {

// The program's modal dialogs that the tray window must know about while they are open.
enum class DialogKind { About, LaunchItem, List, Options };

// A modal dialog as the tray window drives it.
class TrayDialog {
  public:
    virtual ~TrayDialog() = default;
    // Returns when the dialog has closed.
    virtual void ShowModal(HWND owner) = 0;
    // Closes the open dialog through its normal unload handling; nothing when it is not open.
    virtual void Close() noexcept = 0;
    // The dialog's window while it is open, else nullptr.
    virtual HWND Hwnd() const noexcept = 0;
};

// Any dialog class with ShowModal(HWND), Close() and Hwnd() as a TrayDialog.
template <class Dialog>
class TrayDialogOf final : public TrayDialog {
  public:
    template <class... Args>
    explicit TrayDialogOf(Args&&... args) : dialog_(std::forward<Args>(args)...) {}
    void ShowModal(HWND owner) override { dialog_.ShowModal(owner); }
    void Close() noexcept override { dialog_.Close(); }
    HWND Hwnd() const noexcept override { return dialog_.Hwnd(); }
    Dialog& Get() noexcept { return dialog_; }

  private:
    Dialog dialog_;
};

// The dialogs that are open now, by kind: Exit closes them, a menu command whose dialog is open
// brings it to the front instead of opening another, and the List command's guard asks which
// are visible. A dialog is registered for the lifetime of the Registration.
class OpenDialogs {
  public:
    class [[nodiscard]] Registration {
      public:
        Registration(Registration&& other) noexcept;
        Registration& operator=(Registration&&) = delete;
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;
        ~Registration();

      private:
        friend class OpenDialogs;
        Registration(OpenDialogs& owner, unsigned id) noexcept : owner_(&owner), id_(id) {}
        OpenDialogs* owner_;
        unsigned id_;
    };

    OpenDialogs() = default;
    OpenDialogs(const OpenDialogs&) = delete;
    OpenDialogs& operator=(const OpenDialogs&) = delete;

    Registration Register(DialogKind kind, TrayDialog& dialog);
    // For dialogs of other shapes: `window` answers the open window (nullptr when closed),
    // `close` closes it from outside.
    Registration Register(DialogKind kind, std::function<HWND()> window,
                          std::function<void()> close);

    // The open window of that kind (the latest registered), else nullptr.
    HWND Window(DialogKind kind) const;
    bool IsVisible(DialogKind kind) const;
    // Activates the open dialog of that kind; false when none is open.
    bool BringToFront(DialogKind kind) const;
    // Closes every open dialog of that kind.
    void Close(DialogKind kind) noexcept;

  private:
    struct Entry {
        unsigned id;
        DialogKind kind;
        std::function<HWND()> window;
        std::function<void()> close;
    };

    void Unregister(unsigned id) noexcept;

    std::vector<Entry> entries_;
    unsigned nextId_ = 1;
};

}  // namespace trayhound
