#pragma once

#include <cstdint>

#include "app/WindowsVersion.h"

namespace trayhound {

// The running system's version: 1 major, 2 minor, 3 build (see SelectVersionField). Read anew
// on every call, from the kernel's own record, so that no compatibility shim lowers it.
std::int16_t GetWindowsVersion(int field);

// The running system's version in the packed form of GetVersion(), decoded.
PlatformVersion GetPlatformVersion();

// True on Windows XP or later.
bool XpRunning();

}  // namespace trayhound
