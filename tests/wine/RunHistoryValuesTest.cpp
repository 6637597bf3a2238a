// The shell's Run history holds whatever other programs wrote there; the item editor reads it
// through GetKeyValue, which must give sound text for short, odd-sized and unexpected values.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "WineTestSupport.h"
#include "support/win32/Registry.h"

namespace trayhound {
namespace {

using winetest::ScratchKey;

struct OddValue {
    const char* name;
    DWORD type;
    std::vector<unsigned char> data;
    bool readable;
    std::string expected;  // "before" when the reader leaves the text as it was
};

void PrintTo(const OddValue& value, std::ostream* out) {
    *out << value.name;
}

// UTF-16LE bytes of ASCII text, without a terminating NUL.
std::vector<unsigned char> Utf16(std::string_view text) {
    std::vector<unsigned char> bytes;
    for (const char c : text) {
        bytes.push_back(static_cast<unsigned char>(c));
        bytes.push_back(0);
    }
    return bytes;
}

std::vector<unsigned char> operator+(std::vector<unsigned char> a,
                                     const std::vector<unsigned char>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class RunHistoryValuesTest : public ::testing::TestWithParam<OddValue> {};

TEST_P(RunHistoryValuesTest, GivesSoundText) {
    const ScratchKey key;
    const OddValue& odd = GetParam();
    key.SetRaw(L"a", odd.type, odd.data.data(), static_cast<DWORD>(odd.data.size()));
    std::string value = "before";
    EXPECT_EQ(GetKeyValue(HKEY_CURRENT_USER, key.Path(), "a", value), odd.readable);
    EXPECT_EQ(value, odd.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RunHistoryValuesTest,
    ::testing::Values(OddValue{"Command", REG_SZ, Utf16("notepad\\1") + Utf16(std::string(1, '\0')),
                               true, "notepad\\1"},
                      OddValue{"EmptyWithoutNul", REG_SZ, {}, true, ""},
                      OddValue{"OnlyANul", REG_SZ, {0, 0}, true, ""},
                      OddValue{"HalfACharacterMore", REG_SZ,
                               Utf16("ab") + std::vector<unsigned char>{'c'}, true, "ab"},
                      OddValue{"SingleByte", REG_SZ, {'x'}, true, ""},
                      OddValue{"ShortDword", REG_DWORD, {0x05, 0x01}, true, "261"},
                      OddValue{"EmptyDword", REG_DWORD, {}, true, "0"},
                      OddValue{"ListOfTexts", REG_MULTI_SZ,
                               Utf16("a") + Utf16(std::string(2, '\0')), true, "before"},
                      OddValue{"NoData", REG_NONE, {}, true, "before"},
                      OddValue{"LongBinary", REG_BINARY, std::vector<unsigned char>(1025, 1), false,
                               ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunHistoryKeyTest, MissingKeyOrValueIsFalseAndEmpty) {
    const ScratchKey key;
    std::string value = "before";
    EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, key.Path(), "MRUList", value));
    EXPECT_EQ(value, "");
    value = "before";
    EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, key.Path() + "\\RunMRU", "a", value));
    EXPECT_EQ(value, "");
}

}  // namespace
}  // namespace trayhound
