#include "app/win32/WindowsVersion.h"

#include <windows.h>

#include "support/Error.h"
#include "support/win32/SystemError.h"

namespace trayhound {

namespace {

// RtlGetVersion reports the real version whatever the manifest declares; GetVersionExW only
// does so for the systems the manifest names.
OSVERSIONINFOW ReadVersionRecord() {
    OSVERSIONINFOW record{};
    record.dwOSVersionInfoSize = sizeof record;
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFunction>(
                    reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    if (!rtlGetVersion || rtlGetVersion(&record) != 0) {
        ThrowWin32Error(ERROR_PROC_NOT_FOUND, "Cannot read the Windows version",
                        "WindowsVersion.GetWindowsVersion");
    }
    return record;
}

}  // namespace

std::int16_t GetWindowsVersion(int field) {
    const OSVERSIONINFOW record = ReadVersionRecord();
    return SelectVersionField(field, record.dwMajorVersion, record.dwMinorVersion,
                              record.dwBuildNumber);
}

PlatformVersion GetPlatformVersion() {
    const OSVERSIONINFOW record = ReadVersionRecord();
    // GetVersion() packs an NT system's version so: bit 31 clear, build in bits 16-30.
    const std::uint32_t packed = (record.dwMajorVersion & 0xFF) |
                                 ((record.dwMinorVersion & 0xFF) << 8) |
                                 ((record.dwBuildNumber & 0x7FFF) << 16);
    return DecodePlatformVersion(packed);
}

bool XpRunning() {
    return IsXpOrLater(GetWindowsVersion(1), GetWindowsVersion(2));
}

}  // namespace trayhound
