#include "WineTestSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include <shlobj.h>

#include <memory>
#include <random>

#include "support/win32/Registry.h"
#include "support/win32/RegistrySettingsStore.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound::winetest {

namespace {

constexpr std::wstring_view kScratchRoot = L"Software\\TrayhoundTests";

void Check(bool ok, const char* what) {
    if (!ok)
        throw std::runtime_error(std::string(what) + " failed, error " +
                                 std::to_string(GetLastError()));
}

void CheckStatus(LSTATUS status, const char* what) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed, error " + std::to_string(status));
}

}  // namespace

ProcessResult RunProcess(const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    Check(CreatePipe(&readEnd, &writeEnd, &inheritable, 0), "CreatePipe");
    const UniqueHandle reader(readEnd);
    UniqueHandle writer(writeEnd);
    Check(SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0), "SetHandleInformation");
    const UniqueHandle input(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         &inheritable, OPEN_EXISTING, 0, nullptr));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    PROCESS_INFORMATION process{};
    std::wstring mutableLine = commandLine;
    Check(CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                         nullptr, nullptr, &startup, &process),
          "CreateProcessW");
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    writer.reset();

    ProcessResult result;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(reader.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        result.output.append(buffer, read);
    WaitForSingleObject(processHandle.get(), INFINITE);
    Check(GetExitCodeProcess(processHandle.get(), &result.exitCode), "GetExitCodeProcess");
    return result;
}

ProcessResult RunReg(const std::wstring& arguments) {
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    Check(length > 0 && length < MAX_PATH, "GetSystemDirectoryW");
    return RunProcess(L"\"" + std::wstring(system, length) + L"\\reg.exe\" " + arguments);
}

std::string UniqueName(std::string_view prefix) {
    // Wine hands out process ids again at once, and a test that was killed leaves its folders
    // and keys behind: the id and a counter alone would meet them.
    static const std::string run = [] {
        std::random_device random;
        char text[20];
        std::snprintf(text, sizeof text, "%08x%08x", random(), random());
        return std::string(text);
    }();
    static std::atomic<unsigned> counter{0};
    return std::string(prefix) + "-" + std::to_string(GetCurrentProcessId()) + "-" + run + "-" +
           std::to_string(++counter);
}

ScratchKey::ScratchKey() : path_(ToUtf8(kScratchRoot) + "\\" + UniqueName("key")) {
    HKEY key = nullptr;
    CheckStatus(RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(path_).c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr),
                "RegCreateKeyExW");
    RegCloseKey(key);
}

ScratchKey::~ScratchKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, ToWide(path_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, ToWide(path_).c_str());
}

void ScratchKey::SetRaw(std::wstring_view name, DWORD type, const void* data, DWORD size) const {
    HKEY opened = nullptr;
    CheckStatus(RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(path_).c_str(), 0, KEY_SET_VALUE, &opened),
                "RegOpenKeyExW");
    const UniqueHkey key(opened);
    CheckStatus(RegSetValueExW(key.get(), std::wstring(name).c_str(), 0, type,
                               static_cast<const BYTE*>(data), size),
                "RegSetValueExW");
}

void ScratchKey::SetText(std::wstring_view name, DWORD type, std::wstring_view text,
                         bool withNul) const {
    // The registry adds a NUL that the size left out when one follows the data in memory, so
    // text meant to be stored without one is followed by another character.
    const std::wstring data = std::wstring(text) + (withNul ? L"" : L"#");
    SetRaw(name, type, data.c_str(),
           static_cast<DWORD>((text.size() + (withNul ? 1 : 0)) * sizeof(wchar_t)));
}

ScratchApplication::ScratchApplication() : name_(UniqueName("TrayhoundTest")) {}

ScratchApplication::~ScratchApplication() {
    const std::wstring path = ToWide(RegistrySettingsStore::KeyPath(name_, ""));
    RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
}

std::wstring ScratchApplication::RegPath(std::string_view section) const {
    return L"\"HKCU\\" + ToWide(RegistrySettingsStore::KeyPath(name_, section)) + L"\"";
}

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    Check(length > 0 && length < MAX_PATH, "GetTempPathW");
    path_ = std::wstring(temp, length) + ToWide(UniqueName("TrayhoundTest"));
    Check(CreateDirectoryW(path_.c_str(), nullptr), "CreateDirectoryW");
}

ScratchFolder::~ScratchFolder() {
    RemoveFolder(path_);
}

void RemoveFolder(const std::wstring& path) {
    std::error_code ignored;
    // Read-only files would stop the removal.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored))
        SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(path, ignored);
}

std::string RoamingFolderFromShell() {
    PWSTR path = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path)))
        throw std::runtime_error("SHGetKnownFolderPath failed");
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owner(path, &CoTaskMemFree);
    return ToUtf8(path);
}

