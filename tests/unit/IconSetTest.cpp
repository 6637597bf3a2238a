#include <gtest/gtest.h>

#include <map>

#include "MemorySettingsStore.h"
#include "iconsets/IconSet.h"
#include "Windows1252Codec.h"

namespace trayhound {
namespace {

// Files held in memory; counts reads so that tests can tell whether a file was opened.
class FakeFileSystem : public FileSystem {
  public:
    std::map<std::string, std::string> files;
    mutable int reads = 0;

    std::optional<std::string> ReadFile(const std::string& path) const override {
        ++reads;
        const auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second;
    }
    void ReplaceFile(const std::string& path, std::string_view bytes) override {
        files[path] = std::string(bytes);
    }
    void CreateFolder(const std::string&) override {}
};

class IconSetTest : public testing::Test {
  protected:
    FakeFileSystem fileSystem;
    Windows1252Codec codec;

    void AddSet(const std::string& path, const std::string& body) { fileSystem.files[path] = body; }

    std::optional<IconSetContent> Read(const std::string& entry) {
        return ReadIconSet(entry, fileSystem, codec);
    }
};

constexpr const char* kStandardKeys =
    "1=App.bmp\r\n2=Folder.bmp\r\n3=Doc.bmp\r\n4=Mail.bmp\r\n5=Web.bmp\r\n";

TEST(ActiveIconSet, IsTheFirstEntryOfTheList) {
    Options options(std::make_shared<MemorySettingsStore>());
    options.LastIconSetFileNames = {"C:\\Sets\\a.iconset", std::string(kInternalIconSetMarker)};
    EXPECT_EQ(ActiveIconSet(options), "C:\\Sets\\a.iconset");
}

TEST(ActiveIconSet, AnEmptyListMeansTheInternalSet) {
    Options options(std::make_shared<MemorySettingsStore>());
    options.LastIconSetFileNames.clear();
    EXPECT_EQ(ActiveIconSet(options), kInternalIconSetMarker);
}

TEST(IconSetCount, WholeSixteenBitNumbersAreTaken) {
    const std::pair<const char*, std::int16_t> cases[] = {
        {"7", 7},         {"0", 0},           {"+8", 8}, {"-3", -3},
        {"32767", 32767}, {"-32768", -32768}, {"007", 7}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(IconSetCount(text), expected) << text;
}

TEST(IconSetCount, AnythingElseCountsAsFive) {
    for (const char* text : {"", "abc", "7.5", "7a", "32768", "-32769", "99999999999", "+", "-",
                             "0x10", "\t7", "++7"}) {
        EXPECT_EQ(IconSetCount(text), 5) << text;
    }
}

TEST(IconSetFolder, EndsInOneBackslash) {
    EXPECT_EQ(IconSetFolder("C:\\Sets\\a.iconset"), "C:\\Sets\\");
    EXPECT_EQ(IconSetFolder("C:\\a.iconset"), "C:\\");
    EXPECT_EQ(IconSetFolder("\\\\server\\share\\sets\\a.iconset"), "\\\\server\\share\\sets\\");
}

TEST(ExtraIconName, IsTheImageNameUpToItsLastDot) {
    EXPECT_EQ(ExtraIconName("small\\Printer.bmp"), "small\\Printer");
    EXPECT_EQ(ExtraIconName("Disk.large.png"), "Disk.large");
    EXPECT_EQ(ExtraIconName("Printer"), "Printer");
    EXPECT_EQ(ExtraIconName(""), "");
}

TEST_F(IconSetTest, TheInternalSetOpensNoFileAndGivesTheFiveBuiltInPictures) {
    const auto content = Read(std::string(kInternalIconSetMarker));
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(fileSystem.reads, 0);
    EXPECT_EQ(content->count, 5);
    ASSERT_EQ(content->pictures.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(content->pictures[i].source, IconSource::Internal);
        EXPECT_EQ(content->pictures[i].name, kStandardIconNames[i]);
    }
}

TEST_F(IconSetTest, TheMarkerIsComparedWithLetterCase) {
    // Any other spelling is a file name; no such file exists.
    EXPECT_FALSE(Read("Trayhound:\\internal.iconset").has_value());
    EXPECT_EQ(fileSystem.reads, 1);
}

TEST_F(IconSetTest, ExtraIconsComeFromTheSetsFolder) {
    AddSet("C:\\Sets\\blue.iconset", std::string("[Trayhound Icon Set]\r\nname=Blue\r\n") +
                                         kStandardKeys +
                                         "count=7\r\n6=Printer.bmp\r\n7=Disk.bmp\r\n");
    const auto content = Read("C:\\Sets\\blue.iconset");
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->count, 7);
    ASSERT_EQ(content->pictures.size(), 7u);
    EXPECT_EQ(content->pictures[0].path, "C:\\Sets\\App.bmp");
    EXPECT_EQ(content->pictures[4].path, "C:\\Sets\\Web.bmp");
    EXPECT_EQ(content->pictures[5].path, "C:\\Sets\\Printer.bmp");
    EXPECT_EQ(content->pictures[6].path, "C:\\Sets\\Disk.bmp");
    EXPECT_EQ(content->pictures[5].name, "Printer");
    EXPECT_EQ(content->pictures[6].name, "Disk");
    for (const auto& picture : content->pictures) EXPECT_EQ(picture.source, IconSource::File);
}

TEST_F(IconSetTest, ALowerCaseHeaderLoadsTheSame) {
    AddSet("C:\\Sets\\a.iconset", std::string("[trayhound icon set]\r\n") + kStandardKeys);
    const auto content = Read("C:\\Sets\\a.iconset");
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->pictures[2].path, "C:\\Sets\\Doc.bmp");
}

TEST_F(IconSetTest, ASetInADriveRootHasNoDoubledBackslash) {
    AddSet("C:\\a.iconset",
           std::string("[Trayhound Icon Set]\r\n") + kStandardKeys + "count=5\r\n");
    const auto content = Read("C:\\a.iconset");
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->pictures[0].path, "C:\\App.bmp");
}

