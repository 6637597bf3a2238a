#include "MemoryFileSystem.h"

#include <algorithm>
#include <utility>

#include "support/Error.h"
#include "support/FileErrors.h"

namespace trayhound {

namespace {

// One spelling per path: "/" separators, no trailing separator.
std::string Normalize(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    while (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

std::string ParentOf(const std::string& normalized) {
    const auto last = normalized.rfind('/');
    return last == std::string::npos ? std::string() : normalized.substr(0, last);
}

bool IsRoot(const std::string& normalized) {
    return normalized.find('/') == std::string::npos;
}

}  // namespace

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
    if (found == files_.end()) return std::nullopt;
    return found->second;
}

bool MemoryFileSystem::HasFolder(const std::string& path) const {
    return FolderExists(Normalize(path));
}

void MemoryFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
    if (readOnly) {
        readOnly_.insert(Normalize(path));
    } else {
        readOnly_.erase(Normalize(path));
    }
}

void MemoryFileSystem::SetUnreadable(const std::string& path, bool unreadable) {
    if (unreadable) {
        unreadable_.insert(Normalize(path));
    } else {
        unreadable_.erase(Normalize(path));
    }
}

void MemoryFileSystem::FailNextReplace(int errorNumber) {
    nextReplaceFailure_ = errorNumber;
}

void MemoryFileSystem::SetDiskSpace(std::size_t bytes) {
    diskSpace_ = bytes;
}

void MemoryFileSystem::FailNextCreateFolder(int errorNumber) {
    nextCreateFolderFailure_ = errorNumber;
}

std::optional<std::string> MemoryFileSystem::ReadFile(const std::string& path) const {
    if (unreadable_.contains(Normalize(path))) return std::nullopt;
    return File(path);
}

bool MemoryFileSystem::Exists(const std::string& path) const {
    const std::string normalized = Normalize(path);
    return files_.contains(normalized) || FolderExists(normalized);
}

void MemoryFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    const std::string file = Normalize(path);
    if (nextReplaceFailure_) {
        const int number = *std::exchange(nextReplaceFailure_, std::nullopt);
        throw FileError(number, path);
    }
    if (!FolderExists(ParentOf(file))) throw FileError(error_number::kPathNotFound, path);
    if (folders_.contains(file)) throw FileError(error_number::kAccessDenied, path);
    if (readOnly_.contains(file)) throw FileError(error_number::kAccessDenied, path);
    // The bytes go to a temporary file first, so running out of space leaves the old file.
    if (diskSpace_ && bytes.size() > *diskSpace_) throw FileError(error_number::kDiskFull, path);
    files_[file] = std::string(bytes);
    unreadable_.erase(file);
    ++replaceCount_;
}

void MemoryFileSystem::CreateFolder(const std::string& path) {
    const std::string folder = Normalize(path);
    if (nextCreateFolderFailure_) {
        const int number = *std::exchange(nextCreateFolderFailure_, std::nullopt);
        throw FileError(number, path);
    }
    if (!FolderExists(ParentOf(folder))) throw FileError(error_number::kPathNotFound, path);
    // As on Windows, a file or folder of that name is in the way.
    if (files_.contains(folder) || FolderExists(folder)) {
        throw FileError(error_number::kFileAlreadyExists, path);
    }
    folders_.insert(folder);
}

}  // namespace trayhound
