// An icon set whose image files are gone: the set still loads, the bank has its entries without
// pictures, and the items keep their icon numbers for the day the images come back.
#include <gtest/gtest.h>

#include <vector>

#include "WineTestSupport.h"
#include "iconsets/IconSet.h"
#include "iconsets/win32/IconBank.h"
#include "support/win32/AnsiCodec.h"
#include "support/win32/ComApartment.h"
#include "support/win32/Text.h"
#include "support/win32/Win32FileSystem.h"

namespace trayhound {
namespace {

TEST(MissingImagesTest, SetLoadsWithoutPicturesAndItemsKeepTheirNumbers) {
    const ComApartment com;
    const winetest::ScratchFolder folder;
    winetest::WriteBytes(folder / L"gone.iconset",
                         "[Trayhound Icon Set]\r\nname=Gone\r\ncount=7\r\n1=app.bmp\r\n"
                         "2=small\\folder.bmp\r\n3=doc.png\r\n4=mail.ico\r\n5=web.gif\r\n"
                         "6=Printer.bmp\r\n7=Disk.bmp\r\n");
    const Win32FileSystem fileSystem;
    const AnsiCodec codec(1252);
    LaunchItems document;
    for (const int icon : {0, 3, 7, 8}) document.Add("Item", "item.exe", icon, -1);

    const auto content = LoadIconSet(ToUtf8(folder / L"gone.iconset"), fileSystem, codec, document);
    ASSERT_TRUE(content.has_value());
    IconBank bank(GetModuleHandleW(nullptr), 96);
    bank.Assign(*content);

    EXPECT_EQ(bank.UBound(), 7);
    for (int icon = 0; icon <= 7; ++icon) EXPECT_EQ(bank.Picture(icon), nullptr) << icon;
    EXPECT_EQ(bank.Name(6), "Printer");
    std::vector<int> icons;
    for (const auto& item : document) icons.push_back(item->Icon());
    EXPECT_EQ(icons, (std::vector<int>{0, 3, 7, 0}));
}

}  // namespace
}  // namespace trayhound
