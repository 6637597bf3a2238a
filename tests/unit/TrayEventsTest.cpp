#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tray/TrayEvents.h"

namespace trayhound {
namespace {

TEST(MouseButtonFromNotification, MouseMessagesGiveTheirNumberAboveMouseMove) {
    for (std::uint32_t message = 0x200; message <= 0x209; ++message) {
        const auto button = MouseButtonFromNotification(message);
        ASSERT_TRUE(button.has_value()) << std::hex << message;
        EXPECT_EQ(*button, static_cast<std::int16_t>(message - 0x200)) << std::hex << message;
    }
}

TEST(MouseButtonFromNotification, OtherNotificationsGiveNothing) {
    // Neighbours of the range, the shell's selection and balloon notifications, WM_CONTEXTMENU.
    for (const std::uint32_t message :
         {0x0u, 0x7Bu, 0x1FFu, 0x20Au, 0x20Bu, 0x400u, 0x401u, 0x402u, 0x405u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(MouseButtonFromNotification(message).has_value()) << std::hex << message;
    }
}

TEST(ActionForMouseButton, LeftUpRightUpAndLeftDoubleClickAct) {
    EXPECT_EQ(ActionForMouseButton(2), TrayAction::ProgramsMenu);
    EXPECT_EQ(ActionForMouseButton(5), TrayAction::CommandMenu);
    EXPECT_EQ(ActionForMouseButton(3), TrayAction::List);
}

TEST(ActionForMouseButton, PressesMovesAndOtherButtonsDoNothing) {
    for (const std::int16_t button : {0, 1, 4, 6, 7, 8, 9, -1, 10, 512}) {
        EXPECT_EQ(ActionForMouseButton(button), TrayAction::None) << button;
    }
}

// The shell's notifications for the mouse actions people make on the icon.
constexpr std::int16_t kMove = 0, kLeftDown = 1, kLeftUp = 2, kLeftDouble = 3, kRightUp = 5;

struct ClickCase {
    const char* name;
    std::vector<std::int16_t> notifications;
    // The actions the notifications asked for, then what the end of the double-click time does.
    std::vector<TrayAction> actions;
    TrayAction afterDoubleClickTime;
};

void PrintTo(const ClickCase& clickCase, std::ostream* out) {
    *out << clickCase.name;
}

class TrayClicksTest : public ::testing::TestWithParam<ClickCase> {};

TEST_P(TrayClicksTest, SortsSingleClicksFromDoubleClicks) {
    TrayClicks clicks;
    std::vector<TrayAction> actions;
    for (const auto notification : GetParam().notifications) {
        actions.push_back(clicks.OnMouseButton(notification));
    }
    EXPECT_EQ(actions, GetParam().actions);
    EXPECT_EQ(clicks.DoubleClickTimeEnded(), GetParam().afterDoubleClickTime);
    // The time runs out once.
    EXPECT_EQ(clicks.DoubleClickTimeEnded(), TrayAction::None);
}

using A = TrayAction;
INSTANTIATE_TEST_SUITE_P(
    Clicks, TrayClicksTest,
    ::testing::Values(
        ClickCase{"SingleClickWaitsThenOpensTheProgramsMenu",
                  {kLeftDown, kMove, kLeftUp},
                  {A::None, A::None, A::WaitForDoubleClick},
                  A::ProgramsMenu},
        ClickCase{"DoubleClickOpensTheListAndItsReleaseNothing",
                  {kLeftDown, kLeftUp, kLeftDouble, kLeftUp},
                  {A::None, A::WaitForDoubleClick, A::List, A::None},
                  A::None},
        ClickCase{
            "ClickAfterADoubleClickCountsAgain",
            {kLeftDown, kLeftUp, kLeftDouble, kLeftUp, kLeftDown, kLeftUp},
            {A::None, A::WaitForDoubleClick, A::List, A::None, A::None, A::WaitForDoubleClick},
            A::ProgramsMenu},
        // Some shells send no release after the double-click: the next press starts afresh.
        ClickCase{"DoubleClickWithoutItsReleaseLeavesTheNextClickWhole",
                  {kLeftDown, kLeftUp, kLeftDouble, kLeftDown, kLeftUp},
                  {A::None, A::WaitForDoubleClick, A::List, A::None, A::WaitForDoubleClick},
                  A::ProgramsMenu},
        ClickCase{"RightClickWhileWaitingShowsOnlyTheCommandMenu",
                  {kLeftDown, kLeftUp, kRightUp},
                  {A::None, A::WaitForDoubleClick, A::CommandMenu},
                  A::None},
        ClickCase{"PointerMovesDoNotCancelTheWait",
                  {kLeftUp, kMove, kMove},
                  {A::WaitForDoubleClick, A::None, A::None},
                  A::ProgramsMenu},
        ClickCase{"NoClickNoMenu", {kMove, kRightUp}, {A::None, A::CommandMenu}, A::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrayToolTip, SeventyCharactersShowTheirFirstSixtyThree) {
    std::string text;
    for (int i = 0; i < 70; ++i) text += static_cast<char>('A' + i % 26);
    EXPECT_EQ(TrayToolTip(text), text.substr(0, 63));
}

TEST(TrayToolTip, ShortAndEmptyTextsStayWhole) {
    EXPECT_EQ(TrayToolTip("Trayhound"), "Trayhound");
    EXPECT_EQ(TrayToolTip(""), "");
}

TEST(TrayToolTip, CountsCharactersNotBytes) {
    std::string text;
    for (int i = 0; i < 70; ++i) text += "\xC3\xA9";  // é, two bytes each
    EXPECT_EQ(TrayToolTip(text), text.substr(0, 2 * 63));
}

TEST(TrayToolTip, NeverSplitsACharacterOutsideTheBasicPlane) {
    // Each emoji takes two UTF-16 units: 31 of them fill 62 units, a 32nd would need 64.
    std::string text;
    for (int i = 0; i < 40; ++i) text += "\xF0\x9F\x90\x95";
    EXPECT_EQ(TrayToolTip(text), text.substr(0, 4 * 31));
}

TEST(CutToUtf16Units, BalloonTextOfThreeHundredCharactersKeepsTwoHundredFiftyFive) {
    const std::string text(300, 'x');
    EXPECT_EQ(CutToUtf16Units(text, kBalloonTextCharacters).size(), 255u);
}

}  // namespace
}  // namespace trayhound
