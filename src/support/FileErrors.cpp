#include "support/FileErrors.h"

#include <string>

namespace trayhound {

namespace {

// The texts are the classic run-time ones the program has always shown; the codes are Win32's.
std::string_view DescriptionOf(int code) noexcept {
    switch (code) {
        case error_number::kFileNotFound:
            return "File not found";
        case error_number::kPathNotFound:
        case 15:   // ERROR_INVALID_DRIVE
        case 53:   // ERROR_BAD_NETPATH
        case 161:  // ERROR_BAD_PATHNAME
            return "Path not found";
        case error_number::kAccessDenied:
        case 19:  // ERROR_WRITE_PROTECT
        case 32:  // ERROR_SHARING_VIOLATION
        case 33:  // ERROR_LOCK_VIOLATION
            return "Permission denied";
        case error_number::kDiskFull:
        case 39:  // ERROR_HANDLE_DISK_FULL
            return "Disk full";
        case error_number::kFileAlreadyExists:
        case 80:  // ERROR_FILE_EXISTS
            return "File already exists";
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
