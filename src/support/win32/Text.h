#pragma once

#include <string>
#include <string_view>

namespace trayhound {

// The only two conversions between the program's UTF-8 text and the UTF-16 of the W APIs.
std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);

}  // namespace trayhound
