#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace trayhound {

// The position of the first byte at or after from that is not ASCII, or the size when there is
// none. Eight bytes at a time: whole data files go through here.
inline std::size_t AsciiRunEnd(std::string_view text, std::size_t from = 0) noexcept {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    std::size_t i = from;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (word & kHighBits) break;
    }
    while (i < text.size() && !(static_cast<unsigned char>(text[i]) & 0x80)) ++i;
    return i;
}

// The upper-case letter of an ASCII lower-case letter; any other byte as it is.
constexpr char AsciiUpper(char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

constexpr bool IsAsciiLetter(char c) noexcept {
    return AsciiUpper(c) >= 'A' && AsciiUpper(c) <= 'Z';
}

// Whether `text` begins with `prefix`, ASCII letters compared without regard to case.
constexpr bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) noexcept {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiUpper(text[i]) != AsciiUpper(prefix[i])) return false;
    }
    return true;
}

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept {
    return a.size() == b.size() && StartsWithIgnoringCase(a, b);
}

// `text` without the `blanks` characters at either end.
constexpr std::string_view TrimBlanks(std::string_view text,
                                      std::string_view blanks = " ") noexcept {
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Pure ASCII reads the same in every ANSI code page and in UTF-8.
inline bool IsAscii(std::string_view text) noexcept {
    return AsciiRunEnd(text) == text.size();
}

}  // namespace trayhound
