#pragma once

#include "support/FileSystem.h"

namespace trayhound {

// The file system through the C++ standard library, for the native benchmarks. It does what the
// program's Win32 file system does, in the same steps and with the same errors: temporary files
// named "<target>.<process id>-<counter>.tmp", flushed and renamed over the target, the
// temporaries of interrupted saves removed after a successful one, a read-only target refused
// before anything is written, and CreateFolder on a folder that exists an error.
class StdFileSystem final : public FileSystem {
  public:
    std::optional<std::string> ReadFile(const std::string& path) const override;
    bool Exists(const std::string& path) const override;
    void ReplaceFile(const std::string& path, std::string_view bytes) override;
    void CreateFolder(const std::string& path) override;
};

}  // namespace trayhound
