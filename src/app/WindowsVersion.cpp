#include "app/WindowsVersion.h"

#include <limits>

#include "support/Error.h"

namespace trayhound {

namespace {
constexpr const char* kSource = "WindowsVersion.GetWindowsVersion";
}

PlatformVersion DecodePlatformVersion(std::uint32_t getVersionResult) noexcept {
    PlatformVersion version;
    version.major = static_cast<std::uint8_t>(getVersionResult & 0xFF);
    version.minor = static_cast<std::uint8_t>((getVersionResult >> 8) & 0xFF);
    version.buildLow = static_cast<std::uint8_t>((getVersionResult >> 16) & 0xFF);
    version.buildHigh = static_cast<std::uint8_t>((getVersionResult >> 24) & 0xFF);
    version.isNt = (getVersionResult & 0x80000000u) == 0;
    return version;
}

bool IsXpOrLater(int major, int minor) noexcept {
    return (major == 5 && minor >= 1) || major > 5;
}

std::int16_t SelectVersionField(int field, std::uint32_t major, std::uint32_t minor,
                                std::uint32_t build) {
    std::uint32_t value = 0;
    switch (field) {
        case 1:
            value = major;
            break;
        case 2:
            value = minor;
            break;
        case 3:
            value = build;
            break;
        default:
            throw Error(error_number::kInvalidFieldNumber, "Invalid field number", kSource);
    }
    if (value > static_cast<std::uint32_t>(std::numeric_limits<std::int16_t>::max()))
        throw Error(error_number::kOverflow, "Overflow", kSource);
    return static_cast<std::int16_t>(value);
}

}  // namespace trayhound
