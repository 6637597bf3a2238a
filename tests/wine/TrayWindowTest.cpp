#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "PictureFiles.h"
#include "WineTestSupport.h"
#include "app/MemorySettingsStore.h"
#include "support/StdFileSystem.h"
#include "support/Windows1252Codec.h"
#include "support/win32/ComApartment.h"
#include "support/win32/Text.h"
#include "tray/win32/frmTray.h"

namespace trayhound {
namespace {

class RecordingShell : public Shell {
  public:
    bool Open(const std::string& command) override {
        opened.push_back(command);
        return true;
    }
    std::vector<std::string> opened;
};

// What the test does with the dialogs the tray window opens, and what it saw.
struct DialogScript {
    int shown = 0;
    int closedFromOutside = 0;
    // Runs inside ShowModal once the dialog's window exists, before its message loop.
    std::function<void(HWND dialog)> onOpen;
};

// A modal dialog as the program's dialogs behave: a visible window owned by the tray window,
// the owner disabled, its own message loop that passes WM_QUIT on.
class FakeDialog : public TrayDialog {
  public:
    explicit FakeDialog(DialogScript& script) : script_(script) {}

    void ShowModal(HWND owner) override {
        ++script_.shown;
        hwnd_ = CreateWindowExW(0, L"STATIC", L"Fake dialog", WS_POPUP | WS_VISIBLE | WS_CAPTION,
                                20, 20, 240, 120, owner, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd_, nullptr);
        EnableWindow(owner, FALSE);
        if (script_.onOpen) script_.onOpen(hwnd_);
        MSG message{};
        while (IsWindow(hwnd_)) {
            const BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got <= 0) {
                if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (IsWindow(owner)) EnableWindow(owner, TRUE);
        hwnd_ = nullptr;
    }
    void Close() noexcept override {
        ++script_.closedFromOutside;
        if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    }
    HWND Hwnd() const noexcept override { return hwnd_ && IsWindow(hwnd_) ? hwnd_ : nullptr; }

  private:
    DialogScript& script_;
    HWND hwnd_ = nullptr;
};

MakeTrayDialog Maker(DialogScript& script) {
    return [&script](frmTray&) { return std::make_unique<FakeDialog>(script); };
}

struct MenuEntry {
    std::wstring text;
    UINT type = 0;
    UINT id = 0;
    HBITMAP bitmap = nullptr;
};

std::vector<MenuEntry> ReadMenu(HMENU menu) {
    std::vector<MenuEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_BITMAP;
        EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item));
        std::wstring text(item.cch + 1, L'\0');
        item.dwTypeData = text.data();
        item.cch = static_cast<UINT>(text.size());
        EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item));
        text.resize(item.cch);
        entries.push_back({text, item.fType, item.wID, item.hbmpItem});
    }
    return entries;
}

// Removes whatever an earlier test left in this thread's queue; true when a WM_QUIT was there.
bool DrainQueue() {
    bool quit = false;
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) quit = true;
    }
    return quit;
}

// Whether the shell holds an icon for this window.
bool ShellHasIcon(HWND window) {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = window;
    record.uID = TrayIcon::kIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &record) != FALSE;
}

class TrayWindowTest : public testing::Test {
  protected:
    TrayWindowTest() {
        DrainQueue();
        settings = std::make_shared<MemorySettingsStore>();
        shell = std::make_shared<RecordingShell>();
    }
    ~TrayWindowTest() override { DrainQueue(); }

    TraySetup MakeSetup() {
        TraySetup setup;
        setup.instance = GetModuleHandleW(nullptr);
        setup.services = [this] {
            ++servicesMade;
            ApplicationServices services;
            services.settings = settings;
            services.fileSystem = std::make_shared<StdFileSystem>();
            services.codec = std::make_shared<Windows1252Codec>();
            services.readAppDataFolder = [this] { return appDataFolder; };
            services.executablePath = "C:\\Program Files\\Trayhound\\Trayhound.exe";
            return services;
        };
        setup.shell = shell;
        setup.dialogs = {Maker(list), Maker(options), Maker(about)};
        return setup;
    }

    std::filesystem::path DataFile() const {
        return std::filesystem::path(appData.Path()) / L"Trayhound" / L"Document.dat";
    }

