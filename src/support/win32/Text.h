#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace trayhound {

// The only two conversions between the program's UTF-8 text and the UTF-16 of the W APIs.
std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

// Text of any window (UTF-8). SetText throws Error when the window refuses it.
std::string WindowText(HWND window);
void SetText(HWND window, std::string_view text);

}  // namespace trayhound