ReplacedAppDataValue::ReplacedAppDataValue(DWORD type, std::wstring_view text) {
    CheckStatus(RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(kShellFoldersKey).c_str(), 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, &key_),
                "RegOpenKeyExW");
    saved_.resize(4096);
    DWORD size = static_cast<DWORD>(saved_.size());
    const LSTATUS status =
        RegQueryValueExW(key_, L"AppData", nullptr, &savedType_, saved_.data(), &size);
    if (status != ERROR_SUCCESS) {
        RegCloseKey(key_);
        CheckStatus(status, "RegQueryValueExW");
    }
    saved_.resize(size);
    const std::wstring data(text);
    const LSTATUS written =
        RegSetValueExW(key_, L"AppData", 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    if (written != ERROR_SUCCESS) {
        RegCloseKey(key_);
        CheckStatus(written, "RegSetValueExW");
    }
}

ReplacedAppDataValue::~ReplacedAppDataValue() {
    RegSetValueExW(key_, L"AppData", 0, savedType_, saved_.data(),
                   static_cast<DWORD>(saved_.size()));
    RegCloseKey(key_);
}

SetAsideProgramData::SetAsideProgramData()
    : folder_(ToWide(RoamingFolderFromShell()) + L"\\Trayhound"),
      settingsKey_(ToWide(RegistrySettingsStore::KeyPath("Trayhound", ""))) {
    const std::wstring backupName = ToWide(UniqueName("Trayhound-set-aside"));
    if (GetFileAttributesW(folder_.c_str()) != INVALID_FILE_ATTRIBUTES) {
        folderBackup_ = folder_ + L"-" + backupName;
        Check(MoveFileW(folder_.c_str(), folderBackup_.c_str()), "MoveFileW");
    }
    HKEY settings = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey_.c_str(), 0, KEY_READ, &settings) ==
        ERROR_SUCCESS) {
        const UniqueHkey owner(settings);
        settingsBackup_ = std::wstring(kScratchRoot) + L"\\" + backupName;
        HKEY backup = nullptr;
        CheckStatus(RegCreateKeyExW(HKEY_CURRENT_USER, settingsBackup_.c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &backup, nullptr),
                    "RegCreateKeyExW");
        const UniqueHkey backupOwner(backup);
        CheckStatus(RegCopyTreeW(settings, nullptr, backup), "RegCopyTreeW");
        CheckStatus(RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str()), "RegDeleteTreeW");
        RegDeleteKeyW(HKEY_CURRENT_USER, settingsKey_.c_str());
    }
}

SetAsideProgramData::~SetAsideProgramData() {
    RemoveFolder(folder_);
    if (!folderBackup_.empty()) MoveFileW(folderBackup_.c_str(), folder_.c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsKey_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, settingsKey_.c_str());
    if (settingsBackup_.empty()) return;
    HKEY backup = nullptr;
    HKEY settings = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsBackup_.c_str(), 0, KEY_READ, &backup) !=
        ERROR_SUCCESS)
        return;
    const UniqueHkey backupOwner(backup);
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &settings, nullptr) == ERROR_SUCCESS) {
        const UniqueHkey owner(settings);
        if (RegCopyTreeW(backup, nullptr, settings) != ERROR_SUCCESS) return;  // keep the backup
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, settingsBackup_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, settingsBackup_.c_str());
}

void WriteBytes(const std::wstring& path, std::string_view bytes) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    Check(file.get() != INVALID_HANDLE_VALUE, "CreateFileW");
    DWORD written = 0;
    Check(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size(),
        "WriteFile");
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

std::vector<std::wstring> ListFolder(const std::wstring& path) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") names.emplace_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring TextOf(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

namespace {

// List boxes and combo boxes answer the same questions with their own messages.
struct RowMessages {
    UINT count, textLength, text, error;
};
constexpr RowMessages kListBox{LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, static_cast<UINT>(LB_ERR)};
constexpr RowMessages kComboBox{CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT,
                                static_cast<UINT>(CB_ERR)};

std::wstring RowText(HWND control, int index, const RowMessages& messages) {
    const auto length = SendMessageW(control, messages.textLength, static_cast<WPARAM>(index), 0);
    if (length == static_cast<LRESULT>(static_cast<int>(messages.error))) return L"<no row>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = SendMessageW(control, messages.text, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
    return text;
}

std::vector<std::wstring> RowTexts(HWND control, const RowMessages& messages) {
    std::vector<std::wstring> rows;
    const auto count = SendMessageW(control, messages.count, 0, 0);
    for (int i = 0; i < count; ++i) rows.push_back(RowText(control, i, messages));
    return rows;
}

}  // namespace

std::wstring ListBoxRow(HWND list, int index) {
    return RowText(list, index, kListBox);
}

std::wstring ComboBoxRow(HWND combo, int index) {
    return RowText(combo, index, kComboBox);
}

std::vector<std::wstring> ListBoxRows(HWND list) {
    return RowTexts(list, kListBox);
}

std::vector<std::wstring> ComboBoxRows(HWND combo) {
    return RowTexts(combo, kComboBox);
}

}  // namespace trayhound::winetest
