#pragma once

#include <optional>
#include <string>
#include <string_view>

// <windows.h> defines ReplaceFile as ReplaceFileW; the member below keeps its own name in every
// translation unit, whichever header comes first (support/win32/Win32FileSystem.h undoes the
// macro for the other order).
#ifdef ReplaceFile
#undef ReplaceFile
#endif

namespace trayhound {

// The few file operations the program needs, so that the core stays portable and tests can
// inject failures. Paths are UTF-8; both "\" and "/" separate folders.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The whole file, or nothing when it cannot be opened or read (missing file or folder,
    // no access, a folder instead of a file).
    virtual std::optional<std::string> ReadFile(const std::string& path) const = 0;

    // Whether something (a file or a folder) is at the path, also when ReadFile cannot read it
    // (locked, no access). When that cannot be found out, the answer is true: a file is taken
    // for missing only when it surely is. This default knows no more than ReadFile does.
    virtual bool Exists(const std::string& path) const { return ReadFile(path).has_value(); }

    // Replaces the file's contents in one step: the bytes go to a temporary file in the same
    // folder, which is flushed and then moved over the old file, so an interrupted or failed
    // save leaves the previous file as it was. A successful replace also removes the temporary
    // files that earlier, interrupted replaces of the same file left behind. Throws Error:
    // kPathNotFound when the folder does not exist, other numbers for other failures.
    virtual void ReplaceFile(const std::string& path, std::string_view bytes) = 0;

    // Creates exactly one folder level; throws Error (kPathNotFound when its parent is missing).
    virtual void CreateFolder(const std::string& path) = 0;

    // The path without its last component: "C:\" for "C:\a.txt", "C:\Sets" for "C:\Sets\a".
    static std::string GetParentFolderName(std::string_view path);
};

}  // namespace trayhound