TEST_F(IconSetTest, ImageNamesMayNameASubfolder) {
    AddSet("C:\\Sets\\a.iconset",
           "[Trayhound Icon Set]\r\n1=small\\app.bmp\r\ncount=6\r\n6=small\\Printer.bmp\r\n");
    const auto content = Read("C:\\Sets\\a.iconset");
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->pictures[0].path, "C:\\Sets\\small\\app.bmp");
    EXPECT_EQ(content->pictures[5].name, "small\\Printer");
}

TEST_F(IconSetTest, TheFiveStandardIconsAreReadWhateverTheCount) {
    AddSet("C:\\Sets\\a.iconset",
           std::string("[Trayhound Icon Set]\r\n") + kStandardKeys + "count=3\r\n");
    const auto content = Read("C:\\Sets\\a.iconset");
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->count, 3);
    ASSERT_EQ(content->pictures.size(), 5u);
    EXPECT_EQ(content->pictures[4].path, "C:\\Sets\\Web.bmp");
}

TEST_F(IconSetTest, ACountThatIsNoWholeNumberCountsAsFive) {
    AddSet("C:\\Sets\\a.iconset",
           std::string("[Trayhound Icon Set]\r\n") + kStandardKeys + "count=seven\r\n6=x.bmp\r\n");
    const auto content = Read("C:\\Sets\\a.iconset");
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->count, 5);
    EXPECT_EQ(content->pictures.size(), 5u);
}

TEST_F(IconSetTest, AMissingImageKeyLeavesItsEntryWithoutPicture) {
    AddSet("C:\\Sets\\a.iconset", "[Trayhound Icon Set]\r\n1=App.bmp\r\n3=Doc.bmp\r\ncount=6\r\n");
    const auto content = Read("C:\\Sets\\a.iconset");
    ASSERT_TRUE(content.has_value());
    ASSERT_EQ(content->pictures.size(), 6u);
    EXPECT_EQ(content->pictures[0].source, IconSource::File);
    for (const std::size_t missing : {1u, 3u, 4u, 5u}) {
        EXPECT_EQ(content->pictures[missing].source, IconSource::None) << missing;
    }
}