    // Writes an icon set beside two images and returns its path.
    std::string WriteIconSet(const std::wstring& name) {
        test::WriteBmp(appData / L"app.bmp", 16, 16, {0, 0, 255, 255});
        test::WritePng(appData / L"mail.png", 16, 16, {255, 0, 0, 255});
        winetest::WriteBytes(
            appData / name,
            "[Trayhound Icon Set]\r\nname=Test\r\ncount=5\r\n1=app.bmp\r\n4=mail.png\r\n");
        return ToUtf8(appData / name);
    }

    ComApartment com;
    winetest::ScratchFolder appData;
    std::optional<std::string> appDataFolder = ToUtf8(appData.Path());
    std::shared_ptr<MemorySettingsStore> settings;
    std::shared_ptr<RecordingShell> shell;
    DialogScript list, options, about;
    int servicesMade = 0;
};

TEST_F(TrayWindowTest, StartsHiddenWithItsIconInTheShell) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);

    const HWND window = tray.hWnd();
    EXPECT_EQ(FindWindowW(frmTray::kClassName, nullptr), window);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    // A top-level window, not a message-only one: the shell's broadcasts reach it.
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_TRUE(tray.Tray().IsShown());
    EXPECT_TRUE(ShellHasIcon(window));
    EXPECT_EQ(tray.Tray().ToolTipText(), "Trayhound");
    EXPECT_NE(tray.Tray().Icon(), nullptr);
    EXPECT_EQ(servicesMade, 1);
}

TEST_F(TrayWindowTest, ASecondInstanceEndsAtOnceAndLeavesTheFirstAlone) {
    frmTray first(MakeSetup());
    ASSERT_EQ(first.Form_Load(), frmTray::StartResult::Running);
    {
        frmTray second(MakeSetup());
        EXPECT_EQ(second.Form_Load(), frmTray::StartResult::AnotherInstance);
        EXPECT_EQ(second.hWnd(), nullptr);
    }
    EXPECT_EQ(servicesMade, 1);
    EXPECT_TRUE(ShellHasIcon(first.hWnd()));
    EXPECT_FALSE(DrainQueue());
}

TEST_F(TrayWindowTest, AStartUpErrorEndsBeforeAnyIcon) {
    appDataFolder.reset();
    {
        frmTray tray(MakeSetup());
        try {
            tray.Form_Load();
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.Description(), "Cannot find the Appication Data Folder");
            EXPECT_EQ(error.Source(), "Trayhound");
        }
        EXPECT_FALSE(tray.Tray().IsShown());
    }
    // The error box that follows must not meet a pending WM_QUIT.
    EXPECT_FALSE(DrainQueue());
}

TEST_F(TrayWindowTest, ExitRemovesTheIconSavesAndEndsTheMessageLoop) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    const HWND window = tray.hWnd();
    tray.App().Document()->Add("Saved", "saved.exe", 0, -1);

    SendMessageW(window, WM_COMMAND, frmTray::kMnuRightExit, 0);

    EXPECT_TRUE(tray.Ended());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(ShellHasIcon(window));
    EXPECT_TRUE(std::filesystem::exists(DataFile()));
    EXPECT_TRUE(settings->Contains("Trayhound", "Options\\LastIconSetFileNames", "count"));
    EXPECT_TRUE(DrainQueue());
}

TEST_F(TrayWindowTest, AShutdownRequestEndsTheProgramAndIsDeleted) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    settings->Write("Trayhound", "Command", "Shutdown", "");
    SendMessageW(tray.hWnd(), WM_TIMER, frmTray::kCommandTimer, 0);
    EXPECT_FALSE(tray.Ended());
    EXPECT_TRUE(settings->Contains("Trayhound", "Command", "Shutdown"));

    settings->Write("Trayhound", "Command", "Shutdown", "1");
    SendMessageW(tray.hWnd(), WM_TIMER, frmTray::kCommandTimer, 0);
    EXPECT_TRUE(tray.Ended());
    EXPECT_FALSE(settings->Contains("Trayhound", "Command", "Shutdown"));
    EXPECT_TRUE(std::filesystem::exists(DataFile()));
}

