#pragma once

#include "support/TextCodec.h"

namespace trayhound {

// Windows-1252 exactly as Windows converts it without best-fit mapping: the five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the
// same number, and every other character outside the code page has no representation.
class Windows1252Codec final : public TextCodec {
  public:
    std::string ToUtf8(std::string_view ansi) const override;
    std::optional<std::string> FromUtf8(std::string_view utf8) const override;
};

}  // namespace trayhound
