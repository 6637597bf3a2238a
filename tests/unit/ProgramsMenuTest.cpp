#include <gtest/gtest.h>

#include "tray/ProgramsMenu.h"

namespace trayhound {
namespace {

LaunchItems Collection(std::initializer_list<std::tuple<const char*, const char*, int>> items) {
    LaunchItems document;
    for (const auto& [caption, command, icon] : items) document.Add(caption, command, icon, -1);
    return document;
}

TEST(BuildProgramsMenu, AnEmptyCollectionShowsOneBlankEntryThatRunsNothing) {
    LaunchItems document;
    const auto entries = BuildProgramsMenu(document, 5);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].caption, "");
    EXPECT_FALSE(entries[0].separator);
    EXPECT_EQ(entries[0].icon, 0);
    EXPECT_FALSE(CommandToRun(entries[0]).has_value());
}

TEST(BuildProgramsMenu, EntriesFollowTheCollectionOrderWithoutTheBlankEntry) {
    auto document = Collection({{"&Notepad", "notepad.exe", 1},
                                {"Docs", "C:\\Docs", 2},
                                {"Web", "https://example.org/", 5}});
    const auto entries = BuildProgramsMenu(document, 5);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].caption, "&Notepad");
    EXPECT_EQ(entries[1].caption, "Docs");
    EXPECT_EQ(entries[2].caption, "Web");
    EXPECT_EQ(CommandToRun(entries[0]), "notepad.exe");
    EXPECT_EQ(CommandToRun(entries[1]), "C:\\Docs");
    EXPECT_EQ(CommandToRun(entries[2]), "https://example.org/");
    EXPECT_EQ(entries[0].icon, 1);
    EXPECT_EQ(entries[2].icon, 5);
}

TEST(BuildProgramsMenu, BackslashTShowsTheRestInTheSecondColumn) {
    auto document = Collection({{"Mail\\tCtrl+M", "mailto:", 4}, {"a\\tb\\tc", "x", 0}});
    const auto entries = BuildProgramsMenu(document, 5);
    EXPECT_EQ(entries[0].caption, "Mail\tCtrl+M");
    EXPECT_EQ(entries[1].caption, "a\tb\tc");
}

TEST(BuildProgramsMenu, ADashIsASeparatorThatRunsNothing) {
    auto document = Collection({{"One", "one.exe", 1}, {"-", "ignored.exe", 2}, {"Two", "two", 0}});
    const auto entries = BuildProgramsMenu(document, 5);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_FALSE(entries[0].separator);
    EXPECT_TRUE(entries[1].separator);
    EXPECT_FALSE(entries[2].separator);
    EXPECT_FALSE(CommandToRun(entries[1]).has_value());
}

TEST(BuildProgramsMenu, OnlyAWholeDashIsASeparator) {
    auto document = Collection({{"--", "a", 0}, {" -", "b", 0}, {"-\\t", "c", 0}});
    for (const auto& entry : BuildProgramsMenu(document, 5)) EXPECT_FALSE(entry.separator);
}

TEST(BuildProgramsMenu, AnItemWithoutCommandRunsNothing) {
    auto document = Collection({{"Empty", "", 1}});
    const auto entries = BuildProgramsMenu(document, 5);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].caption, "Empty");
    EXPECT_FALSE(CommandToRun(entries[0]).has_value());
}

TEST(BuildProgramsMenu, IconsAboveTheBoundAreResetInTheCollection) {
    auto document = Collection({{"Five", "5", 5}, {"Seven", "7", 7}, {"Dash", "-", 9}});
    const auto entries = BuildProgramsMenu(document, 5);
    EXPECT_EQ(entries[0].icon, 5);
    EXPECT_EQ(entries[1].icon, 0);
    EXPECT_EQ(document.Item(1)->Icon(), 5);
    EXPECT_EQ(document.Item(2)->Icon(), 0);
    EXPECT_EQ(document.Item(3)->Icon(), 0);
}

TEST(BuildProgramsMenu, ExtraIconsWithinALargerBoundKeepTheirNumbers) {
    auto document = Collection({{"Six", "6", 6}, {"Eight", "8", 8}, {"Nine", "9", 9}});
    const auto entries = BuildProgramsMenu(document, 8);
    EXPECT_EQ(entries[0].icon, 6);
    EXPECT_EQ(entries[1].icon, 8);
    EXPECT_EQ(entries[2].icon, 0);
}

TEST(BuildProgramsMenu, ANegativeIconShowsNoPictureAndIsReset) {
    auto document = Collection({{"Bad", "x", -2}});
    const auto entries = BuildProgramsMenu(document, 5);
    EXPECT_EQ(entries[0].icon, 0);
    EXPECT_EQ(document.Item(1)->Icon(), 0);
}

TEST(BuildProgramsMenu, ARebuildAfterARemovalHasOneEntryFewer) {
    auto document = Collection({{"A", "a", 0}, {"B", "b", 0}, {"C", "c", 0}});
    ASSERT_EQ(BuildProgramsMenu(document, 5).size(), 3u);
    document.Remove(2);
    const auto entries = BuildProgramsMenu(document, 5);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].caption, "C");
}

}  // namespace
}  // namespace trayhound
