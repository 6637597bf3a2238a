#pragma once

#include <string_view>

#include "support/Error.h"

namespace trayhound {

// A file-system failure as the program reports it: the Win32 code of the file error as its
// number, and the classic run-time description of it ("Path not found") followed by the path.
Error FileError(int code, std::string_view path);

}  // namespace trayhound