TEST_F(IconSetTest, TenOrMoreIconsNeedAscendingKeys) {
    // Key "1" matches the first line that begins with "1", so "10=" before "1=" wins.
    AddSet("C:\\Sets\\a.iconset",
           "[Trayhound Icon Set]\r\ncount=10\r\n10=ten.bmp\r\n1=one.bmp\r\n");
    const auto content = Read("C:\\Sets\\a.iconset");
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->pictures[0].path, "C:\\Sets\\ten.bmp");
    EXPECT_EQ(content->pictures[9].path, "C:\\Sets\\ten.bmp");
}

TEST_F(IconSetTest, AFileThatCannotBeReadGivesNothing) {
    EXPECT_FALSE(Read("C:\\Sets\\gone.iconset").has_value());
}

TEST_F(IconSetTest, TheBoundIsTheReadableFilesCountOrFive) {
    AddSet("C:\\Sets\\eight.iconset", "[Trayhound Icon Set]\r\ncount=8\r\n");
    AddSet("C:\\Sets\\bad.iconset", "[Trayhound Icon Set]\r\ncount=8.5\r\n");
    AddSet("C:\\Sets\\none.iconset", "[Other]\r\ncount=8\r\n");
    EXPECT_EQ(IconBound("C:\\Sets\\eight.iconset", fileSystem, codec), 8);
    EXPECT_EQ(IconBound("C:\\Sets\\bad.iconset", fileSystem, codec), 5);
    EXPECT_EQ(IconBound("C:\\Sets\\none.iconset", fileSystem, codec), 5);
    EXPECT_EQ(IconBound("C:\\Sets\\gone.iconset", fileSystem, codec), 5);
    EXPECT_EQ(IconBound(kInternalIconSetMarker, fileSystem, codec), 5);
}

TEST_F(IconSetTest, LoadingResetsItemsAboveTheCount) {
    AddSet("C:\\Sets\\seven.iconset", "[Trayhound Icon Set]\r\ncount=7\r\n");
    AddSet("C:\\Sets\\five.iconset", "[Trayhound Icon Set]\r\ncount=5\r\n");
    LaunchItems document;
    document.Add("Seven", "7", 7, -1);
    document.Add("Five", "5", 5, -1);

    ASSERT_TRUE(LoadIconSet("C:\\Sets\\seven.iconset", fileSystem, codec, document).has_value());
    EXPECT_EQ(document.Item(1)->Icon(), 7);

    const auto content = LoadIconSet("C:\\Sets\\five.iconset", fileSystem, codec, document);
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->pictures.size(), 5u);
    EXPECT_EQ(document.Item(1)->Icon(), 0);
    EXPECT_EQ(document.Item(2)->Icon(), 5);
}

TEST_F(IconSetTest, LoadingAnUnreadableSetChangesNoItem) {
    LaunchItems document;
    document.Add("Seven", "7", 7, -1);
    EXPECT_FALSE(LoadIconSet("C:\\Sets\\gone.iconset", fileSystem, codec, document).has_value());
    EXPECT_EQ(document.Item(1)->Icon(), 7);
}

TEST_F(IconSetTest, LoadingTheInternalSetLeavesNoExtraIcons) {
    LaunchItems document;
    document.Add("Seven", "7", 7, -1);
    document.Add("Negative", "n", -1, -1);
    const auto content = LoadIconSet(kInternalIconSetMarker, fileSystem, codec, document);
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->pictures.size(), 5u);
    EXPECT_EQ(document.Item(1)->Icon(), 0);
    EXPECT_EQ(document.Item(2)->Icon(), 0);
}

}  // namespace
}  // namespace trayhound
