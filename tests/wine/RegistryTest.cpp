#include "support/win32/Registry.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "WineTestSupport.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {
namespace {

using winetest::ReplacedAppDataValue;
using winetest::RoamingFolderFromShell;
using winetest::ScratchKey;

class GetKeyValueTest : public ::testing::Test {
  protected:
    // Reads `name` of the scratch key into a text that held "before".
    bool Read(std::string_view name) {
        value_ = "before";
        return GetKeyValue(HKEY_CURRENT_USER, key_.Path(), name, value_);
    }

    ScratchKey key_;
    std::string value_;
};

TEST_F(GetKeyValueTest, TextStoredWithItsNulLosesOnlyThatNul) {
    key_.SetText(L"v", REG_SZ, L"C:\\Data");
    EXPECT_TRUE(Read("v"));
    EXPECT_EQ(value_, "C:\\Data");
}

TEST_F(GetKeyValueTest, TextStoredWithoutNulIsTakenWhole) {
    key_.SetText(L"v", REG_SZ, L"C:\\Data", false);
    EXPECT_TRUE(Read("v"));
    EXPECT_EQ(value_, "C:\\Data");
}

TEST_F(GetKeyValueTest, OnlyTheLastOfTwoStoredNulsIsDropped) {
    const wchar_t data[] = L"ab\0";  // a, b, NUL, NUL
    key_.SetRaw(L"v", REG_SZ, data, sizeof data);
    EXPECT_TRUE(Read("v"));
    EXPECT_EQ(value_, std::string("ab\0", 3));
}

TEST_F(GetKeyValueTest, TextIsConvertedToUtf8) {
    key_.SetText(L"v", REG_SZ, L"C:\\Benutzer\\Jürgen\\Данные");
    EXPECT_TRUE(Read("v"));
    EXPECT_EQ(value_, "C:\\Benutzer\\Jürgen\\Данные");
}

TEST_F(GetKeyValueTest, DwordIsItsDecimalNumber) {
    const unsigned char bytes[] = {0x05, 0x01, 0x00, 0x00};
    key_.SetRaw(L"v", REG_DWORD, bytes, sizeof bytes);
    EXPECT_TRUE(Read("v"));
    EXPECT_EQ(value_, "261");
}

TEST_F(GetKeyValueTest, DwordIsReadUnsigned) {
    const std::uint32_t number = 0xFFFFFFFEu;
    key_.SetRaw(L"v", REG_DWORD, &number, sizeof number);
    EXPECT_TRUE(Read("v"));
    EXPECT_EQ(value_, "4294967294");
}

TEST_F(GetKeyValueTest, ExpandableTextLeavesTheValueUntouched) {
    key_.SetText(L"v", REG_EXPAND_SZ, L"%USERPROFILE%\\AppData\\Roaming");
    EXPECT_TRUE(Read("v"));
    EXPECT_EQ(value_, "before");
}

TEST_F(GetKeyValueTest, BinaryLeavesTheValueUntouched) {
    const unsigned char bytes[] = {1, 2, 3};
    key_.SetRaw(L"v", REG_BINARY, bytes, sizeof bytes);
    EXPECT_TRUE(Read("v"));
    EXPECT_EQ(value_, "before");
}

TEST_F(GetKeyValueTest, TextUpTo1024CharactersIsRead) {
    const std::wstring longest(1023, L'a');  // with its NUL: 1024 characters
    key_.SetText(L"withNul", REG_SZ, longest);
    key_.SetText(L"withoutNul", REG_SZ, longest + L"b", false);

    EXPECT_TRUE(Read("withNul"));
    EXPECT_EQ(value_, ToUtf8(longest));
    EXPECT_TRUE(Read("withoutNul"));
    EXPECT_EQ(value_, ToUtf8(longest + L"b"));
}

TEST_F(GetKeyValueTest, LongerTextIsNotReadable) {
    key_.SetText(L"v", REG_SZ, std::wstring(1024, L'a'));  // 1025 characters with the NUL
    EXPECT_FALSE(Read("v"));
    EXPECT_EQ(value_, "");
}

TEST_F(GetKeyValueTest, OtherDataOver1024BytesIsNotReadable) {
    const std::vector<unsigned char> fits(1024, 7);
    const std::vector<unsigned char> tooLong(1025, 7);
    key_.SetRaw(L"fits", REG_BINARY, fits.data(), static_cast<DWORD>(fits.size()));
    key_.SetRaw(L"tooLong", REG_BINARY, tooLong.data(), static_cast<DWORD>(tooLong.size()));

    EXPECT_TRUE(Read("fits"));
    EXPECT_FALSE(Read("tooLong"));
    EXPECT_EQ(value_, "");
}

TEST_F(GetKeyValueTest, MissingValueOrKeyIsFalseAndEmpty) {
    EXPECT_FALSE(Read("absent"));
    EXPECT_EQ(value_, "");

    value_ = "before";
    EXPECT_FALSE(GetKeyValue(HKEY_CURRENT_USER, key_.Path() + "\\absent", "v", value_));
    EXPECT_EQ(value_, "");
}

class ReadFolderValueTest : public ::testing::Test {
  protected:
    std::optional<std::string> Read(std::string_view name) const {
        return ReadFolderValue(HKEY_CURRENT_USER, key_.Path(), name);
    }

