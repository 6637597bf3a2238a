#pragma once

#include <windows.h>
#undef ReplaceFile  // see support/FileSystem.h

#include <optional>
#include <string>
#include <string_view>

#include "support/FileSystem.h"

namespace trayhound {

// The file system through the wide Win32 file functions. Errors carry the classic numbers:
// kPathNotFound (missing folder), kPermissionDenied (no access, read-only, in use), kDiskFull,
// kFileAlreadyExists (a folder to create exists), kPathFileAccessError otherwise; their
// description names the file or folder.
class Win32FileSystem final : public FileSystem {
  public:
    std::optional<std::string> ReadFile(const std::string& path) const override;
    bool Exists(const std::string& path) const override;
    void ReplaceFile(const std::string& path, std::string_view bytes) override;
    void CreateFolder(const std::string& path) override;
};

// The program's number for a Win32 file error code.
int FileErrorNumber(unsigned long code) noexcept;

}  // namespace trayhound
