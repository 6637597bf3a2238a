#include "app/Application.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "CaughtError.h"
#include "WineTestSupport.h"
#include "support/win32/RegistrySettingsStore.h"
#include "app/win32/Win32Services.h"
#include "support/win32/Text.h"

namespace trayhound {
namespace {

using winetest::IsFolder;
using winetest::ReadBytes;
using winetest::ReplacedAppDataValue;
using winetest::RoamingFolderFromShell;
using winetest::RunReg;
using winetest::SetAsideProgramData;
using winetest::WriteBytes;

// ANSI text as the system itself decodes it.
std::string SystemCodePageText(std::string_view ansi) {
    wchar_t wide[64];
    const int length =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide, 64);
    return ToUtf8(std::wstring_view(wide, static_cast<std::size_t>(length)));
}

// The application object on the real platform pieces, starting from a first run.
class ApplicationOnWindowsTest : public ::testing::Test {
  protected:
    std::wstring DataFile() const { return programData_.DataFolder() + L"\\Document.dat"; }

    // reg.exe's listing of a settings section of the program.
    std::string RegQuery(std::string_view section) const {
        return RunReg(L"query \"HKCU\\" +
                      ToWide(RegistrySettingsStore::KeyPath("Trayhound", section)) + L"\"")
            .output;
    }

    SetAsideProgramData programData_;
};

TEST_F(ApplicationOnWindowsTest, DataFileLivesInTheRoamingFolder) {
    const Application application(MakeApplicationServices());
    EXPECT_EQ(application.FileName, RoamingFolderFromShell() + "\\Trayhound\\Document.dat");
    EXPECT_EQ(ToWide(application.FileName), DataFile());
}

TEST_F(ApplicationOnWindowsTest, FirstRunStartsEmptyAndTheEndCreatesFolderAndFile) {
    {
        const Application application(MakeApplicationServices());
        EXPECT_EQ(application.Document()->count(), 0);
        EXPECT_FALSE(IsFolder(programData_.DataFolder()));  // not before the first save
        application.Document()->Add("Notepad", "notepad.exe", 1, -1);
        application.Document()->Add("-", "", 0, -1);
    }

    EXPECT_EQ(ReadBytes(DataFile()), "Notepad\tnotepad.exe\t1\r\n-\t\t0\r\n");
    // The options were written too: the built-in set, as on every first run.
    const std::string options = RegQuery("Options\\LastIconSetFileNames");
    EXPECT_NE(options.find("count    REG_SZ    1"), std::string::npos) << options;
    EXPECT_NE(options.find("1    REG_SZ    trayhound:\\internal.iconset"), std::string::npos)
        << options;
}

TEST_F(ApplicationOnWindowsTest, LoadsTheExistingDataFile) {
    ASSERT_TRUE(CreateDirectoryW(programData_.DataFolder().c_str(), nullptr));
    WriteBytes(DataFile(), "Caf\xE9\tcmd.exe\t2\r\nWeb\thttps://example.org/\t5\r\n");

    const Application application(MakeApplicationServices());

    ASSERT_EQ(application.Document()->count(), 2);
    EXPECT_EQ(application.Document()->Item(1)->Caption(), SystemCodePageText("Caf\xE9"));
    EXPECT_EQ(application.Document()->Item(2)->Command(), "https://example.org/");
    EXPECT_EQ(application.Document()->Item(2)->Icon(), 5);
}

TEST_F(ApplicationOnWindowsTest, SaveWritesTheEditedCollection) {
    ASSERT_TRUE(CreateDirectoryW(programData_.DataFolder().c_str(), nullptr));
    WriteBytes(DataFile(), "Old\told.exe\t0\r\n");
    Application application(MakeApplicationServices());

    auto edited = application.Document()->Clone();
    edited->Add("New", "new.exe", 3, -1);
    application.SetDocument(edited);
    application.Save();

    EXPECT_EQ(ReadBytes(DataFile()), "Old\told.exe\t0\r\nNew\tnew.exe\t3\r\n");
}

TEST_F(ApplicationOnWindowsTest, MalformedDataFileEndsCreation) {
    ASSERT_TRUE(CreateDirectoryW(programData_.DataFolder().c_str(), nullptr));
    WriteBytes(DataFile(), "Caption only\r\n");

    const auto error = CaughtError([] { Application application(MakeApplicationServices()); });

    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->Source(), "Trayhound.LaunchItems.Load()");
    EXPECT_EQ(ReadBytes(DataFile()), "Caption only\r\n");  // not overwritten by a save
}

TEST_F(ApplicationOnWindowsTest, MissingAppDataEndsCreation) {
    const ReplacedAppDataValue empty(REG_SZ, L"");

    const auto error = CaughtError([] { Application application(MakeApplicationServices()); });

    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->Description(), "Cannot find the Appication Data Folder");
    EXPECT_EQ(error->Source(), "Trayhound");
}

TEST_F(ApplicationOnWindowsTest, ExpandableAppDataFindsTheSameFile) {
    const std::string roaming = RoamingFolderFromShell();
    const ReplacedAppDataValue expandable(REG_EXPAND_SZ, L"%USERPROFILE%\\AppData\\Roaming");

    const Application application(MakeApplicationServices());

    EXPECT_EQ(application.FileName, roaming + "\\Trayhound\\Document.dat");
}

TEST_F(ApplicationOnWindowsTest, HelpFileIsBesideTheExecutable) {
    const Application application(MakeApplicationServices());
    const std::string executable = ExecutablePath();
    EXPECT_TRUE(executable.ends_with("\\wine_tests.exe")) << executable;
    EXPECT_EQ(application.HelpFile(),
              executable.substr(0, executable.size() - std::string_view("exe").size()) + "chm");
}

}  // namespace
}  // namespace trayhound
