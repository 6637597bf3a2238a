#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include <set>
#include <thread>

#include "WineTestSupport.h"
#include "about/AboutModel.h"
#include "about/win32/RunningProgram.h"
#include "app/win32/WindowsVersion.h"
#include "iconsets/win32/IconBank.h"
#include "iconsets/win32/MenuPicture.h"
#include "resource.h"
#include "support/Twips.h"
#include "support/win32/ComApartment.h"
#include "support/win32/CommonDialogRecord.h"
#include "support/win32/cTextBoxXP.h"
#include "tray/win32/TrayIcon.h"

namespace trayhound {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
const HINSTANCE kModule = GetModuleHandleW(nullptr);

TEST(TrayIcon, ShowsItsIconFromAddToDeleteThroughRefusalsAndShellRestarts) {
    const winetest::UniqueHwnd host(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0,
                                                    nullptr, nullptr, nullptr, nullptr));
    TrayIcon icon;
    icon.SetHWnd(host.get());
    icon.SetIcon(LoadIconW(nullptr, IDI_APPLICATION));
    NOTIFYICONDATAW record{};  // the same identity; NIM_MODIFY asks whether the shell shows it
    record.cbSize = sizeof record;
    record.hWnd = host.get();
    record.uID = TrayIcon::kIconId;
    const auto shell = [&](DWORD request) { return Shell_NotifyIconW(request, &record) != FALSE; };
    const auto shown = [&] {  // handing the icon its timer ticks, as the tray window does
        for (MSG tick{}; PeekMessageW(&tick, host.get(), WM_TIMER, WM_TIMER, PM_REMOVE);)
            icon.OnTimer(tick.wParam);
        return icon.IsShown() && shell(NIM_MODIFY);
    };
    for (const bool deleted : {false, true}) {
        ASSERT_TRUE(shell(NIM_ADD));  // the shell refuses a second icon of the same identity
        EXPECT_FALSE(icon.Add());
        if (deleted) icon.Delete();
        ASSERT_TRUE(shell(NIM_DELETE));
        EXPECT_EQ(winetest::PumpUntil(shown, 5s), !deleted)
            << (deleted ? "the icon came back after Delete" : "waited 5 s for a retried Add");
        icon.Delete();
    }
    EXPECT_EQ(TrayIcon::TaskbarCreatedMessage(), RegisterWindowMessageW(L"TaskbarCreated"));
    EXPECT_TRUE(icon.Add());
    ASSERT_TRUE(shell(NIM_DELETE));  // a restarted shell knows no icons
    icon.OnTaskbarCreated();
    EXPECT_TRUE(shown());
    icon.Delete();
    icon.OnTaskbarCreated();
    EXPECT_FALSE(icon.IsShown() || shell(NIM_MODIFY));
    EXPECT_EQ(TrayIcon::CallEvent(TrayIcon::kIconId, MAKELPARAM(WM_RBUTTONUP, 7)), 5);
    EXPECT_EQ(TrayIcon::CallEvent(TrayIcon::kIconId + 1, WM_LBUTTONUP), std::nullopt);
}

using Pixel = std::array<BYTE, 4>;  // blue, green, red, alpha

// A menu picture's width and centre pixel.
std::pair<int, Pixel> FactsOf(HBITMAP picture) {
    DIBSECTION dib{};
    if (GetObjectW(picture, sizeof dib, &dib) != sizeof dib) return {};
    GdiFlush();
    const int width = dib.dsBm.bmWidth;
    const auto* row = static_cast<BYTE*>(dib.dsBm.bmBits) + dib.dsBm.bmWidthBytes * (width / 2);
    const BYTE* centre = row + 4 * (width / 2);
    return {width, {centre[0], centre[1], centre[2], centre[3]}};
}

