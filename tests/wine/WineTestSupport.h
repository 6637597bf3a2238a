#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trayhound::winetest {

// Polls until `ready` answers something other than its default value, or the limit passes; the
// last answer is returned either way.
template <class F>
auto WaitFor(F ready, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        auto value = ready();
        if (value || std::chrono::steady_clock::now() > deadline) return value;
        Sleep(10);
    }
}

// A window's or control's whole text.
std::wstring TextOf(HWND window);

// One entry of a list box or a combo box ("<no row>" when there is none), or all of them.
std::wstring ListBoxRow(HWND list, int index);
std::wstring ComboBoxRow(HWND combo, int index);
std::vector<std::wstring> ListBoxRows(HWND list);
std::vector<std::wstring> ComboBoxRows(HWND combo);

struct ProcessResult {
    DWORD exitCode = 0;
    std::string output;  // standard output and standard error, as the program wrote them
};

// Runs a command line to its end and captures what it prints.
ProcessResult RunProcess(const std::wstring& commandLine);

// Runs reg.exe from the system folder with the given arguments.
ProcessResult RunReg(const std::wstring& arguments);

// A name no other test uses: "<prefix>-<process id>-<random>-<counter>".
std::string UniqueName(std::string_view prefix);

// HKEY_CURRENT_USER\Software\TrayhoundTests\<unique name>, created empty and deleted with all
// its subkeys when the object ends.
class ScratchKey {
  public:
    ScratchKey();
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::string& Path() const noexcept { return path_; }
    // Stores raw data under `name`, exactly these bytes.
    void SetRaw(std::wstring_view name, DWORD type, const void* data, DWORD size) const;
    // Text with or without its terminating NUL in the stored data.
    void SetText(std::wstring_view name, DWORD type, std::wstring_view text,
                 bool withNul = true) const;

  private:
    std::string path_;
};

// The settings of an application name of its own under the classic settings branch, deleted
// when the object ends.
class ScratchApplication {
  public:
    ScratchApplication();
    ~ScratchApplication();
    ScratchApplication(const ScratchApplication&) = delete;
    ScratchApplication& operator=(const ScratchApplication&) = delete;

    const std::string& Name() const noexcept { return name_; }
    // "HKCU\Software\VB and VBA Program Settings\<name>\<section>" as reg.exe takes it.
    std::wstring RegPath(std::string_view section) const;

  private:
    std::string name_;
};

// A new empty folder in the temporary folder, removed with its contents when the object ends.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const noexcept { return path_; }
    std::wstring operator/(std::wstring_view name) const {
        return path_ + L"\\" + std::wstring(name);
    }

  private:
    std::wstring path_;
};

// The user's roaming application-data folder as the shell reports it.
std::string RoamingFolderFromShell();

// Puts another value in place of the current user's "AppData" shell folder for the object's
// lifetime.
class ReplacedAppDataValue {
  public:
    ReplacedAppDataValue(DWORD type, std::wstring_view text);
    ~ReplacedAppDataValue();
    ReplacedAppDataValue(const ReplacedAppDataValue&) = delete;
    ReplacedAppDataValue& operator=(const ReplacedAppDataValue&) = delete;

  private:
    HKEY key_ = nullptr;
    DWORD savedType_ = REG_NONE;
    std::vector<BYTE> saved_;
};

// Moves the program's own data (its folder in the roaming application-data folder and its
// settings) out of the way for the object's lifetime, and puts it back afterwards, so that tests
// start from a first run and leave a real installation as it was.
class SetAsideProgramData {
  public:
    SetAsideProgramData();
    ~SetAsideProgramData();
    SetAsideProgramData(const SetAsideProgramData&) = delete;
    SetAsideProgramData& operator=(const SetAsideProgramData&) = delete;

    const std::wstring& DataFolder() const noexcept { return folder_; }
    const std::wstring& SettingsKey() const noexcept { return settingsKey_; }

  private:
    std::wstring folder_;          // <AppData>\Trayhound
    std::wstring folderBackup_;    // empty when there was no folder
    std::wstring settingsKey_;     // Software\VB and VBA Program Settings\Trayhound
    std::wstring settingsBackup_;  // empty when there were no settings
};

// Removes a folder and everything in it.
void RemoveFolder(const std::wstring& path);

// Plain Win32 file access, independent of the code under test.
void WriteBytes(const std::wstring& path, std::string_view bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
// Names in a folder, without "." and "..", sorted.
std::vector<std::wstring> ListFolder(const std::wstring& path);
bool IsFolder(const std::wstring& path);

}  // namespace trayhound::winetest
