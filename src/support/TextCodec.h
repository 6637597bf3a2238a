#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trayhound {

// Conversion between the system's ANSI code page and the UTF-8 text used inside the program.
// On Windows it is the real ANSI code page; tests use Windows-1252.
class TextCodec {
  public:
    virtual ~TextCodec() = default;

    // Bytes in the code page to UTF-8. Never fails: bytes without a mapping become U+FFFD.
    virtual std::string ToUtf8(std::string_view ansi) const = 0;

    // UTF-8 to the code page, or nothing when some character has no exact representation
    // (no best-fit mapping, no default character).
    virtual std::optional<std::string> FromUtf8(std::string_view utf8) const = 0;
};

}  // namespace trayhound
