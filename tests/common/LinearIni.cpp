#include "LinearIni.h"

#include "iconsets/IniEdit.h"

namespace trayhound {
namespace {

// The first `count` characters of valid UTF-8 text (all of it when shorter).
std::string_view FirstCharacters(std::string_view text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == count) return text.substr(0, i);
    }
    return text;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace

std::string LinearGetValue(const std::vector<std::string>& lines, std::string_view section,
                           std::string_view key) {
    const std::string s = IniEdit::UpperCase(section);
    const std::string k = IniEdit::UpperCase(key);
    // Lines are 1-based, as in the file.
    std::size_t first = 0;
    std::size_t last = 0;
    for (std::size_t i = 1; i <= lines.size(); ++i) {
        const std::string& line = lines[i - 1];
        if (first != 0 && line.starts_with('[')) {
            last = i - 1;
            break;
        }
        if (IniEdit::UpperCase(line) == "[" + s + "]") first = i + 1;
    }
    if (first == 0) return {};

    const std::size_t n = CharacterCount(k);
    for (std::size_t i = first; i <= last; ++i) {
        const std::string& line = lines[i - 1];
        if (IniEdit::UpperCase(FirstCharacters(line, n)) != k) continue;
        if (line.empty()) return {};
        const auto equals = line.find('=');
        std::string value = equals == std::string::npos ? line : line.substr(equals + 1);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of(' ') + 1);
        return value;
    }
    return {};
}

}  // namespace trayhound
