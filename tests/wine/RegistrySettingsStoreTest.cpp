#include "support/win32/RegistrySettingsStore.h"

#include <gtest/gtest.h>

#include "WineTestSupport.h"
#include "support/Error.h"
#include "support/win32/Text.h"

namespace trayhound {
namespace {

using winetest::RunReg;
using winetest::ScratchApplication;

class RegistrySettingsStoreTest : public ::testing::Test {
  protected:
    ScratchApplication app_;
    RegistrySettingsStore store_;
};

TEST_F(RegistrySettingsStoreTest, WriteStoresAStringValueThatRegSees) {
    store_.Write(app_.Name(), "frmList", "Left", "1234");

    const auto result = RunReg(L"query " + app_.RegPath("frmList") + L" /v Left");
    EXPECT_EQ(result.exitCode, 0u) << result.output;
    EXPECT_NE(result.output.find("REG_SZ    1234"), std::string::npos) << result.output;
}

TEST_F(RegistrySettingsStoreTest, BackslashInSectionIsASubkeyLevel) {
    store_.Write(app_.Name(), "Options\\LastIconSetFileNames", "count", "3");

    const auto subkey =
        RunReg(L"query " + app_.RegPath("Options\\LastIconSetFileNames") + L" /v count");
    EXPECT_EQ(subkey.exitCode, 0u) << subkey.output;
    EXPECT_NE(subkey.output.find("REG_SZ    3"), std::string::npos) << subkey.output;
    // The parent level is a key of its own, holding no value.
    const auto parent = RunReg(L"query " + app_.RegPath("Options"));
    EXPECT_EQ(parent.exitCode, 0u) << parent.output;
    EXPECT_EQ(parent.output.find("count"), std::string::npos) << parent.output;
}

TEST_F(RegistrySettingsStoreTest, ReadsWhatRegAdded) {
    const auto added =
        RunReg(L"add " + app_.RegPath("Command") + L" /v Shutdown /t REG_SZ /d now /f");
    ASSERT_EQ(added.exitCode, 0u) << added.output;

    EXPECT_EQ(store_.Read(app_.Name(), "Command", "Shutdown", ""), "now");
}

TEST_F(RegistrySettingsStoreTest, MissingSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(store_.Read(app_.Name(), "Options\\LastIconSetFileNames", "count", "-1"), "-1");
    store_.Write(app_.Name(), "frmList", "Left", "10");
    EXPECT_EQ(store_.Read(app_.Name(), "frmList", "Top", "9000"), "9000");
}

TEST_F(RegistrySettingsStoreTest, AnEmptyStoredValueIsNotTheDefault) {
    store_.Write(app_.Name(), "Command", "Shutdown", "");
    EXPECT_EQ(store_.Read(app_.Name(), "Command", "Shutdown", "default"), "");
}

TEST_F(RegistrySettingsStoreTest, AValueOfAnotherTypeGivesTheDefault) {
    const auto added = RunReg(L"add " + app_.RegPath("frmList") + L" /v Left /t REG_DWORD /d 5 /f");
    ASSERT_EQ(added.exitCode, 0u) << added.output;

    EXPECT_EQ(store_.Read(app_.Name(), "frmList", "Left", "0"), "0");
}

TEST_F(RegistrySettingsStoreTest, WriteReplacesTheOldValue) {
    store_.Write(app_.Name(), "Options\\LastIconSetFileNames", "1", "C:\\Sets\\a.iconset");
    store_.Write(app_.Name(), "Options\\LastIconSetFileNames", "1", "B");
    EXPECT_EQ(store_.Read(app_.Name(), "Options\\LastIconSetFileNames", "1", ""), "B");
}

TEST_F(RegistrySettingsStoreTest, UnicodeTextSurvivesTheRegistry) {
    const std::string text = "C:\\Sätze\\Иконки ✓.iconset";
    store_.Write(app_.Name(), "Options\\LastIconSetFileNames", "1", text);

    // Read back through the registry itself, not the store.
    wchar_t buffer[256];
    DWORD size = sizeof buffer;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER,
                           ToWide(RegistrySettingsStore::KeyPath(app_.Name(),
                                                                 "Options\\LastIconSetFileNames"))
                               .c_str(),
                           L"1", RRF_RT_REG_SZ, nullptr, buffer, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(buffer), ToWide(text));
    EXPECT_EQ(store_.Read(app_.Name(), "Options\\LastIconSetFileNames", "1", ""), text);
}

TEST_F(RegistrySettingsStoreTest, DeleteRemovesOnlyThatKey) {
    store_.Write(app_.Name(), "Command", "Shutdown", "1");
    store_.Write(app_.Name(), "Command", "Other", "2");

    store_.Delete(app_.Name(), "Command", "Shutdown");

    EXPECT_EQ(store_.Read(app_.Name(), "Command", "Shutdown", "gone"), "gone");
    EXPECT_EQ(RunReg(L"query " + app_.RegPath("Command") + L" /v Shutdown").exitCode, 1u);
    EXPECT_EQ(store_.Read(app_.Name(), "Command", "Other", ""), "2");
}

TEST_F(RegistrySettingsStoreTest, DeletingWhatIsNotThereIsNoError) {
    EXPECT_NO_THROW(store_.Delete(app_.Name(), "Command", "Shutdown"));
    store_.Write(app_.Name(), "Command", "Other", "2");
    EXPECT_NO_THROW(store_.Delete(app_.Name(), "Command", "Shutdown"));
}

TEST_F(RegistrySettingsStoreTest, AWriteTheRegistryRefusesIsAnError) {
    // A key name may have at most 255 characters.
    const std::string section(300, 'x');
    try {
        store_.Write(app_.Name(), section, "Left", "1");
        ADD_FAILURE() << "the write was accepted";
    } catch (const Error& error) {
        EXPECT_EQ(error.Source(), "Trayhound.RegistrySettingsStore.Write()");
        EXPECT_NE(error.Description().find("Left"), std::string::npos) << error.Description();
    }
}

}  // namespace
}  // namespace trayhound
