#pragma once

#include <string_view>

#include "support/Error.h"

namespace trayhound {

// A file-system failure as the program reports it: the classic run-time description of the
// number (kPathNotFound: "Path not found") followed by the path it concerns.
Error FileError(int number, std::string_view path);

}  // namespace trayhound
