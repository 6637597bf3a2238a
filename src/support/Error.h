#pragma once

#include <stdexcept>
#include <string>

namespace trayhound {

// Error numbers the program reports; they follow the classic run-time numbering so that a
// message box shows the same numbers users of the original tool know.
namespace error_number {
inline constexpr int kInvalidProcedureCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAlreadyExists = 58;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEndOfFile = 62;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccessError = 75;
inline constexpr int kPathNotFound = 76;
inline constexpr int kInvalidFieldNumber = 301;
inline constexpr int kKeyAlreadyAssociated = 457;
inline constexpr int kApplicationDefined = 1000;
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
