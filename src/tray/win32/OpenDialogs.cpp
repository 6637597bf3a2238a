#include "tray/win32/OpenDialogs.h"

#include <algorithm>
#include <utility>

namespace trayhound {

OpenDialogs::Registration::Registration(Registration&& other) noexcept
    : owner_(std::exchange(other.owner_, nullptr)), id_(other.id_) {}

OpenDialogs::Registration::~Registration() {
    if (owner_) owner_->Unregister(id_);
}

OpenDialogs::Registration OpenDialogs::Register(DialogKind kind, TrayDialog& dialog) {
    return Register(
        kind, [&dialog] { return dialog.Hwnd(); }, [&dialog] { dialog.Close(); });
}

OpenDialogs::Registration OpenDialogs::Register(DialogKind kind, std::function<HWND()> window,
                                                std::function<void()> close) {
    const unsigned id = nextId_++;
    entries_.push_back({id, kind, std::move(window), std::move(close)});
    return Registration(*this, id);
}

void OpenDialogs::Unregister(unsigned id) noexcept {
    std::erase_if(entries_, [id](const Entry& entry) { return entry.id == id; });
}

HWND OpenDialogs::Window(DialogKind kind) const {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (entry->kind != kind) continue;
        if (const HWND window = entry->window(); window && IsWindow(window)) return window;
    }
    return nullptr;
}

bool OpenDialogs::IsVisible(DialogKind kind) const {
    const HWND window = Window(kind);
    return window && IsWindowVisible(window);
}

bool OpenDialogs::BringToFront(DialogKind kind) const {
    const HWND window = Window(kind);
    if (!window) return false;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    // The popup menu made the tray window the foreground one, so this is allowed.
    SetForegroundWindow(window);
    return true;
}

void OpenDialogs::Close(DialogKind kind) noexcept {
    // Closing a dialog may end registrations (and so change the list): collect first.
    std::vector<std::function<void()>> closers;
    for (const auto& entry : entries_) {
        if (entry.kind == kind) closers.push_back(entry.close);
    }
    for (auto closer = closers.rbegin(); closer != closers.rend(); ++closer) {
        try {
            (*closer)();
        } catch (...) {
            // The program is ending; a dialog that fails to unload must not stop it.
        }
    }
}

}  // namespace trayhound
