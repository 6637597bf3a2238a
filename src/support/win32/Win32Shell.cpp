#include "support/win32/Win32Shell.h"

#include <windows.h>

#include <shellapi.h>

#include "support/win32/Text.h"

namespace trayhound {

bool Win32Shell::Open(const std::string& command) {
    const std::wstring file = ToWide(command);
    // Handed over whole: the shell finds the program, document, folder or address itself.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace trayhound
