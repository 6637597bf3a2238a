#include "support/StdFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "support/FileErrors.h"

namespace trayhound {

namespace {

namespace fs = std::filesystem;

fs::path ToPath(std::string_view utf8) {
    std::u8string text(utf8.begin(), utf8.end());
#ifndef _WIN32
    // Paths in the program may use the Windows separator.
    std::replace(text.begin(), text.end(), u8'\\', u8'/');
#endif
    return fs::path(text);
}

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

UniqueFile OpenFile(const fs::path& path, bool forWriting) {
#ifdef _WIN32
    return UniqueFile(_wfopen(path.c_str(), forWriting ? L"wb" : L"rb"));
#else
    return UniqueFile(std::fopen(path.c_str(), forWriting ? "wb" : "rb"));
#endif
}

// Forces the written bytes onto the disk, so the rename never exposes an empty file.
bool SyncToDisk(std::FILE* file) noexcept {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

int NumberOf(std::error_code failure) noexcept {
    if (failure == std::errc::no_such_file_or_directory || failure == std::errc::not_a_directory) {
        return error_number::kPathNotFound;
    }
    if (failure == std::errc::permission_denied || failure == std::errc::operation_not_permitted ||
        failure == std::errc::read_only_file_system) {
        return error_number::kPermissionDenied;
    }
    if (failure == std::errc::no_space_on_device || failure == std::errc::file_too_large) {
        return error_number::kDiskFull;
    }
#ifdef EDQUOT
    if (failure == std::error_code(EDQUOT, std::generic_category())) {
        return error_number::kDiskFull;
    }
#endif
    return error_number::kPathFileAccessError;
}

int NumberOfErrno(int code) noexcept {
    return NumberOf(std::error_code(code, std::generic_category()));
}

// Temporary files are named after the target: "Document.dat.<16 hex digits>.tmp".
constexpr std::size_t kTemporaryDigits = 16;
constexpr std::string_view kTemporaryEnd = ".tmp";

// A name beside the target that no other file has.
fs::path UniqueSibling(const fs::path& target) {
    thread_local std::mt19937_64 generator{std::random_device{}()};
    for (;;) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%016llx.tmp",
                      static_cast<unsigned long long>(generator()));
        fs::path candidate = target;
        candidate += suffix;
        std::error_code ignored;
        if (!fs::exists(candidate, ignored)) return candidate;
    }
}

bool IsTemporaryOf(std::string_view name, std::string_view targetName) {
    if (name.size() != targetName.size() + 1 + kTemporaryDigits + kTemporaryEnd.size() ||
        !name.starts_with(targetName) || !name.ends_with(kTemporaryEnd) ||
        name[targetName.size()] != '.') {
        return false;
    }
    const auto digits = name.substr(targetName.size() + 1, kTemporaryDigits);
    return digits.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Temporary files of the target that a save killed part way left behind. Only one instance of
// the program runs, so none of them belongs to a save still in progress.
void RemoveStaleTemporaries(const fs::path& target) noexcept {
    try {
        const std::string targetName = target.filename().string();
        std::error_code failure;
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        for (fs::directory_iterator entry(folder, failure), end; !failure && entry != end;
             entry.increment(failure)) {
            if (IsTemporaryOf(entry->path().filename().string(), targetName)) {
                std::error_code ignored;
                fs::remove(entry->path(), ignored);
            }
        }
    } catch (...) {
        // Tidying up is a courtesy; the save itself has succeeded.
    }
}

// Removes the temporary file unless it has become the target.
class TemporaryFile {
  public:
    explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (path_.empty()) return;
        std::error_code ignored;
        fs::remove(path_, ignored);
    }

    const fs::path& Path() const noexcept { return path_; }
    void Release() noexcept { path_.clear(); }

  private:
    fs::path path_;
};

}  // namespace

std::optional<std::string> StdFileSystem::ReadFile(const std::string& path) const {
    const fs::path file = ToPath(path);
    std::error_code failure;
    if (fs::is_directory(file, failure)) return std::nullopt;
    const UniqueFile stream = OpenFile(file, false);
    if (!stream) return std::nullopt;

    std::string bytes;
    const auto expected = fs::file_size(file, failure);
    if (!failure) bytes.resize(static_cast<std::size_t>(expected));
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), stream.get()));
    // Whatever lies beyond the expected size (the file grew meanwhile).
    char chunk[16384];
    while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, stream.get())) {
        bytes.append(chunk, got);
    }
    if (std::ferror(stream.get())) return std::nullopt;
    return bytes;
}

void StdFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    const fs::path target = ToPath(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code failure;
    if (!fs::is_directory(folder, failure)) throw FileError(error_number::kPathNotFound, path);
    const auto status = fs::status(target, failure);
    if (fs::is_directory(status)) throw FileError(error_number::kPathFileAccessError, path);
    if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        throw FileError(error_number::kPermissionDenied, path);
    }

    // Declared before the stream, so the stream is closed before the file is removed.
    TemporaryFile temporary(UniqueSibling(target));
    UniqueFile stream = OpenFile(temporary.Path(), true);
    if (!stream) throw FileError(NumberOfErrno(errno), path);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream.get()) != bytes.size() ||
        std::fflush(stream.get()) != 0 || !SyncToDisk(stream.get())) {
        throw FileError(NumberOfErrno(errno), path);
    }
    if (std::fclose(stream.release()) != 0) throw FileError(NumberOfErrno(errno), path);

    fs::rename(temporary.Path(), target, failure);
    if (failure) throw FileError(NumberOf(failure), path);
    temporary.Release();
    RemoveStaleTemporaries(target);
}

bool StdFileSystem::Exists(const std::string& path) const {
    std::error_code failure;
    // A path that cannot be looked at (no access to its folder) counts as present.
    return fs::status(ToPath(path), failure).type() != fs::file_type::not_found;
}

void StdFileSystem::CreateFolder(const std::string& path) {
    fs::path folder = ToPath(path);
    if (!folder.has_filename()) folder = folder.parent_path();
    std::error_code failure;
    const fs::path parent = folder.parent_path();
    if (!parent.empty() && !fs::is_directory(parent, failure)) {
        throw FileError(error_number::kPathNotFound, path);
    }
    if (fs::is_directory(folder, failure)) return;
    fs::create_directory(folder, failure);
    if (failure) throw FileError(NumberOf(failure), path);
}

}  // namespace trayhound