TEST_F(TrayWindowTest, TheShutdownTimerEndsTheProgramWhileAModalDialogIsOpen) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    about.onOpen = [this](HWND) { settings->Write("Trayhound", "Command", "Shutdown", "now"); };
    PostMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightAbout, 0);

    // The program's own message loop, with a limit in case the end never comes.
    const UINT_PTR limit = SetTimer(nullptr, 0, 15000, nullptr);
    MSG message{};
    bool quit = false;
    while (!tray.Ended()) {
        if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == limit)
            break;
        DispatchMessageW(&message);
    }
    KillTimer(nullptr, limit);

    EXPECT_TRUE(tray.Ended());
    EXPECT_EQ(about.shown, 1);
    EXPECT_EQ(about.closedFromOutside, 1);
    EXPECT_FALSE(settings->Contains("Trayhound", "Command", "Shutdown"));
    // The WM_QUIT got through the dialog's loop to the program's.
    EXPECT_TRUE(quit || DrainQueue());
}

TEST_F(TrayWindowTest, ExitClosesTheAboutBoxAndTheListEditor) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    // The About box opened on top of the list editor, then Exit from the command menu.
    list.onOpen = [&](HWND) { PostMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightAbout, 0); };
    about.onOpen = [&](HWND) { PostMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightExit, 0); };
    SendMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightList, 0);

    EXPECT_TRUE(tray.Ended());
    EXPECT_EQ(about.closedFromOutside, 1);
    EXPECT_EQ(list.closedFromOutside, 1);
    EXPECT_TRUE(DrainQueue());
}

TEST_F(TrayWindowTest, ExitLeavesTheOptionsDialogToTheEndOfItsOwner) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    HWND dialogWindow = nullptr;
    options.onOpen = [&](HWND dialog) {
        dialogWindow = dialog;
        PostMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightExit, 0);
    };
    SendMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightOptions, 0);

    EXPECT_TRUE(tray.Ended());
    EXPECT_EQ(options.closedFromOutside, 0);
    EXPECT_FALSE(IsWindow(dialogWindow));
    EXPECT_TRUE(DrainQueue());
}

TEST_F(TrayWindowTest, TheProgramsMenuShowsTheItemsWithTheirPictures) {
    const std::string set = WriteIconSet(L"test.iconset");
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    tray.App().Options()->LastIconSetFileNames = {set};
    auto& document = *tray.App().Document();
    document.Add("&Notepad", "notepad.exe", 1, -1);
    document.Add("-", "", 0, -1);
    document.Add("Mail\\tCtrl+M", "mailto:someone@example.org", 4, -1);
    document.Add("Plain", "plain.exe", 0, -1);
    document.Add("Seven", "seven.exe", 7, -1);
    tray.LoadIconSet();

    const auto entries = ReadMenu(tray.mnuLeft());
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].text, L"&Notepad");
    EXPECT_EQ(entries[0].type & MFT_SEPARATOR, 0u);
    EXPECT_NE(entries[1].type & MFT_SEPARATOR, 0u);
    EXPECT_EQ(entries[2].text, L"Mail\tCtrl+M");
    EXPECT_EQ(entries[3].text, L"Plain");
    EXPECT_EQ(entries[4].text, L"Seven");

    ASSERT_NE(tray.Icons().Picture(1), nullptr);
    ASSERT_NE(tray.Icons().Picture(4), nullptr);
    EXPECT_NE(tray.Icons().Picture(1), tray.Icons().Internal(1));
    EXPECT_EQ(entries[0].bitmap, tray.Icons().Picture(1));
    EXPECT_EQ(entries[2].bitmap, tray.Icons().Picture(4));
    EXPECT_EQ(entries[3].bitmap, nullptr);
    EXPECT_EQ(entries[4].bitmap, nullptr);
    EXPECT_EQ(document.Item(5)->Icon(), 0);  // above the set's count
}

TEST_F(TrayWindowTest, AnEmptyCollectionShowsOneBlankEntryThatRunsNothing) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    const auto entries = ReadMenu(tray.mnuLeft());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, L"");
    EXPECT_EQ(entries[0].type & MFT_SEPARATOR, 0u);
    SendMessageW(tray.hWnd(), WM_COMMAND, entries[0].id, 0);
    EXPECT_TRUE(shell->opened.empty());
}

