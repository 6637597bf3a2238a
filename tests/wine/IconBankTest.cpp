#include <gtest/gtest.h>

#include "PictureFiles.h"
#include "WineTestSupport.h"
#include "iconsets/win32/IconBank.h"
#include "iconsets/win32/MenuPicture.h"
#include "support/win32/ComApartment.h"
#include "support/win32/Text.h"

namespace trayhound {
namespace {

using test::Bgra;
using test::FactsOf;

constexpr Bgra kRed{0, 0, 255, 255};
constexpr Bgra kHalfBlue{255, 0, 0, 128};

class IconBankTest : public testing::Test {
  protected:
    IconBankTest() {
        test::WriteBmp(folder / L"red.bmp", 16, 16, kRed);
        test::WritePng(folder / L"blue.png", 16, 16, kHalfBlue);
    }

    IconSetPicture FromFile(const std::wstring& name) const {
        return {IconSource::File, ToUtf8(folder / name), {}};
    }

    ComApartment com;
    winetest::ScratchFolder folder;
};

IconSetContent InternalContent() {
    IconSetContent content;
    for (int i = 0; i < 5; ++i) content.pictures.push_back({IconSource::Internal, {}, {}});
    return content;
}

TEST_F(IconBankTest, ABmpBecomesAnOpaqueMenuPicture) {
    IconBank bank(GetModuleHandleW(nullptr), 96);
    IconSetContent content;
    content.pictures = {FromFile(L"red.bmp"), {}, {}, {}, {}};
    bank.Assign(content);

    const HBITMAP picture = bank.Picture(1);
    ASSERT_NE(picture, nullptr);
    const auto facts = FactsOf(picture);
    EXPECT_TRUE(facts.isDibSection);
    EXPECT_EQ(facts.bitsPerPixel, 32);
    EXPECT_EQ(facts.width, MenuPictureBox(96));
    EXPECT_EQ(facts.height, MenuPictureBox(96));
    EXPECT_EQ(facts.centre.r, 255);
    EXPECT_EQ(facts.centre.g, 0);
    EXPECT_EQ(facts.centre.b, 0);
    EXPECT_EQ(facts.centre.a, 255);
}

TEST_F(IconBankTest, APngKeepsItsAlphaPremultiplied) {
    IconBank bank(GetModuleHandleW(nullptr), 96);
    IconSetContent content;
    content.pictures = {{}, FromFile(L"blue.png"), {}, {}, {}};
    bank.Assign(content);

    ASSERT_NE(bank.Picture(2), nullptr);
    const auto facts = FactsOf(bank.Picture(2));
    EXPECT_EQ(facts.bitsPerPixel, 32);
    EXPECT_EQ(facts.centre.a, 128);
    EXPECT_NEAR(facts.centre.b, 128, 1);
    EXPECT_EQ(facts.centre.r, 0);
}

TEST_F(IconBankTest, AnImageThatCannotBeLoadedLeavesNoPicture) {
    winetest::WriteBytes(folder / L"garbage.bmp", "not an image");
    IconBank bank(GetModuleHandleW(nullptr), 96);
    IconSetContent content;
    content.pictures = {FromFile(L"missing.bmp"),
                        FromFile(L"garbage.bmp"),
                        {IconSource::File, ToUtf8(folder.Path() + L"\\"), {}},
                        FromFile(L"red.bmp"),
                        {}};
    bank.Assign(content);

    EXPECT_EQ(bank.Picture(1), nullptr);
    EXPECT_EQ(bank.Picture(2), nullptr);
    EXPECT_EQ(bank.Picture(3), nullptr);  // a missing key names the folder itself
    EXPECT_NE(bank.Picture(4), nullptr);
    EXPECT_EQ(bank.Picture(5), nullptr);
}

TEST_F(IconBankTest, ExtraIconsExistOnlyWhileTheirSetIsLoaded) {
    IconBank bank(GetModuleHandleW(nullptr), 96);
    IconSetContent content;
    content.count = 7;
    content.pictures = {{}, {}, {}, {}, {}, FromFile(L"red.bmp"), FromFile(L"blue.png")};
    content.pictures[5].name = "red";
    bank.Assign(content);
    EXPECT_EQ(bank.UBound(), 7);
    EXPECT_NE(bank.Picture(6), nullptr);
    EXPECT_NE(bank.Picture(7), nullptr);
    EXPECT_EQ(bank.Name(6), "red");

    bank.Assign(InternalContent());
    EXPECT_EQ(bank.UBound(), 5);
    EXPECT_EQ(bank.Picture(6), nullptr);
    EXPECT_EQ(bank.Picture(7), nullptr);
}

TEST_F(IconBankTest, EntryZeroAndNumbersOutsideTheBankHaveNoPicture) {
    IconBank bank(GetModuleHandleW(nullptr), 96);
    IconSetContent content;
    content.pictures = {FromFile(L"red.bmp"), FromFile(L"red.bmp"), FromFile(L"red.bmp"),
                        FromFile(L"red.bmp"), FromFile(L"red.bmp")};
    bank.Assign(content);
    EXPECT_EQ(bank.Picture(0), nullptr);
    EXPECT_EQ(bank.Picture(-1), nullptr);
    EXPECT_EQ(bank.Picture(6), nullptr);
    EXPECT_NE(bank.Picture(5), nullptr);
}

TEST_F(IconBankTest, TheInternalSetShowsTheBuiltInPictures) {
    IconBank bank(GetModuleHandleW(nullptr), 96);
    bank.Assign(InternalContent());
    for (int i = 1; i <= 5; ++i) {
        ASSERT_NE(bank.Internal(i), nullptr) << i;
        EXPECT_EQ(bank.Picture(i), bank.Internal(i)) << i;
        const auto facts = FactsOf(bank.Picture(i));
        EXPECT_EQ(facts.bitsPerPixel, 32) << i;
        EXPECT_EQ(facts.width, MenuPictureBox(96)) << i;
    }
}

TEST_F(IconBankTest, PicturesFollowTheDpi) {
    IconBank bank(GetModuleHandleW(nullptr), 192);
    IconSetContent content;
    content.pictures = {FromFile(L"red.bmp"), {}, {}, {}, {}};
    bank.Assign(content);
    ASSERT_NE(bank.Picture(1), nullptr);
    EXPECT_GT(MenuPictureBox(192), MenuPictureBox(96));
    EXPECT_EQ(FactsOf(bank.Picture(1)).width, MenuPictureBox(192));
    EXPECT_EQ(FactsOf(bank.Picture(1)).centre.r, 255);
}

TEST(MenuPictureSize, GrowsWithTheDpiAndFitsTheBox) {
    struct Case {
        UINT width, height, dpi;
        int box;
        LONG cx, cy;
    };
    const Case cases[] = {
        {12, 12, 96, 15, 12, 12},                            // crisp at its own size
        {12, 12, 144, 22, 18, 18},                           // 150 %
        {12, 12, 192, 30, 24, 24},                           // 200 %
        {16, 16, 96, 13, 13, 13},                            // shrunk to the box
        {32, 16, 96, 16, 16, 8},                             // proportions kept
        {16, 32, 96, 16, 8, 16},   {1, 400, 96, 16, 1, 16},  // never narrower than a pixel
    };
    for (const auto& c : cases) {
        const SIZE size = MenuPictureSize(c.width, c.height, c.dpi, c.box);
        EXPECT_EQ(size.cx, c.cx) << c.width << "x" << c.height << " at " << c.dpi;
        EXPECT_EQ(size.cy, c.cy) << c.width << "x" << c.height << " at " << c.dpi;
    }
}

}  // namespace
}  // namespace trayhound
