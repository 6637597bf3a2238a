// The data file on the Win32 file system when things go wrong: a locked or unreadable file at
// start-up, read-only files, folders in the way, missing folders, leftovers of killed saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "WineTestSupport.h"
#include "app/Application.h"
#include "MemorySettingsStore.h"
#include "items/LaunchItems.h"
#include "support/Error.h"
#include "support/win32/AnsiCodec.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"
#include "support/win32/Win32FileSystem.h"

namespace trayhound {
namespace {

using winetest::IsFolder;
using winetest::ListFolder;
using winetest::ReadBytes;
using winetest::ScratchFolder;
using winetest::WriteBytes;

constexpr unsigned kWesternCodePage = 1252;
const std::string kTwoItems = "Editor\tnotepad.exe\t1\r\nMail\tmailto:\t4\r\n";

// Another program holding the file open without sharing it, as a backup or a virus scanner
// may do for a moment.
UniqueHandle Lock(const std::wstring& path) {
    UniqueHandle handle(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_NE(handle.get(), INVALID_HANDLE_VALUE);
    return handle;
}

class DataFileFaultsTest : public ::testing::Test {
  protected:
    DataFileFaultsTest() { CreateDirectoryW(dataFolder_.c_str(), nullptr); }

    ApplicationServices Services() const {
        ApplicationServices services;
        services.settings = std::make_shared<MemorySettingsStore>();
        services.fileSystem = fileSystem_;
        services.codec = codec_;
        services.readAppDataFolder = [appData = ToUtf8(folder_.Path())] { return appData; };
        services.executablePath = "C:\\Program Files\\Trayhound\\Trayhound.exe";
        return services;
    }

    static LaunchItems Items(int count) {
        LaunchItems items;
        for (int i = 0; i < count; ++i) {
            items.Add("Item " + std::to_string(i), "cmd" + std::to_string(i) + ".exe", i % 6, -1);
        }
        return items;
    }

    std::string Utf8(const std::wstring& path) const { return ToUtf8(path); }

    ScratchFolder folder_;
    const std::wstring dataFolder_ = folder_ / L"Trayhound";
    const std::wstring dataFile_ = dataFolder_ + L"\\Document.dat";
    std::shared_ptr<Win32FileSystem> fileSystem_ = std::make_shared<Win32FileSystem>();
    std::shared_ptr<AnsiCodec> codec_ = std::make_shared<AnsiCodec>(kWesternCodePage);
};

TEST_F(DataFileFaultsTest, ExistsTellsALockedFileFromAMissingOne) {
    WriteBytes(dataFile_, kTwoItems);
    const UniqueHandle lock = Lock(dataFile_);

    EXPECT_EQ(fileSystem_->ReadFile(Utf8(dataFile_)), std::nullopt);
    EXPECT_TRUE(fileSystem_->Exists(Utf8(dataFile_)));
    EXPECT_TRUE(fileSystem_->Exists(Utf8(dataFolder_)));
    EXPECT_FALSE(fileSystem_->Exists(Utf8(dataFolder_ + L"\\absent.dat")));
    EXPECT_FALSE(fileSystem_->Exists(Utf8(folder_ / L"Missing\\Document.dat")));
}

TEST_F(DataFileFaultsTest, LockedDataFileAtStartIsNoErrorAndIsNotOverwrittenAtTheEnd) {
    WriteBytes(dataFile_, kTwoItems);
    {
        UniqueHandle lock = Lock(dataFile_);
        auto app = std::make_unique<Application>(Services());
        EXPECT_EQ(app->Document()->count(), 0);
        // The lock is gone by the time the program ends, so a save would now succeed.
        lock.reset();
        app.reset();
    }
    EXPECT_EQ(ReadBytes(dataFile_), kTwoItems);
    EXPECT_EQ(ListFolder(dataFolder_), std::vector<std::wstring>{L"Document.dat"});
}

TEST_F(DataFileFaultsTest, ExplicitSaveAfterALockedStartIsKeptAndSavedAtTheEnd) {
    WriteBytes(dataFile_, kTwoItems);
    UniqueHandle lock = Lock(dataFile_);
    auto app = std::make_unique<Application>(Services());
    lock.reset();
    app->Document()->Add("Browser", "https://example.org", 5, -1);
    app->Save();
    app->Document()->Add("Terminal", "cmd.exe", 1, -1);
    app.reset();
    EXPECT_EQ(ReadBytes(dataFile_), "Browser\thttps://example.org\t5\r\nTerminal\tcmd.exe\t1\r\n");
}

TEST_F(DataFileFaultsTest, ExplicitSaveWhileStillLockedFailsAndKeepsTheFile) {
    WriteBytes(dataFile_, kTwoItems);
    const UniqueHandle lock = Lock(dataFile_);
    {
        Application app(Services());
        app.Document()->Add("Browser", "https://example.org", 5, -1);
        try {
            app.Save();
            ADD_FAILURE() << "saved over a locked file";
        } catch (const Error& error) {
            EXPECT_EQ(error.Source(), "Trayhound.LaunchItems.Save()");
        }
    }
    EXPECT_EQ(ListFolder(dataFolder_), std::vector<std::wstring>{L"Document.dat"});
}

TEST_F(DataFileFaultsTest, ReadOnlyDataFileFailsWithTheSaveSourceAndStaysIntact) {
    WriteBytes(dataFile_, kTwoItems);
    ASSERT_TRUE(SetFileAttributesW(dataFile_.c_str(), FILE_ATTRIBUTE_READONLY));
    try {
        Items(3).Save(Utf8(dataFile_), *fileSystem_, *codec_);
        ADD_FAILURE() << "saved over a read-only file";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::kPermissionDenied);
        EXPECT_EQ(error.Source(), "Trayhound.LaunchItems.Save()");
    }
    EXPECT_EQ(ReadBytes(dataFile_), kTwoItems);
    EXPECT_EQ(ListFolder(dataFolder_), std::vector<std::wstring>{L"Document.dat"});
}

TEST_F(DataFileFaultsTest, FolderInThePlaceOfTheDataFile) {
    ASSERT_TRUE(CreateDirectoryW(dataFile_.c_str(), nullptr));
    {
        Application app(Services());
        EXPECT_EQ(app.Document()->count(), 0);
        app.Document()->Add("Editor", "notepad.exe", 1, -1);
        try {
            app.Save();
            ADD_FAILURE() << "saved over a folder";
        } catch (const Error& error) {
            EXPECT_EQ(error.Source(), "Trayhound.LaunchItems.Save()");
        }
    }
    EXPECT_TRUE(IsFolder(dataFile_));
    EXPECT_EQ(ListFolder(dataFolder_), std::vector<std::wstring>{L"Document.dat"});
}

TEST_F(DataFileFaultsTest, MissingFolderIsCreatedOneLevelButNotTwo) {
    const std::wstring oneDeep = folder_ / L"New\\Document.dat";
    Items(2).Save(Utf8(oneDeep), *fileSystem_, *codec_);
    EXPECT_EQ(ReadBytes(oneDeep), "Item 0\tcmd0.exe\t0\r\nItem 1\tcmd1.exe\t1\r\n");

    const std::wstring twoDeep = folder_ / L"Missing\\Trayhound\\Document.dat";
    try {
        Items(2).Save(Utf8(twoDeep), *fileSystem_, *codec_);
        ADD_FAILURE() << "saved two levels below a missing folder";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::kPathNotFound);
        EXPECT_NE(error.Source(), "Trayhound.LaunchItems.Save()");
    }
    EXPECT_FALSE(IsFolder(folder_ / L"Missing"));
}

TEST_F(DataFileFaultsTest, SuccessfulSaveRemovesTemporaryFilesOfKilledSaves) {
    WriteBytes(dataFile_, kTwoItems);
    const std::vector<std::wstring> stale = {L"Document.dat.1234-1.tmp", L"Document.dat.99-12.tmp"};
    const std::vector<std::wstring> foreign = {L"Document.dat.tmp", L"Document.dat.12-.tmp",
                                               L"Document.dat.x1-2.tmp", L"Other.dat.1-1.tmp",
                                               L"notes.txt"};
    for (const auto& name : stale) WriteBytes(dataFolder_ + L"\\" + name, "part");
    for (const auto& name : foreign) WriteBytes(dataFolder_ + L"\\" + name, "keep");

    Items(1).Save(Utf8(dataFile_), *fileSystem_, *codec_);

    std::vector<std::wstring> expected = foreign;
    expected.emplace_back(L"Document.dat");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListFolder(dataFolder_), expected);
}

TEST_F(DataFileFaultsTest, HundredThousandItemsSurviveSaveAndLoad) {
    const LaunchItems items = Items(100'000);
    items.Save(Utf8(dataFile_), *fileSystem_, *codec_);
    LaunchItems loaded;
    ASSERT_EQ(loaded.Load(Utf8(dataFile_), *fileSystem_, *codec_), DataFileState::kLoaded);
    ASSERT_EQ(loaded.count(), 100'000);
    for (const int position : {1, 2, 50'000, 99'999, 100'000}) {
        EXPECT_EQ(loaded.Item(position)->Caption(), items.Item(position)->Caption());
        EXPECT_EQ(loaded.Item(position)->Command(), items.Item(position)->Command());
        EXPECT_EQ(loaded.Item(position)->Icon(), items.Item(position)->Icon());
    }
}

}  // namespace
}  // namespace trayhound
