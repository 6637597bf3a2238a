#include "app/WindowsVersion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <tuple>

#include "support/Error.h"

namespace trayhound {
namespace {

struct PackedVersion {
    std::uint32_t packed;
    int major, minor, buildLow, buildHigh;
    bool isNt;
};

void PrintTo(const PackedVersion& value, std::ostream* out) {
    *out << "0x" << std::hex << value.packed;
}

class DecodePlatformVersionTest : public testing::TestWithParam<PackedVersion> {};

TEST_P(DecodePlatformVersionTest, SplitsTheFourBytesAndTheTopBit) {
    const PackedVersion& expected = GetParam();
    const PlatformVersion version = DecodePlatformVersion(expected.packed);
    EXPECT_EQ(version.major, expected.major);
    EXPECT_EQ(version.minor, expected.minor);
    EXPECT_EQ(version.buildLow, expected.buildLow);
    EXPECT_EQ(version.buildHigh, expected.buildHigh);
    EXPECT_EQ(version.isNt, expected.isNt);
}

INSTANTIATE_TEST_SUITE_P(KnownSystems, DecodePlatformVersionTest,
                         testing::Values(
                             // Windows 10 build 19045 (0x4A65)
                             PackedVersion{0x4A65000Au, 10, 0, 0x65, 0x4A, true},
                             // Windows XP 5.1 build 2600 (0x0A28)
                             PackedVersion{0x0A280105u, 5, 1, 0x28, 0x0A, true},
                             // Windows Me 4.90: bit 31 set, which also lands in the high build byte
                             PackedVersion{0xC0005A04u, 4, 90, 0x00, 0xC0, false},
                             // Windows 95 4.0
                             PackedVersion{0xC3B60004u, 4, 0, 0xB6, 0xC3, false},
                             PackedVersion{0x00000000u, 0, 0, 0, 0, true},
                             PackedVersion{0xFFFFFFFFu, 255, 255, 255, 255, false}));

class IsXpOrLaterTest : public testing::TestWithParam<std::tuple<int, int, bool>> {};

TEST_P(IsXpOrLaterTest, FiveOneIsTheFirst) {
    const auto [major, minor, expected] = GetParam();
    EXPECT_EQ(IsXpOrLater(major, minor), expected) << major << "." << minor;
}

INSTANTIATE_TEST_SUITE_P(Versions, IsXpOrLaterTest,
                         testing::Values(std::tuple{4, 0, false}, std::tuple{4, 90, false},
                                         std::tuple{5, 0, false}, std::tuple{5, 1, true},
                                         std::tuple{5, 2, true}, std::tuple{6, 0, true},
                                         std::tuple{6, 1, true}, std::tuple{10, 0, true}));

TEST(SelectVersionFieldTest, PicksMajorMinorAndBuild) {
    EXPECT_EQ(SelectVersionField(1, 10, 2, 19045), 10);
    EXPECT_EQ(SelectVersionField(2, 10, 2, 19045), 2);
    EXPECT_EQ(SelectVersionField(3, 10, 2, 19045), 19045);
}

TEST(SelectVersionFieldTest, OtherFieldsAreError301) {
    for (const int field : {0, 4, -1, 32767}) {
        try {
            SelectVersionField(field, 10, 0, 19045);
            ADD_FAILURE() << "field " << field << " was accepted";
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), 301);
            EXPECT_EQ(error.Description(), "Invalid field number");
            EXPECT_EQ(error.Source(), "WindowsVersion.GetWindowsVersion");
        }
    }
}

TEST(SelectVersionFieldTest, ANumberAbove32767Overflows) {
    EXPECT_EQ(SelectVersionField(3, 10, 0, 32767), 32767);
    try {
        SelectVersionField(3, 10, 0, 32768);
        ADD_FAILURE() << "build 32768 was accepted";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::kOverflow);
        EXPECT_EQ(error.Source(), "WindowsVersion.GetWindowsVersion");
    }
}

}  // namespace
}  // namespace trayhound
