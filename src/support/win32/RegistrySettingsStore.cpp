#include "support/win32/RegistrySettingsStore.h"

#include <windows.h>

#include "support/Error.h"
#include "support/win32/SystemError.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {

namespace {

Error SettingError(LSTATUS status, std::string_view what, std::string_view section,
                   std::string_view key, const char* source) {
    std::string description(what);
    description.append(" ").append(section).append("\\").append(key).append(": ");
    description += SystemMessage(static_cast<unsigned long>(status));
    return Error(static_cast<int>(status), std::move(description), source);
}

}  // namespace

std::string RegistrySettingsStore::KeyPath(std::string_view application, std::string_view section) {
    std::string path(kRootPath);
    path.append("\\").append(application);
    if (!section.empty()) path.append("\\").append(section);
    return path;
}

std::string RegistrySettingsStore::Read(std::string_view application, std::string_view section,
                                        std::string_view key, std::string_view defaultValue) const {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(KeyPath(application, section)).c_str(), 0,
                      KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return std::string(defaultValue);
    const UniqueHkey handle(opened);

    const std::wstring name = ToWide(key);
    std::wstring text;
    for (;;) {
        DWORD size = 0;
        LSTATUS status = RegGetValueW(handle.get(), nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr,
                                      nullptr, &size);
        if (status != ERROR_SUCCESS) return std::string(defaultValue);
        text.assign(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = RegGetValueW(handle.get(), nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr,
                              text.data(), &size);
        if (status == ERROR_MORE_DATA) continue;  // it grew in between
        if (status != ERROR_SUCCESS) return std::string(defaultValue);
        // RegGetValueW counts the terminating NUL it guarantees.
        text.resize(size / sizeof(wchar_t));
        if (!text.empty() && text.back() == L'\0') text.pop_back();
        return ToUtf8(text);
    }
}

void RegistrySettingsStore::Write(std::string_view application, std::string_view section,
                                  std::string_view key, std::string_view value) {
    constexpr const char* kSource = "Trayhound.RegistrySettingsStore.Write()";
    HKEY created = nullptr;
    LSTATUS status = RegCreateKeyExW(
        HKEY_CURRENT_USER, ToWide(KeyPath(application, section)).c_str(), 0, nullptr,
        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS)
        throw SettingError(status, "Cannot create the settings section", section, key, kSource);
    const UniqueHkey handle(created);

    const std::wstring data = ToWide(value);
    status = RegSetValueExW(handle.get(), ToWide(key).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS)
        throw SettingError(status, "Cannot write the setting", section, key, kSource);
}

void RegistrySettingsStore::Delete(std::string_view application, std::string_view section,
                                   std::string_view key) {
    constexpr const char* kSource = "Trayhound.RegistrySettingsStore.Delete()";
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, ToWide(KeyPath(application, section)).c_str(),
                                   0, KEY_SET_VALUE, &opened);
    if (status == ERROR_FILE_NOT_FOUND) return;
    if (status != ERROR_SUCCESS)
        throw SettingError(status, "Cannot open the settings section", section, key, kSource);
    const UniqueHkey handle(opened);

    status = RegDeleteValueW(handle.get(), ToWide(key).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        throw SettingError(status, "Cannot delete the setting", section, key, kSource);
}

}  // namespace trayhound
