#include "iconsets/IniEdit.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "support/Ascii.h"
#include "support/Utf8.h"

namespace trayhound {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// An odd last byte and unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes) {
    const auto unitAt = [bytes](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
        AppendUtf8(out, surrogate ? kReplacementCharacter : unit);
    }
    if (i < bytes.size()) AppendUtf8(out, kReplacementCharacter);
    return out;
}

std::string DecodeFile(std::string_view bytes, const TextCodec& codec) {
    if (bytes.starts_with(kUtf8Bom)) return ValidUtf8(bytes.substr(kUtf8Bom.size()));
    if (bytes.starts_with(kUtf16LeBom)) return Utf16LeToUtf8(bytes.substr(kUtf16LeBom.size()));
    // The codec yields valid UTF-8 already; passing it through keeps every line well-formed
    // whatever a platform codec does with unmapped bytes.
    return ValidUtf8(codec.ToUtf8(bytes));
}

// CR or CR LF end a line; nothing follows a final terminator.
std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto cr = text.find('\r', start);
        if (cr == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

char32_t UpperCaseLetter(char32_t c) {
    if (c < 0x80) return c >= 'a' && c <= 'z' ? c - 0x20 : c;
    // Latin-1: à..þ except ÷; ÿ pairs with Ÿ in Latin Extended-A.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        // İ, ı, ĸ, ŉ and ſ have no one-to-one partner outside particular languages.
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        // Capital then small, except in the runs Ĺ..ň and Ź..ž, which start one later.
        const bool smallIsEven = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        const bool isSmall = smallIsEven ? c % 2 == 0 : c % 2 == 1;
        return isSmall ? c - 1 : c;
    }
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x3B1 && c <= 0x3CB) return c - 0x20;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    return c;
}

// The value part of a matching line: after the first "=", or the whole line; blanks trimmed.
std::string ValueOf(std::string_view line) {
    if (const auto equals = line.find('='); equals != std::string_view::npos) {
        line.remove_prefix(equals + 1);
    }
    return std::string(TrimBlanks(line));
}

}  // namespace

std::string IniEdit::UpperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        AppendUtf8(out, UpperCaseLetter(NextCodePoint(text, pos)));
    }
    return out;
}

IniEdit::Index IniEdit::BuildIndex(const std::vector<std::string>& lines) {
    Index index;
    index.upperLines.reserve(lines.size());
    for (const auto& line : lines) index.upperLines.push_back(UpperCase(line));

    // Lines of a later section with an already seen name, and lines before the first header,
    // can never be found and stay out of the index.
    std::vector<std::size_t>* current = nullptr;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].starts_with('[')) {
            const auto [entry, isFirst] = index.sections.try_emplace(index.upperLines[i]);
            current = isFirst ? &entry->second : nullptr;
        } else if (current != nullptr) {
            current->push_back(i);
        }
    }
    // Keys match by prefix, so the lines a key matches are adjacent in text order; within
    // equal texts the stable sort keeps file order.
    for (auto& [header, keys] : index.sections) {
        std::ranges::stable_sort(keys, {}, [&](std::size_t line) -> const std::string& {
            return index.upperLines[line];
        });
    }
    return index;
}

bool IniEdit::OpenIni(const std::string& FileName, const FileSystem& fileSystem,
                      const TextCodec& codec) {
    try {
        const auto bytes = fileSystem.ReadFile(FileName);
        if (!bytes) return false;
        auto lines = SplitLines(DecodeFile(*bytes, codec));
        lines.emplace_back("[]");
        auto index = BuildIndex(lines);
        lines_ = std::move(lines);
        index_ = std::move(index);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string IniEdit::GetValue(std::string_view Section, std::string_view Key) const {
    const std::string section = UpperCase(Section);
    std::string header(section.size() + 2, '[');
    std::copy(section.begin(), section.end(), header.begin() + 1);
    header.back() = ']';
    const auto found = index_.sections.find(header);
    if (found == index_.sections.end()) return {};

    const std::string key = UpperCase(Key);
    const auto& keys = found->second;
    const auto& upper = index_.upperLines;
    auto candidate = std::ranges::lower_bound(
        keys, key, {}, [&](std::size_t line) -> const std::string& { return upper[line]; });
    std::optional<std::size_t> firstMatch;
    for (; candidate != keys.end() && upper[*candidate].starts_with(key); ++candidate) {
        firstMatch = std::min(firstMatch.value_or(*candidate), *candidate);
    }
    return firstMatch ? ValueOf(lines_[*firstMatch]) : std::string();
}

}  // namespace trayhound
