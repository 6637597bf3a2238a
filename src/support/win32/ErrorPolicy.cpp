#include "support/win32/ErrorPolicy.h"

#include <exception>

#include "support/AppTitle.h"
#include "support/Error.h"
#include "support/win32/ModalDialog.h"
#include "support/win32/Text.h"

namespace trayhound {
namespace {

std::function<void()>& OrderlyEnd() {
    static std::function<void()> end;
    return end;
}

}  // namespace

int ShowUserMessage(HWND owner, std::string_view text, UINT type) noexcept {
    try {
        return MessageBoxW(owner, ToWide(text).c_str(), ToWide(kAppTitle).c_str(), type);
    } catch (...) {
        return 0;  // out of memory while converting: nothing sensible left to show
    }
}

void HandleUncaughtError(HWND owner) noexcept {
    try {
        throw;
    } catch (const Error& error) {
        ShowUserMessage(owner, error.Description(), MB_OK | MB_ICONERROR);
    } catch (const std::exception& error) {
        ShowUserMessage(owner, error.what(), MB_OK | MB_ICONERROR);
    } catch (...) {
        ShowUserMessage(owner, "Unexpected error", MB_OK | MB_ICONERROR);
    }
    for (const DialogKind editing :
         {DialogKind::List, DialogKind::LaunchItem, DialogKind::Options}) {
        if (ModalDialog::Open(editing)) return;
    }
    try {
        if (OrderlyEnd()) OrderlyEnd()();
    } catch (...) {
        // Nothing left to end the program with; it goes on.
    }
}

void SetOrderlyEnd(std::function<void()> end) {
    OrderlyEnd() = std::move(end);
}

}  // namespace trayhound
