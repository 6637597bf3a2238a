#include "support/win32/ModalDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/win32/ErrorPolicy.h"
#include "support/win32/SystemError.h"
#include "support/win32/Text.h"
#include "support/win32/WindowProcedure.h"

namespace trayhound {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME;
constexpr const char* kSource = "Trayhound.ModalDialog.ShowModal()";

// The dialogs open now, the latest last. All of them live on the one user-interface thread.
std::vector<ModalDialog*>& OpenDialogs() {
    static std::vector<ModalDialog*> open;
    return open;
}

// The common controls load with the first dialog, not at start (the library is delay-loaded).
void LoadCommonControls() {
    static const bool loaded = [] {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                            ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    if (!loaded) ThrowLastError("Cannot load the common controls", kSource);
}

// An in-memory dialog template without controls: the controls come from the twips table, sized
// in pixels for the window's DPI, so the template's dialog units never matter.
std::vector<DWORD> EmptyTemplate(std::wstring_view title) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
    header->style = kDialogStyle;
    header->dwExtendedStyle = kDialogExStyle;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    words.insert(words.end(), title.begin(), title.end());
    words.push_back(0);
    std::vector<DWORD> aligned((words.size() + 1) / 2, 0);  // templates start DWORD-aligned
    std::copy(words.begin(), words.end(), reinterpret_cast<WORD*>(aligned.data()));
    return aligned;
}

// Windows 10 1703+ scales template dialogs by itself on a DPI change; this dialog relays out
// from its twips table instead. Looked up at run time: older systems and Wine lack it.
void DisableAutomaticDpiScaling(HWND window) noexcept {
    using SetBehavior =
        BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return;
    const auto set = reinterpret_cast<SetBehavior>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetDialogDpiChangeBehavior")));
    if (set) set(window, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

}  // namespace

ModalDialog::~ModalDialog() {
    // A subclass that wants its unload handling at destruction calls Close() in its own
    // destructor; here the window only must not outlive the object it points to.
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
        if (owner_) EnableWindow(owner_, TRUE);
        DestroyWindow(hwnd_);
        Detach();
    }
}

ModalDialog* ModalDialog::Open(DialogKind kind) noexcept {
    const auto& open = OpenDialogs();
    const auto found = std::find_if(open.rbegin(), open.rend(), [kind](const ModalDialog* dialog) {
        return dialog->kind_ == kind;
    });
    return found == open.rend() ? nullptr : *found;
}

void ModalDialog::Close(std::initializer_list<DialogKind> kinds) noexcept {
    // Closing one dialog may close others (its owned windows): look again after each.
    for (const DialogKind kind : kinds) {
        while (ModalDialog* dialog = Open(kind)) dialog->Close();
    }
}

void ModalDialog::Detach() noexcept {
    hwnd_ = nullptr;
    std::erase(OpenDialogs(), this);
}

void ModalDialog::ShowModal(HWND owner) {
    if (hwnd_) {
        BringToFront();
        return;
    }
    LoadCommonControls();
    owner_ = owner;
    closing_ = false;
    const std::vector<DWORD> dialogTemplate = EmptyTemplate(layout_.Spec().title);
    OpenDialogs().push_back(this);
    const HWND created = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
        owner, &WindowProcedure<ModalDialog, DialogWindow>, reinterpret_cast<LPARAM>(this));
    if (!created) {
        std::erase(OpenDialogs(), this);
        if (closing_) return;  // closed by its own load handler
        ThrowLastError("Cannot create a dialog", kSource);
    }
    if (owner_) EnableWindow(owner_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) {
        SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
    RunLoop();
}

void ModalDialog::RunLoop() {
    while (hwnd_) {
        MSG message{};
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // The program is ending: leave the WM_QUIT for the loops further out.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        const bool mine = message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd);
        try {
            if (mine && PreTranslate(message)) continue;
        } catch (...) {
            HandleUncaughtError(hwnd_);
            continue;
        }
        if (!IsDialogMessageW(hwnd_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    Close();
}

void ModalDialog::Close() noexcept {
    try {
        EndDialog();
    } catch (...) {
        HandleUncaughtError(hwnd_);
    }
}

void ModalDialog::BringToFront() const noexcept {
    if (!hwnd_) return;
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    SetForegroundWindow(hwnd_);
}

void ModalDialog::EndDialog() {
    if (!hwnd_ || closing_) return;
    closing_ = true;
    try {
        OnUnload();
    } catch (...) {
        HandleUncaughtError(hwnd_);
    }
    // The owner is enabled before the dialog goes, so that Windows hands the activation back
    // to it and not to some other program's window.
    if (owner_) {
        EnableWindow(owner_, TRUE);
        if (GetActiveWindow() == hwnd_ && IsWindowVisible(owner_)) SetActiveWindow(owner_);
    }
    DestroyWindow(hwnd_);
}

std::string ModalDialog::ItemText(int id) const {
    return WindowText(Item(id));
}

void ModalDialog::SetItemText(int id, std::string_view text) const {
    SetText(Item(id), text);
}

void ModalDialog::SetTitle(std::string_view title) const {
    SetText(hwnd_, title);
}

INT_PTR ModalDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitDialog();
            return FALSE;  // the focus is set once the window is shown
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return TRUE;
        case WM_CLOSE:
            OnCommand(IDCANCEL, BN_CLICKED, Item(IDCANCEL));
            return TRUE;
        case WM_PAINT: {
            const PaintDc dc(hwnd_);
            OnPaint(dc);
            layout_.PaintLines(dc);
            return TRUE;
        }
        case WM_DPICHANGED: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            const UINT dpi = HIWORD(wParam);
            layout_.Relayout(dpi);
            OnDpiChanged(dpi);
            return TRUE;
        }
        default:
            break;
    }
    return OnDialogMessage(message, wParam, lParam).value_or(FALSE);
}

void ModalDialog::InitDialog() {
    DisableAutomaticDpiScaling(hwnd_);
    const UINT dpi = WindowDpi(hwnd_);
    const SIZE size = layout_.WindowSize(kDialogStyle, kDialogExStyle, dpi);
    if (!SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        ThrowLastError("Cannot size a dialog", kSource);
    }
    layout_.Create(hwnd_, dpi);
    OnLoad();
}

}  // namespace trayhound
