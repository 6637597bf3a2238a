// The resource script, compiled into this test program as into Trayhound.exe: every picture
// loads through the system's loaders with the size and depth the windows expect, the icon groups
// hold the images that Windows picks for the tray and the About box, and the version
// information and the manifest take effect.
#include <shlwapi.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "resource.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {
namespace {

HINSTANCE Module() {
    return GetModuleHandleW(nullptr);
}

UniqueHbitmap LoadBitmapResource(int id) {
    return UniqueHbitmap(static_cast<HBITMAP>(
        LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

DIBSECTION Describe(HBITMAP bitmap) {
    DIBSECTION section{};
    EXPECT_EQ(GetObjectW(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    return section;
}

std::vector<std::uint8_t> Bits(const DIBSECTION& section) {
    const auto* bits = static_cast<const std::uint8_t*>(section.dsBm.bmBits);
    const auto size = static_cast<std::size_t>(section.dsBm.bmWidthBytes) * section.dsBm.bmHeight;
    return {bits, bits + size};
}

TEST(Resources, InternalPicturesAreDistinct12By12TrueColourBitmaps) {
    const int ids[] = {IDB_INTERNAL_APPLICATION, IDB_INTERNAL_FOLDER, IDB_INTERNAL_DOCUMENT,
                       IDB_INTERNAL_MAIL, IDB_INTERNAL_WEB};
    std::vector<std::vector<std::uint8_t>> pictures;
    for (const int id : ids) {
        SCOPED_TRACE(id);
        const auto bitmap = LoadBitmapResource(id);
        ASSERT_TRUE(bitmap);
        const DIBSECTION section = Describe(bitmap.get());
        EXPECT_EQ(section.dsBm.bmWidth, 12);
        EXPECT_EQ(section.dsBm.bmHeight, 12);
        EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
        auto bits = Bits(section);
        EXPECT_EQ(std::count(pictures.begin(), pictures.end(), bits), 0)
            << "two identifiers name the same picture";
        pictures.push_back(std::move(bits));
    }
}

TEST(Resources, AboutStripIs413By5) {
    const auto bitmap = LoadBitmapResource(IDB_ABOUT_STRIP);
    ASSERT_TRUE(bitmap);
    const DIBSECTION section = Describe(bitmap.get());
    EXPECT_EQ(section.dsBm.bmWidth, 413);
    EXPECT_EQ(section.dsBm.bmHeight, 5);
}

// The images of an icon group, as (width, bits per pixel) pairs.
std::set<std::pair<int, int>> IconGroup(int id) {
    const HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    if (!found) return {};
    const auto* data =
        static_cast<const std::uint8_t*>(LockResource(LoadResource(Module(), found)));
    // GRPICONDIR: reserved, type, count; then 14-byte entries: width, height, colours, reserved,
    // planes, bit count, size, identifier.
    const auto read16 = [data](std::size_t at) { return data[at] | data[at + 1] << 8; };
    std::set<std::pair<int, int>> images;
    for (int i = 0; i < read16(4); ++i) {
        const std::size_t entry = 6 + 14 * static_cast<std::size_t>(i);
        const int width = data[entry] == 0 ? 256 : data[entry];
        images.emplace(width, read16(entry + 6));
    }
    return images;
}

TEST(Resources, TrayIconHas256ColourAnd32BitImagesAt16And32Pixels) {
    const auto images = IconGroup(IDI_TRAYHOUND);
    for (const auto& image :
         {std::pair{16, 8}, std::pair{16, 32}, std::pair{32, 8}, std::pair{32, 32}}) {
        EXPECT_TRUE(images.contains(image)) << image.first << " px, " << image.second << " bpp";
    }
}

TEST(Resources, AboutIconHas256ColourAnd32BitImagesAt32Pixels) {
    const auto images = IconGroup(IDI_ABOUT);
    EXPECT_TRUE(images.contains({32, 8}));
    EXPECT_TRUE(images.contains({32, 32}));
}

TEST(Resources, TrayIconLoadsAtTheSmallIconSize) {
    const UniqueHicon icon(static_cast<HICON>(
        LoadImageW(Module(), MAKEINTRESOURCEW(IDI_TRAYHOUND), IMAGE_ICON, 16, 16, 0)));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    const UniqueHbitmap colour(info.hbmColor);
    const UniqueHbitmap mask(info.hbmMask);
    ASSERT_TRUE(colour);
    BITMAP bitmap{};
    ASSERT_TRUE(GetObjectW(colour.get(), sizeof bitmap, &bitmap));
    EXPECT_EQ(bitmap.bmWidth, 16);
    EXPECT_EQ(bitmap.bmHeight, 16);
}

TEST(Resources, LinkCursorIsA32PixelMonochromeCursorWithItsHotSpotAtTheFingerTip) {
    const UniqueHcursor cursor(static_cast<HCURSOR>(
        LoadImageW(Module(), MAKEINTRESOURCEW(IDC_LINK), IMAGE_CURSOR, 0, 0, 0)));
    ASSERT_TRUE(cursor);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor.get(), &info));
    const UniqueHbitmap colour(info.hbmColor);
    const UniqueHbitmap mask(info.hbmMask);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 7u);
    EXPECT_EQ(info.yHotspot, 1u);
    EXPECT_FALSE(colour) << "a monochrome cursor has no colour bitmap";
    BITMAP bitmap{};
    ASSERT_TRUE(GetObjectW(mask.get(), sizeof bitmap, &bitmap));
    EXPECT_EQ(bitmap.bmWidth, 32);
    EXPECT_EQ(bitmap.bmHeight, 64) << "AND and XOR masks, one above the other";
}

class VersionInfo : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t path[MAX_PATH]{};
        ASSERT_NE(GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path))), 0u);
        const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
        ASSERT_NE(size, 0u);
        data_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, data_.data()));
    }

    std::wstring String(const std::wstring& name) {
        const std::wstring query = L"\\StringFileInfo\\040904B0\\" + name;
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), query.c_str(), &value, &length) || length == 0) {
            return {};
        }
        return static_cast<const wchar_t*>(value);
    }

    std::vector<std::uint8_t> data_;
};