TEST_F(TrayWindowTest, ChoosingAProgramHandsItsCommandToTheShell) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    auto& document = *tray.App().Document();
    document.Add("One", "C:\\Tools\\one.exe /x", 0, -1);
    document.Add("-", "sep.exe", 0, -1);
    document.Add("None", "", 0, -1);
    document.Add("Web", "https://example.org/", 5, -1);
    tray.RebuildProgramsMenu();
    const auto entries = ReadMenu(tray.mnuLeft());
    ASSERT_EQ(entries.size(), 4u);
    for (const auto& entry : entries) SendMessageW(tray.hWnd(), WM_COMMAND, entry.id, 0);
    EXPECT_EQ(shell->opened,
              (std::vector<std::string>{"C:\\Tools\\one.exe /x", "https://example.org/"}));
}

TEST_F(TrayWindowTest, TheCommandMenuHasItsEntriesInOrder) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    const auto entries = ReadMenu(tray.mnuRight());
    ASSERT_EQ(entries.size(), 7u);
    const wchar_t* texts[] = {L"&List...", L"&Options...", L"", L"&Help", L"&About", L"", L"E&xit"};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool separator = i == 2 || i == 5;
        EXPECT_EQ((entries[i].type & MFT_SEPARATOR) != 0, separator) << i;
        if (!separator) {
            EXPECT_EQ(entries[i].text, texts[i]) << i;
        }
    }
}

// Looks at the popup menu while it is open, then closes it.
struct OpenMenuProbe {
    static inline HMENU shown = nullptr;
    static inline UINT defaultItem = 0;
    static inline bool looked = false;
    static void CALLBACK Look(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        looked = true;
        if (const HWND popup = FindWindowW(L"#32768", nullptr)) {
            shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
            defaultItem = GetMenuDefaultItem(shown, FALSE, 0);
        }
        EndMenu();
    }
    // Looks after `delay` milliseconds.
    static void Arm(UINT delay = 300) {
        shown = nullptr;
        defaultItem = 0;
        looked = false;
        SetTimer(nullptr, 0, delay, &Look);
    }
    // The program's message loop until the probe has looked.
    static void WaitForTheLook() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        MSG message{};
        while (!looked && std::chrono::steady_clock::now() < deadline) {
            if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            } else {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            }
        }
    }
};

TEST_F(TrayWindowTest, TheRightButtonOpensTheCommandMenuWithListInBold) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    OpenMenuProbe::Arm();
    SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
    EXPECT_EQ(OpenMenuProbe::shown, tray.mnuRight());
    EXPECT_EQ(OpenMenuProbe::defaultItem, static_cast<UINT>(frmTray::kMnuRightList));
}

TEST_F(TrayWindowTest, TheLeftButtonOpensTheProgramsMenuWithoutDefault) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    // The menu waits for the double-click time: a second click would make it a double-click.
    OpenMenuProbe::Arm(GetDoubleClickTime() / 2);
    SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_LBUTTONDOWN);
    SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_LBUTTONUP);
    OpenMenuProbe::WaitForTheLook();
    EXPECT_EQ(OpenMenuProbe::shown, nullptr);

    OpenMenuProbe::Arm(GetDoubleClickTime() / 2 + 300);
    OpenMenuProbe::WaitForTheLook();
    EXPECT_EQ(OpenMenuProbe::shown, tray.mnuLeft());
    EXPECT_EQ(OpenMenuProbe::defaultItem, static_cast<UINT>(-1));
}

TEST_F(TrayWindowTest, ADoubleClickOpensTheListEditorAndNoProgramsMenu) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    list.onOpen = [&](HWND dialog) {
        // The release that ends the double-click reaches the icon while the editor is open.
        SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_LBUTTONUP);
        DestroyWindow(dialog);
    };
    for (const LPARAM message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK}) {
        SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, message);
    }
    EXPECT_EQ(list.shown, 1);
    // Well past the double-click time of either release.
    OpenMenuProbe::Arm(GetDoubleClickTime() + 500);
    OpenMenuProbe::WaitForTheLook();
    EXPECT_TRUE(OpenMenuProbe::looked);
    EXPECT_EQ(OpenMenuProbe::shown, nullptr);
}

