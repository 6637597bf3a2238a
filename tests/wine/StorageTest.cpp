#include <windows.h>

#include <shlobj.h>

#include "WineTestSupport.h"
#include "support/win32/AnsiCodec.h"
#include "support/win32/Registry.h"
#include "support/win32/RegistrySettingsStore.h"
#include "support/win32/Win32FileSystem.h"

namespace trayhound {
namespace {

using namespace std::string_literals;
using winetest::WriteBytes;
using Contents = std::map<std::wstring, std::string>;
const HKEY kUser = HKEY_CURRENT_USER;

struct ScratchKey {
    ~ScratchKey() { RegDeleteTreeW(kUser, path.c_str()); }
    // Stores exactly `data` as value "v" of `subkey`. The registry adds a NUL to text whose size
    // leaves out a NUL that follows it in memory, so something else follows it.
    void Set(const std::wstring& subkey, DWORD type, std::string_view data) const {
        const std::string guarded = std::string(data) + "#";
        RegSetKeyValueW(kUser, (path + subkey).c_str(), L"v", type, guarded.data(), data.size());
    }

    const std::wstring parent = L"Software\\TrayhoundTests";
    const std::wstring name = winetest::UniqueName(), path = parent + L"\\" + name;
    const std::string utf8Path = ToUtf8(path);
};

std::string Utf16(const std::wstring& text, bool withNul = true) {
    return {reinterpret_cast<const char*>(text.c_str()), (text.size() + withNul) * 2};
}

TEST(Registry, ReadsTextNumbersAndFoldersAndLeavesOtherTypesAlone) {
    const std::wstring a1024(1024, L'a');
    // Type, stored bytes, whether they are readable, and the text read ("-": left alone).
    const std::tuple<DWORD, std::string, bool, std::string> kRows[] = {
        {REG_SZ, Utf16(L"C:\\Data"), true, "C:\\Data"},
        {REG_SZ, Utf16(L"Jürgen\\Данные ✓", false), true, "Jürgen\\Данные ✓"},
        {REG_SZ, Utf16(a1024, false), true, ToUtf8(a1024)},
        {REG_SZ, Utf16(a1024), false, ""},
        {REG_DWORD, "\x05\x01\0\0"s, true, "261"},
        {REG_EXPAND_SZ, Utf16(L"%TEMP%"), true, "-"},
        {REG_BINARY, std::string(1025, '\1'), false, ""}};
    const ScratchKey key;
    std::string value;
    for (const auto& [type, data, readable, expected] : kRows) {
        key.Set(L"", type, data);
        EXPECT_EQ(GetKeyValue(kUser, key.utf8Path, "v", value = "-"), readable) << data.size();
        EXPECT_EQ(value, expected) << "type " << type << ", " << data.size() << " bytes";
    }
    EXPECT_FALSE(GetKeyValue(kUser, key.utf8Path, "absent", value = "-") || !value.empty());
    EXPECT_FALSE(GetKeyValue(kUser, key.utf8Path + "\\absent", "v", value = "-") || !value.empty());

    // Folder values: expanded, and empty counts as missing (the user's AppData is plain text).
    ASSERT_TRUE(SetEnvironmentVariableW(L"TRAYHOUND_TEST_HOME", L"E:\\Zoë"));
    const std::tuple<DWORD, std::wstring, std::optional<std::string>> kFolders[] = {
        {REG_EXPAND_SZ, L"%TRAYHOUND_TEST_HOME%\\Roaming", "E:\\Zoë\\Roaming"},
        {REG_EXPAND_SZ, L"", std::nullopt}};
    for (const auto& [type, text, folder] : kFolders) {
        key.Set(L"", type, Utf16(text));
        EXPECT_EQ(ReadFolderValue(kUser, key.utf8Path, "v"), folder) << type;
    }
    PWSTR roaming = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming), S_OK);
    EXPECT_EQ(ReadAppDataFolder(), ToUtf8(roaming));
    CoTaskMemFree(roaming);
}

TEST(RegistrySettingsStore, WritesReadsAndDeletesTextValues) {
    const ScratchKey app{L"Software\\VB and VBA Program Settings"};
    const std::string name = ToUtf8(app.name), text = "C:\\Sätze\\Иконки ✓.iconset";
    RegistrySettingsStore store;
    EXPECT_EQ(store.Read(name, "Options\\Sets", "count", "-1"), "-1");
    store.Write(name, "Options\\Sets", "1", "A");
    store.Write(name, "Options\\Sets", "1", text);
    std::string stored;  // REG_SZ text, each "\" a subkey level
    EXPECT_TRUE(GetKeyValue(kUser, app.utf8Path + "\\Options\\Sets", "1", stored));
    EXPECT_EQ(stored, text);
    EXPECT_EQ(store.Read(name, "Options\\Sets", "1", ""), text);

    app.Set(L"\\Command", REG_DWORD, "\x05\0\0\0"s);
    store.Write(name, "Command", "Shutdown", "1");
    store.Write(name, "Command", "Other", "");
    for (const char* section : {"Command", "Command", "Absent"})
        store.Delete(name, section, "Shutdown");
    for (const auto& [key, expected] :
         {std::pair{"v", "none"}, {"Shutdown", "none"}, {"Other", ""}, {"Absent", "none"}})
        EXPECT_EQ(store.Read(name, "Command", key, "none"), expected) << key;
    // A key name has at most 255 characters.
    EXPECT_THROW(store.Write(name, std::string(300, 'x'), "Left", "1"), Error);
}

