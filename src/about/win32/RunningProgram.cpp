#include "about/win32/RunningProgram.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <optional>
#include <string_view>
#include <vector>

#include "app/win32/Win32Services.h"
#include "support/AppTitle.h"
#include "support/win32/Text.h"

namespace trayhound {
namespace {

// The version resource of one file, read once.
class VersionResource {
  public:
    explicit VersionResource(const std::wstring& file) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        if (size == 0) return;
        data_.resize(size);
        if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) {
            data_.clear();
            return;
        }
        stringTable_ = StringTable();
    }

    std::optional<VS_FIXEDFILEINFO> Fixed() const {
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(Query(L"\\"));
        if (!info) return std::nullopt;
        return *info;
    }

    std::string String(std::wstring_view name) const {
        if (stringTable_.empty()) return {};
        const std::wstring path = stringTable_ + std::wstring(name);
        UINT length = 0;
        void* value = nullptr;
        if (!VerQueryValueW(data_.data(), path.c_str(), &value, &length) || !value) return {};
        const auto* text = static_cast<const wchar_t*>(value);
        return ToUtf8(std::wstring_view(text, wcsnlen(text, length)));
    }

  private:
    const void* Query(const wchar_t* path) const {
        if (data_.empty()) return nullptr;
        UINT length = 0;
        void* value = nullptr;
        if (!VerQueryValueW(data_.data(), path, &value, &length) || length == 0) return nullptr;
        return value;
    }

    // "\StringFileInfo\<language><code page>\" of the first translation listed, or of US
    // English in Unicode when the resource lists none.
    std::wstring StringTable() const {
        struct Translation {
            WORD language;
            WORD codePage;
        };
        Translation first{0x0409, 1200};
        if (const auto* listed =
                static_cast<const Translation*>(Query(L"\\VarFileInfo\\Translation"))) {
            first = *listed;
        }
        wchar_t block[40]{};
        swprintf(block, std::size(block), L"\\StringFileInfo\\%04x%04x\\", first.language,
                 first.codePage);
        return block;
    }

    std::vector<std::byte> data_;
    std::wstring stringTable_;
};

std::wstring FileName(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring WithoutExtension(const std::wstring& name) {
    const auto dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

// The folder without a trailing separator, except for a drive's root ("C:\").
std::wstring Folder(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    std::wstring folder = path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
    return folder;
}

}  // namespace

about::AppProperties ReadAppProperties(const std::string& helpFile) {
    const std::wstring exe = ToWide(ExecutablePath());
    const VersionResource version(exe);

    about::AppProperties p;
    p.title = std::string(kAppTitle);
    if (const auto fixed = version.Fixed()) {
        p.version.major = HIWORD(fixed->dwFileVersionMS);
        p.version.minor = LOWORD(fixed->dwFileVersionMS);
        p.version.revision = LOWORD(fixed->dwFileVersionLS);
    }
    p.comments = version.String(L"Comments");
    p.companyName = version.String(L"CompanyName");
    p.exeName = ToUtf8(WithoutExtension(FileName(exe)));
    p.fileDescription = version.String(L"FileDescription");
    p.helpFile = helpFile;
    p.hInstance = reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr));
    p.legalCopyright = version.String(L"LegalCopyright");
    p.legalTrademarks = version.String(L"LegalTrademarks");
    p.logMode = 0;
    p.nonModalAllowed = true;
    p.path = ToUtf8(Folder(exe));
    p.prevInstance = false;  // a second instance ends before any window opens
    p.productName = version.String(L"ProductName");
    p.retainedProject = false;
    p.startMode = 0;
    p.taskVisible = false;
    p.threadId = GetCurrentThreadId();
    p.unattendedApp = false;
    return p;
}

}  // namespace trayhound
