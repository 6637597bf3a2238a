#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/Windows1252Codec.h"

namespace trayhound {
namespace {

const Windows1252Codec codec;

std::string Byte(int value) {
    return std::string(1, static_cast<char>(value));
}

TEST(Windows1252Codec, EveryByteComesBackUnchanged) {
    std::string all;
    for (int value = 0; value < 256; ++value) {
        const std::string utf8 = codec.ToUtf8(Byte(value));
        EXPECT_EQ(codec.FromUtf8(utf8), Byte(value)) << "byte " << value;
        all += Byte(value);
    }
    EXPECT_EQ(codec.FromUtf8(codec.ToUtf8(all)), all);
}

TEST(Windows1252Codec, EveryByteIsADifferentCharacter) {
    std::set<std::string> characters;
    for (int value = 0; value < 256; ++value) characters.insert(codec.ToUtf8(Byte(value)));
    EXPECT_EQ(characters.size(), 256u);
}

// Entries of the published Windows-1252 table, as Windows converts them.
struct Mapping {
    int byte;
    std::string utf8;
};

std::ostream& operator<<(std::ostream& out, const Mapping& m) {
    return out << "byte " << m.byte;
}

class Windows1252Table : public testing::TestWithParam<Mapping> {};

TEST_P(Windows1252Table, ConvertsBothWays) {
    EXPECT_EQ(codec.ToUtf8(Byte(GetParam().byte)), GetParam().utf8);
    EXPECT_EQ(codec.FromUtf8(GetParam().utf8), Byte(GetParam().byte));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, Windows1252Table,
    testing::Values(Mapping{0x41, "A"}, Mapping{0x09, "\t"}, Mapping{0x7F, "\x7F"},
                    Mapping{0x80, "\xE2\x82\xAC"},  // euro sign
                    Mapping{0x83, "\xC6\x92"},      // f with hook
                    Mapping{0x8A, "\xC5\xA0"},      // S with caron
                    Mapping{0x93, "\xE2\x80\x9C"},  // left double quotation mark
                    Mapping{0x99, "\xE2\x84\xA2"},  // trade mark sign
                    Mapping{0x9F, "\xC5\xB8"},      // Y with diaeresis
                    // The five undefined bytes stand for the C1 controls of the same number.
                    Mapping{0x81, "\xC2\x81"}, Mapping{0x8D, "\xC2\x8D"}, Mapping{0x8F, "\xC2\x8F"},
                    Mapping{0x90, "\xC2\x90"}, Mapping{0x9D, "\xC2\x9D"}, Mapping{0xA0, "\xC2\xA0"},
                    Mapping{0xE9, "\xC3\xA9"}, Mapping{0xFF, "\xC3\xBF"}));

TEST(Windows1252Codec, ConvertsWholeTexts) {
    EXPECT_EQ(codec.ToUtf8("Caf\xE9 \x80"
                           "5"),
              "Caf\xC3\xA9 \xE2\x82\xAC"
              "5");
    EXPECT_EQ(codec.FromUtf8("Caf\xC3\xA9 \xE2\x82\xAC"
                             "5"),
              "Caf\xE9 \x80"
              "5");
    EXPECT_EQ(codec.ToUtf8(""), "");
    EXPECT_EQ(codec.FromUtf8(""), "");
}

TEST(Windows1252Codec, LongTextConvertsLikeItsBytesOneByOne) {
    // ASCII runs of every length around the converter's eight-byte steps.
    std::mt19937 random(1252);
    std::string text;
    std::string expected;
    for (int run = 0; run < 400; ++run) {
        const int ascii = static_cast<int>(random() % 20);
        for (int i = 0; i < ascii; ++i) text += static_cast<char>('a' + random() % 26);
        text += static_cast<char>(0x80 + random() % 128);
    }
    for (const char c : text) expected += codec.ToUtf8(std::string(1, c));
    EXPECT_EQ(codec.ToUtf8(text), expected);
    EXPECT_EQ(codec.FromUtf8(expected), text);
}

TEST(Windows1252Codec, CharactersOutsideTheCodePageHaveNoRepresentation) {
    const std::vector<std::string> texts = {
        "\xCE\xA9",          // Greek capital omega
        "abc\xCE\xA9",       // one such character spoils the whole text
        "\xE4\xB8\xAD",      // CJK
        "\xF0\x9F\x90\xB6",  // emoji beyond the BMP
        "\xC2\x80",          // U+0080: byte 0x80 is the euro sign
        "\xC2\x9F",          // U+009F: byte 0x9F is Y with diaeresis
        "\xC4\x80",          // U+0100, just past Latin-1
        "\xEF\xBF\xBD",      // the replacement character itself
    };
    for (const auto& text : texts) {
        EXPECT_FALSE(codec.FromUtf8(text)) << testing::PrintToString(text);
    }
}

TEST(Windows1252Codec, MalformedUtf8HasNoRepresentation) {
    const std::vector<std::string> texts = {
        "\x80",              // stray continuation byte
        "a\xC3",             // cut short
        "\xE2\x82",          // cut short
        "\xC0\xAF",          // overlong "/"
        "\xC1\xBF",          // overlong
        "\xE0\x80\xAF",      // overlong
        "\xED\xA0\x80",      // UTF-16 surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\xF5\x80\x80\x80",  // invalid lead byte
        "\xFF",              // invalid lead byte
        "\xC3\x28",          // continuation byte missing
    };
    for (const auto& text : texts) {
        EXPECT_FALSE(codec.FromUtf8(text)) << testing::PrintToString(text);
    }
}

}  // namespace
}  // namespace trayhound
