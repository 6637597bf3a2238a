#pragma once

#include <windows.h>
#undef ReplaceFile  // see support/FileSystem.h

#include <optional>
#include <string>
#include <string_view>

#include "support/FileSystem.h"

namespace trayhound {

// The file system through the wide Win32 file functions. Errors carry the Win32 code of the
// failure (a read-only file or a folder in the target's place: access denied) and a description
// that names the file or folder.
class Win32FileSystem final : public FileSystem {
  public:
    std::optional<std::string> ReadFile(const std::string& path) const override;
    bool Exists(const std::string& path) const override;
    void ReplaceFile(const std::string& path, std::string_view bytes) override;
    void CreateFolder(const std::string& path) override;
};

}  // namespace trayhound