    ScratchKey key_;
};

TEST_F(ReadFolderValueTest, PlainTextIsTheFolder) {
    key_.SetText(L"AppData", REG_SZ, L"D:\\Profiles\\Jürgen\\Roaming");
    EXPECT_EQ(Read("AppData"), "D:\\Profiles\\Jürgen\\Roaming");
}

TEST_F(ReadFolderValueTest, ExpandableTextIsExpanded) {
    ASSERT_TRUE(SetEnvironmentVariableW(L"TRAYHOUND_TEST_PROFILE", L"E:\\Home\\Zoë"));
    key_.SetText(L"AppData", REG_EXPAND_SZ, L"%TRAYHOUND_TEST_PROFILE%\\AppData\\Roaming");
    EXPECT_EQ(Read("AppData"), "E:\\Home\\Zoë\\AppData\\Roaming");
}

TEST_F(ReadFolderValueTest, EmptyTextCountsAsMissing) {
    key_.SetText(L"plain", REG_SZ, L"");
    key_.SetText(L"expandable", REG_EXPAND_SZ, L"");
    EXPECT_EQ(Read("plain"), std::nullopt);
    EXPECT_EQ(Read("expandable"), std::nullopt);
}

TEST_F(ReadFolderValueTest, MissingTooLongOrNotTextIsNothing) {
    const std::uint32_t number = 261;
    key_.SetRaw(L"number", REG_DWORD, &number, sizeof number);
    key_.SetText(L"long", REG_SZ, L"C:\\" + std::wstring(1100, L'a'));
    EXPECT_EQ(Read("number"), std::nullopt);
    EXPECT_EQ(Read("long"), std::nullopt);
    EXPECT_EQ(Read("absent"), std::nullopt);
}

TEST(ReadAppDataFolderTest, FindsTheUsersRoamingFolder) {
    const auto folder = ReadAppDataFolder();
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(*folder, RoamingFolderFromShell());
    EXPECT_TRUE(folder->ends_with("\\AppData\\Roaming")) << *folder;
}

TEST(ReadAppDataFolderTest, ExpandsAnExpandableValue) {
    const std::string expected = RoamingFolderFromShell();
    const ReplacedAppDataValue replaced(REG_EXPAND_SZ, L"%USERPROFILE%\\AppData\\Roaming");
    EXPECT_EQ(ReadAppDataFolder(), expected);
}

TEST(ReadAppDataFolderTest, EmptyValueIsNothing) {
    const ReplacedAppDataValue replaced(REG_SZ, L"");
    EXPECT_EQ(ReadAppDataFolder(), std::nullopt);
}

}  // namespace
}  // namespace trayhound
