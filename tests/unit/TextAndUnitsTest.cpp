// The two small modules every part of the program measures with: UTF-8 text and twips.
#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "support/FileSystem.h"
#include "support/Twips.h"
#include "support/Utf8.h"

namespace trayhound {
namespace {

TEST(Utf8, WalksCharactersAndReplacesWhatIsNotWellFormed) {
    const std::string replacement = "\xEF\xBF\xBD";
    struct Row {
        std::string text;
        std::string valid;       // ValidUtf8
        std::size_t utf16;       // Utf16Length
        std::string cutToThree;  // CutToUtf16Units(text, 3)
        std::optional<std::string> dropTwo;
    } const rows[] = {
        {"", "", 0, "", std::nullopt},
        {"abcd", "abcd", 4, "abc", "ab"},
        {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9", 3, "\xC3\xA9t\xC3\xA9", "\xC3\xA9"},
        {"a\xF0\x9F\x98\x80z", "a\xF0\x9F\x98\x80z", 4, "a\xF0\x9F\x98\x80", "a"},
        {"ab\xF0\x9F\x98\x80", "ab\xF0\x9F\x98\x80", 4, "ab", "a"},
        // A stray continuation byte, an overlong form, a surrogate, a cut sequence: each byte
        // is one character of its own.
        {"\x80x", replacement + "x", 2, "\x80x", ""},
        {"\xC0\xAF", replacement + replacement, 2, "\xC0\xAF", ""},
        {"\xED\xA0\x80", replacement + replacement + replacement, 3, "\xED\xA0\x80", "\xED"},
        {"\xED\xBF\xBF", replacement + replacement + replacement, 3, "\xED\xBF\xBF", "\xED"},
        {"a\xE2\x82", "a" + replacement + replacement, 3, "a\xE2\x82", "a"},
        {"\xF4\x90\x80\x80", replacement + replacement + replacement + replacement, 4,
         "\xF4\x90\x80", "\xF4\x90"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.text));
        EXPECT_EQ(ValidUtf8(row.text), row.valid);
        EXPECT_EQ(Utf16Length(row.text), row.utf16);
        EXPECT_EQ(CutToUtf16Units(row.text, 3), row.cutToThree);
        EXPECT_EQ(DropLastCharacters(row.text, 2), row.dropTwo);
    }
}

TEST(Utf8, EncodesEveryLengthOfSequence) {
    for (const char32_t codePoint : {U'A', U'\u007F', U'\u0080', U'\u07FF', U'\u0800', U'\uFFFD',
                                     U'\U00010000', U'\U0010FFFF'}) {
        std::string text;
        AppendUtf8(text, codePoint);
        std::size_t position = 0;
        EXPECT_EQ(NextCodePoint(text, position), codePoint);
        EXPECT_EQ(position, text.size());
    }
}

TEST(FileSystem, TheParentFolderKeepsTheSeparatorOfARoot) {
    const std::pair<const char*, const char*> kRows[] = {{R"(C:\a\b.dat)", R"(C:\a)"},
                                                         {R"(C:\b)", R"(C:\)"},
                                                         {R"(C:\)", R"(C:\)"},
                                                         {"/b", "/"},
                                                         {"ab/c", "ab"},
                                                         {R"(\\s\x)", R"(\\s)"},
                                                         {"C:", ""},
                                                         {"b", ""}};
    for (const auto& [path, parent] : kRows)
        EXPECT_EQ(FileSystem::GetParentFolderName(path), parent) << path;
}

TEST(Twips, ConvertAtTheWindowsDpiRoundingHalvesAwayFromZero) {
    struct Row {
        int twips;
        unsigned dpi;
        int pixels;
    } const rows[] = {{1440, 96, 96}, {750, 96, 50}, {7, 96, 0},       {8, 96, 1},
                      {-8, 96, -1},   {15, 144, 2},  {4455, 120, 371}, {0, 192, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.twips << " twips at " << row.dpi);
        EXPECT_EQ(TwipsToPixels(row.twips, row.dpi), row.pixels);
    }
    EXPECT_EQ(PixelsToTwips(50, 96), 750);
    EXPECT_EQ(PixelsToTwips(-3, 120), -36);
    EXPECT_EQ(FontHeight(825, 96), -11);
    EXPECT_EQ(FontHeight(825, 144), -17);
    // Neighbours that touch in twips touch in pixels, whatever the rounding of each edge.
    const PixelRect left = ToPixels({120, 120, 2895, 255}, 120);
    const PixelRect right = ToPixels({3015, 120, 1215, 330}, 120);
    EXPECT_EQ(left.left + left.width, right.left);
    EXPECT_EQ(ToPixels({120, 360, 1215, 330}, 96), (PixelRect{8, 24, 81, 22}));
}

}  // namespace
}  // namespace trayhound
