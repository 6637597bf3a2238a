#include "support/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

#include "support/Error.h"
#include "support/FileErrors.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {

namespace {

std::wstring WidePath(std::string_view path) {
    std::wstring wide = ToWide(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

Error FileFailure(int number, std::string_view path, const char* source) {
    return trayhound::FileError(number, path).WithSource(source);
}

Error LastFileError(std::string_view path, const char* source) {
    return FileFailure(static_cast<int>(GetLastError()), path, source);
}

constexpr const char* kReplaceSource = "Trayhound.FileSystem.ReplaceFile()";

// A new, empty file beside the target, open for writing, with a name unique to this process and
// call ("Document.dat.1234-1.tmp"). Deleted when destroyed unless it was moved into place.
class TemporaryFile {
  public:
    TemporaryFile(const std::wstring& target, std::string_view path) : path_(path) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::wstring name = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(++counter) + L".tmp";
            handle_.reset(CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
            if (handle_.get() != INVALID_HANDLE_VALUE) {
                name_ = std::move(name);
                return;
            }
            const DWORD code = GetLastError();
            if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS)
                throw FileFailure(static_cast<int>(code), path_, kReplaceSource);
        }
        throw FileFailure(ERROR_FILE_EXISTS, path_, kReplaceSource);
    }
    ~TemporaryFile() {
        handle_.reset();
        if (!name_.empty()) DeleteFileW(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void Write(std::string_view bytes) {
        while (!bytes.empty()) {
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!WriteFile(handle_.get(), bytes.data(), chunk, &written, nullptr))
                throw LastFileError(path_, kReplaceSource);
            if (written == 0) throw FileFailure(ERROR_DISK_FULL, path_, kReplaceSource);
            bytes.remove_prefix(written);
        }
    }

    // The new file keeps what the old one had beside its bytes: its creation time, attributes
    // (hidden, archive, ...) and access rules, which a rename alone would not carry over. Best
    // effort: a save does not fail for want of them. (ReplaceFileW would do this too, but it
    // lets the old file go before the new one takes its name: a save killed in between would
    // leave no list at all.)
    void TakeOverFrom(const std::wstring& target) noexcept {
        WIN32_FILE_ATTRIBUTE_DATA old{};
        if (!GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &old)) return;
        SetFileTime(handle_.get(), &old.ftCreationTime, nullptr, nullptr);
        attributes_ =
            old.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        DWORD size = 0;
        GetFileSecurityW(target.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
        std::vector<BYTE> rules(size);
        if (size && GetFileSecurityW(target.c_str(), DACL_SECURITY_INFORMATION, rules.data(), size,
                                     &size)) {
            SetFileSecurityW(name_.c_str(), DACL_SECURITY_INFORMATION, rules.data());
        }
    }

    // Flushes and closes the file, then puts it in the target's place in one step.
    void MoveTo(const std::wstring& target) {
        if (!FlushFileBuffers(handle_.get())) throw LastFileError(path_, kReplaceSource);
        if (!CloseHandle(handle_.release())) throw LastFileError(path_, kReplaceSource);
        if (attributes_) SetFileAttributesW(name_.c_str(), attributes_);
        if (!MoveFileExW(name_.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw LastFileError(path_, kReplaceSource);
        name_.clear();
    }

  private:
    std::string_view path_;  // as the caller named the target, for error descriptions
    std::wstring name_;
    UniqueHandle handle_;
    DWORD attributes_ = 0;  // to keep from the file it replaces
};

// True for the name of a temporary file that TemporaryFile makes for the target named
// `targetName`: "<targetName>.<digits>-<digits>.tmp".
bool IsTemporaryOf(std::wstring_view name, std::wstring_view targetName) {
    constexpr std::wstring_view kEnd = L".tmp";
    if (name.size() <= targetName.size() + 1 + kEnd.size() || !name.starts_with(targetName) ||
        name[targetName.size()] != L'.' || !name.ends_with(kEnd)) {
        return false;
    }
    const std::wstring_view middle =
        name.substr(targetName.size() + 1, name.size() - targetName.size() - 1 - kEnd.size());
    const auto dash = middle.find(L'-');
    const auto isNumber = [](std::wstring_view digits) {
        return !digits.empty() && digits.find_first_not_of(L"0123456789") == std::wstring::npos;
    };
    return dash != std::wstring_view::npos && isNumber(middle.substr(0, dash)) &&
           isNumber(middle.substr(dash + 1));
}

// Temporary files of the target that a save killed part way left behind. Only one instance of
// the program runs; a temporary file that another process still writes cannot be deleted,
// because it is open without delete sharing.
void RemoveStaleTemporaries(const std::wstring& target) noexcept {
    try {
        const auto slash = target.find_last_of(L"\\");
        const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
        const std::wstring targetName = target.substr(folder.size());
        WIN32_FIND_DATAW found{};
        const UniqueFind find(FindFirstFileExW((target + L".*.tmp").c_str(), FindExInfoBasic,
                                               &found, FindExSearchNameMatch, nullptr, 0));
        if (find.get() == INVALID_HANDLE_VALUE) return;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                IsTemporaryOf(found.cFileName, targetName)) {
                DeleteFileW((folder + found.cFileName).c_str());
            }
        } while (FindNextFileW(find.get(), &found));
    } catch (...) {
        // Tidying up is a courtesy; the save itself has succeeded.
    }
}

}  // namespace

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) const {
    const UniqueHandle file(CreateFileW(
        WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return std::nullopt;

    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    char chunk[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr)) return std::nullopt;
        if (read == 0) return bytes;
        bytes.append(chunk, read);
    }
}

void Win32FileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    const std::wstring target = WidePath(path);
    // Refused before anything is written: a folder in the way, or a read-only file.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
            throw FileFailure(ERROR_ACCESS_DENIED, path, kReplaceSource);
    }
    TemporaryFile temporary(target, path);
    temporary.Write(bytes);
    temporary.TakeOverFrom(target);
    temporary.MoveTo(target);
    RemoveStaleTemporaries(target);
}

bool Win32FileSystem::Exists(const std::string& path) const {
    if (GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    // Only a name that is surely not there counts as missing; a file that is locked or out of
    // reach (no access to its folder) is there all the same.
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return false;
        default:
            return true;
    }
}

void Win32FileSystem::CreateFolder(const std::string& path) {
    if (!CreateDirectoryW(WidePath(path).c_str(), nullptr))
        throw LastFileError(path, "Trayhound.FileSystem.CreateFolder()");
}

}  // namespace trayhound
