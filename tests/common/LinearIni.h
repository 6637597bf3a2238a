#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trayhound {

// The INI lookup as a plain scan of the lines from the first, step by step as the reader's
// rules describe it; the indexed IniEdit must answer exactly as this does.
std::string LinearGetValue(const std::vector<std::string>& lines, std::string_view section,
                           std::string_view key);

}  // namespace trayhound
