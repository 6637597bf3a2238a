#include <gtest/gtest.h>

#include "CaughtError.h"
#include "MemorySettingsStore.h"
#include "support/FormPosition.h"
#include "support/cCommonDialog.h"

namespace trayhound {
namespace {

using namespace std::string_literals;
using namespace common_dialog;
using Bounds = std::array<double, 4>;
const char* const kKeys[] = {"WindowState", "Left", "Top", "Width", "Height"};

// A 1920 x 1080 pixel screen whose pixels are 15 twips across but 10 down, to tell margins apart.
struct FakeWindow : FormPositionView {
    std::string Name() const override { return "frmList"; }
    int WindowState() const override { return state; }
    void SetWindowState(int value) override { state = value; }
    double Left() const override { return bounds[0]; }
    double Top() const override { return bounds[1]; }
    double Width() const override { return bounds[2]; }
    double Height() const override { return bounds[3]; }
    void SetLeft(double twips) override { bounds[0] = twips; }
    void SetTop(double twips) override { bounds[1] = twips; }
    void SetWidth(double twips) override { bounds[2] = twips; }
    void SetHeight(double twips) override { bounds[3] = twips; }
    double ScreenWidth() const override { return 1920 * 15; }
    double ScreenHeight() const override { return 1080 * 10; }
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 10; }
    std::string DecimalSeparator() const override { return ",;"; }

    int state = 1;
    Bounds bounds{1, 2, 4500, 4000};
};

TEST(FormPosition, RestorePutsTheWindowWhereItWasOrElseInTheLowerRightCorner) {
    const std::string big(400, '9'), huge(40, '9');
    // Whether the size is restored; the values stored (state, left, top, width, height), and
    // the state and bounds that result.
    const std::tuple<bool, std::vector<const char*>, int, Bounds> kRows[] = {
        {false, {}, 1, {28800 - 4500 - 750, 10800 - 4000 - 500, 4500, 4000}},
        {true, {}, 0, {28800 - 9000 - 750, 10800 - 6000 - 500, 9000, 6000}},
        {true, {"3"}, 1, {28800 - 9000 - 750, 10800 - 6000 - 500, 9000, 6000}},
        {true, {"-1"}, 1, {28800 - 9000 - 750, 10800 - 6000 - 500, 9000, 6000}},
        {false, {"2", "-30000", "99000,;5", "70", "80"}, 1, {-30000, 99000.5, 4500, 4000}},
        {true, {"2,;5", " +15 ", "\t-7,;5", "0,;1", "007"}, 2, {15, -7.5, double(0.1F), 7}},
        {true, {"max", big.c_str(), huge.c_str(), "1 2", ""}, 1, {1, 2, 4500, 4000}},
    };
    for (const auto& [restoreSize, stored, state, bounds] : kRows) {
        SCOPED_TRACE(testing::PrintToString(stored));
        MemorySettingsStore store;
        for (int i = 0; const auto* value : stored)
            store.Write(kAppTitle, "frmList", kKeys[i++], value);
        FakeWindow window;
        RestoreFormPosition(window, restoreSize, store);
        EXPECT_EQ(window.state, state);
        EXPECT_EQ(window.bounds, bounds);
    }
}

TEST(FormPosition, SaveStoresTheStateAndTheNormalBoundsWithTheUsersSeparator) {
    MemorySettingsStore store;
    FakeWindow window;
    window.state = 2, window.bounds = {1012.5, -750, 1.0 / 3, 4000};
    SaveFormPosition(window, store);
    EXPECT_EQ(window.state, 0);
    std::string stored;
    for (const auto* key : kKeys) stored += store.Read(kAppTitle, "frmList", key, "none") + ' ';
    EXPECT_EQ(stored, "2 1012,;5 -750 0,;3333333 4000 ");
}

// A ":" splits a description as a "|" does; an empty filter is just the two closing NULs.
TEST(CommonDialog, TheAnswerFillsTheArgumentsOnlyWhenTheUserConfirmed) {
    EXPECT_EQ(ConvertFilter(""), "\0\0"s);
    const std::string filter = ConvertFilter("Sets: mine|*.set|All| *.*");
    EXPECT_EQ(filter, "Sets\0 mine\0*.set\0All\0 *.*\0\0"s);
    const std::string kPairs[] = {"", "Sets\0 mine"s, "*.set\0All"s, " *.*\0"s, "", ""};
    for (int index = -1; index <= 5; ++index) {  // -1: the user cancelled
        SCOPED_TRACE(index);
        const bool ok = index >= 0;
        OpenFileArgs open;
        open.FileName = open.FileTitle = open.Filter = "old";
        const FileDialogAnswer answer{ok, "C:\\d\0a.exe\0b.exe\0\0"s, "a.exe\0x"s, 0x201, index};
        EXPECT_EQ(ApplyAnswer(open, filter, answer), ok);
        EXPECT_EQ(std::tie(open.FileName, open.FileTitle, open.flags, open.FilterIndex, open.Filter,
                           open.ReadOnly),
                  std::make_tuple(ok ? "C:\\d" : "", ok ? "a.exe" : "", ok ? 0x201u : 0u, index,
                                  ok ? kPairs[index] : "", ok));
    }
}

TEST(CommonDialog, TheRequestTakesTheCallersFlagsButNoHookAndRefusesNamesBeyondTheBuffer) {
    OpenFileArgs open;
    open.FileMustExist = open.MultiSelect = open.HideReadOnly = true, open.flags = 0x860;
    EXPECT_EQ(OpenFileFlags(open), 0x1A04u);
    std::string dogs;  // 130 characters of two UTF-16 units each
    for (int i = 0; i < 130; ++i) dogs += "\xF0\x9F\x90\x95";
    EXPECT_NO_THROW(CheckBufferText(dogs, "Open()"));
    EXPECT_EQ(CaughtError([&] { CheckBufferText(dogs + "x", "Open()"); })->Number(), 5);
}

}  // namespace
}  // namespace trayhound
