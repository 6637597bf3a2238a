#include "support/win32/AnsiCodec.h"

#include <windows.h>

#include "support/win32/Text.h"

namespace trayhound {

std::wstring AnsiCodec::Decode(std::string_view ansi) const {
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(codePage_, 0, ansi.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring(ansi.size(), L'\uFFFD');
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage_, 0, ansi.data(), size, wide.data(), length) != length)
        return std::wstring(ansi.size(), L'\uFFFD');
    return wide;
}

std::string AnsiCodec::ToUtf8(std::string_view ansi) const {
    return trayhound::ToUtf8(Decode(ansi));
}

// WC_NO_BEST_FIT_CHARS with the used-default report makes any substitution show. Some code pages
// (UTF-7, UTF-8, ISO 2022, GB 18030 ...) accept neither; for them the result is decoded again and
// must give back the same text.
std::optional<std::string> AnsiCodec::FromUtf8(std::string_view utf8) const {
    if (utf8.empty()) return std::string();
    const std::wstring wide = ToWide(utf8);
    if (auto ansi = Encode(wide, true)) return ansi;
    if (GetLastError() != ERROR_INVALID_FLAGS && GetLastError() != ERROR_INVALID_PARAMETER)
        return std::nullopt;
    return Encode(wide, false);
}

// Nothing when the conversion fails (the system's error code tells why) or substitutes.
std::optional<std::string> AnsiCodec::Encode(std::wstring_view wide, bool strict) const {
    const int size = static_cast<int>(wide.size());
    const DWORD flags = strict ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    BOOL* const reportDefault = strict ? &usedDefault : nullptr;
    const int length = WideCharToMultiByte(codePage_, flags, wide.data(), size, nullptr, 0, nullptr,
                                           reportDefault);
    if (length <= 0) return std::nullopt;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(codePage_, flags, wide.data(), size, ansi.data(), length, nullptr,
                            reportDefault) != length)
        return std::nullopt;
    SetLastError(ERROR_SUCCESS);
    if (usedDefault || (!strict && Decode(ansi) != wide)) return std::nullopt;
    return ansi;
}

}  // namespace trayhound
