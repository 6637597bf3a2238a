#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace trayhound {

// A message box titled with the program's title, with an OK button unless `type` asks for other
// buttons; returns the button pressed.
int ShowUserMessage(HWND owner, std::string_view text, UINT type = MB_OK) noexcept;

// Inside a catch block: shows the current exception's description (an Error's, or the text of
// any other exception) in a message box titled with the program's title.
void ReportCurrentException(HWND owner) noexcept;

// The Error for a failed Win32 call, from GetLastError(): its system message, the call's name
// and the routine it arose in.
[[noreturn]] void ThrowLastError(std::string_view call, std::string source);

}  // namespace trayhound
