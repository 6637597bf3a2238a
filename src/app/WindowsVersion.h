#pragma once

#include <cstdint>

namespace trayhound {

// The parts of the packed 32-bit version number that GetVersion() returns.
struct PlatformVersion {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    std::uint8_t buildLow = 0;
    std::uint8_t buildHigh = 0;  // bits 24-31: on the old non-NT systems bit 31 is part of it
    bool isNt = false;           // bit 31 clear
};

PlatformVersion DecodePlatformVersion(std::uint32_t getVersionResult) noexcept;

// Windows XP (5.1) or later.
bool IsXpOrLater(int major, int minor) noexcept;

// Field 1 the major version, 2 the minor version, 3 the build number, as a 16-bit number.
// Throws Error 301 "Invalid field number" for another field and kOverflow for a number above
// 32767; both with the source "WindowsVersion.GetWindowsVersion".
std::int16_t SelectVersionField(int field, std::uint32_t major, std::uint32_t minor,
                                std::uint32_t build);

}  // namespace trayhound
