#include "about/AboutModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trayhound::about {
namespace {

struct VersionCase {
    VersionNumbers version;
    const char* expected;
};

class VersionLineTest : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionLineTest, ExpandsStageAndBuildFromTheRevision) {
    EXPECT_EQ(VersionLine(GetParam().version), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Revisions, VersionLineTest,
                         testing::Values(VersionCase{{1, 0, 2214}, "Version 1.0 beta 2 (build 14)"},
                                         VersionCase{{1, 0, 1105}, "Version 1.0 alpha 1 (build 5)"},
                                         VersionCase{{1, 0, 305}, "Version 1.0 (build 5)"},
                                         VersionCase{{1, 0, 7}, "Version 1.0 (build 7)"},
                                         VersionCase{{1, 0, 0}, "Version 1.0 (build 0)"},
                                         VersionCase{{2, 3, 2205}, "Version 2.3 beta 2 (build 5)"},
                                         VersionCase{{1, 0, 21}, "Version 1.0 beta 1 (build 21)"},
                                         // One digit: the stage number is the blank alone.
                                         VersionCase{{1, 0, 1}, "Version 1.0 alpha  (build 1)"},
                                         VersionCase{{1, 0, 2}, "Version 1.0 beta  (build 2)"},
                                         VersionCase{{1, 0, 65535}, "Version 1.0 (build 35)"},
                                         VersionCase{{10, 12, 1900},
                                                     "Version 10.12 alpha 9 (build 0)"}));

TEST(AboutTextsTest, PutsTheTitleIntoEveryTemplate) {
    const auto texts = ExpandTexts("Trayhound", {1, 0, 305});
    EXPECT_EQ(texts.caption, "About Trayhound");
    EXPECT_EQ(texts.title, "Trayhound");
    EXPECT_EQ(texts.version, "Version 1.0 (build 5)");
    EXPECT_EQ(texts.description,
              "If you find a bug, or have any idea of improving Trayhound, please mail me:");
}

TEST(AboutTextsTest, TitleHoldingAPlaceholderIsInsertedOnce) {
    const auto texts = ExpandTexts("A%apptitleB", {1, 0, 7});
    EXPECT_EQ(texts.caption, "About A%apptitleB");
    EXPECT_EQ(texts.title, "A%apptitleB");
}

struct ReplaceCase {
    const char* text;
    const char* placeholder;
    const char* value;
    const char* expected;
};

class ReplaceAllTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAllTest, ReplacesEveryOccurrence) {
    const auto& c = GetParam();
    EXPECT_EQ(ReplaceAll(c.text, c.placeholder, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, ReplaceAllTest,
                         testing::Values(ReplaceCase{"%a and %a", "%a", "x", "x and x"},
                                         ReplaceCase{"%a%a", "%a", "%a%a", "%a%a%a%a"},
                                         ReplaceCase{"none here", "%a", "x", "none here"},
                                         ReplaceCase{"%a", "%a", "", ""},
                                         ReplaceCase{"%majorminor", "%major", "1", "1minor"},
                                         ReplaceCase{"text", "", "x", "text"}));

struct RoundCase {
    double value;
    long expected;
};

class RoundHalfEvenTest : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, TakesTheNearestAndHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEvenTest,
                         testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2},
                                         RoundCase{3.5, 4}, RoundCase{-0.5, 0}, RoundCase{-1.5, -2},
                                         RoundCase{-2.5, -2}, RoundCase{2.4999, 2},
                                         RoundCase{2.5001, 3}, RoundCase{211.0, 211},
                                         RoundCase{-0.2, 0}));

TEST(GradientTest, OneColumnPerPixelStartingWithTheStartColour) {
    for (const int width : {1, 2, 49, 338, 345, 507}) {
        const auto columns = GradientColumns(kBannerStart, kBannerEnd, width);
        ASSERT_EQ(columns.size(), static_cast<std::size_t>(width));
        EXPECT_EQ(columns.front(), kBannerStart) << width;
    }
}

TEST(GradientTest, StepsHalfwayValuesToTheEvenNeighbour) {
    // Steps of 0.5: 0, 0.5, 1, 1.5, 2, 2.5 round to 0, 0, 1, 2, 2, 2.
    const auto columns = GradientColumns({0, 10, 20}, {3, 7, 23}, 6);
    const std::vector<Rgb> expected{{0, 10, 20}, {0, 10, 20}, {1, 9, 21},
                                    {2, 8, 22},  {2, 8, 22},  {2, 8, 22}};
    EXPECT_EQ(columns, expected);
}

