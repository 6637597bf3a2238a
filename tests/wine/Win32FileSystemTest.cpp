#include "support/win32/Win32FileSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WineTestSupport.h"
#include "support/Error.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {
namespace {

using winetest::IsFolder;
using winetest::ListFolder;
using winetest::ReadBytes;
using winetest::ScratchFolder;
using winetest::WriteBytes;

class Win32FileSystemTest : public ::testing::Test {
  protected:
    std::string Utf8(const std::wstring& path) const { return ToUtf8(path); }

    // The error ReplaceFile throws, or a failure when it throws none.
    Error ReplaceError(const std::wstring& path, std::string_view bytes) {
        try {
            fileSystem_.ReplaceFile(Utf8(path), bytes);
        } catch (const Error& error) {
            return error;
        }
        ADD_FAILURE() << "ReplaceFile succeeded";
        return Error(0, "");
    }

    ScratchFolder folder_;
    Win32FileSystem fileSystem_;
};

TEST_F(Win32FileSystemTest, ReplaceWritesExactlyTheBytes) {
    const std::string bytes("one\ttwo\r\n\xE9\0\x80\r\n", 12);
    fileSystem_.ReplaceFile(Utf8(folder_ / L"Document.dat"), bytes);
    EXPECT_EQ(ReadBytes(folder_ / L"Document.dat"), bytes);
}

TEST_F(Win32FileSystemTest, ReplaceSwapsTheWholeOldContents) {
    WriteBytes(folder_ / L"Document.dat", "a much longer old content\r\n");
    fileSystem_.ReplaceFile(Utf8(folder_ / L"Document.dat"), "new\r\n");
    EXPECT_EQ(ReadBytes(folder_ / L"Document.dat"), "new\r\n");
    EXPECT_EQ(ListFolder(folder_.Path()), std::vector<std::wstring>{L"Document.dat"});
}

TEST_F(Win32FileSystemTest, EmptyBytesGiveAnEmptyFile) {
    WriteBytes(folder_ / L"Document.dat", "old");
    fileSystem_.ReplaceFile(Utf8(folder_ / L"Document.dat"), "");
    EXPECT_EQ(ReadBytes(folder_ / L"Document.dat"), "");
}

TEST_F(Win32FileSystemTest, ReadOnlyTargetIsRefusedAndKept) {
    const std::wstring target = folder_ / L"Document.dat";
    WriteBytes(target, "old");
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));

    const Error error = ReplaceError(target, "new");

    EXPECT_EQ(error.Number(), error_number::kPermissionDenied);
    EXPECT_NE(error.Description().find(Utf8(target)), std::string::npos) << error.Description();
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(ListFolder(folder_.Path()), std::vector<std::wstring>{L"Document.dat"});
}

TEST_F(Win32FileSystemTest, FolderAsTargetIsRefusedAndKept) {
    const std::wstring target = folder_ / L"Document.dat";
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));

    const Error error = ReplaceError(target, "new");

    EXPECT_EQ(error.Number(), error_number::kPathFileAccessError);
    EXPECT_TRUE(IsFolder(target));
    EXPECT_EQ(ListFolder(folder_.Path()), std::vector<std::wstring>{L"Document.dat"});
}

TEST_F(Win32FileSystemTest, FailedMoveKeepsTheOldFileAndLeavesNoTemporary) {
    const std::wstring target = folder_ / L"Document.dat";
    WriteBytes(target, "old");
    // Another program holds the file open without letting it be replaced.
    const UniqueHandle held(CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);

    const Error error = ReplaceError(target, "new");

    EXPECT_EQ(error.Number(), error_number::kPermissionDenied);
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(ListFolder(folder_.Path()), std::vector<std::wstring>{L"Document.dat"});
}

TEST_F(Win32FileSystemTest, MissingFolderIsPathNotFound) {
    const std::wstring target = folder_ / L"Trayhound\\Document.dat";

    const Error error = ReplaceError(target, "new");

    EXPECT_EQ(error.Number(), error_number::kPathNotFound);
    EXPECT_NE(error.Description().find(Utf8(target)), std::string::npos) << error.Description();
    EXPECT_TRUE(ListFolder(folder_.Path()).empty());
}

TEST_F(Win32FileSystemTest, UnicodeNamesAndForwardSlashes) {
    const std::wstring subfolder = folder_ / L"Ünïcödé ✓";
    ASSERT_TRUE(CreateDirectoryW(subfolder.c_str(), nullptr));
    const std::string path = Utf8(folder_.Path()) + "/Ünïcödé ✓/Документ.dat";

    fileSystem_.ReplaceFile(path, "bytes");

    EXPECT_EQ(ListFolder(subfolder), std::vector<std::wstring>{L"Документ.dat"});
    EXPECT_EQ(ReadBytes(subfolder + L"\\Документ.dat"), "bytes");
    EXPECT_EQ(fileSystem_.ReadFile(path), "bytes");
}

TEST_F(Win32FileSystemTest, ReadFileGivesTheBytesOrNothing) {
    const std::string bytes("a\0b\r\n\xFF", 6);
    WriteBytes(folder_ / L"data.bin", bytes);
    ASSERT_TRUE(CreateDirectoryW((folder_ / L"folder").c_str(), nullptr));

    EXPECT_EQ(fileSystem_.ReadFile(Utf8(folder_ / L"data.bin")), bytes);
    EXPECT_EQ(fileSystem_.ReadFile(Utf8(folder_ / L"absent.bin")), std::nullopt);
    EXPECT_EQ(fileSystem_.ReadFile(Utf8(folder_ / L"missing\\data.bin")), std::nullopt);
    EXPECT_EQ(fileSystem_.ReadFile(Utf8(folder_ / L"folder")), std::nullopt);
}

TEST_F(Win32FileSystemTest, ReadFileReadsLargeFilesWhole) {
    std::string bytes;
    for (int i = 0; i < 300000; ++i) bytes.push_back(static_cast<char>(i * 7));
    fileSystem_.ReplaceFile(Utf8(folder_ / L"large.bin"), bytes);
    EXPECT_EQ(fileSystem_.ReadFile(Utf8(folder_ / L"large.bin")), bytes);
}

TEST_F(Win32FileSystemTest, CreateFolderMakesOneLevel) {
    fileSystem_.CreateFolder(Utf8(folder_ / L"Trayhound"));
    EXPECT_TRUE(IsFolder(folder_ / L"Trayhound"));

    try {
        fileSystem_.CreateFolder(Utf8(folder_ / L"a\\b"));
        ADD_FAILURE() << "created two levels";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::kPathNotFound);
    }
    EXPECT_FALSE(IsFolder(folder_ / L"a"));
}

TEST_F(Win32FileSystemTest, CreateFolderThatExistsIsAnError) {
    ASSERT_TRUE(CreateDirectoryW((folder_ / L"Trayhound").c_str(), nullptr));
    try {
        fileSystem_.CreateFolder(Utf8(folder_ / L"Trayhound"));
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::kFileAlreadyExists);
    }
}

}  // namespace
}  // namespace trayhound
