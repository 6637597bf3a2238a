#include "support/win32/AnsiCodec.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace trayhound {
namespace {

TEST(AnsiCodecTest, Windows1252RoundTrip) {
    const AnsiCodec codec(1252);
    EXPECT_EQ(codec.FromUtf8("é"), "\xE9");
    EXPECT_EQ(codec.FromUtf8("Café €5"),
              "Caf\xE9 \x80"
              "5");
    EXPECT_EQ(codec.ToUtf8("\xE9"), "é");
    EXPECT_EQ(codec.ToUtf8("Caf\xE9 \x80"
                           "5"),
              "Café €5");
    EXPECT_EQ(codec.FromUtf8("?"), "?");
    EXPECT_EQ(codec.FromUtf8(""), "");
    EXPECT_EQ(codec.ToUtf8(""), "");
}

struct Unrepresentable {
    unsigned codePage;
    const char* utf8;
};

void PrintTo(const Unrepresentable& value, std::ostream* out) {
    *out << "cp" << value.codePage << " " << value.utf8;
}

class AnsiCodecUnrepresentableTest : public ::testing::TestWithParam<Unrepresentable> {};

// A best-fit mapping would give a near look-alike ("e" for "ė"); the codec must give nothing.
TEST_P(AnsiCodecUnrepresentableTest, GivesNothing) {
    const AnsiCodec codec(GetParam().codePage);
    EXPECT_EQ(codec.FromUtf8(GetParam().utf8), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Characters, AnsiCodecUnrepresentableTest,
                         ::testing::Values(Unrepresentable{1252, "ė"},
                                           Unrepresentable{1252, "Folder 日本"},
                                           Unrepresentable{1252, "∞"}, Unrepresentable{1252, "?ė"},
                                           Unrepresentable{20127, "é"}, Unrepresentable{1251, "é"},
                                           Unrepresentable{932, "é"}));

TEST(AnsiCodecTest, DoubleByteCodePage) {
    const AnsiCodec codec(932);
    EXPECT_EQ(codec.FromUtf8("日本"), "\x93\xFA\x96\x7B");
    EXPECT_EQ(codec.ToUtf8("\x93\xFA\x96\x7B"), "日本");
}

// UTF-8 takes neither the no-best-fit flag nor the used-default report.
TEST(AnsiCodecTest, CodePagesWithoutTheStrictFlagsStillConvert) {
    const AnsiCodec codec(CP_UTF8);
    EXPECT_EQ(codec.FromUtf8("é ✓"), "é ✓");
}

TEST(AnsiCodecTest, DefaultIsTheSystemCodePage) {
    const AnsiCodec system;
    const AnsiCodec explicitCodePage(GetACP());
    for (const char* text : {"é", "ė", "€", "Ω", "日本"}) {
        EXPECT_EQ(system.FromUtf8(text), explicitCodePage.FromUtf8(text)) << text;
    }
}

}  // namespace
}  // namespace trayhound
