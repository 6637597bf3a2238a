#include "support/FormPosition.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MemorySettingsStore.h"
#include "support/Error.h"

namespace trayhound {
namespace {

// A window on a 1920 x 1080 pixel screen; bounds and state in twips, as the routines see them.
class FakeWindow : public FormPositionView {
  public:
    FakeWindow(std::string name, double twipsPerPixel)
        : name_(std::move(name)), tpp_(twipsPerPixel) {}

    std::string Name() const override { return name_; }
    int WindowState() const override { return state; }
    void SetWindowState(int value) override {
        state = value;
        calls.push_back("state=" + std::to_string(value));
    }
    double Left() const override { return left; }
    double Top() const override { return top; }
    double Width() const override { return width; }
    double Height() const override { return height; }
    void SetLeft(double twips) override { left = twips; }
    void SetTop(double twips) override { top = twips; }
    void SetWidth(double twips) override { width = twips; }
    void SetHeight(double twips) override { height = twips; }
    double ScreenWidth() const override { return 1920 * tpp_; }
    double ScreenHeight() const override { return 1080 * tpp_; }
    double TwipsPerPixelX() const override { return tpp_; }
    double TwipsPerPixelY() const override { return tpp_; }
    std::string DecimalSeparator() const override { return separator; }

    int state = 0;
    double left = 0;
    double top = 0;
    double width = 4560;
    double height = 4050;
    std::string separator = ".";
    std::vector<std::string> calls;

  private:
    std::string name_;
    double tpp_;
};

// Records every write in order as "section/key=value".
class RecordingStore : public MemorySettingsStore {
  public:
    void Write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) override {
        writes.push_back(std::string(section) + "/" + std::string(key) + "=" + std::string(value));
        MemorySettingsStore::Write(application, section, key, value);
    }
    std::vector<std::string> writes;
};

class FormPositionTest : public ::testing::Test {
  protected:
    void Store(std::string_view key, std::string_view value, std::string_view section = "frmList") {
        store.MemorySettingsStore::Write(kAppTitle, section, key, value);
    }

