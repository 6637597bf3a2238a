#include "support/FileErrors.h"

#include <string>

namespace trayhound {

namespace {

std::string_view DescriptionOf(int number) noexcept {
    switch (number) {
        case error_number::kFileNotFound:
            return "File not found";
        case error_number::kFileAlreadyExists:
            return "File already exists";
        case error_number::kDiskFull:
            return "Disk full";
        case error_number::kPermissionDenied:
            return "Permission denied";
        case error_number::kPathNotFound:
            return "Path not found";
        default:
            return "Path/File access error";
    }
}

}  // namespace

Error FileError(int number, std::string_view path) {
    const std::string_view what = DescriptionOf(number);
    std::string description;
    description.reserve(what.size() + 2 + path.size());
    description.append(what).append(": ").append(path);
    return Error(number, std::move(description));
}

}  // namespace trayhound
