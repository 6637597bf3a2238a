#pragma once

#include "support/FileSystem.h"

namespace trayhound {

// The file system through the C++ standard library, for the native build's tests and
// benchmarks. A read-only file refuses to be replaced, as it does on Windows.
class StdFileSystem final : public FileSystem {
  public:
    std::optional<std::string> ReadFile(const std::string& path) const override;
    bool Exists(const std::string& path) const override;
    void ReplaceFile(const std::string& path, std::string_view bytes) override;
    void CreateFolder(const std::string& path) override;
};

}  // namespace trayhound
