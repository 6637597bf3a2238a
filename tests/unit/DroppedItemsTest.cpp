#include "editors/DroppedItems.h"

#include <gtest/gtest.h>

#include <tuple>

namespace trayhound {
namespace {

// What a dropped path or address becomes: caption and command, or refused ("").
TEST(DroppedItems, PathsAndAddressesBecomeItemsAndAnythingElseIsRefused) {
    const std::tuple<const char*, const char*, const char*> kRows[] = {
        {R"(C:\Windows\notepad.exe)", "notepad", R"(C:\Windows\notepad.exe)"},
        {R"(C:\Program Files\My Tool\Tool.exe)", "Tool", R"("C:\Program Files\My Tool\Tool.exe")"},
        {"  C:\\Users\\Me\\Desktop\\Mail.lnk\r\n", "Mail", R"(C:\Users\Me\Desktop\Mail.lnk)"},
        {R"(d:/Music/Tom & Jerry.tar.gz)", "Tom && Jerry.tar", R"("d:/Music/Tom & Jerry.tar.gz")"},
        {R"(C:\Users\Me\Documents\)", "Documents", R"(C:\Users\Me\Documents)"},
        {R"(C:\Temp\.profile)", ".profile", R"(C:\Temp\.profile)"},
        {R"(C:\Temp\-.txt)", "-.txt", R"(C:\Temp\-.txt)"},
        {R"(C:\)", R"(C:\)", R"(C:\)"},
        {R"(\\server\share\Setup.msi)", "Setup", R"(\\server\share\Setup.msi)"},
        {"https://www.example.org/a b", "", ""},
        {"HTTPS://WWW.Example.org:8080/page?q=1", "Example.org:8080",
         "HTTPS://WWW.Example.org:8080/page?q=1"},
        {"ftp://files.example.org", "files.example.org", "ftp://files.example.org"},
        {"mailto:ann@example.org?subject=Hi", "ann@example.org",
         "mailto:ann@example.org?subject=Hi"},
        {"mailto:", "", ""},
        {"http://", "", ""},
        {"file:///C:/x.txt", "", ""},
        {"notepad.exe", "", ""},
        {R"(Temp\x.exe)", "", ""},
        {"C:", "", ""},
        {"C:\\a\tb.exe", "", ""},
        {"C:\\a.exe\r\nC:\\b.exe", "", ""},
        {"just some words", "", ""},
        {"   ", "", ""},
    };
    for (const auto& [dropped, caption, command] : kRows) {
        SCOPED_TRACE(dropped);
        const auto item = ItemForDrop(dropped);
        ASSERT_EQ(item.has_value(), *caption != '\0');
        if (!item) continue;
        EXPECT_EQ(std::tie(item->Caption(), item->Command()), std::make_tuple(caption, command));
        EXPECT_EQ(item->Icon(), 0);
    }
}

}  // namespace
}  // namespace trayhound
