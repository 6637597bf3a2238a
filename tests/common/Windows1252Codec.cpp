#include "Windows1252Codec.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "support/Ascii.h"

namespace trayhound {

namespace {

// Bytes 0x80 to 0x9F; the others stand for the code point of the same number.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

constexpr char32_t CodePointOf(unsigned char byte) noexcept {
    return byte >= 0x80 && byte <= 0x9F ? kHighControlRange[byte - 0x80] : byte;
}

// The UTF-8 form of every byte's character.
class Utf8Table {
  public:
    constexpr Utf8Table() {
        for (unsigned value = 0; value < 256; ++value) {
            const char32_t cp = CodePointOf(static_cast<unsigned char>(value));
            auto& out = bytes_[value];
            std::uint8_t& length = lengths_[value];
            if (cp < 0x80) {
                out[length++] = static_cast<char>(cp);
            } else if (cp < 0x800) {
                out[length++] = static_cast<char>(0xC0 | (cp >> 6));
                out[length++] = static_cast<char>(0x80 | (cp & 0x3F));
            } else {
                out[length++] = static_cast<char>(0xE0 | (cp >> 12));
                out[length++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                out[length++] = static_cast<char>(0x80 | (cp & 0x3F));
            }
        }
    }

    constexpr std::string_view operator[](unsigned char byte) const noexcept {
        return std::string_view(bytes_[byte].data(), lengths_[byte]);
    }

  private:
    std::array<std::array<char, 3>, 256> bytes_{};
    std::array<std::uint8_t, 256> lengths_{};
};

constexpr Utf8Table kUtf8OfByte;

// The byte for a code point, or -1 when the code page has none.
int ByteOf(char32_t cp) noexcept {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == cp) return static_cast<int>(0x80 + i);
    }
    return -1;
}

// Decodes one well-formed UTF-8 sequence at text[i], advancing i; -1 for a malformed one
// (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
std::int32_t NextCodePoint(std::string_view text, std::size_t& i) noexcept {
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80) return lead;

    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    std::int32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return -1;
    }

    for (int n = 0; n < length; ++n) {
        if (i >= text.size()) return -1;
        const auto next = static_cast<unsigned char>(text[i]);
        if (next < low || next > high) return -1;
        low = 0x80;
        high = 0xBF;
        cp = (cp << 6) | (next & 0x3F);
        ++i;
    }
    return cp;
}

}  // namespace

std::string Windows1252Codec::ToUtf8(std::string_view ansi) const {
    // Sized first and filled after, skipping over ASCII runs: a data file is converted whole.
    std::size_t length = ansi.size();
    for (std::size_t i = AsciiRunEnd(ansi, 0); i < ansi.size(); i = AsciiRunEnd(ansi, i + 1)) {
        length += kUtf8OfByte[static_cast<unsigned char>(ansi[i])].size() - 1;
    }
    std::string utf8(length, '\0');
    char* out = utf8.data();
    for (std::size_t i = 0; i < ansi.size();) {
        const std::size_t end = AsciiRunEnd(ansi, i);
        out = std::copy(ansi.data() + i, ansi.data() + end, out);
        if (end == ansi.size()) break;
        const std::string_view sequence = kUtf8OfByte[static_cast<unsigned char>(ansi[end])];
        out = std::copy(sequence.begin(), sequence.end(), out);
        i = end + 1;
    }
    return utf8;
}

std::optional<std::string> Windows1252Codec::FromUtf8(std::string_view utf8) const {
    std::string ansi;
    ansi.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::int32_t cp = NextCodePoint(utf8, i);
        if (cp < 0) return std::nullopt;
        const int byte = ByteOf(static_cast<char32_t>(cp));
        if (byte < 0) return std::nullopt;
        ansi += static_cast<char>(byte);
    }
    return ansi;
}

}  // namespace trayhound
