#pragma once

#include <stdexcept>
#include <string>

namespace trayhound {

// What an Error's number means, everywhere in the program:
// - a failed Windows call: that call's Win32 error code (its GetLastError, the LSTATUS of a
//   registry call, the code an HRESULT carries; support/win32/SystemError.h makes these);
// - a file-system failure: the Win32 code of the file error, whichever file system reported it,
//   so that the portable core acts on a missing folder alike on Windows and in tests;
// - anything else: one of the program's own numbers below, in the classic run-time numbering.
namespace error_number {
// The program's own.
inline constexpr int kInvalidProcedureCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kInvalidFieldNumber = 301;
inline constexpr int kKeyAlreadyAssociated = 457;
inline constexpr int kApplicationDefined = 1000;
// Win32 file error codes that the core and the tests' file systems name.
inline constexpr int kFileNotFound = 2;         // ERROR_FILE_NOT_FOUND
inline constexpr int kPathNotFound = 3;         // ERROR_PATH_NOT_FOUND
inline constexpr int kAccessDenied = 5;         // ERROR_ACCESS_DENIED
inline constexpr int kDiskFull = 112;           // ERROR_DISK_FULL
inline constexpr int kFileAlreadyExists = 183;  // ERROR_ALREADY_EXISTS
}  // namespace error_number

// The one error type of the program: a number, a description a person can act on, and the
// routine it arose in ("Trayhound.LaunchItems.Load()").
class Error : public std::runtime_error {
  public:
    Error(int number, std::string description, std::string source = {})
        : std::runtime_error(description),
          number_(number),
          description_(std::move(description)),
          source_(std::move(source)) {}

    int Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }
    const std::string& Source() const noexcept { return source_; }

    // The same failure, reported from another routine.
    Error WithSource(std::string source) const {
        return Error(number_, description_, std::move(source));
    }

  private:
    int number_;
    std::string description_;
    std::string source_;
};

}  // namespace trayhound
