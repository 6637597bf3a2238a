#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace trayhound {

// The program's text is UTF-8; these walk it character by character. Every walker treats a byte
// that does not start a well-formed sequence (overlong forms, surrogates and values above
// U+10FFFF included) as one character of its own, U+FFFD, as the conversion to UTF-16 does.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character at `position`, which moves past it.
char32_t NextCodePoint(std::string_view text, std::size_t& position) noexcept;
void AppendUtf8(std::string& out, char32_t codePoint);
// `text` with every ill-formed byte replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);
// The UTF-16 code units the text takes (two for a character outside the basic plane).
std::size_t Utf16Length(std::string_view text) noexcept;
// The longest prefix that takes at most `maxUnits` UTF-16 code units: the shell's and the
// dialogs' fixed text fields count UTF-16 units. Never ends inside a character.
std::string_view CutToUtf16Units(std::string_view text, std::size_t maxUnits) noexcept;
// `text` without its last `count` characters, or nothing when it has fewer.
std::optional<std::string> DropLastCharacters(std::string_view text, std::size_t count);

}  // namespace trayhound
