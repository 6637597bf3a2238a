#include "MemoryFileSystem.h"

#include <algorithm>
#include <utility>

#include "support/Error.h"
#include "support/FileErrors.h"

namespace trayhound {
namespace {

std::string ParentOf(const std::string& normalized) {
    const auto last = normalized.rfind('/');
    return last == std::string::npos ? std::string() : normalized.substr(0, last);
}

bool IsRoot(const std::string& normalized) {
    return normalized.find('/') == std::string::npos;
}

// Throws the failure a test asked for, once.
void FailIfAsked(std::optional<int>& failure, const std::string& path) {
    if (failure) throw FileError(*std::exchange(failure, std::nullopt), path);
}

}  // namespace

// One spelling per path: "/" separators, no trailing separator.
std::string MemoryFileSystem::Normalize(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    while (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

bool MemoryFileSystem::FolderExists(const std::string& normalized) const {
    return IsRoot(normalized) || folders_.contains(normalized);
}

void MemoryFileSystem::AddFolder(const std::string& path) {
    for (std::string folder = Normalize(path); !IsRoot(folder); folder = ParentOf(folder)) {
        folders_.insert(folder);
    }
}

void MemoryFileSystem::SetFile(const std::string& path, std::string bytes) {
    const std::string file = Normalize(path);
    AddFolder(ParentOf(file));
    files_[file] = std::move(bytes);
}

std::optional<std::string> MemoryFileSystem::File(const std::string& path) const {
    const auto found = files_.find(Normalize(path));
    return found == files_.end() ? std::nullopt : std::optional(found->second);
}

std::optional<std::string> MemoryFileSystem::ReadFile(const std::string& path) const {
    return unreadable_.contains(Normalize(path)) ? std::nullopt : File(path);
}

bool MemoryFileSystem::Exists(const std::string& path) const {
    const std::string normalized = Normalize(path);
    return files_.contains(normalized) || FolderExists(normalized);
}

void MemoryFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    const std::string file = Normalize(path);
    FailIfAsked(nextReplaceFailure_, path);
    if (!FolderExists(ParentOf(file))) throw FileError(error_number::kPathNotFound, path);
    if (folders_.contains(file) || readOnly_.contains(file)) {
        throw FileError(error_number::kAccessDenied, path);
    }
    // The bytes go to a temporary file first, so running out of space leaves the old file.
    if (diskSpace_ && bytes.size() > *diskSpace_) throw FileError(error_number::kDiskFull, path);
    files_[file] = std::string(bytes);
    unreadable_.erase(file);
}

void MemoryFileSystem::CreateFolder(const std::string& path) {
    const std::string folder = Normalize(path);
    FailIfAsked(nextCreateFolderFailure_, path);
    if (!FolderExists(ParentOf(folder))) throw FileError(error_number::kPathNotFound, path);
    // As on Windows, a file or folder of that name is in the way.
    if (files_.contains(folder) || FolderExists(folder)) {
        throw FileError(error_number::kFileAlreadyExists, path);
    }
    folders_.insert(folder);
}

}  // namespace trayhound