    RecordingStore store;
    FakeWindow window{"frmList", 15};
};

TEST_F(FormPositionTest, FirstOpeningGoesFiftyPixelsInFromTheLowerRightCorner) {
    RestoreFormPosition(window, false, store);
    EXPECT_DOUBLE_EQ(window.left, 1920 * 15 - 4560 - 750);
    EXPECT_DOUBLE_EQ(window.top, 1080 * 15 - 4050 - 750);
    EXPECT_DOUBLE_EQ(window.width, 4560);
    EXPECT_DOUBLE_EQ(window.height, 4050);
}

TEST_F(FormPositionTest, MarginFollowsTheTwipsPerPixelOfTheWindow) {
    FakeWindow large("frmList", 10);  // 144 dots per inch
    RestoreFormPosition(large, false, store);
    EXPECT_DOUBLE_EQ(large.left, 1920 * 10 - 4560 - 500);
    EXPECT_DOUBLE_EQ(large.top, 1080 * 10 - 4050 - 500);
}

TEST_F(FormPositionTest, StoredPositionIsAppliedButNotTheSizeWithoutTheFlag) {
    Store("Left", "1200");
    Store("Top", "900");
    Store("Width", "9999");
    Store("Height", "7777");
    Store("WindowState", "2");
    RestoreFormPosition(window, false, store);
    EXPECT_DOUBLE_EQ(window.left, 1200);
    EXPECT_DOUBLE_EQ(window.top, 900);
    EXPECT_DOUBLE_EQ(window.width, 4560);
    EXPECT_DOUBLE_EQ(window.height, 4050);
    EXPECT_EQ(window.state, 0);
    EXPECT_TRUE(window.calls.empty());
}

TEST_F(FormPositionTest, OffScreenPositionIsAppliedUnchanged) {
    Store("Left", "-30000");
    Store("Top", "99000");
    RestoreFormPosition(window, false, store);
    EXPECT_DOUBLE_EQ(window.left, -30000);
    EXPECT_DOUBLE_EQ(window.top, 99000);
}

TEST_F(FormPositionTest, RestoreSizeAppliesStateAndSizeAndComputesDefaultsFromTheNewSize) {
    Store("WindowState", "1");
    Store("Width", "6000");
    Store("Height", "3000");
    RestoreFormPosition(window, true, store);
    EXPECT_EQ(window.state, 1);
    EXPECT_DOUBLE_EQ(window.width, 6000);
    EXPECT_DOUBLE_EQ(window.height, 3000);
    EXPECT_DOUBLE_EQ(window.left, 1920 * 15 - 6000 - 750);
    EXPECT_DOUBLE_EQ(window.top, 1080 * 15 - 3000 - 750);
}

TEST_F(FormPositionTest, RestoreSizeWithoutStoredKeysUsesTheDefaultSize) {
    RestoreFormPosition(window, true, store);
    EXPECT_DOUBLE_EQ(window.width, 9000);
    EXPECT_DOUBLE_EQ(window.height, 6000);
    EXPECT_EQ(window.state, 0);
}

struct BadValueCase {
    const char* key;
    const char* value;
};

class FormPositionBadValueTest : public FormPositionTest,
                                 public ::testing::WithParamInterface<BadValueCase> {};

// A value that is no number is skipped; every other key is still applied.
TEST_P(FormPositionBadValueTest, SkipsOnlyTheBadKey) {
    Store("WindowState", "1");
    Store("Width", "6000");
    Store("Height", "3000");
    Store("Left", "1500");
    Store("Top", "2500");
    Store(GetParam().key, GetParam().value);
    RestoreFormPosition(window, true, store);

    const std::string bad = GetParam().key;
    EXPECT_EQ(window.state, bad == "WindowState" ? 0 : 1);
    EXPECT_DOUBLE_EQ(window.width, bad == "Width" ? 4560 : 6000);
    EXPECT_DOUBLE_EQ(window.height, bad == "Height" ? 4050 : 3000);
    EXPECT_DOUBLE_EQ(window.left, bad == "Left" ? 0 : 1500);
    EXPECT_DOUBLE_EQ(window.top, bad == "Top" ? 0 : 2500);
}

INSTANTIATE_TEST_SUITE_P(, FormPositionBadValueTest,
                         ::testing::Values(BadValueCase{"WindowState", "maximized"},
                                           BadValueCase{"WindowState", "70000"},
                                           BadValueCase{"WindowState", "7"},
                                           BadValueCase{"Width", "wide"},
                                           BadValueCase{"Height", ""}, BadValueCase{"Left", "12px"},
                                           BadValueCase{"Left", "1.2.3"}, BadValueCase{"Top", "-"},
                                           BadValueCase{"Top", "1e400"}));

TEST_F(FormPositionTest, SavesStateThenNormalBoundsInOrder) {
    window.state = 2;
    window.left = 1200;
    window.top = 900;
    SaveFormPosition(window, store);
    const std::vector<std::string> expected{"frmList/WindowState=2", "frmList/Left=1200",
                                            "frmList/Top=900", "frmList/Width=4560",
                                            "frmList/Height=4050"};
    EXPECT_EQ(store.writes, expected);
    EXPECT_EQ(window.state, 0);
    EXPECT_EQ(window.calls, std::vector<std::string>{"state=0"});
}

TEST_F(FormPositionTest, DialogsKeepSeparatePlacements) {
    FakeWindow options("frmOptions", 15);
    options.left = 300;
    SaveFormPosition(options, store);
    window.left = 4500;
    SaveFormPosition(window, store);

    FakeWindow reopenedOptions("frmOptions", 15);
    RestoreFormPosition(reopenedOptions, false, store);
    FakeWindow reopenedList("frmList", 15);
    RestoreFormPosition(reopenedList, false, store);
    EXPECT_DOUBLE_EQ(reopenedOptions.left, 300);
    EXPECT_DOUBLE_EQ(reopenedList.left, 4500);
}

TEST_F(FormPositionTest, SaveThenRestoreRoundTripsAFractionalPositionWithTheLocaleSeparator) {
    window.separator = ",";
    window.left = 1012.5;
    SaveFormPosition(window, store);
    EXPECT_EQ(store.Read(kAppTitle, "frmList", "Left", ""), "1012,5");
    window.left = 0;
    RestoreFormPosition(window, false, store);
    EXPECT_DOUBLE_EQ(window.left, 1012.5);
}

TEST_F(FormPositionTest, FailedWriteReachesTheCaller) {
    store.FailAllWrites(true);
    EXPECT_THROW(SaveFormPosition(window, store), Error);
}

struct FormatCase {
    double value;
    const char* separator;
    const char* text;
};

class FormatNumberTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTest, WritesSinglePrecisionDecimalText) {
    EXPECT_EQ(form_position::FormatNumber(GetParam().value, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(, FormatNumberTest,
                         ::testing::Values(FormatCase{9000, ".", "9000"}, FormatCase{0, ".", "0"},
                                           FormatCase{-750, ".", "-750"},
                                           FormatCase{1012.5, ".", "1012.5"},
                                           FormatCase{1012.5, ",", "1012,5"},
                                           FormatCase{1.0 / 3.0, ".", "0.3333333"},
                                           FormatCase{28800, ",", "28800"}));

struct ParseCase {
    const char* text;
    const char* separator;
    std::optional<double> number;
};

class ParseNumberTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumberTest, ReadsWhatFormatWritesAndRefusesTheRest) {
    EXPECT_EQ(form_position::ParseNumber(GetParam().text, GetParam().separator), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    , ParseNumberTest,
    ::testing::Values(ParseCase{"9000", ".", 9000.0}, ParseCase{" 42 ", ".", 42.0},
                      ParseCase{"-750", ".", -750.0}, ParseCase{"+15", ".", 15.0},
                      ParseCase{"1012.5", ".", 1012.5}, ParseCase{"1012,5", ",", 1012.5},
                      ParseCase{"1012.5", ",", std::nullopt}, ParseCase{"", ".", std::nullopt},
                      ParseCase{"abc", ".", std::nullopt}, ParseCase{"12px", ".", std::nullopt},
                      ParseCase{".", ".", std::nullopt}, ParseCase{"1 2", ".", std::nullopt}));

TEST(ParseIntegerTest, RoundsHalfToEvenWithinSixteenBits) {
    EXPECT_EQ(form_position::ParseInteger("2", "."), 2);
    EXPECT_EQ(form_position::ParseInteger("2.5", "."), 2);
    EXPECT_EQ(form_position::ParseInteger("3.5", "."), 4);
    EXPECT_EQ(form_position::ParseInteger("-32768", "."), -32768);
    EXPECT_EQ(form_position::ParseInteger("32768", "."), std::nullopt);
    EXPECT_EQ(form_position::ParseInteger("two", "."), std::nullopt);
}

}  // namespace
}  // namespace trayhound