TEST_F(VersionInfo, IsVersion1Point0Revision301) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(301, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(301, 0));
}

TEST_F(VersionInfo, HoldsEveryStringTheAboutBoxShows) {
    for (const wchar_t* name : {L"Comments", L"CompanyName", L"FileDescription", L"FileVersion",
                                L"InternalName", L"LegalCopyright", L"LegalTrademarks",
                                L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
        EXPECT_FALSE(String(name).empty()) << "missing " << ToUtf8(name);
    }
    EXPECT_EQ(String(L"CompanyName"), L"Wexmoor");
    EXPECT_EQ(String(L"ProductName"), L"Trayhound");
    EXPECT_EQ(String(L"OriginalFilename"), L"Trayhound.exe");
}

TEST_F(VersionInfo, CopyrightSignSurvivesTheResourceCompiler) {
    EXPECT_EQ(String(L"LegalCopyright"), L"Copyright \u00A9 2026 Wexmoor. All rights reserved.");
}

// Version 6 of comctl32 lives side by side with version 5; only the manifest's dependency
// redirects the program's comctl32.dll to it. (Wine's version 6 reports 5.81 from DllGetVersion,
// so the redirection itself is what is checked.)
TEST(Manifest, RedirectsTheCommonControlsToVersion6) {
    ACTCTX_SECTION_KEYED_DATA redirection{};
    redirection.cbSize = sizeof redirection;
    ASSERT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         L"comctl32.dll", &redirection));
    const HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    ASSERT_TRUE(comctl);
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(comctl, path, static_cast<DWORD>(std::size(path)));
    FreeLibrary(comctl);
    EXPECT_TRUE(StrStrIW(path, L"common-controls")) << ToUtf8(path);
}

TEST(Manifest, MakesTheProcessPerMonitorDpiAware) {
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);
}

}  // namespace
}  // namespace trayhound
