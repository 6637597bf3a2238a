#include "editors/DroppedItems.h"

#include <algorithm>
#include <array>
#include <string>

#include "support/Ascii.h"

namespace trayhound {
namespace {

// "C:\..." or "\\server\share\...".
bool IsFullPath(std::string_view text) {
    const bool drive = text.size() >= 3 && IsAsciiLetter(text[0]) && text[1] == ':' &&
                       (text[2] == '\\' || text[2] == '/');
    return drive || (text.size() > 2 && text.starts_with("\\\\"));
}

LaunchItem Item(std::string caption, std::string command) {
    LaunchItem item;
    item.SetCaption(std::move(caption));
    item.SetCommand(std::move(command));
    return item;
}

// A file name shows as it is in the menu: "&" is doubled, so that it marks no access key, and a
// name that would make a separator keeps its extension.
std::string CaptionOf(std::string_view fileName, std::string_view withExtension) {
    std::string caption;
    for (const char c : fileName == "-" ? withExtension : fileName) {
        caption += c;
        if (c == '&') caption += '&';
    }
    return caption;
}

LaunchItem PathItem(std::string_view path) {
    std::string_view name = path;
    while (name.size() > 3 && (name.ends_with('\\') || name.ends_with('/'))) name.remove_suffix(1);
    const std::string command(name);
    name.remove_prefix(std::min(name.size(), name.find_last_of("\\/") + 1));
    const std::string_view fullName = name;
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos && dot > 0) {
        name = name.substr(0, dot);
    }
    const bool blank = command.find(' ') != std::string::npos;
    return Item(name.empty() ? command : CaptionOf(name, fullName),
                blank ? "\"" + command + "\"" : command);
}

std::optional<LaunchItem> AddressItem(std::string_view address) {
    if (StartsWithIgnoringCase(address, "mailto:")) {
        const std::string_view to = address.substr(7, address.find('?') - 7);
        if (to.empty()) return std::nullopt;
        return Item(std::string(to), std::string(address));
    }
    for (const std::string_view scheme : {"http://", "https://", "ftp://"}) {
        if (!StartsWithIgnoringCase(address, scheme)) continue;
        std::string_view host = address.substr(scheme.size());
        host = host.substr(0, host.find_first_of("/?#"));
        if (StartsWithIgnoringCase(host, "www.")) host.remove_prefix(4);
        if (host.empty()) return std::nullopt;
        return Item(std::string(host), std::string(address));
    }
    return std::nullopt;
}

}  // namespace

std::optional<LaunchItem> ItemForDrop(std::string_view pathOrAddress) {
    const auto text = TrimBlanks(pathOrAddress, " \t\r\n");
    if (text.empty()) return std::nullopt;
    // One line of text: a path or an address never holds a line break or a TAB.
    if (text.find_first_of("\t\r\n") != std::string_view::npos) return std::nullopt;
    if (IsFullPath(text)) return PathItem(text);
    if (text.find(' ') != std::string_view::npos) return std::nullopt;
    return AddressItem(text);
}

}  // namespace trayhound