TEST(GradientTest, MovesSteadilyTowardsButNeverPastTheEndColour) {
    const auto columns = GradientColumns(kBannerStart, kBannerEnd, 345);
    for (std::size_t x = 1; x < columns.size(); ++x) {
        EXPECT_GE(columns[x].red, columns[x - 1].red);
        EXPECT_GE(columns[x].green, columns[x - 1].green);
        EXPECT_GE(columns[x].blue, columns[x - 1].blue);
    }
    // The last column is one step short of the end colour.
    EXPECT_EQ(columns.back(), (Rgb{108, 140, 228}));
    EXPECT_EQ(columns[columns.size() / 2], (Rgb{104, 133, 219}));
}

TEST(GradientTest, EmptyForNoWidth) {
    EXPECT_TRUE(GradientColumns(kBannerStart, kBannerEnd, 0).empty());
    EXPECT_TRUE(GradientColumns(kBannerStart, kBannerEnd, -3).empty());
}

AppProperties SampleProperties() {
    AppProperties p;
    p.title = "Trayhound";
    p.version = {1, 0, 2214};
    p.comments = "Launcher";
    p.companyName = "Wexmoor";
    p.exeName = "Trayhound";
    p.fileDescription = "Tray launcher";
    p.helpFile = "C:\\Apps\\Trayhound.chm";
    p.hInstance = 5368709120;
    p.legalCopyright = "(c) Wexmoor";
    p.legalTrademarks = "";
    p.logMode = 0;
    p.logPath = "";
    p.nonModalAllowed = true;
    p.path = "C:\\Apps";
    p.prevInstance = false;
    p.productName = "Trayhound";
    p.retainedProject = false;
    p.startMode = 0;
    p.taskVisible = false;
    p.threadId = 4321;
    p.unattendedApp = false;
    return p;
}

TEST(PropertyRowsTest, HasTheTwentyThreeNamesInOrder) {
    const std::vector<std::string> expected{
        "Title",        "Major",       "Minor",           "Revision",
        "Comments",     "CompanyName", "EXEName",         "FileDescription",
        "HelpFile",     "hInstance",   "LegalCopyright",  "LegalTrademarks",
        "LogMode",      "LogPath",     "NonModalAllowed", "Path",
        "PrevInstance", "ProductName", "RetainedProject", "StartMode",
        "TaskVisible",  "ThreadID",    "UnattendedApp"};
    const auto rows = PropertyRows(SampleProperties());
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].substr(0, rows[i].find('\t')), expected[i]) << i;
    }
}

struct RowCase {
    std::size_t row;  // 1-based, as the list shows them
    const char* expected;
};

class PropertyRowTest : public testing::TestWithParam<RowCase> {};

