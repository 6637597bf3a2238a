#include "about/AboutModel.h"

#include <gtest/gtest.h>

namespace trayhound::about {
namespace {

TEST(AboutModel, TextsAndPropertyRows) {
    std::string lines;
    for (const unsigned revision : {2214u, 1105u, 305u, 1u})
        lines += VersionLine({1, 0, revision}) + "|";
    EXPECT_EQ(lines,
              "Version 1.0 beta 2 (build 14)|Version 1.0 alpha 1 (build 5)|"
              "Version 1.0 (build 5)|Version 1.0 alpha  (build 1)|");
    const auto texts = ExpandTexts("T%apptitle", {2, 3, 65535});  // the title is not searched again
    EXPECT_EQ(texts.caption + "|" + texts.title + "|" + texts.version + "|" + texts.description,
              "About T%apptitle|T%apptitle|Version 2.3 (build 35)|If you find a bug, or have any "
              "idea of improving T%apptitle, please mail me:");
    AppProperties p;
    p.title = "T", p.comments = "a\tb", p.hInstance = 5368709120, p.threadId = 4321;
    p.nonModalAllowed = false, p.prevInstance = p.taskVisible = true;
    std::string rows;
    for (const auto& row : PropertyRows(p)) rows += row + "|";
    EXPECT_EQ(rows,
              "Title\t\tT|Major\t\t0|Minor\t\t0|Revision\t\t0|Comments\ta\tb|CompanyName\t|"
              "EXEName\t\t|FileDescription\t|HelpFile\t\t|hInstance\t5368709120|LegalCopyright\t|"
              "LegalTrademarks\t|LogMode\t\t0|LogPath\t\t|NonModalAllowed\tFalse|Path\t\t|"
              "PrevInstance\tTrue|ProductName\t|RetainedProject\tFalse|StartMode\t0|"
              "TaskVisible\tTrue|ThreadID\t\t4321|UnattendedApp\tFalse|");
    EXPECT_EQ(SplitPropertyRow("C\ta\tb")->name + SplitPropertyRow("\ta\tb")->value, "Cb");
}

TEST(AboutModel, FunctionKeysWithoutModifiersSwitchViews) {  // "+": properties, "*": thanks
    const std::tuple<int, Modifiers, bool, const char*> kScript[] = {
        {kKeyF2, {}, true, "Application Info+"},
        {kKeyF3, {}, true, "Thanks to:*"},
        {kKeyF1, {.shift = true}, false, "Thanks to:*"},
        {kKeyF2, {.ctrl = true}, false, "Thanks to:*"},
        {kKeyF1, {}, true, "Version"}};
    AboutViews views("Version");
    for (const auto& [key, modifiers, consumed, heading] : kScript) {
        EXPECT_EQ(views.KeyDown(key, modifiers), consumed) << heading;
        EXPECT_EQ(std::string(views.Heading()) + (views.PropertiesVisible() ? "+" : "") +
                      (views.ThanksVisible() ? "*" : ""),
                  heading);
    }
}

TEST(AboutModel, GradientRoundsHalvesToEven) {
    const std::vector<Rgb> halvesToEven{{0, 10, 20}, {0, 10, 20}, {1, 9, 21},
                                        {2, 8, 22},  {2, 8, 22},  {2, 8, 22}};
    EXPECT_EQ(GradientColumns({0, 10, 20}, {3, 7, 23}, 6), halvesToEven);
}

}  // namespace
}  // namespace trayhound::about
