#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace trayhound {

// A failed Windows call becomes the program's Error here and nowhere else: its number is the
// call's Win32 error code, its description says what failed and gives the system's text for the
// code.
[[noreturn]] void ThrowWin32Error(unsigned long code, std::string_view what, std::string source);
// The same for the code GetLastError() holds now.
[[noreturn]] void ThrowLastError(std::string_view what, std::string source);
// For a failed HRESULT: the Win32 code it carries, or the HRESULT itself for other facilities.
void ThrowIfFailed(HRESULT result, std::string_view what, std::string source);

// The system's own text for a Win32 error code ("Access is denied."), without the line break
// that FormatMessage appends; "Error <code>" when the system has no text for it.
std::string SystemMessage(unsigned long code);

}  // namespace trayhound
