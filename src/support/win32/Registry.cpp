#include "support/win32/Registry.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "support/win32/SystemError.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {

namespace {

// The reader takes at most 1024 characters of text (what a 1024-byte buffer held in the ANSI
// days) and 1024 bytes of any other data.
constexpr DWORD kMaxTextBytes = 1024 * sizeof(wchar_t);
constexpr DWORD kMaxDataBytes = 1024;

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<wchar_t> data;  // wchar_t storage keeps text aligned; other types use its bytes
    DWORD size = 0;             // bytes delivered

    bool IsText() const noexcept {
        return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
    }

    // The delivered text, without the terminating NUL when the last character is one.
    std::wstring_view Text() const noexcept {
        std::wstring_view text(data.data(), size / sizeof(wchar_t));
        if (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
        return text;
    }
};

std::optional<RawValue> QueryValue(HKEY root, std::string_view keyPath,
                                   std::string_view valueName) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, ToWide(keyPath).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    const UniqueHkey key(opened);

    // Room for one character more than the limit: some registries want space for a NUL they
    // add to text stored without one. The limit is applied to what was delivered.
    RawValue value;
    value.data.assign(kMaxTextBytes / sizeof(wchar_t) + 1, L'\0');
    value.size = static_cast<DWORD>(value.data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), ToWide(valueName).c_str(), nullptr, &value.type,
                         reinterpret_cast<BYTE*>(value.data.data()), &value.size) != ERROR_SUCCESS)
        return std::nullopt;
    if (value.size > (value.IsText() ? kMaxTextBytes : kMaxDataBytes)) return std::nullopt;
    return value;
}

}  // namespace

bool GetKeyValue(HKEY root, std::string_view keyPath, std::string_view valueName,
                 std::string& value) {
    const auto raw = QueryValue(root, keyPath, valueName);
    if (!raw) {
        value.clear();
        return false;
    }
    switch (raw->type) {
        case REG_SZ:
            value = ToUtf8(raw->Text());
            break;
        case REG_DWORD: {
            // The buffer starts zeroed, so data shorter than four bytes reads as its low bytes.
            std::uint32_t number = 0;
            std::memcpy(&number, raw->data.data(), sizeof number);
            value = std::to_string(number);
            break;
        }
        default:
            break;
    }
    return true;
}

std::optional<std::string> ReadFolderValue(HKEY root, std::string_view keyPath,
                                           std::string_view valueName) {
    const auto raw = QueryValue(root, keyPath, valueName);
    if (!raw || (raw->type != REG_SZ && raw->type != REG_EXPAND_SZ)) return std::nullopt;
    std::wstring folder(raw->Text());
    if (raw->type == REG_EXPAND_SZ) {
        const DWORD length = ExpandEnvironmentStringsW(folder.c_str(), nullptr, 0);
        if (length == 0) return std::nullopt;
        std::wstring expanded(length, L'\0');
        const DWORD written = ExpandEnvironmentStringsW(folder.c_str(), expanded.data(), length);
        if (written == 0 || written > length) return std::nullopt;
        expanded.resize(written - 1);
        folder = std::move(expanded);
    }
    if (folder.empty()) return std::nullopt;
    return ToUtf8(folder);
}

std::optional<std::string> ReadAppDataFolder() {
    return ReadFolderValue(HKEY_CURRENT_USER, kShellFoldersKey, "AppData");
}

void WriteTextValue(HKEY root, std::string_view keyPath, std::string_view valueName,
                    const std::optional<std::string>& text) {
    const std::wstring key = ToWide(keyPath);
    const std::wstring name = ToWide(valueName);
    LSTATUS status = ERROR_SUCCESS;
    if (text) {
        const std::wstring data = ToWide(*text);
        status = RegSetKeyValueW(root, key.c_str(), name.c_str(), REG_SZ, data.c_str(),
                                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    } else {
        status = RegDeleteKeyValueW(root, key.c_str(), name.c_str());
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    }
    if (status != ERROR_SUCCESS) {
        ThrowWin32Error(
            static_cast<unsigned long>(status),
            "Cannot change the value " + std::string(valueName) + " of " + std::string(keyPath),
            "Trayhound.Registry.WriteTextValue()");
    }
}

}  // namespace trayhound
