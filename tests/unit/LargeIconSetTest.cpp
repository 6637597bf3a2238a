// An icon set of 30,000 icons: every one is read, and items keep the numbers it serves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MemoryFileSystem.h"
#include "iconsets/IconSet.h"
#include "Windows1252Codec.h"

namespace trayhound {
namespace {

constexpr int kIcons = 30'000;
constexpr const char* kSetPath = "C:\\Sets\\Large\\large.iconset";

class LargeIconSetTest : public ::testing::Test {
  protected:
    LargeIconSetTest() {
        std::string text =
            "[Trayhound Icon Set]\r\nname=Large\r\ncount=" + std::to_string(kIcons) + "\r\n";
        for (int i = 1; i <= kIcons; ++i) {
            text += std::to_string(i) + "=small\\icon" + std::to_string(i) + ".bmp\r\n";
        }
        disk.SetFile(kSetPath, text);
    }

    MemoryFileSystem disk;
    Windows1252Codec codec;
};

TEST_F(LargeIconSetTest, EveryIconIsReadFromTheSetsFolder) {
    const auto content = ReadIconSet(kSetPath, disk, codec);
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->count, kIcons);
    ASSERT_EQ(content->pictures.size(), static_cast<std::size_t>(kIcons));
    for (const int icon : {1, 5, 6, 10, 100, 1000, 10000, 29999, 30000}) {
        const auto& picture = content->pictures[icon - 1];
        EXPECT_EQ(picture.source, IconSource::File) << icon;
        EXPECT_EQ(picture.path, "C:\\Sets\\Large\\small\\icon" + std::to_string(icon) + ".bmp");
    }
    EXPECT_EQ(content->pictures[kIcons - 1].name, "small\\icon30000");
}

TEST_F(LargeIconSetTest, ItemsKeepEveryNumberTheSetServes) {
    LaunchItems document;
    for (const int icon : {0, 5, 6, 29999, 30000, 30001, 32767}) {
        document.Add("Item", "item.exe", icon, -1);
    }
    ASSERT_TRUE(LoadIconSet(kSetPath, disk, codec, document).has_value());
    std::vector<int> icons;
    for (const auto& item : document) icons.push_back(item->Icon());
    EXPECT_EQ(icons, (std::vector<int>{0, 5, 6, 29999, 30000, 0, 0}));
}

}  // namespace
}  // namespace trayhound
