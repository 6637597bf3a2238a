#include "app/win32/WindowsVersion.h"

#include <gtest/gtest.h>

#include "support/Error.h"

namespace trayhound {
namespace {

TEST(GetWindowsVersionTest, FieldsOtherThanOneToThreeAreError301) {
    for (const int field : {0, 4}) {
        try {
            GetWindowsVersion(field);
            ADD_FAILURE() << "field " << field << " was accepted";
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), 301);
            EXPECT_EQ(error.Description(), "Invalid field number");
            EXPECT_EQ(error.Source(), "WindowsVersion.GetWindowsVersion");
        }
    }
}

TEST(GetWindowsVersionTest, AgreesWithThePackedVersion) {
    const PlatformVersion packed = GetPlatformVersion();
    EXPECT_TRUE(packed.isNt);
    EXPECT_EQ(GetWindowsVersion(1), packed.major);
    EXPECT_EQ(GetWindowsVersion(2), packed.minor);
    EXPECT_EQ(GetWindowsVersion(3), packed.buildLow | (packed.buildHigh << 8));
    EXPECT_GE(GetWindowsVersion(1), 6);  // every system this program supports is Vista or later
    EXPECT_TRUE(XpRunning());
}

}  // namespace
}  // namespace trayhound