class Win32FileSystemTest : public testing::Test {
  protected:
    std::string Path(std::wstring_view name) const { return ToUtf8(folder_ / name); }
    // The error number of replacing `name`, or creating it as a folder; nothing may change.
    int RefusalNumber(std::wstring_view name, bool createFolder = false) {
        const Contents before = folder_.Snapshot();
        const std::string path = Path(name);
        const auto error = CaughtError(
            [&] { createFolder ? files_.CreateFolder(path) : files_.ReplaceFile(path, "new"); });
        EXPECT_EQ(folder_.Snapshot(), before) << path;
        EXPECT_NE(error ? error->Description().find(path) : 0, std::string::npos) << path;
        return error ? error->Number() : 0;
    }

    const winetest::ScratchFolder folder_;
    Win32FileSystem files_;
};

TEST_F(Win32FileSystemTest, ReplaceLeavesExactlyTheNewBytesAndRemovesTheTemporariesOfKilledSaves) {
    const std::string path = ToUtf8(folder_.path.wstring()) + "/Документ ✓.dat";
    Contents expected;
    for (const auto* kept : {L"Документ ✓.dat.tmp", L"Документ ✓.dat.1-.tmp", L"Other.dat.1-1.tmp"})
        WriteBytes(folder_ / kept, expected[kept] = "left");
    for (const auto& bytes : {"one\t\r\n\xE9\0\x80"s, ""s}) {
        WriteBytes(folder_ / L"Документ ✓.dat.1234-1.tmp", "part");
        WriteBytes(folder_ / L"Документ ✓.dat.99-12.tmp", "part");
        files_.ReplaceFile(path, bytes);
        expected[L"Документ ✓.dat"] = bytes;
        EXPECT_EQ(folder_.Snapshot(), expected);
    }
    // The new file takes over the old one's attributes (Wine keeps no creation time to compare).
    const std::wstring wide = folder_ / L"Документ ✓.dat";
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    files_.ReplaceFile(path, "newer");
    EXPECT_EQ(GetFileAttributesW(wide.c_str()),
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(files_.ReadFile(path), "newer");
}

TEST_F(Win32FileSystemTest, RefusalsChangeNothingAndReadingTellsALockedFileFromAMissingOne) {
    WriteBytes(folder_ / L"locked.dat", "old");  // held open by another program, not shared
    const UniqueHandle lock(CreateFileW((folder_ / L"locked.dat").c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    WriteBytes(folder_ / L"readonly.dat", "old");
    SetFileAttributesW((folder_ / L"readonly.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    files_.CreateFolder(Path(L"folder.dat"));
    EXPECT_EQ(RefusalNumber(L"readonly.dat"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RefusalNumber(L"folder.dat"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RefusalNumber(L"locked.dat"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RefusalNumber(L"missing\\new.dat"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(RefusalNumber(L"folder.dat", true), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(RefusalNumber(L"missing\\folder", true), ERROR_PATH_NOT_FOUND);
    const std::tuple<const wchar_t*, std::optional<std::string>, bool> kRows[] = {
        {L"readonly.dat", "old", true},
        {L"locked.dat", std::nullopt, true},
        {L"folder.dat", std::nullopt, true},
        {L"missing\\a", std::nullopt, false}};
    for (const auto& [name, expected, exists] : kRows) {
        EXPECT_EQ(files_.ReadFile(Path(name)), expected) << ToUtf8(name);
        EXPECT_EQ(files_.Exists(Path(name)), exists) << ToUtf8(name);
    }
    SetFileAttributesW((folder_ / L"readonly.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(AnsiCodec, ConvertsExactlyOrNotAtAllAndDefaultsToTheSystemCodePage) {
    // Nothing where the text has no exact form in the code page: no best fit either.
    const std::tuple<unsigned, std::string, std::optional<std::string>> kRows[] = {
        {1252, "Café €", "Caf\xE9 \x80"}, {932, "日本", "\x93\xFA\x96\x7B"},   {CP_UTF8, "é", "é"},
        {1252, "ė", std::nullopt},        {1252, "Folder 日本", std::nullopt}, {20127, "é", {}}};
    for (const auto& [codePage, utf8, ansi] : kRows) {
        EXPECT_EQ(AnsiCodec(codePage).FromUtf8(utf8), ansi) << codePage << " " << utf8;
        EXPECT_EQ(ansi ? AnsiCodec(codePage).ToUtf8(*ansi) : utf8, utf8) << codePage;
    }
    for (const char* text : {"é", "ė", "€", "Ω", "日本"})
        EXPECT_EQ(AnsiCodec().FromUtf8(text), AnsiCodec(GetACP()).FromUtf8(text)) << text;
}

}  // namespace
}  // namespace trayhound