TEST_P(PropertyRowTest, NameTabsAndValue) {
    const auto rows = PropertyRows(SampleProperties());
    EXPECT_EQ(rows.at(GetParam().row - 1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PropertyRowTest,
    testing::Values(RowCase{1, "Title\t\tTrayhound"}, RowCase{2, "Major\t\t1"},
                    RowCase{3, "Minor\t\t0"}, RowCase{4, "Revision\t\t2214"},
                    RowCase{5, "Comments\tLauncher"}, RowCase{6, "CompanyName\tWexmoor"},
                    RowCase{7, "EXEName\t\tTrayhound"},
                    RowCase{8, "FileDescription\tTray launcher"},
                    RowCase{9, "HelpFile\t\tC:\\Apps\\Trayhound.chm"},
                    RowCase{10, "hInstance\t5368709120"},
                    RowCase{11, "LegalCopyright\t(c) Wexmoor"}, RowCase{12, "LegalTrademarks\t"},
                    RowCase{13, "LogMode\t\t0"}, RowCase{14, "LogPath\t\t"},
                    RowCase{15, "NonModalAllowed\tTrue"}, RowCase{16, "Path\t\tC:\\Apps"},
                    RowCase{17, "PrevInstance\tFalse"}, RowCase{18, "ProductName\tTrayhound"},
                    RowCase{19, "RetainedProject\tFalse"}, RowCase{20, "StartMode\t0"},
                    RowCase{21, "TaskVisible\tFalse"}, RowCase{22, "ThreadID\t\t4321"},
                    RowCase{23, "UnattendedApp\tFalse"}));

TEST(PropertyRowsTest, BooleansReadTrueOrFalse) {
    auto p = SampleProperties();
    p.nonModalAllowed = false;
    p.prevInstance = true;
    p.retainedProject = true;
    p.taskVisible = true;
    p.unattendedApp = true;
    const auto rows = PropertyRows(p);
    EXPECT_EQ(rows[14], "NonModalAllowed\tFalse");
    EXPECT_EQ(rows[16], "PrevInstance\tTrue");
    EXPECT_EQ(rows[18], "RetainedProject\tTrue");
    EXPECT_EQ(rows[20], "TaskVisible\tTrue");
    EXPECT_EQ(rows[22], "UnattendedApp\tTrue");
}

TEST(PropertyRowsTest, EveryRowSplitsBackIntoItsNameAndValue) {
    auto p = SampleProperties();
    p.comments = "with\ttab";  // a TAB inside a value keeps only what follows it
    const auto rows = PropertyRows(p);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto split = SplitPropertyRow(rows[i]);
        ASSERT_TRUE(split) << rows[i];
        EXPECT_EQ(split->name, kPropertyNames[i].name);
    }
    EXPECT_EQ(SplitPropertyRow(rows[16])->value, "False");
    EXPECT_EQ(SplitPropertyRow(rows[4])->value, "tab");
}

struct SplitCase {
    const char* row;
    const char* name;
    const char* value;
};

class SplitPropertyRowTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitPropertyRowTest, NameBeforeFirstTabValueAfterLastTab) {
    const auto split = SplitPropertyRow(GetParam().row);
    ASSERT_TRUE(split);
    EXPECT_EQ(split->name, GetParam().name);
    EXPECT_EQ(split->value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Rows, SplitPropertyRowTest,
                         testing::Values(SplitCase{"Title\t\tTrayhound", "Title", "Trayhound"},
                                         SplitCase{"PrevInstance\tFalse", "PrevInstance", "False"},
                                         SplitCase{"LogPath\t\t", "LogPath", ""},
                                         SplitCase{"a\tb\tc", "a", "c"},
                                         SplitCase{"\tvalue", "", "value"},
                                         SplitCase{"Path\t\tC:\\A B", "Path", "C:\\A B"}));

TEST(SplitPropertyRowTest, TextWithoutTabIsNoRow) {
    EXPECT_FALSE(SplitPropertyRow("Thanks"));
    EXPECT_FALSE(SplitPropertyRow(""));
}

struct KeyStep {
    int key;
    Modifiers modifiers;
    bool consumed;
    View view;
    const char* heading;
};

struct ViewCase {
    const char* name;
    std::vector<KeyStep> steps;
};

class AboutViewsTest : public testing::TestWithParam<ViewCase> {};

TEST_P(AboutViewsTest, FollowsTheKeys) {
    AboutViews views("Version 1.0 (build 5)");
    ASSERT_EQ(views.Current(), View::Main);
    ASSERT_EQ(views.Heading(), "Version 1.0 (build 5)");
    int step = 0;
    for (const auto& s : GetParam().steps) {
        ++step;
        EXPECT_EQ(views.KeyDown(s.key, s.modifiers), s.consumed) << "step " << step;
        EXPECT_EQ(views.Current(), s.view) << "step " << step;
        EXPECT_EQ(views.Heading(), s.heading) << "step " << step;
        EXPECT_EQ(views.PropertiesVisible(), s.view == View::ApplicationInfo) << "step " << step;
        EXPECT_EQ(views.ThanksVisible(), s.view == View::Thanks) << "step " << step;
    }
}

constexpr Modifiers kNone{};
constexpr Modifiers kShift{true, false, false};
constexpr Modifiers kCtrl{false, true, false};
constexpr Modifiers kAlt{false, false, true};
constexpr const char* kVersion = "Version 1.0 (build 5)";

INSTANTIATE_TEST_SUITE_P(
    Keys, AboutViewsTest,
    testing::Values(ViewCase{"F2ThenF1RestoresTheVersion",
                             {{kKeyF2, kNone, true, View::ApplicationInfo, "Application Info"},
                              {kKeyF1, kNone, true, View::Main, kVersion}}},
                    ViewCase{"F3ShowsThanks", {{kKeyF3, kNone, true, View::Thanks, "Thanks to:"}}},
                    ViewCase{"F2ThenF3ThenF2",
                             {{kKeyF2, kNone, true, View::ApplicationInfo, "Application Info"},
                              {kKeyF3, kNone, true, View::Thanks, "Thanks to:"},
                              {kKeyF2, kNone, true, View::ApplicationInfo, "Application Info"}}},
                    ViewCase{"F1InTheMainViewIsStillConsumed",
                             {{kKeyF1, kNone, true, View::Main, kVersion}}},
                    ViewCase{"ShiftF2PassesOn", {{kKeyF2, kShift, false, View::Main, kVersion}}},
                    ViewCase{"CtrlF3PassesOn", {{kKeyF3, kCtrl, false, View::Main, kVersion}}},
                    ViewCase{"AltF2PassesOn", {{kKeyF2, kAlt, false, View::Main, kVersion}}},
                    ViewCase{"ShiftF1LeavesTheInfoView",
                             {{kKeyF2, kNone, true, View::ApplicationInfo, "Application Info"},
                              {kKeyF1, kShift, false, View::ApplicationInfo, "Application Info"}}},
                    ViewCase{"OtherKeysPassOn",
                             {{0x73, kNone, false, View::Main, kVersion},  // F4
                              {0x0D, kNone, false, View::Main, kVersion},  // Enter
                              {'A', kNone, false, View::Main, kVersion}}}),
    [](const testing::TestParamInfo<ViewCase>& info) { return std::string(info.param.name); });

struct TwipsCase {
    int twips;
    int dpi;
    int pixels;
};

class TwipsToPixelsTest : public testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsToPixelsTest, UsesTheRealDpi) {
    EXPECT_EQ(TwipsToPixels(GetParam().twips, GetParam().dpi), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Values, TwipsToPixelsTest,
                         testing::Values(TwipsCase{5070, 96, 338}, TwipsCase{3030, 96, 202},
                                         TwipsCase{15, 96, 1}, TwipsCase{7, 96, 0},
                                         TwipsCase{8, 96, 1}, TwipsCase{5070, 144, 507},
                                         TwipsCase{5070, 120, 423}, TwipsCase{735, 192, 98},
                                         TwipsCase{0, 96, 0}, TwipsCase{-15, 96, -1},
                                         TwipsCase{-8, 96, -1}));

TEST(TwipsTest, FiftyPixelsInTwips) {
    EXPECT_EQ(PixelsToTwips(50, 96), 750);
    EXPECT_EQ(PixelsToTwips(50, 144), 500);
    EXPECT_EQ(PixelsToTwips(1, 120), 12);
}

TEST(TwipsTest, FontHeightsScaleWithDpi) {
    EXPECT_EQ(FontHeight(design::kDefaultFontPoints, 96), -11);
    EXPECT_EQ(FontHeight(design::kTitleFontPoints, 96), -27);
    EXPECT_EQ(FontHeight(design::kXpFontPoints, 96), -21);
    EXPECT_EQ(FontHeight(design::kDefaultFontPoints, 192), -22);
    EXPECT_EQ(FontHeight(design::kDefaultFontPoints, 144), -17);  // 16.5 rounds away from zero
}

TEST(TwipsTest, RectanglesThatTouchInTwipsTouchInPixels) {
    for (const int dpi : {96, 110, 120, 144, 168, 192, 240}) {
        const auto banner = ToPixels(design::kPicture1, dpi);
        const auto strip = ToPixels(design::kImage1, dpi);
        EXPECT_EQ(strip.top + strip.height, banner.top + banner.height) << dpi;
        const auto panel = ToPixels(design::kPicScreen2, dpi);
        const auto thanks = ToPixels(design::kLstThanks, dpi);
        EXPECT_EQ(panel.top, thanks.top) << dpi;
    }
    EXPECT_EQ(ToPixels(design::kCmdOK, 96), (PixelRect{240, 168, 84, 23}));
    // Edges at 73.35 and 74.55 pixels: each rounds on its own, so 1.2 pixels wide becomes 2.
    EXPECT_EQ(ToPixels({1467, 0, 24, 15}, 72), (PixelRect{73, 0, 2, 1}));
}

struct CornerCase {
    PixelRect area;
    int width;
    int height;
    Point expected;
};

class LowerRightCornerTest : public testing::TestWithParam<CornerCase> {};

TEST_P(LowerRightCornerTest, FiftyPixelsInFromRightAndBottom) {
    const auto& c = GetParam();
    EXPECT_EQ(LowerRightCorner(c.area, c.width, c.height, kCornerMargin), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Areas, LowerRightCornerTest,
                         testing::Values(CornerCase{{0, 0, 1024, 768}, 344, 230, {630, 488}},
                                         CornerCase{{0, 0, 1920, 1040}, 344, 230, {1526, 760}},
                                         CornerCase{{100, 40, 800, 600}, 300, 200, {550, 390}},
                                         CornerCase{
                                             {-1280, 0, 1280, 1024}, 344, 230, {-394, 744}}));

}  // namespace
}  // namespace trayhound::about
