#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "support/TextCodec.h"

namespace trayhound {

// The system's ANSI code page (or another Windows code page, for tests).
class AnsiCodec final : public TextCodec {
  public:
    static constexpr unsigned kSystemCodePage = 0;  // CP_ACP

    explicit AnsiCodec(unsigned codePage = kSystemCodePage) noexcept : codePage_(codePage) {}

    std::string ToUtf8(std::string_view ansi) const override;
    // Nothing when a character has no exact form in the code page: no best-fit substitute
    // ("e" for "ė"), no default character.
    std::optional<std::string> FromUtf8(std::string_view utf8) const override;

  private:
    std::optional<std::string> Encode(std::wstring_view wide, bool strict) const;
    std::wstring Decode(std::string_view ansi) const;

    unsigned codePage_;
};

}  // namespace trayhound
