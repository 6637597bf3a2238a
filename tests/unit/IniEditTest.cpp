#include "iconsets/IniEdit.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "LinearIni.h"
#include "MemoryFileSystem.h"
#include "Windows1252Codec.h"

namespace trayhound {
namespace {

constexpr const char* kPath = "C:\\Sets\\test.iconset";

std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

class IniEditTest : public ::testing::Test {
  protected:
    IniEdit Open(std::string bytes) {
        files.SetFile(kPath, std::move(bytes));
        IniEdit ini;
        EXPECT_TRUE(ini.OpenIni(kPath, files, codec));
        return ini;
    }

    MemoryFileSystem files;
    Windows1252Codec codec;
};

struct LookupCase {
    const char* name;
    std::string file;
    std::string section;
    std::string key;
    std::string expected;
};

void PrintTo(const LookupCase& c, std::ostream* out) {
    *out << c.name;
}

class IniEditLookupTest : public IniEditTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(IniEditLookupTest, GetValue) {
    const auto& c = GetParam();
    const IniEdit ini = Open(c.file);
    EXPECT_EQ(ini.GetValue(c.section, c.key), c.expected);
    EXPECT_EQ(LinearGetValue(ini.Lines(), c.section, c.key), c.expected);
}

const std::string kIconSet = "[Trayhound Icon Set]\r\nname=Blue\r\ncount = 7";

INSTANTIATE_TEST_SUITE_P(
    Rules, IniEditLookupTest,
    ::testing::Values(
        LookupCase{"KeyAndSectionIgnoreCase", kIconSet, "trayhound icon set", "COUNT", "7"},
        LookupCase{"ExactCase", kIconSet, "Trayhound Icon Set", "name", "Blue"},
        LookupCase{"ValueKeepsCase", "[S]\r\nk=MiXed", "s", "K", "MiXed"},
        LookupCase{"LowerCaseHeader", "[trayhound icon set]\r\ncount=5", "Trayhound Icon Set",
                   "count", "5"},
        LookupCase{"BlankBeforeHeader", " [S]\r\nk=v", "S", "k", ""},
        LookupCase{"BlankAfterHeader", "[S] \r\nk=v", "S", "k", ""},
        LookupCase{"TextAfterHeader", "[S];note\r\nk=v", "S", "k", ""},
        LookupCase{"FirstPrefixMatchWins", "[S]\r\n10=ten\r\n1=one", "S", "1", "ten"},
        LookupCase{"LongerKeyStillFound", "[S]\r\n10=ten\r\n1=one", "S", "10", "ten"},
        LookupCase{"KeyWithEquals", "[S]\r\n10=ten\r\n1=one", "S", "1=", "one"},
        LookupCase{"KeyMatchesLongerName", "[S]\r\nnames=x\r\nname=y", "S", "name", "x"},
        LookupCase{"KeyWithTrailingBlank", "[S]\r\nname=x\r\nname =y", "S", "name ", "y"},
        LookupCase{"LineWithoutEquals", "[S]\r\ncount", "S", "count", "count"},
        LookupCase{"LineWithoutEqualsTrimmed", "[S]\r\ncount  ", "S", "count", "count"},
        LookupCase{"OnlyFirstEqualsSplits", "[S]\r\na=b=c", "S", "a", "b=c"},
        LookupCase{"BlanksAroundValueTrimmed", "[S]\r\nk =  v w  ", "S", "k", "v w"},
        LookupCase{"TabsStay", "[S]\r\nk=\tv\t", "S", "k", "\tv\t"},
        LookupCase{"EmptyValue", "[S]\r\nk=", "S", "k", ""},
        LookupCase{"BlankValue", "[S]\r\nk=   ", "S", "k", ""},
        LookupCase{"NoCommentSyntax", "[S]\r\n;count=3\r\ncount=4", "S", "count", "4"},
        LookupCase{"CommentLikeKey", "[S]\r\n;count=3", "S", ";count", "3"},
        LookupCase{"KeyLongerThanLine", "[S]\r\nab", "S", "abc", ""},
        LookupCase{"MissingKey", kIconSet, "Trayhound Icon Set", "author", ""},
        LookupCase{"MissingSection", kIconSet, "Other", "name", ""},
        LookupCase{"DuplicateSectionFirstOnly", "[S]\r\nk=first\r\n[s]\r\nk=second\r\nm=2", "S",
                   "k", "first"},
        LookupCase{"DuplicateSectionNeverReached", "[S]\r\nk=first\r\n[S]\r\nm=2", "S", "m", ""},
        LookupCase{"LastLineWithoutBreak", "[A]\r\nx=1\r\n[B]\r\ny=2", "B", "y", "2"},
        LookupCase{"LastLineWithBreak", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n", "B", "y", "2"},
        LookupCase{"SectionEndsAtNextHeader", "[A]\r\nx=1\r\n[B]\r\ny=2", "A", "y", ""},
        LookupCase{"AnyBracketLineEndsSection", "[S]\r\n[not a header\r\nk=v", "S", "k", ""},
        LookupCase{"BlankLinesDoNotEndSection", "[S]\r\n\r\n   \r\nk=v", "S", "k", "v"},
        LookupCase{"LinesBeforeFirstHeader", "k=v\r\n[S]\r\nm=w", "S", "k", ""},
        LookupCase{"EmptySectionName", "[]\r\nk=v", "", "k", "v"},
        LookupCase{"EmptySectionNameOnlyAppended", "k=v", "", "k", ""},
        LookupCase{"HeaderOnLastLine", "k=v\r\n[S]", "S", "", ""},
        LookupCase{"EmptyKeyTakesFirstLine", "[S]\r\nfirst=1\r\nsecond=2", "S", "", "1"},
        LookupCase{"EmptyKeyOnEmptyLine", "[S]\r\n\r\nk=v", "S", "", ""},
        LookupCase{"LoneLineFeedStaysInValue", "[S]\r\nk=a\nb\r\nm=c", "S", "k", "a\nb"},
        LookupCase{"LoneLineFeedSpoilsHeader", "[S]\nk=v", "S", "k", ""},
        LookupCase{"CarriageReturnOnly", "[S]\rk=v\rm=w", "S", "m", "w"},
        LookupCase{"MixedTerminators", "[S]\r\r\nk=v\rm=w\r\n", "S", "m", "w"},
        LookupCase{"AnsiLetterCase", "[\xC9T\xC9]\r\ncl\xE9=valeur \xE9", "\xC3\xA9t\xC3\xA9",
                   "CL\xC3\x89", "valeur \xC3\xA9"},
        LookupCase{"Utf8BomLetterCase", "\xEF\xBB\xBF[\xD0\x96]\r\n\xCF\x83\xCE\xAC=\xC5\x93",
                   "\xD0\xB6", "\xCE\xA3\xCE\x86", "\xC5\x93"},
        LookupCase{"SharpSIsNotFolded",
                   "[S]\r\nSTRASSE=1\r\nstra\xDF"
                   "e=2",
                   "S",
                   "stra\xC3\x9F"
                   "e",
                   "2"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LinesCase {
    const char* name;
    std::string file;
    std::vector<std::string> lines;
};

void PrintTo(const LinesCase& c, std::ostream* out) {
    *out << c.name;
}

class IniEditLinesTest : public IniEditTest, public ::testing::WithParamInterface<LinesCase> {};

TEST_P(IniEditLinesTest, SplitsAndAppendsTheEndMarker) {
    EXPECT_EQ(Open(GetParam().file).Lines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Terminators, IniEditLinesTest,
    ::testing::Values(
        LinesCase{"Empty", "", {"[]"}}, LinesCase{"NoTerminator", "a", {"a", "[]"}},
        LinesCase{"CrLf", "a\r\nb\r\n", {"a", "b", "[]"}},
        LinesCase{"CrOnly", "a\rb\r", {"a", "b", "[]"}},
        LinesCase{"LoneLf", "a\nb", {"a\nb", "[]"}}, LinesCase{"TrailingLf", "a\n", {"a\n", "[]"}},
        LinesCase{"LfThenCr", "\n\r", {"\n", "[]"}},
        LinesCase{"EmptyLines", "\r\n\r\r\n", {"", "", "", "[]"}},
        LinesCase{"CrCrLf", "a\r\r\nb", {"a", "", "b", "[]"}},
        LinesCase{"Untrimmed", "  [S] \r\n\tk = v ", {"  [S] ", "\tk = v ", "[]"}},
        LinesCase{"AnsiConverted", "caf\xE9\r\n\x80", {"caf\xC3\xA9", "\xE2\x82\xAC", "[]"}},
        LinesCase{"Utf8Bom",
                  "\xEF\xBB\xBF"
                  "caf\xC3\xA9\r\nx",
                  {"caf\xC3\xA9", "x", "[]"}},
        LinesCase{"Utf8BomOnly", "\xEF\xBB\xBF", {"[]"}},
        LinesCase{"Utf8BomInvalidBytes",
                  "\xEF\xBB\xBF"
                  "a\xFF"
                  "b\xC3",
                  {"a\xEF\xBF\xBD"
                   "b\xEF\xBF\xBD",
                   "[]"}},
        LinesCase{"BomNotAtStart", "x\xEF\xBB\xBF", {"x\xC3\xAF\xC2\xBB\xC2\xBF", "[]"}},
        LinesCase{"Utf16Le",
                  std::string("\xFF\xFE[\0S\0]\0\r\0\n\0\xE9\0=\0\x3D\xD8\x00\xDE", 20),
                  {"[S]", "\xC3\xA9=\xF0\x9F\x98\x80", "[]"}},
        LinesCase{"Utf16LeCrOnlyAndLf",
                  std::string("\xFF\xFE"
                              "a\0\r\0b\0\n\0c\0",
                              12),
                  {"a", "b\nc", "[]"}},
        LinesCase{"Utf16LeBrokenSurrogateAndOddByte",
                  std::string("\xFF\xFE\x3D\xD8"
                              "a\0"
                              "b",
                              7),
                  {"\xEF\xBF\xBD"
                   "a\xEF\xBF\xBD",
                   "[]"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniEditTest, EmptyFileFindsNothing) {
    const IniEdit ini = Open("");
    EXPECT_EQ(ini.GetValue("Trayhound Icon Set", "count"), "");
    EXPECT_EQ(ini.GetValue("", ""), "");
}

TEST_F(IniEditTest, MissingFileFails) {
    IniEdit ini;
    EXPECT_FALSE(ini.OpenIni("C:\\Sets\\missing.iconset", files, codec));
    EXPECT_TRUE(ini.Lines().empty());
    EXPECT_EQ(ini.GetValue("S", "k"), "");
}

TEST_F(IniEditTest, NothingReadFindsNothing) {
    const IniEdit ini;
    EXPECT_EQ(ini.GetValue("", ""), "");
    EXPECT_EQ(ini.GetValue("[]", ""), "");
}

TEST_F(IniEditTest, FailedOpenKeepsTheFormerContent) {
    IniEdit ini = Open("[S]\r\nk=v");
    EXPECT_FALSE(ini.OpenIni("C:\\Sets\\missing.iconset", files, codec));
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[S]", "k=v", "[]"}));
    EXPECT_EQ(ini.GetValue("S", "k"), "v");
}

TEST_F(IniEditTest, SecondOpenReplacesTheContent) {
    IniEdit ini = Open("[S]\r\nk=old\r\nonly=old");
    files.SetFile("C:\\Sets\\other.iconset", "[S]\r\nk=new");
    ASSERT_TRUE(ini.OpenIni("C:\\Sets\\other.iconset", files, codec));
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[S]", "k=new", "[]"}));
    EXPECT_EQ(ini.GetValue("S", "k"), "new");
    EXPECT_EQ(ini.GetValue("S", "only"), "");
}

TEST_F(IniEditTest, LargeIconSetFindsEveryKey) {
    constexpr int kCount = 30'000;
    std::string file = "[Trayhound Icon Set]\r\nname=Large\r\ncount=" + std::to_string(kCount);
    for (int i = 1; i <= kCount; ++i) {
        file += "\r\n" + std::to_string(i) + "=icon" + std::to_string(i) + ".bmp";
    }
    const IniEdit ini = Open(file);
    ASSERT_EQ(ini.Lines().size(), kCount + 4u);
    EXPECT_EQ(ini.GetValue("Trayhound Icon Set", "count"), std::to_string(kCount));
    for (int i = 1; i <= kCount; ++i) {
        ASSERT_EQ(ini.GetValue("Trayhound Icon Set", std::to_string(i)),
                  "icon" + std::to_string(i) + ".bmp");
    }
}

TEST_F(IniEditTest, LinesBeyondSixteenBitsAreFound) {
    std::string file = "[S]";
    for (int i = 0; i < 70'000; ++i) file += "\r\nfill" + std::to_string(i) + "=x";
    file += "\r\nlast=found";
    EXPECT_EQ(Open(file).GetValue("S", "last"), "found");
}

// Random files built from pieces chosen to hit every rule: headers that almost match, prefix
// keys, duplicate sections and keys, blank and empty lines, text before the first header.
std::string RandomIniFile(std::mt19937& random) {
    static const std::vector<std::string> pieces = {"[A]",
                                                    "[a]",
                                                    "[B]",
                                                    "[b]",
                                                    " [A]",
                                                    "[A] ",
                                                    "[",
                                                    "[]",
                                                    "[A]x",
                                                    "[\xC9]",
                                                    "[\xE9]",
                                                    "1=one",
                                                    "10=ten",
                                                    "1 = blank one",
                                                    "11",
                                                    "k=v",
                                                    "K=upper",
                                                    "kk = double",
                                                    "k",
                                                    "",
                                                    " ",
                                                    "=",
                                                    "==",
                                                    "a=b=c",
                                                    ";k=3",
                                                    "\xE9=e",
                                                    "\xC9T\xC9=summer",
                                                    "name=Blue",
                                                    "names=many",
                                                    "name",
                                                    "count = 7",
                                                    "k=\tv\t",
                                                    "x\ny=lf",
                                                    "  k=indented"};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> lineCount(0, 60);
    std::uniform_int_distribution<int> terminator(0, 2);
    std::string file;
    const int count = lineCount(random);
    for (int i = 0; i < count; ++i) {
        file += pieces[pick(random)];
        if (i + 1 < count || terminator(random) != 0)
            file += terminator(random) == 0 ? "\r" : "\r\n";
    }
    return file;
}

TEST_F(IniEditTest, IndexAnswersLikeALinearScan) {
    const std::vector<std::string> sections = {"A",        "a", "B",  "",    "\xC3\xA9",
                                               "\xC3\x89", "C", " A", "A]x", "[A"};
    const std::vector<std::string> keys = {
        "",  "1", "10",   "1=",    "11",    "k",        "K",         "kk", "k=",   " ",   "=",
        ";", "a", "name", "names", "count", "\xC3\x89", "\xC3\xA9T", "x",  "x\ny", "  k", "[A"};
    std::mt19937 random(20240611);
    int nonEmptyAnswers = 0;
    for (int file = 0; file < 400; ++file) {
        const IniEdit ini = Open(RandomIniFile(random));
        for (const auto& section : sections) {
            for (const auto& key : keys) {
                const auto expected = LinearGetValue(ini.Lines(), section, key);
                ASSERT_EQ(ini.GetValue(section, key), expected)
                    << "section '" << section << "' key '" << key << "' file #" << file;
                nonEmptyAnswers += !expected.empty();
            }
        }
    }
    // The generated files must exercise real matches, not only misses.
    EXPECT_GT(nonEmptyAnswers, 5000);
}

TEST_F(IniEditTest, IndexAnswersLikeALinearScanInALargeFile) {
    std::mt19937 random(7);
    std::string file;
    for (int i = 0; i < 300; ++i) file += RandomIniFile(random) + "\r\n";
    std::uniform_int_distribution<int> number(0, 2000);
    for (int i = 0; i < 2000; ++i) {
        file += (i % 500 == 0 ? "[N]\r\n" : "") + std::to_string(number(random)) + "=n\r\n";
    }
    const IniEdit ini = Open(file);
    for (const char* section : {"A", "B", "N", "\xC3\xA9"}) {
        for (int key = 0; key < 300; ++key) {
            const auto text = std::to_string(key);
            ASSERT_EQ(ini.GetValue(section, text), LinearGetValue(ini.Lines(), section, text))
                << section << " " << text;
        }
    }
}

struct UpperCaseCase {
    const char* name;
    std::string text;
    std::string expected;
};

void PrintTo(const UpperCaseCase& c, std::ostream* out) {
    *out << c.name;
}

class IniEditUpperCaseTest : public ::testing::TestWithParam<UpperCaseCase> {};

TEST_P(IniEditUpperCaseTest, Maps) {
    EXPECT_EQ(IniEdit::UpperCase(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Letters, IniEditUpperCaseTest,
    ::testing::Values(
        UpperCaseCase{"Ascii", "az AZ 09 [x]=_", "AZ AZ 09 [X]=_"},
        UpperCaseCase{"Latin1", "\xC3\xA0\xC3\xA9\xC3\xBE", "\xC3\x80\xC3\x89\xC3\x9E"},
        UpperCaseCase{"DivisionSignStays", "\xC3\xB7", "\xC3\xB7"},
        UpperCaseCase{"YDiaeresis", "\xC3\xBF", "\xC5\xB8"},
        UpperCaseCase{"SharpSStays", "\xC3\x9F", "\xC3\x9F"},
        UpperCaseCase{"LatinExtendedA", "\xC4\x81\xC5\x93\xC5\xA1\xC5\xBE\xC4\xBA\xC5\x88",
                      "\xC4\x80\xC5\x92\xC5\xA0\xC5\xBD\xC4\xB9\xC5\x87"},
        UpperCaseCase{"DotlessIStays", "\xC4\xB1", "\xC4\xB1"},
        UpperCaseCase{"Greek", "\xCE\xB1\xCF\x82\xCF\x83\xCE\xAC\xCF\x8E",
                      "\xCE\x91\xCE\xA3\xCE\xA3\xCE\x86\xCE\x8F"},
        UpperCaseCase{"Cyrillic", "\xD0\xB0\xD1\x8F\xD1\x91", "\xD0\x90\xD0\xAF\xD0\x81"},
        UpperCaseCase{"OtherScriptsStay", "\xE6\x97\xA5\xF0\x9F\x98\x80",
                      "\xE6\x97\xA5\xF0\x9F\x98\x80"},
        UpperCaseCase{"InvalidBytesReplaced", "a\xFF\xC3", "A\xEF\xBF\xBD\xEF\xBF\xBD"},
        UpperCaseCase{"OverlongReplaced", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        UpperCaseCase{"SurrogateReplaced", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}),
    [](const auto& info) { return std::string(info.param.name); });

std::string Utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Prefix matching relies on every character mapping to exactly one character, and on
// upper-casing an upper-cased text changing nothing.
TEST(IniEditUpperCase, OneCharacterForOneAndStable) {
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const auto upper = IniEdit::UpperCase(Utf8Of(c));
        ASSERT_EQ(CharacterCount(upper), 1u) << std::hex << static_cast<unsigned>(c);
        ASSERT_EQ(IniEdit::UpperCase(upper), upper) << std::hex << static_cast<unsigned>(c);
    }
}

}  // namespace
}  // namespace trayhound