TEST(IconBank, LoadsBmpAndPngPicturesForTheDpiAndOnlyWhileTheirSetIsLoaded) {
    const ComApartment com;
    const winetest::ScratchFolder folder;
    std::string bmp = "BM\xE6\x01\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x0C\0\0\0\x0C\0\0\0\x01\0\x18"s;
    for (bmp.resize(54); bmp.size() < 486;) bmp += "\0\0\xFF"s;  // 12 x 12, red, 24 bits
    winetest::WriteBytes(folder / L"red.bmp", bmp);
    winetest::WriteBytes(  // 12 x 12, blue at half opacity
        folder / L"blue.png",
        "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x0C\0\0\0\x0C\x08\x06\0\0\0\x56\x75\x5C\xE7\0\0\0"
        "\x15IDAT\x78\xDA\x63\x60\x60\xF8\xDF\x40\x1A\x1E\xD5\x30\xAA\x01\x2B\x06\0\xC7\x9E\xD7"
        "\x71\x86\x8A\xEE\x26\0\0\0\0IEND\xAE\x42\x60\x82"s);
    const auto file = [&](const wchar_t* name) {
        return IconSetPicture{IconSource::File, ToUtf8(folder / name), {}};
    };
    const std::vector pictures{file(L"red.bmp"), file(L"missing.bmp"), file(L""), {}, {},
                               file(L"red.bmp"), file(L"blue.png")};
    for (const UINT dpi : {96u, 144u, 192u}) {
        IconBank bank(kModule, dpi);
        bank.Assign({7, pictures});
        const int box = MenuPictureBox(dpi);
        EXPECT_EQ(FactsOf(bank.Picture(1)), std::pair(box, Pixel{0, 0, 255, 255}));
        EXPECT_EQ(FactsOf(bank.Picture(7)), std::pair(box, Pixel{128, 0, 0, 128}));
        for (int icon = -1; icon <= 8; ++icon)
            EXPECT_EQ(bank.Picture(icon) != nullptr, icon == 1 || icon == 6 || icon == 7) << icon;
        bank.Assign({5, std::vector(5, IconSetPicture{IconSource::Internal, {}, {}})});
        for (int icon = -1; icon <= 7; ++icon) EXPECT_EQ(bank.Picture(icon), bank.Internal(icon));
        for (int icon = 1; icon <= 5; ++icon) EXPECT_EQ(FactsOf(bank.Internal(icon)).first, box);
    }
}

