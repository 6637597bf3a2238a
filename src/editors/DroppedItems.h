#pragma once

#include <optional>
#include <string_view>

#include "items/LaunchItems.h"

namespace trayhound {

// What a file, folder, shortcut (.lnk, .url) or web address dragged onto the list editor becomes:
// a new item with no picture. A path gives its name without the extension as the caption (a
// shortcut's name) and itself as the command, in quotes when it holds a blank; an address (http,
// https, ftp, mailto) gives its host or mail address as the caption and itself as the command.
// Nothing for anything else: that is refused.
std::optional<LaunchItem> ItemForDrop(std::string_view pathOrAddress);

}  // namespace trayhound
