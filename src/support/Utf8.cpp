#include "support/Utf8.h"

#include <vector>

namespace trayhound {

char32_t NextCodePoint(std::string_view text, std::size_t& position) noexcept {
    const auto lead = static_cast<unsigned char>(text[position]);
    if (lead < 0x80) {
        ++position;
        return lead;
    }
    // The sequence length, the lead's value bits and the smallest value that needs that length.
    struct Form {
        std::size_t length;
        char32_t bits;
        char32_t smallest;
    };
    const Form form = lead >= 0xC2 && lead <= 0xDF   ? Form{2, lead & 0x1Fu, 0x80}
                      : lead >= 0xE0 && lead <= 0xEF ? Form{3, lead & 0x0Fu, 0x800}
                      : lead >= 0xF0 && lead <= 0xF4 ? Form{4, lead & 0x07u, 0x10000}
                                                     : Form{0, 0, 0};
    char32_t codePoint = form.bits;
    bool wellFormed = form.length != 0 && position + form.length <= text.size();
    for (std::size_t i = 1; wellFormed && i < form.length; ++i) {
        const auto next = static_cast<unsigned char>(text[position + i]);
        wellFormed = (next & 0xC0u) == 0x80u;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (!wellFormed || codePoint < form.smallest || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        ++position;
        return kReplacementCharacter;
    }
    position += form.length;
    return codePoint;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
        return;
    }
    const int continuations = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
    constexpr unsigned char kLeads[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLeads[continuations] | (codePoint >> (6 * continuations)));
    for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6) {
        out += static_cast<char>(0x80 | ((codePoint >> shift) & 0x3F));
    }
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t position = 0; position < text.size();) {
        AppendUtf8(out, NextCodePoint(text, position));
    }
    return out;
}

std::size_t Utf16Length(std::string_view text) noexcept {
    std::size_t units = 0;
    for (std::size_t position = 0; position < text.size();) {
        units += NextCodePoint(text, position) > 0xFFFF ? 2 : 1;
    }
    return units;
}

std::string_view CutToUtf16Units(std::string_view text, std::size_t maxUnits) noexcept {
    std::size_t units = 0;
    std::size_t end = 0;
    for (std::size_t position = 0; position < text.size();) {
        units += NextCodePoint(text, position) > 0xFFFF ? 2 : 1;
        if (units > maxUnits) break;
        end = position;
    }
    return text.substr(0, end);
}

std::optional<std::string> DropLastCharacters(std::string_view text, std::size_t count) {
    std::vector<std::size_t> starts;
    for (std::size_t position = 0; position < text.size(); NextCodePoint(text, position)) {
        starts.push_back(position);
    }
    if (count > starts.size()) return std::nullopt;
    return std::string(text.substr(0, count == 0 ? text.size() : starts[starts.size() - count]));
}

}  // namespace trayhound