TEST(ThisProgram, CarriesTheResourcesAndManifestAndDescribesItselfAndTheSystem) {
    std::set<std::string> pictures;
    for (const int id : {IDB_INTERNAL_APPLICATION, IDB_INTERNAL_FOLDER, IDB_INTERNAL_DOCUMENT,
                         IDB_INTERNAL_MAIL, IDB_INTERNAL_WEB}) {
        const UniqueHbitmap bitmap(static_cast<HBITMAP>(
            LoadImageW(kModule, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        DIBSECTION dib{};
        ASSERT_EQ(GetObjectW(bitmap.get(), sizeof dib, &dib), int{sizeof dib}) << id;
        EXPECT_EQ(std::tuple(dib.dsBm.bmWidth, dib.dsBm.bmHeight, dib.dsBm.bmBitsPixel),
                  std::tuple(12, 12, 24));
        const auto* bits = static_cast<const char*>(dib.dsBm.bmBits);
        EXPECT_TRUE(pictures.emplace(bits, dib.dsBm.bmWidthBytes * 12).second) << id;
    }
    const int small = GetSystemMetricsForDpi(SM_CXSMICON, 144);  // the sizes the program asks for
    const int large = TwipsToPixels(480, 144);  // the About box's picture, 480 twips square
    for (const auto& [id, size] : {std::pair{IDI_TRAYHOUND, small}, {IDI_ABOUT, large}})
        EXPECT_TRUE(UniqueHicon(static_cast<HICON>(
            LoadImageW(kModule, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR))));
    EXPECT_NE(LoadCursorW(kModule, MAKEINTRESOURCEW(IDC_LINK)), nullptr);
    // Only the manifest redirects to comctl32 version 6 (which calls itself 5.81 under Wine).
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(LoadLibraryW(L"comctl32.dll"), path, MAX_PATH);
    EXPECT_NE(StrStrIW(path, L"common-controls"), nullptr) << ToUtf8(path);
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_PER_MONITOR_AWARE);

    const about::AppProperties program = ReadAppProperties("C:\\Help\\wine_tests.chm");
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(ToWide(program.path + "\\" + program.exeName + ".exe"), path);
    EXPECT_EQ(std::pair(program.helpFile, program.hInstance),
              std::pair("C:\\Help\\wine_tests.chm"s, reinterpret_cast<std::uintptr_t>(kModule)));
    EXPECT_FALSE(program.productName.empty() || program.version.major + program.version.minor == 0);
    OSVERSIONINFOW system{sizeof system, 0, 0, 0, 0, {}};
    ASSERT_TRUE(GetVersionExW(&system));
    EXPECT_EQ(std::tuple(GetWindowsVersion(1), GetWindowsVersion(2), GetWindowsVersion(3)),
              std::tuple(system.dwMajorVersion, system.dwMinorVersion, system.dwBuildNumber));
    EXPECT_EQ(CaughtError([] { GetWindowsVersion(4); }).value_or(Error(0, "")).Number(), 301);
}

// Answers the open-file dialog with `command` from another thread. A dialog that does not appear
// and close in time ends the test program: the call that shows it would never return.
bool AnswerOpenDialog(cCommonDialog& dialog, OpenFileArgs& args, int command) {
    const std::jthread driver([thread = GetCurrentThreadId(), command] {
        HWND open = nullptr;
        const auto appeared = [&] {
            open = FindWindowW(L"#32770", nullptr);
            return GetWindowThreadProcessId(open, nullptr) == thread;
        };
        if (winetest::PumpUntil(appeared, 30s) && PostMessageW(open, WM_COMMAND, command, 0) &&
            winetest::PumpUntil([&] { return !IsWindow(open); }, 30s))
            return;
        std::fputs("the open-file dialog did not appear and close within 30 s each\n", stderr);
        ExitProcess(1);
    });
    return dialog.VBGetOpenFileName(args);
}

TEST(CommonDialog, BuildsItsRecordFromTheArgumentsAndOkGivesTheChosenFileAndCancelNothing) {
    OpenFileArgs open;
    open.FileName = "start.exe";
    open.Filter = "Programs|*.exe";
    open.FileMustExist = true;
    open.Owner = 0x1234;
    FileNameRecord request = FileNameRecord::ForOpen(open);
    const OPENFILENAMEW& record = request.Record();
    EXPECT_EQ(record.hwndOwner, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(record.Flags, common_dialog::OpenFileFlags(open));
    EXPECT_EQ(std::wstring(record.lpstrFilter, 16), std::wstring(L"Programs\0*.exe\0\0", 16));
    EXPECT_STREQ(record.lpstrFile, L"start.exe");
    EXPECT_EQ(record.nMaxFile, common_dialog::kMaxPath);  // characters, not bytes
    EXPECT_EQ(FileNameRecord::ForSave(SaveFileArgs()).Record().hwndOwner, nullptr);  // owner -1

    const winetest::ScratchFolder folder;
    winetest::WriteBytes(folder / L"start.exe", "MZ");
    open.InitDir = ToUtf8(folder.path.wstring());
    open.Owner = -1;
    cCommonDialog dialog;
    EXPECT_TRUE(AnswerOpenDialog(dialog, open, IDOK));
    EXPECT_EQ(std::pair(ToWide(open.FileName), open.FileTitle),
              std::pair(folder / L"start.exe", "start.exe"s));
    EXPECT_FALSE(AnswerOpenDialog(dialog, open, IDCANCEL));
    EXPECT_EQ(open.FileName, "");
    std::filesystem::current_path(folder.path.parent_path());  // the dialog made it current
}

TEST(cTextBoxXP, ShowsACueBannerSetBeforeItKnewItsBox) {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    const winetest::UniqueHwnd edit(CreateWindowExW(0, WC_EDITW, L"", WS_POPUP, 0, 0, 200, 24,
                                                    nullptr, nullptr, nullptr, nullptr));
    cTextBoxXP box;
    box.SetCueBanner("Käse ✓");  // before the box is known: shown by a later setCueBanner
    box.TextBox(edit.get());
    box.setCueBanner();
    wchar_t banner[64]{};
    SendMessageW(edit.get(), EM_GETCUEBANNER, reinterpret_cast<WPARAM>(banner), 64);
    EXPECT_STREQ(banner, L"Käse ✓");
}

}  // namespace
}  // namespace trayhound
