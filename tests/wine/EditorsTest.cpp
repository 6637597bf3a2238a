// The list editor and the item editor as real windows, driven from a second thread with window
// messages the way a user's keyboard and mouse would drive them.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "MemoryFileSystem.h"
#include "WineTestSupport.h"
#include "app/MemorySettingsStore.h"
#include "editors/win32/frmLaunchItem.h"
#include "editors/win32/frmList.h"
#include "support/Windows1252Codec.h"
#include "support/win32/DialogLayout.h"
#include "support/win32/Text.h"

namespace trayhound {
namespace {

using namespace std::chrono_literals;
using winetest::TextOf;
using winetest::WaitFor;
using Rows = std::vector<std::wstring>;

constexpr const char* kAppData = "C:\\Users\\me\\AppData\\Roaming";
constexpr const char* kDataFile = "C:\\Users\\me\\AppData\\Roaming\\Trayhound\\Document.dat";

HWND FindDialog(const wchar_t* title) {
    return WaitFor([title] {
        HWND found = FindWindowW(L"#32770", title);
        return found && IsWindowVisible(found) ? found : nullptr;
    });
}

bool WaitGone(HWND window) {
    return WaitFor([window] { return !IsWindow(window); });
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

// The text of the message box titled with the program's title, which is then closed with OK.
std::wstring AnswerMessageBox() {
    HWND box = FindDialog(L"Trayhound");
    if (!box) return L"<no message box>";
    const std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitGone(box);
    return text;
}

class RecordingShell : public Shell {
  public:
    bool Open(const std::string& command) override {
        opened.push_back(command);
        return accept;
    }
    bool accept = true;
    std::vector<std::string> opened;
};

// Runs `drive` on a second thread while this thread shows a modal dialog with `show`. Whatever
// the driver does, the window it names last is closed at its end, so a failing check cannot
// leave the dialog open for ever.
void WhileShown(const std::function<void()>& show, const std::function<void()>& drive,
                const wchar_t* title) {
    std::thread driver([&] {
        drive();
        if (HWND left = FindWindowW(L"#32770", title)) PostMessageW(left, WM_CLOSE, 0, 0);
    });
    show();
    driver.join();
}

class EditorsTest : public ::testing::Test {
  protected:
    EditorsTest() {
        fileSystem->AddFolder(kAppData);
        ApplicationServices services;
        services.settings = settings;
        services.fileSystem = fileSystem;
        services.codec = std::make_shared<Windows1252Codec>();
        services.readAppDataFolder = [] { return std::string(kAppData); };
        services.executablePath = "C:\\Program Files\\Trayhound\\Trayhound.exe";
        app = std::make_unique<Application>(std::move(services));
    }

    ListEditorServices Services() {
        ListEditorServices services;
        services.settings = settings;
        services.shell = shell;
        services.getKeyValue = [this](std::string_view, std::string_view name, std::string& value) {
            const auto found = runHistory.find(std::string(name));
            value = found == runHistory.end() ? std::string() : found->second;
            return found != runHistory.end();
        };
        services.extraIconNames = [this] { return extraIcons; };
        services.openDialogs = &openDialogs;
        return services;
    }

    void Items(std::vector<std::string> captions) {
        for (const auto& caption : captions) app->Document()->Add(caption, caption + ".exe", 1, -1);
    }

    std::vector<std::string> LiveCaptions() const {
        std::vector<std::string> captions;
        for (const auto& item : *app->Document()) captions.push_back(item->Caption());
        return captions;
    }

    // Selects a list entry as a click does: the selection, then the notification.
    static void Select(HWND dialog, int position) {
        HWND list = GetDlgItem(dialog, frmList::kLstItems);
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(frmList::kLstItems, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }

    static std::vector<bool> ItemButtons(HWND dialog) {
        std::vector<bool> enabled;
        for (const int id :
             {frmList::kCmdEdit, frmList::kCmdDelete, frmList::kCmdMoveUp, frmList::kCmdMoveDown}) {
            enabled.push_back(IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE);
        }
        return enabled;
    }

    static int Selection(HWND dialog) {
        return static_cast<int>(
            SendMessageW(GetDlgItem(dialog, frmList::kLstItems), LB_GETCURSEL, 0, 0));
    }

    std::shared_ptr<MemorySettingsStore> settings = std::make_shared<MemorySettingsStore>();
    std::shared_ptr<MemoryFileSystem> fileSystem = std::make_shared<MemoryFileSystem>();
    std::shared_ptr<RecordingShell> shell = std::make_shared<RecordingShell>();
    std::map<std::string, std::string> runHistory;
    std::vector<std::string> extraIcons;
    OpenDialogs openDialogs;
    std::unique_ptr<Application> app;
    const DWORD uiThread = GetCurrentThreadId();
};

TEST_F(EditorsTest, ListEditorOpensWithTheItemsAndNothingSelectedWhileItsOwnerIsDisabled) {
    Items({"Alpha", "Mail\\tCtrl+M", "-"});
    HWND owner = CreateWindowExW(0, L"STATIC", L"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    frmList dialog(*app, Services());
    WhileShown([&] { dialog.ShowModal(owner); },
               [&] {
                   HWND list = FindDialog(L"List");
                   ASSERT_NE(list, nullptr);
                   EXPECT_EQ(winetest::ListBoxRows(GetDlgItem(list, frmList::kLstItems)),
                             (Rows{L"Alpha", L"Mail\tCtrl+M", L"-"}));
                   EXPECT_EQ(Selection(list), LB_ERR);
                   EXPECT_EQ(ItemButtons(list), (std::vector<bool>{false, false, false, false}));
                   EXPECT_FALSE(IsWindowEnabled(owner));
                   EXPECT_EQ(GetWindow(list, GW_OWNER), owner);
                   EXPECT_EQ(TextOf(GetDlgItem(list, frmList::kCmdMoveDown)), L"Move D&own");
                   EXPECT_EQ(TextOf(GetDlgItem(list, frmList::kLblItems)), L"&Items:");
                   // Esc is Cancel.
                   PostMessageW(GetDlgItem(list, frmList::kLstItems), WM_KEYDOWN, VK_ESCAPE, 0);
                   EXPECT_TRUE(WaitGone(list));
               },
               L"List");
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_TRUE(settings->Contains(kAppTitle, "frmList", "Left"));
    EXPECT_EQ(settings->Read(kAppTitle, "frmList", "WindowState", "?"), "0");
    DestroyWindow(owner);
}

TEST_F(EditorsTest, ListEditorIsLaidOutFromItsTwipsTableAtTheWindowsDpi) {
    frmList dialog(*app, Services());
    WhileShown([&] { dialog.ShowModal(nullptr); },
               [&] {
                   HWND list = FindDialog(L"List");
                   ASSERT_NE(list, nullptr);
                   const UINT dpi = GetDpiForWindow(list);
                   RECT client{};
                   GetClientRect(list, &client);
                   EXPECT_EQ(client.right, TwipsToPixels(4455, dpi));
                   EXPECT_EQ(client.bottom, TwipsToPixels(3585, dpi));
                   RECT ok{};
                   GetWindowRect(GetDlgItem(list, frmList::kCmdOk), &ok);
                   MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&ok), 2);
                   EXPECT_EQ(ok.left, TwipsToPixels(1800, dpi));
                   EXPECT_EQ(ok.top, TwipsToPixels(3120, dpi));
                   EXPECT_EQ(ok.right - ok.left, TwipsToPixels(1215, dpi));
                   EXPECT_EQ(ok.bottom - ok.top, TwipsToPixels(330, dpi));
                   const LONG style = GetWindowLongW(list, GWL_STYLE);
                   EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
                   LOGFONTW font{};
                   GetObjectW(reinterpret_cast<HFONT>(SendMessageW(
                                  GetDlgItem(list, frmList::kCmdOk), WM_GETFONT, 0, 0)),
                              sizeof(font), &font);
                   EXPECT_STREQ(font.lfFaceName, L"Tahoma");
                   EXPECT_EQ(font.lfHeight, -MulDiv(825, static_cast<int>(dpi), 7200));
               },
               L"List");
}

TEST_F(EditorsTest, ListEditorTabOrderFollowsTheTable) {
    Items({"A", "B", "C"});
    frmList dialog(*app, Services());
    WhileShown([&] { dialog.ShowModal(nullptr); },
               [&] {
                   HWND list = FindDialog(L"List");
                   ASSERT_NE(list, nullptr);
                   Select(list, 1);
                   std::vector<int> order;
                   HWND control = GetDlgItem(list, frmList::kLstItems);
                   for (int i = 0; i < 8; ++i) {
                       order.push_back(GetDlgCtrlID(control));
                       control = GetNextDlgTabItem(list, control, FALSE);
                   }
                   EXPECT_EQ(order, (std::vector<int>{frmList::kLstItems, frmList::kCmdNew,
                                                      frmList::kCmdEdit, frmList::kCmdDelete,
                                                      frmList::kCmdMoveUp, frmList::kCmdMoveDown,
                                                      IDOK, IDCANCEL}));
                   EXPECT_EQ(GetDlgCtrlID(control), frmList::kLstItems);
               },
               L"List");
}

TEST_F(EditorsTest, ListEditorButtonsMoveAndDeleteWithTheSelectionFollowing) {
    Items({"A", "B\\tF2", "C"});
    frmList dialog(*app, Services());
    WhileShown([&] { dialog.ShowModal(nullptr); },
               [&] {
                   HWND list = FindDialog(L"List");
                   ASSERT_NE(list, nullptr);
                   HWND rows = GetDlgItem(list, frmList::kLstItems);
                   Select(list, 1);
                   EXPECT_EQ(ItemButtons(list), (std::vector<bool>{true, true, true, true}));

                   SendMessageW(GetDlgItem(list, frmList::kCmdMoveUp), BM_CLICK, 0, 0);
                   EXPECT_EQ(winetest::ListBoxRows(rows), (Rows{L"B\tF2", L"A", L"C"}));
                   EXPECT_EQ(Selection(list), 0);
                   EXPECT_EQ(ItemButtons(list), (std::vector<bool>{true, true, false, true}));

                   // Alt+O, the access key of "Move D&own".
                   PostMessageW(rows, WM_SYSCHAR, 'o', 1 << 29);
                   EXPECT_TRUE(WaitFor([&] { return Selection(list) == 1; }));
                   EXPECT_EQ(winetest::ListBoxRows(rows), (Rows{L"A", L"B\tF2", L"C"}));

                   Select(list, 2);
                   SendMessageW(GetDlgItem(list, frmList::kCmdDelete), BM_CLICK, 0, 0);
                   EXPECT_EQ(winetest::ListBoxRows(rows), (Rows{L"A", L"B\tF2"}));
                   EXPECT_EQ(Selection(list), 1);
                   EXPECT_EQ(ItemButtons(list), (std::vector<bool>{true, true, true, false}));

                   PostMessageW(GetDlgItem(list, IDOK), BM_CLICK, 0, 0);
                   EXPECT_TRUE(WaitGone(list));
               },
               L"List");
    EXPECT_EQ(LiveCaptions(), (std::vector<std::string>{"A", "B\\tF2"}));
    ASSERT_TRUE(fileSystem->File(kDataFile));
    EXPECT_EQ(*fileSystem->File(kDataFile), "A\tA.exe\t1\r\nB\\tF2\tB\\tF2.exe\t1\r\n");
}

TEST_F(EditorsTest, NewOpensTheItemEditorAndInsertsAfterTheSelection) {
    Items({"A", "B"});
    runHistory = {{"MRUList", "ba"}, {"a", "calc\\1"}, {"b", "notepad\\1"}};
    extraIcons = {"Star"};
    frmList dialog(*app, Services());
    WhileShown([&] { dialog.ShowModal(nullptr); },
               [&] {
                   HWND list = FindDialog(L"List");
                   ASSERT_NE(list, nullptr);
                   Select(list, 0);
                   PostMessageW(GetDlgItem(list, frmList::kCmdNew), BM_CLICK, 0, 0);
                   HWND item = FindDialog(L"New Item");
                   ASSERT_NE(item, nullptr);
                   EXPECT_FALSE(IsWindowEnabled(list));
                   EXPECT_EQ(openDialogs.Window(DialogKind::LaunchItem), item);

                   HWND caption = GetDlgItem(item, frmLaunchItem::kTxtCaption);
                   HWND command = GetDlgItem(item, frmLaunchItem::kTxtCommand);
                   HWND icon = GetDlgItem(item, frmLaunchItem::kCboIcon);
                   EXPECT_EQ(TextOf(caption), L"New Item");
                   EXPECT_EQ(FocusOf(uiThread), caption);
                   EXPECT_EQ(winetest::ComboBoxRows(command), (Rows{L"notepad", L"calc"}));
                   EXPECT_EQ(winetest::ComboBoxRows(icon),
                             (Rows{L"No icon", L"Application", L"Folder", L"Document", L"Mail",
                                   L"Web", L"Star"}));
                   EXPECT_EQ(SendMessageW(icon, CB_GETCURSEL, 0, 0), 0);

                   SendMessageW(caption, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-"));
                   EXPECT_EQ(TextOf(item), L"Separator");
                   EXPECT_FALSE(IsWindowEnabled(command));
                   EXPECT_FALSE(IsWindowEnabled(icon));
                   SendMessageW(caption, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
                   EXPECT_EQ(TextOf(item), L"New Item");
                   EXPECT_TRUE(IsWindowEnabled(command));
                   SendMessageW(caption, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Tools"));
                   EXPECT_EQ(TextOf(item), L"Tools");
                   SendMessageW(command, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"tools.exe"));
                   SendMessageW(icon, CB_SETCURSEL, 6, 0);
                   // Enter is OK.
                   PostMessageW(caption, WM_KEYDOWN, VK_RETURN, 0);
                   EXPECT_TRUE(WaitGone(item));

                   HWND rows = GetDlgItem(list, frmList::kLstItems);
                   EXPECT_TRUE(WaitFor([&] { return winetest::ListBoxRows(rows).size() == 3; }));
                   EXPECT_EQ(winetest::ListBoxRows(rows), (Rows{L"A", L"Tools", L"B"}));
                   EXPECT_EQ(Selection(list), 1);
                   EXPECT_EQ(openDialogs.Window(DialogKind::LaunchItem), nullptr);
                   PostMessageW(GetDlgItem(list, IDOK), BM_CLICK, 0, 0);
                   EXPECT_TRUE(WaitGone(list));
               },
               L"List");
    ASSERT_EQ(app->Document()->count(), 3);
    const auto added = app->Document()->Item(2);
    EXPECT_EQ(added->Caption(), "Tools");
    EXPECT_EQ(added->Command(), "tools.exe");
    EXPECT_EQ(added->Icon(), 6);
}

TEST_F(EditorsTest, EditAndCancelLeaveTheLiveCollectionAlone) {
    Items({"A", "B"});
    frmList dialog(*app, Services());
    WhileShown(
        [&] { dialog.ShowModal(nullptr); },
        [&] {
            HWND list = FindDialog(L"List");
            ASSERT_NE(list, nullptr);
            Select(list, 1);
            // A double click edits.
            HWND rows = GetDlgItem(list, frmList::kLstItems);
            PostMessageW(list, WM_COMMAND, MAKEWPARAM(frmList::kLstItems, LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(rows));
            HWND item = FindDialog(L"B");
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(TextOf(GetDlgItem(item, frmLaunchItem::kTxtCommand)), L"B.exe");
            EXPECT_EQ(SendMessageW(GetDlgItem(item, frmLaunchItem::kCboIcon), CB_GETCURSEL, 0, 0),
                      1);
            SendMessageW(GetDlgItem(item, frmLaunchItem::kTxtCaption), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(L"Bee"));
            PostMessageW(GetDlgItem(item, IDOK), BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitGone(item));
            EXPECT_TRUE(WaitFor([&] { return winetest::ListBoxRows(rows) == Rows{L"A", L"Bee"}; }));
            EXPECT_EQ(Selection(list), 1);
            PostMessageW(GetDlgItem(list, IDCANCEL), BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitGone(list));
        },
        L"List");
    EXPECT_EQ(LiveCaptions(), (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(fileSystem->File(kDataFile));
}

TEST_F(EditorsTest, ItemEditorRefusesEmptyFieldsAndPutsTheFocusInTheFieldAtFault) {
    ItemEditorServices services;
    services.shell = shell.get();
    frmLaunchItem editor(services);
    editor.Item().SetCaption("");
    WhileShown([&] { editor.ShowModal(nullptr); },
               [&] {
                   HWND item = FindDialog(L"Item");  // an empty caption keeps the design-time title
                   ASSERT_NE(item, nullptr);
                   std::vector<int> order;
                   HWND control = GetDlgItem(item, frmLaunchItem::kTxtCaption);
                   for (int i = 0; i < 7; ++i) {
                       order.push_back(GetDlgCtrlID(control));
                       control = GetNextDlgTabItem(item, control, FALSE);
                   }
                   EXPECT_EQ(order, (std::vector<int>{
                                        frmLaunchItem::kTxtCaption, frmLaunchItem::kTxtCommand,
                                        frmLaunchItem::kCmdBrowse, frmLaunchItem::kCboIcon, IDOK,
                                        IDCANCEL, frmLaunchItem::kCmdTest}));

                   PostMessageW(GetDlgItem(item, IDOK), BM_CLICK, 0, 0);
                   EXPECT_EQ(AnswerMessageBox(), L"Please enter the item's caption.");
                   EXPECT_TRUE(WaitFor([&] {
                       return FocusOf(uiThread) == GetDlgItem(item, frmLaunchItem::kTxtCaption);
                   }));

                   SendMessageW(GetDlgItem(item, frmLaunchItem::kTxtCaption), WM_SETTEXT, 0,
                                reinterpret_cast<LPARAM>(L"--"));
                   PostMessageW(GetDlgItem(item, IDOK), BM_CLICK, 0, 0);
                   EXPECT_EQ(AnswerMessageBox(), L"Please enter the item's command.");
                   HWND command = GetDlgItem(item, frmLaunchItem::kTxtCommand);
                   EXPECT_TRUE(WaitFor([&] {
                       HWND focus = FocusOf(uiThread);
                       return focus == command || GetParent(focus) == command;
                   }));

                   shell->accept = false;
                   PostMessageW(GetDlgItem(item, frmLaunchItem::kCmdTest), BM_CLICK, 0, 0);
                   EXPECT_EQ(AnswerMessageBox(), L"Cannot execute this command.");
                   EXPECT_TRUE(IsWindow(item));

                   PostMessageW(GetDlgItem(item, IDCANCEL), BM_CLICK, 0, 0);
                   EXPECT_TRUE(WaitGone(item));
               },
               L"Item");
    EXPECT_FALSE(editor.OkClicked());
    EXPECT_EQ(editor.Item().Caption(), "");
    EXPECT_EQ(shell->opened, std::vector<std::string>{""});
}

TEST_F(EditorsTest, WmQuitEndsBothEditorsAndReachesTheOuterLoop) {
    Items({"A"});
    frmList dialog(*app, Services());
    WhileShown([&] { dialog.ShowModal(nullptr); },
               [&] {
                   HWND list = FindDialog(L"List");
                   ASSERT_NE(list, nullptr);
                   PostMessageW(GetDlgItem(list, frmList::kCmdNew), BM_CLICK, 0, 0);
                   HWND item = FindDialog(L"New Item");
                   ASSERT_NE(item, nullptr);
                   PostThreadMessageW(uiThread, WM_QUIT, 42, 0);
                   EXPECT_TRUE(WaitGone(item));
                   EXPECT_TRUE(WaitGone(list));
               },
               L"List");
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_TRUE(settings->Contains(kAppTitle, "frmList", "Top"));
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 42u);
    EXPECT_EQ(LiveCaptions(), std::vector<std::string>{"A"});
}

TEST_F(EditorsTest, ExitClosesTheItemEditorAndTheListEditorThroughTheirUnloading) {
    Items({"A"});
    frmList dialog(*app, Services());
    const auto registration = openDialogs.Register(
        DialogKind::List, [&] { return dialog.Hwnd(); }, [&] { dialog.Close(); });
    static std::atomic<bool> exitRequested = false;
    static OpenDialogs* dialogs = nullptr;
    exitRequested = false;
    dialogs = &openDialogs;
    // As the tray window's Exit does, on the thread that owns the dialogs.
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (!exitRequested.exchange(false)) return;
        dialogs->Close(DialogKind::LaunchItem);
        dialogs->Close(DialogKind::List);
    });
    WhileShown([&] { dialog.ShowModal(nullptr); },
               [&] {
                   HWND list = FindDialog(L"List");
                   ASSERT_NE(list, nullptr);
                   PostMessageW(GetDlgItem(list, frmList::kCmdNew), BM_CLICK, 0, 0);
                   HWND item = FindDialog(L"New Item");
                   ASSERT_NE(item, nullptr);
                   exitRequested = true;
                   EXPECT_TRUE(WaitGone(item));
                   EXPECT_TRUE(WaitGone(list));
               },
               L"List");
    KillTimer(nullptr, timer);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(openDialogs.Window(DialogKind::List), nullptr);
    EXPECT_EQ(openDialogs.Window(DialogKind::LaunchItem), nullptr);
    EXPECT_TRUE(settings->Contains(kAppTitle, "frmList", "Height"));
    EXPECT_EQ(LiveCaptions(), std::vector<std::string>{"A"});
    MSG message{};
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(EditorsTest, ListEditorReopensWhereItWasLeft) {
    frmList first(*app, Services());
    RECT moved{};
    WhileShown([&] { first.ShowModal(nullptr); },
               [&] {
                   HWND list = FindDialog(L"List");
                   ASSERT_NE(list, nullptr);
                   RECT bounds{};
                   GetWindowRect(list, &bounds);
                   // First opening: the lower right corner of the primary screen, 50 pixels in.
                   EXPECT_EQ(bounds.right, GetSystemMetrics(SM_CXSCREEN) - 50);
                   EXPECT_EQ(bounds.bottom, GetSystemMetrics(SM_CYSCREEN) - 50);
                   SetWindowPos(list, nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                   GetWindowRect(list, &moved);
                   PostMessageW(GetDlgItem(list, IDCANCEL), BM_CLICK, 0, 0);
                   EXPECT_TRUE(WaitGone(list));
               },
               L"List");
    EXPECT_EQ(settings->Read(kAppTitle, "frmList", "Left", ""), "1500");
    EXPECT_EQ(settings->Read(kAppTitle, "frmList", "Top", ""), "1200");

    frmList second(*app, Services());
    WhileShown([&] { second.ShowModal(nullptr); },
               [&] {
                   HWND list = FindDialog(L"List");
                   ASSERT_NE(list, nullptr);
                   RECT bounds{};
                   GetWindowRect(list, &bounds);
                   EXPECT_EQ(bounds.left, moved.left);
                   EXPECT_EQ(bounds.top, moved.top);
               },
               L"List");
}

}  // namespace
}  // namespace trayhound
