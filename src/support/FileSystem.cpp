#include "support/FileSystem.h"

namespace trayhound {

std::string FileSystem::GetParentFolderName(std::string_view path) {
    const auto last = path.find_last_of("\\/");
    if (last == std::string_view::npos) return {};
    // Keep the separator of a drive root ("C:\") or of a POSIX root ("/").
    const bool isRoot = last == 0 || (last == 2 && path[1] == ':');
    return std::string(path.substr(0, isRoot ? last + 1 : last));
}

}  // namespace trayhound
