#include "Windows1252Codec.h"

#include <array>

#include "support/Ascii.h"
#include "support/Utf8.h"

namespace trayhound {
namespace {

// Bytes 0x80 to 0x9F; every other byte stands for the code point of the same number.
constexpr std::array<char32_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// The byte for a code point, or -1 when the code page has none.
int ByteOf(char32_t codePoint) noexcept {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<int>(codePoint);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == codePoint) return static_cast<int>(0x80 + i);
    }
    return -1;
}

}  // namespace

std::string Windows1252Codec::ToUtf8(std::string_view ansi) const {
    std::string utf8;
    utf8.reserve(ansi.size());
    // ASCII runs are copied whole: a data file is converted in one piece.
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        const std::size_t end = AsciiRunEnd(ansi, i);
        utf8.append(ansi.substr(i, end - i));
        if (end == ansi.size()) break;
        const auto byte = static_cast<unsigned char>(ansi[end]);
        AppendUtf8(utf8, byte <= 0x9F ? kHighControlRange[byte - 0x80] : byte);
        i = end;
    }
    return utf8;
}

std::optional<std::string> Windows1252Codec::FromUtf8(std::string_view utf8) const {
    std::string ansi;
    ansi.reserve(utf8.size());
    for (std::size_t position = 0; position < utf8.size();) {
        // A malformed sequence reads as U+FFFD, which the code page has no byte for either.
        const int byte = ByteOf(NextCodePoint(utf8, position));
        if (byte < 0) return std::nullopt;
        ansi += static_cast<char>(byte);
    }
    return ansi;
}

}  // namespace trayhound
