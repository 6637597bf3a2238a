#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "support/FileSystem.h"

namespace trayhound {

// An in-memory file system for tests, with the failures a real disk can produce. Paths are
// compared as given (case matters) with "\" and "/" both separating folders; a path without
// any separator left ("C:", "") is a root, which always exists.
class MemoryFileSystem final : public FileSystem {
  public:
    // A folder that exists, with all folders above it.
    void AddFolder(const std::string& path);
    // A file with these bytes; its folders are added too.
    void SetFile(const std::string& path, std::string bytes);
    // The file's bytes, or nothing when there is no such file.
    std::optional<std::string> File(const std::string& path) const;

    // An unreadable file is there (Exists) but cannot be read: locked by another program, or no
    // read access. It can still be replaced, which makes it readable again.
    void SetUnreadable(const std::string& path) { unreadable_.insert(Normalize(path)); }
    // A read-only file can be read but not replaced (kAccessDenied).
    void SetReadOnly(const std::string& path) { readOnly_.insert(Normalize(path)); }
    // The next ReplaceFile or CreateFolder fails with this error number before it does anything.
    void FailNextReplace(int errorNumber) { nextReplaceFailure_ = errorNumber; }
    void FailNextCreateFolder(int errorNumber) { nextCreateFolderFailure_ = errorNumber; }
    // The disk takes files of at most this many bytes; a bigger ReplaceFile fails part way
    // with kDiskFull and the old file stays as it was.
    void SetDiskSpace(std::size_t bytes) { diskSpace_ = bytes; }

    std::optional<std::string> ReadFile(const std::string& path) const override;
    bool Exists(const std::string& path) const override;
    void ReplaceFile(const std::string& path, std::string_view bytes) override;
    void CreateFolder(const std::string& path) override;

  private:
    static std::string Normalize(std::string path);
    bool FolderExists(const std::string& normalized) const;

    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
    std::set<std::string> readOnly_;
    std::set<std::string> unreadable_;
    std::optional<int> nextReplaceFailure_;
    std::optional<int> nextCreateFolderFailure_;
    std::optional<std::size_t> diskSpace_;
};

}  // namespace trayhound
