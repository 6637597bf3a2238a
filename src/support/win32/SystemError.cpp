#include "support/win32/SystemError.h"

#include "support/Error.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {

std::string SystemMessage(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueHlocal owner(buffer);
    if (length == 0) return "Error " + std::to_string(code);
    std::wstring_view text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.remove_suffix(1);
    return ToUtf8(text);
}

void ThrowWin32Error(unsigned long code, std::string_view what, std::string source) {
    throw Error(static_cast<int>(code), std::string(what) + ": " + SystemMessage(code),
                std::move(source));
}

void ThrowLastError(std::string_view what, std::string source) {
    ThrowWin32Error(GetLastError(), what, std::move(source));
}

void ThrowIfFailed(HRESULT result, std::string_view what, std::string source) {
    if (SUCCEEDED(result)) return;
    const auto code = HRESULT_FACILITY(result) == FACILITY_WIN32
                          ? HRESULT_CODE(result)
                          : static_cast<unsigned long>(result);
    ThrowWin32Error(code, what, std::move(source));
}

}  // namespace trayhound
