#include "StdFileSystem.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "support/FileErrors.h"

namespace trayhound {
namespace {

namespace fs = std::filesystem;

constexpr const char* kReplaceSource = "Trayhound.FileSystem.ReplaceFile()";

fs::path ToPath(std::string_view utf8) {
    std::string text(utf8);
    std::replace(text.begin(), text.end(), '\\', '/');
    return fs::path(text);
}

Error Failure(int number, std::string_view path, const char* source = kReplaceSource) {
    return FileError(number, path).WithSource(source);
}

int NumberOf(std::error_code failure) noexcept {
    if (failure == std::errc::no_such_file_or_directory) return error_number::kPathNotFound;
    if (failure == std::errc::permission_denied) return error_number::kAccessDenied;
    if (failure == std::errc::no_space_on_device) return error_number::kDiskFull;
    if (failure == std::errc::file_exists) return error_number::kFileAlreadyExists;
    return error_number::kAccessDenied;
}

bool IsTemporaryOf(const std::string& name, const std::string& target) {
    if (!name.starts_with(target + ".") || !name.ends_with(".tmp")) return false;
    const std::string middle = name.substr(target.size() + 1, name.size() - target.size() - 5);
    const auto dash = middle.find('-');
    return dash != 0 && dash != std::string::npos && dash + 1 < middle.size() &&
           middle.find_first_not_of("0123456789-") == std::string::npos &&
           middle.find('-', dash + 1) == std::string::npos;
}

}  // namespace

std::optional<std::string> StdFileSystem::ReadFile(const std::string& path) const {
    std::error_code failure;
    if (fs::is_directory(ToPath(path), failure)) return std::nullopt;
    std::ifstream file(ToPath(path), std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) return std::nullopt;
    return bytes;
}

bool StdFileSystem::Exists(const std::string& path) const {
    std::error_code failure;
    return fs::status(ToPath(path), failure).type() != fs::file_type::not_found;
}

void StdFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    const fs::path target = ToPath(path);
    std::error_code failure;
    const auto status = fs::status(target, failure);
    if (fs::is_directory(status)) throw Failure(error_number::kAccessDenied, path);
    if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        throw Failure(error_number::kAccessDenied, path);

    static unsigned counter = 0;
    fs::path temporary = target;
    temporary += "." + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".tmp";
    const auto close = [](std::FILE* file) { std::fclose(file); };
    std::unique_ptr<std::FILE, decltype(close)> file(std::fopen(temporary.c_str(), "wxb"), close);
    if (!file) throw Failure(NumberOf(std::error_code(errno, std::generic_category())), path);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                         std::fflush(file.get()) == 0 && fsync(fileno(file.get())) == 0 &&
                         std::fclose(file.release()) == 0;
    if (written) fs::rename(temporary, target, failure);
    if (!written || failure) {
        const std::error_code cause =
            written ? failure : std::error_code(errno, std::generic_category());
        fs::remove(temporary, failure);
        throw Failure(NumberOf(cause), path);
    }
    // The temporaries that interrupted saves left behind.
    const std::string name = target.filename().string();
    for (const auto& entry : fs::directory_iterator(target.parent_path(), failure)) {
        if (IsTemporaryOf(entry.path().filename().string(), name)) fs::remove(entry, failure);
    }
}

void StdFileSystem::CreateFolder(const std::string& path) {
    std::error_code failure;
    if (!fs::create_directory(ToPath(path), failure) && !failure)
        failure = std::make_error_code(std::errc::file_exists);
    if (failure) throw Failure(NumberOf(failure), path, "Trayhound.FileSystem.CreateFolder()");
}

}  // namespace trayhound
