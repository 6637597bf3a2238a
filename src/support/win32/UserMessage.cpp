#include "support/win32/UserMessage.h"

#include <exception>

#include "app/SettingsStore.h"
#include "support/Error.h"
#include "support/win32/Text.h"

namespace trayhound {

int ShowUserMessage(HWND owner, std::string_view text, UINT type) noexcept {
    try {
        return MessageBoxW(owner, ToWide(text).c_str(), ToWide(kAppTitle).c_str(), type);
    } catch (...) {
        return 0;  // out of memory while converting: nothing sensible left to show
    }
}

void ReportCurrentException(HWND owner) noexcept {
    try {
        throw;
    } catch (const Error& error) {
        ShowUserMessage(owner, error.Description(), MB_OK | MB_ICONERROR);
    } catch (const std::exception& error) {
        ShowUserMessage(owner, error.what(), MB_OK | MB_ICONERROR);
    } catch (...) {
        ShowUserMessage(owner, "Unexpected error", MB_OK | MB_ICONERROR);
    }
}

void ThrowLastError(std::string_view call, std::string source) {
    const DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring message(buffer ? buffer : L"", length);
    if (buffer) LocalFree(buffer);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) {
        message.pop_back();
    }
    std::string description(call);
    description += " failed";
    description += " (error " + std::to_string(code) + ")";
    if (!message.empty()) description += ": " + ToUtf8(message);
    throw Error(error_number::kApplicationDefined, std::move(description), std::move(source));
}

}  // namespace trayhound
