#pragma once

#include <string_view>

namespace trayhound {

// The program's title: its settings' application name, its window captions and the name of its
// data folder.
inline constexpr std::string_view kAppTitle = "Trayhound";

}  // namespace trayhound