TEST_F(TrayWindowTest, PressesAndOtherIconsOpenNothing) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    OpenMenuProbe::Arm();
    for (const LPARAM message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONUP}) {
        SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, message);
    }
    // Another icon's notification (a different identifier) is not ours.
    SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId + 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(list.shown, 0);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(OpenMenuProbe::shown, nullptr);
}

TEST_F(TrayWindowTest, ADoubleClickOpensTheListEditorAndTheMenuFollowsIt) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    list.onOpen = [&](HWND dialog) {
        tray.App().Document()->Add("Added", "added.exe", 0, -1);
        DestroyWindow(dialog);
    };
    SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_LBUTTONDBLCLK);
    EXPECT_EQ(list.shown, 1);
    const auto entries = ReadMenu(tray.mnuLeft());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, L"Added");
}

TEST_F(TrayWindowTest, ADoubleClickDoesNothingWhileAnEditorIsVisible) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    options.onOpen = [&](HWND dialog) {
        SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_LBUTTONDBLCLK);
        DestroyWindow(dialog);
    };
    list.onOpen = [&](HWND dialog) {
        SendMessageW(tray.hWnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_LBUTTONDBLCLK);
        DestroyWindow(dialog);
    };
    SendMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightOptions, 0);
    EXPECT_EQ(list.shown, 0);
    SendMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightList, 0);
    EXPECT_EQ(list.shown, 1);
}

TEST_F(TrayWindowTest, AMenuCommandWhoseDialogIsOpenBringsItToTheFront) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    HWND foreground = nullptr;
    about.onOpen = [&](HWND dialog) {
        SetForegroundWindow(GetDesktopWindow());
        SendMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightAbout, 0);
        foreground = GetForegroundWindow();
        EXPECT_EQ(foreground, dialog);
        DestroyWindow(dialog);
    };
    SendMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightAbout, 0);
    EXPECT_EQ(about.shown, 1);
    EXPECT_NE(foreground, nullptr);
}

TEST_F(TrayWindowTest, ClosingTheOptionsDialogReloadsTheIconSet) {
    const std::string set = WriteIconSet(L"test.iconset");
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    tray.App().Document()->Add("App", "app.exe", 1, -1);
    tray.RebuildProgramsMenu();
    EXPECT_EQ(ReadMenu(tray.mnuLeft())[0].bitmap, tray.Icons().Internal(1));

    options.onOpen = [&](HWND dialog) {
        tray.App().Options()->LastIconSetFileNames = {set};
        DestroyWindow(dialog);  // as Cancel would: the tray window reloads either way
    };
    SendMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightOptions, 0);

    const HBITMAP fromFile = tray.Icons().Picture(1);
    ASSERT_NE(fromFile, nullptr);
    EXPECT_NE(fromFile, tray.Icons().Internal(1));
    EXPECT_EQ(ReadMenu(tray.mnuLeft())[0].bitmap, fromFile);
}

TEST_F(TrayWindowTest, AnUnreadableIconSetAtStartLeavesTheMenuWithoutPictures) {
    settings->Write("Trayhound", "Options\\LastIconSetFileNames", "count", "1");
    settings->Write("Trayhound", "Options\\LastIconSetFileNames", "1",
                    ToUtf8(appData / L"gone.iconset"));
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    for (int i = 0; i <= 5; ++i) EXPECT_EQ(tray.Icons().Picture(i), nullptr) << i;
    EXPECT_TRUE(tray.Tray().IsShown());
}

TEST_F(TrayWindowTest, TheShellRestartingAddsTheIconAgain) {
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof(record);
    record.hWnd = tray.hWnd();
    record.uID = TrayIcon::kIconId;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &record));  // what a new shell knows
    ASSERT_FALSE(ShellHasIcon(tray.hWnd()));

    SendMessageW(tray.hWnd(), TrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(ShellHasIcon(tray.hWnd()));
}

}  // namespace
}  // namespace trayhound
