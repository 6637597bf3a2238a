#include <gtest/gtest.h>

#include <string>

#include "support/Error.h"
#include "support/cCommonDialog.h"

namespace trayhound {
namespace {

using namespace std::string_literals;
using common_dialog::ApplyAnswer;
using common_dialog::ConvertFilter;
using common_dialog::FileDialogAnswer;
using common_dialog::FilterPair;

constexpr const char* kItemEditorFilter =
    "Executables (*.exe; *.lnk; *.vbs; *.js; *.wsf)| *.exe; *.lnk; *.vbs; *.js; *.wsf|All Files| "
    "*.*";

struct FlagsCase {
    bool fileMustExist;
    bool multiSelect;
    bool readOnly;
    bool hideReadOnly;
    std::uint32_t callerFlags;
    std::uint32_t expected;
};

class OpenFileFlagsTest : public ::testing::TestWithParam<FlagsCase> {};

TEST_P(OpenFileFlagsTest, ComposesFromTheArgumentsAndTheCallersFlags) {
    OpenFileArgs args;
    args.FileMustExist = GetParam().fileMustExist;
    args.MultiSelect = GetParam().multiSelect;
    args.ReadOnly = GetParam().readOnly;
    args.HideReadOnly = GetParam().hideReadOnly;
    args.flags = GetParam().callerFlags;
    EXPECT_EQ(common_dialog::OpenFileFlags(args), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    , OpenFileFlagsTest,
    ::testing::Values(FlagsCase{false, false, false, false, 0, 0},
                      FlagsCase{true, false, false, true, 0, 0x1004},  // both program callers
                      FlagsCase{false, true, false, false, 0, 0x200},
                      FlagsCase{false, false, true, false, 0, 0x1},
                      FlagsCase{true, true, true, true, 0, 0x1205},
                      FlagsCase{false, false, false, false, 0x20 | 0x40, 0},  // hook, template
                      FlagsCase{false, false, false, false, 0x80000 | 0x60, 0x80000},
                      FlagsCase{true, false, false, false, 0x800, 0x1800}));

TEST(SaveFileFlagsTest, AlwaysHidesReadOnlyAndAddsTheOverwritePrompt) {
    SaveFileArgs args;
    EXPECT_EQ(common_dialog::SaveFileFlags(args), 0x4u);
    args.OverWritePrompt = true;
    args.flags = 0x20 | 0x800;
    EXPECT_EQ(common_dialog::SaveFileFlags(args), 0x4u | 0x2u | 0x800u);
}

struct ConvertCase {
    std::string filter;
    std::string converted;
};

class ConvertFilterTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertFilterTest, SplitsAtBarsAndColonsAndClosesWithTwoNuls) {
    EXPECT_EQ(ConvertFilter(GetParam().filter), GetParam().converted);
}

INSTANTIATE_TEST_SUITE_P(
    , ConvertFilterTest,
    ::testing::Values(
        ConvertCase{"", "\0\0"s},
        ConvertCase{"Trayhound Icon Sets (*.iconset)|*.iconset",
                    "Trayhound Icon Sets (*.iconset)\0*.iconset\0\0"s},
        ConvertCase{kItemEditorFilter,
                    "Executables (*.exe; *.lnk; *.vbs; *.js; *.wsf)\0 *.exe; *.lnk; *.vbs; *.js; "
                    "*.wsf\0All Files\0 *.*\0\0"s},
        ConvertCase{"Sets: mine|*.set", "Sets\0 mine\0*.set\0\0"s},
        ConvertCase{"a||b", "a\0\0b\0\0"s}));

struct PairCase {
    std::string filter;  // before conversion
    std::int32_t index;
    std::string pair;
};

class FilterPairTest : public ::testing::TestWithParam<PairCase> {};

TEST_P(FilterPairTest, FindsThePairByItsOneBasedIndex) {
    EXPECT_EQ(FilterPair(ConvertFilter(GetParam().filter), GetParam().index), GetParam().pair);
}

INSTANTIATE_TEST_SUITE_P(
    , FilterPairTest,
    ::testing::Values(
        PairCase{kItemEditorFilter, 1,
                 "Executables (*.exe; *.lnk; *.vbs; *.js; *.wsf)\0 *.exe; *.lnk; *.vbs; *.js; "
                 "*.wsf"s},
        PairCase{kItemEditorFilter, 2, "All Files\0 *.*"s}, PairCase{kItemEditorFilter, 3, ""},
        PairCase{kItemEditorFilter, 4, ""}, PairCase{kItemEditorFilter, 0, ""},
        PairCase{kItemEditorFilter, -1, ""},
        PairCase{"Trayhound Icon Sets (*.iconset)|*.iconset", 1,
                 "Trayhound Icon Sets (*.iconset)\0*.iconset"s},
        PairCase{"", 1, ""},
        // A colon in a description splits it: the pairs shift by one text.
        PairCase{"Sets: mine|*.set|All|*.*", 1, "Sets\0 mine"s},
        PairCase{"Sets: mine|*.set|All|*.*", 2, "*.set\0All"s},
        PairCase{"Sets: mine|*.set|All|*.*", 3, "*.*\0"s}));

TEST(FilterPairRawTest, TextWithoutAnyNulHasNoPair) {
    EXPECT_EQ(FilterPair("no separators", 1), "");
}

TEST(TextBeforeNulTest, CutsAtTheFirstNul) {
    EXPECT_EQ(common_dialog::TextBeforeNul("C:\\dir\0a.exe\0b.exe\0\0"s), "C:\\dir");
    EXPECT_EQ(common_dialog::TextBeforeNul("whole"), "whole");
    EXPECT_EQ(common_dialog::TextBeforeNul(""), "");
}

TEST(Utf16LengthTest, CountsUtf16CodeUnits) {
    EXPECT_EQ(common_dialog::Utf16Length(""), 0u);
    EXPECT_EQ(common_dialog::Utf16Length("abc"), 3u);
    EXPECT_EQ(common_dialog::Utf16Length("\xC3\xA9t\xC3\xA9"), 3u);  // été
    EXPECT_EQ(common_dialog::Utf16Length("\xE2\x82\xAC"), 1u);       // euro sign
    EXPECT_EQ(common_dialog::Utf16Length("\xF0\x9F\x98\x80"), 2u);   // an emoji: a pair
}

TEST(CheckBufferTextTest, RefusesMoreThan260Characters) {
    EXPECT_NO_THROW(common_dialog::CheckBufferText(std::string(260, 'x'), "source"));
    EXPECT_NO_THROW(common_dialog::CheckBufferText(std::string(130 * 2, '\0'), "source"));
    try {
        common_dialog::CheckBufferText(std::string(261, 'x'), "Trayhound.cCommonDialog.X()");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::kInvalidProcedureCall);
        EXPECT_EQ(error.Source(), "Trayhound.cCommonDialog.X()");
    }
    // 131 characters of two UTF-16 units each do not fit either.
    std::string emoji;
    for (int i = 0; i < 131; ++i) emoji += "\xF0\x9F\x98\x80";
    EXPECT_THROW(common_dialog::CheckBufferText(emoji, "s"), Error);
}

OpenFileArgs ItemEditorArgs() {
    OpenFileArgs args;
    args.FileName = "previous.exe";
    args.FileTitle = "previous.exe";
    args.FileMustExist = true;
    args.HideReadOnly = true;
    args.Filter = kItemEditorFilter;
    args.FilterIndex = 1;
    return args;
}

TEST(ApplyAnswerTest, ConfirmedWritesPathTitleFlagsIndexAndPair) {
    OpenFileArgs args = ItemEditorArgs();
    const FileDialogAnswer answer{1, "C:\\Tools\\run.exe\0garbage"s, "run.exe\0"s, 0x1004 | 0x800,
                                  2};
    EXPECT_TRUE(ApplyAnswer(args, ConvertFilter(args.Filter), answer));
    EXPECT_EQ(args.FileName, "C:\\Tools\\run.exe");
    EXPECT_EQ(args.FileTitle, "run.exe");
    EXPECT_EQ(args.flags, 0x1804u);
    EXPECT_EQ(args.FilterIndex, 2);
    EXPECT_EQ(args.Filter, "All Files\0 *.*"s);
    EXPECT_FALSE(args.ReadOnly);
    EXPECT_TRUE(args.FileMustExist);
}

TEST(ApplyAnswerTest, ReturnedReadOnlyFlagSetsReadOnly) {
    OpenFileArgs args = ItemEditorArgs();
    const FileDialogAnswer answer{1, "C:\\a.exe"s, "a.exe"s, 0x1001, 1};
    EXPECT_TRUE(ApplyAnswer(args, ConvertFilter(args.Filter), answer));
    EXPECT_TRUE(args.ReadOnly);
}

TEST(ApplyAnswerTest, MultiSelectStillReturnsOnlyTheTextBeforeTheFirstNul) {
    OpenFileArgs args = ItemEditorArgs();
    args.MultiSelect = true;
    const FileDialogAnswer answer{1, "C:\\dir\0a.exe\0b.exe\0\0"s, ""s, 0x1204, 1};
    EXPECT_TRUE(ApplyAnswer(args, ConvertFilter(args.Filter), answer));
    EXPECT_EQ(args.FileName, "C:\\dir");
}

class CancelledAnswerTest : public ::testing::TestWithParam<std::int32_t> {};

// Cancel, failure and any result other than 1 look alike to the caller.
TEST_P(CancelledAnswerTest, EmptiesTheNamesAndTheFilter) {
    OpenFileArgs args = ItemEditorArgs();
    args.ReadOnly = true;
    args.flags = 0x80000;
    const FileDialogAnswer answer{GetParam(), "C:\\chosen.exe"s, "chosen.exe"s, 0x1005, 2};
    EXPECT_FALSE(ApplyAnswer(args, ConvertFilter(args.Filter), answer));
    EXPECT_EQ(args.FileName, "");
    EXPECT_EQ(args.FileTitle, "");
    EXPECT_EQ(args.FilterIndex, -1);
    EXPECT_EQ(args.flags, 0u);
    EXPECT_EQ(args.Filter, "");
    EXPECT_TRUE(args.ReadOnly);  // unchanged
    EXPECT_TRUE(args.FileMustExist);
}

INSTANTIATE_TEST_SUITE_P(, CancelledAnswerTest, ::testing::Values(0, 2, -1));

TEST(ApplyAnswerTest, SaveDialogReadsBackAsTheOpenDialogDoes) {
    SaveFileArgs args;
    args.Filter = "Text|*.txt|All|*.*";
    const FileDialogAnswer answer{1, "C:\\out.txt"s, "out.txt"s, 0x6, 1};
    EXPECT_TRUE(ApplyAnswer(args, ConvertFilter(args.Filter), answer));
    EXPECT_EQ(args.FileName, "C:\\out.txt");
    EXPECT_EQ(args.Filter, "Text\0*.txt"s);
    EXPECT_FALSE(ApplyAnswer(args, ConvertFilter(args.Filter), FileDialogAnswer{}));
    EXPECT_EQ(args.FilterIndex, -1);
}

}  // namespace
}  // namespace trayhound
