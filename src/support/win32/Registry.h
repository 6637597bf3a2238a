#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace trayhound {

// Reads one registry value as text, opening the key for reading only. REG_SZ gives its text
// (a terminating NUL that was stored is dropped, text stored without one is taken whole),
// REG_DWORD its unsigned decimal number; any other type leaves `value` as it was. A value too
// long for the reader (more than 1024 characters of text, or 1024 bytes of other data), a
// missing key or value, or no access give false and empty text.
bool GetKeyValue(HKEY root, std::string_view keyPath, std::string_view valueName,
                 std::string& value);

// A folder path from a shell-folders style value: REG_SZ as stored, REG_EXPAND_SZ with its
// environment variables expanded. Nothing when the value is missing, empty, too long (as for
// GetKeyValue) or of another type.
std::optional<std::string> ReadFolderValue(HKEY root, std::string_view keyPath,
                                           std::string_view valueName);

inline constexpr std::string_view kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The user's application-data folder: "AppData" of the current user's shell folders.
std::optional<std::string> ReadAppDataFolder();

// Writes `text` as the REG_SZ value `valueName` (creating the key as needed), or with nothing
// deletes the value; a value that is not there is no error. Throws Error.
void WriteTextValue(HKEY root, std::string_view keyPath, std::string_view valueName,
                    const std::optional<std::string>& text);

}  // namespace trayhound
