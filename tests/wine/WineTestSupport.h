#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trayhound::winetest {

struct ProcessResult {
    DWORD exitCode = 0;
    std::string output;  // standard output and standard error, as the program wrote them
};

// Runs a command line to its end and captures what it prints.
ProcessResult RunProcess(const std::wstring& commandLine);

// Runs reg.exe from the system folder with the given arguments.
ProcessResult RunReg(const std::wstring& arguments);

// A name no other test of this run uses: "<prefix>-<process id>-<counter>".
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

// Plain Win32 file access, independent of the code under test.
void WriteBytes(const std::wstring& path, std::string_view bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
// Names in a folder, without "." and "..", sorted.
std::vector<std::wstring> ListFolder(const std::wstring& path);
bool IsFolder(const std::wstring& path);

}  // namespace trayhound::winetest
