#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "WineTestSupport.h"
#include "app/Application.h"
#include "app/MemorySettingsStore.h"
#include "iconsets/win32/frmOptions.h"
#include "support/StdFileSystem.h"
#include "support/Windows1252Codec.h"
#include "support/win32/ComApartment.h"
#include "support/win32/DialogLayout.h"
#include "support/win32/Text.h"
#include "tray/win32/frmTray.h"

namespace trayhound {
namespace {

using namespace std::chrono_literals;
using winetest::TextOf;
using winetest::WaitFor;
using C = frmOptions::Control;

constexpr std::string_view kListSection = "Options\\LastIconSetFileNames";

struct ComboEntry {
    std::wstring text;
    LRESULT itemData;
    bool operator==(const ComboEntry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ComboEntry& entry) {
    return out << ToUtf8(entry.text) << " (" << entry.itemData << ")";
}

std::vector<ComboEntry> ComboEntries(HWND combo) {
    std::vector<ComboEntry> entries;
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        entries.push_back({winetest::ComboBoxRow(combo, static_cast<int>(i)),
                           SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)});
    }
    return entries;
}

// The visible top-level window of `thread` with this caption and window class.
HWND ThreadWindow(DWORD thread, const wchar_t* className, const wchar_t* caption) {
    struct Search {
        const wchar_t* className;
        const wchar_t* caption;
        HWND found = nullptr;
    } search{className, caption};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            wchar_t name[64]{};
            GetClassNameW(window, name, static_cast<int>(std::size(name)));
            if (IsWindowVisible(window) && std::wstring_view(name) == s.className &&
                TextOf(window) == s.caption) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The edit box of the open-file dialog's file-name field: ComboBoxEx32 > ComboBox > Edit.
HWND FileNameEdit(HWND fileDialog) {
    const HWND comboEx = FindWindowExW(fileDialog, nullptr, L"ComboBoxEx32", nullptr);
    const HWND combo = comboEx ? FindWindowExW(comboEx, nullptr, L"ComboBox", nullptr) : nullptr;
    return combo ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
}

std::string IconSetText(std::string_view name, std::string_view author,
                        std::string_view description) {
    return "[Trayhound Icon Set]\r\nname=" + std::string(name) +
           "\r\nauthor=" + std::string(author) + "\r\ndescription=" + std::string(description) +
           "\r\ncount=5\r\n";
}

class OptionsDialogTest : public testing::Test {
  protected:
    OptionsDialogTest() : folder_(MakeFolder()) {
        setA = WriteSet(L"a.iconset", IconSetText("Alpha", "Ann & Co", "First set"));
        setB = WriteSet(L"b.iconset", IconSetText("Beta", "Bob", "Second set"));
        setC = WriteSet(L"c.iconset", IconSetText("Gamma", "Cy", "Third set"));
        missing = ToUtf8((folder_ / L"gone.iconset").wstring());
    }

    ~OptionsDialogTest() override {
        if (dialogThread_.joinable()) {
            if (window) PostMessageW(window, WM_CLOSE, 0, 0);
            dialogThread_.join();
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    static std::filesystem::path MakeFolder() {
        static int counter = 0;
        auto path = std::filesystem::temp_directory_path() /
                    (L"trayhound-options-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                     std::to_wstring(counter++));
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path;
    }

    std::string WriteSet(const std::wstring& name, const std::string& text) {
        std::ofstream(folder_ / name, std::ios::binary) << text;
        return ToUtf8((folder_ / name).wstring());
    }

    void StoreList(const std::vector<std::string>& list) {
        settings->Write(kAppTitle, kListSection, "count", std::to_string(list.size()));
        for (std::size_t i = 0; i < list.size(); ++i) {
            settings->Write(kAppTitle, kListSection, std::to_string(i + 1), list[i]);
        }
    }

    std::vector<std::string> StoredList() const {
        std::vector<std::string> list;
        const int count = std::stoi(settings->Read(kAppTitle, kListSection, "count", "-1"));
        for (int i = 1; i <= count; ++i) {
            list.push_back(settings->Read(kAppTitle, kListSection, std::to_string(i), ""));
        }
        return list;
    }

    ApplicationServices Services() {
        ApplicationServices services;
        services.settings = settings;
        services.fileSystem = std::make_shared<StdFileSystem>();
        services.codec = std::make_shared<Windows1252Codec>();
        const std::string appData = ToUtf8(folder_.wstring());
        services.readAppDataFolder = [appData] { return std::optional<std::string>(appData); };
        services.executablePath = "C:\\Program Files\\Trayhound\\Trayhound.exe";
        return services;
    }

    // Starts the application object with `list` stored and shows the dialog modally on a thread
    // of its own, as the tray window would on the program's thread.
    void Open(const std::vector<std::string>& list) {
        StoreList(list);
        application = std::make_unique<Application>(Services());
        dialogThread_ = std::thread([this] {
            threadId_ = GetCurrentThreadId();
            frmOptions dialog(*application);
            dialog.ShowModal(nullptr);
            closed_ = true;
        });
        window = WaitFor([this] {
            return threadId_ ? ThreadWindow(threadId_, L"#32770", L"Options") : nullptr;
        });
        ASSERT_NE(window, nullptr);
    }

    // Waits for the dialog to close; afterwards the test owns the application object again.
    bool WaitUntilClosed() {
        if (!WaitFor([this] { return closed_.load(); })) return false;
        dialogThread_.join();
        window = nullptr;
        return true;
    }

    HWND Control(int id) const { return GetDlgItem(window, id); }
    std::wstring Author() const { return TextOf(Control(C::kLblAuthor)); }
    std::wstring Description() const { return TextOf(Control(C::kLblDescription)); }
    LRESULT Selected() const { return SendMessageW(Control(C::kCboIconSet), CB_GETCURSEL, 0, 0); }

    // The user picks entry `index` of the drop-down list. Picking "Browse..." opens the file
    // dialog, so that notification is posted rather than sent.
    void Pick(int index, bool post = false) const {
        const HWND combo = Control(C::kCboIconSet);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        const WPARAM command = MAKEWPARAM(C::kCboIconSet, CBN_SELCHANGE);
        if (post) {
            PostMessageW(window, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo));
        } else {
            SendMessageW(window, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo));
        }
    }

    HWND WaitForFileDialog() const {
        return WaitFor([this] { return ThreadWindow(threadId_, L"#32770", L"Open"); });
    }

    std::shared_ptr<MemorySettingsStore> settings = std::make_shared<MemorySettingsStore>();
    std::unique_ptr<Application> application;
    HWND window = nullptr;
    std::string setA, setB, setC, missing;
    std::filesystem::path folder_;
    std::thread dialogThread_;
    std::atomic<DWORD> threadId_{0};
    std::atomic<bool> closed_{false};
};

TEST_F(OptionsDialogTest, ShowsTheIconSetPageWithTheInternalSetOnFirstRun) {
    Open({std::string(kInternalIconSetMarker)});

    EXPECT_EQ(TextOf(window), L"Options");
    const HWND pages = Control(C::kLstPages);
    ASSERT_EQ(SendMessageW(pages, LB_GETCOUNT, 0, 0), 1);
    wchar_t page[32]{};
    SendMessageW(pages, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(page));
    EXPECT_STREQ(page, L" Icon sets");
    EXPECT_EQ(SendMessageW(pages, LB_GETITEMDATA, 0, 0), 1);
    EXPECT_EQ(SendMessageW(pages, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(TextOf(Control(C::kLblHead)), L"Icon Sets");
    EXPECT_TRUE(IsWindowVisible(Control(C::kLblHead)));
    EXPECT_EQ(TextOf(Control(C::kLblIconSet)), L"Icon set:");

    EXPECT_EQ(ComboEntries(Control(C::kCboIconSet)),
              (std::vector<ComboEntry>{{L"Internal icon set", -1}, {L"Browse...", 0}}));
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Author(), L"Author: Wexmoor");
    EXPECT_EQ(Description(), L"The internal icon set.");

    // Never closed before: the lower right corner, 50 pixels in from the screen's edges.
    RECT bounds{};
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right, GetSystemMetrics(SM_CXSCREEN) - 50);
    EXPECT_EQ(bounds.bottom, GetSystemMetrics(SM_CYSCREEN) - 50);
}

TEST_F(OptionsDialogTest, DropsUnreadableSetsAndShowsEachSetsInfo) {
    Open({setA, missing, setC});

    EXPECT_EQ(ComboEntries(Control(C::kCboIconSet)),
              (std::vector<ComboEntry>{{L"Alpha", 1}, {L"Gamma", 2}, {L"Browse...", 0}}));
    // "&" in a set's text is shown, not taken as an access key.
    EXPECT_EQ(Author(), L"Author: Ann & Co");
    Pick(1);
    EXPECT_EQ(Author(), L"Author: Cy");
    EXPECT_EQ(Description(), L"Third set");
}

TEST_F(OptionsDialogTest, PickFromTheDroppedListShowsTheSetOnceItCloses) {
    Open({setA, setB});
    const HWND combo = Control(C::kCboIconSet);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));

    Pick(1);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);

    EXPECT_TRUE(WaitFor([&] { return Author() == L"Author: Bob"; }));
    EXPECT_EQ(Description(), L"Second set");
}

TEST_F(OptionsDialogTest, OkMakesTheSelectedSetActive) {
    Open({setA, setB, setC});
    Pick(2);

    PostMessageW(Control(IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntilClosed());

    EXPECT_EQ(application->Options()->LastIconSetFileNames, (std::vector{setC, setA, setB}));
    application.reset();
    EXPECT_EQ(StoredList(), (std::vector{setC, setA, setB}));
}

TEST_F(OptionsDialogTest, CancelKeepsTheLiveOptionsAndSavesThePlacement) {
    Open({setA, missing, setB});
    Pick(1);

    PostMessageW(Control(IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntilClosed());

    EXPECT_EQ(application->Options()->LastIconSetFileNames, (std::vector{setA, missing, setB}));
    EXPECT_TRUE(settings->Contains(kAppTitle, "frmOptions", "Left"));
    EXPECT_EQ(settings->Read(kAppTitle, "frmOptions", "WindowState", ""), "0");
    application.reset();
    EXPECT_EQ(StoredList(), (std::vector{setA, missing, setB}));
}

TEST_F(OptionsDialogTest, OpensAtItsDesignedSizeWhereItWasLeft) {
    // A value that is no number is passed over; the others still apply.
    settings->Write(kAppTitle, "frmOptions", "Left", "left of centre");
    settings->Write(kAppTitle, "frmOptions", "Top", "1500");
    settings->Write(kAppTitle, "frmOptions", "Width", "20000");
    Open({setA});

    RECT bounds{};
    GetWindowRect(window, &bounds);
    RECT client{};
    GetClientRect(window, &client);
    const UINT dpi = WindowDpi(window);
    EXPECT_EQ(bounds.top, TwipsToPixels(1500, dpi));
    EXPECT_EQ(client.right, TwipsToPixels(6000, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(3600, dpi));
}

TEST_F(OptionsDialogTest, BrowsingToANewSetAddsAndSelectsIt) {
    Open({setA, setB});
    const std::string setD = WriteSet(L"d.iconset", IconSetText("Delta", "Dee", "Fourth set"));

    Pick(2, true);
    const HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    const HWND edit = WaitFor([&] { return FileNameEdit(fileDialog); });
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(ToWide(setD).c_str()));
    PostMessageW(GetDlgItem(fileDialog, IDOK), BM_CLICK, 0, 0);

    ASSERT_TRUE(
        WaitFor([&] { return SendMessageW(Control(C::kCboIconSet), CB_GETCOUNT, 0, 0) == 4; }));
    EXPECT_EQ(
        ComboEntries(Control(C::kCboIconSet)),
        (std::vector<ComboEntry>{{L"Alpha", 1}, {L"Beta", 2}, {L"Delta", 3}, {L"Browse...", 0}}));
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Author(), L"Author: Dee");
    EXPECT_EQ(Description(), L"Fourth set");

    PostMessageW(Control(IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntilClosed());
    EXPECT_EQ(application->Options()->LastIconSetFileNames, (std::vector{setD, setA, setB}));
}

TEST_F(OptionsDialogTest, CancelledBrowseReturnsToTheFormerSet) {
    Open({setA, setB});
    Pick(1);

    Pick(2, true);
    const HWND fileDialog = WaitForFileDialog();
    ASSERT_NE(fileDialog, nullptr);
    PostMessageW(GetDlgItem(fileDialog, IDCANCEL), BM_CLICK, 0, 0);

    ASSERT_TRUE(WaitFor([&] { return Selected() == 1; }));
    EXPECT_FALSE(WaitFor([&] { return ThreadWindow(threadId_, L"#32770", L"Open"); }, 200ms));
    EXPECT_EQ(SendMessageW(Control(C::kCboIconSet), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(Author(), L"Author: Bob");
}

// Removes what is left in this thread's queue; true when a WM_QUIT was there.
bool DrainQueue() {
    bool quit = false;
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) quit = true;
    }
    return quit;
}

// The whole program: the tray window opens the real dialog from "&Options...", and the program
// is ended while the dialog is open.
class OptionsDialogInTrayTest : public OptionsDialogTest {
  protected:
    OptionsDialogInTrayTest() { DrainQueue(); }

    TraySetup MakeSetup() {
        TraySetup setup;
        setup.instance = GetModuleHandleW(nullptr);
        setup.services = [this] { return Services(); };
        setup.dialogs.options = MakeOptionsDialog;
        return setup;
    }

    // Opens the dialog from the command menu; `whileOpen` runs on another thread once the
    // dialog shows. Returns when the command has returned.
    void RunOptionsCommand(frmTray& tray, const std::function<void()>& whileOpen) {
        const DWORD uiThread = GetCurrentThreadId();
        std::thread driver([&] {
            window = WaitFor([&] { return ThreadWindow(uiThread, L"#32770", L"Options"); });
            if (window) whileOpen();
        });
        SendMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightOptions, 0);
        driver.join();
    }

    ComApartment com;
};

TEST_F(OptionsDialogInTrayTest, ExitWhileOpenEndsTheProgramAndKeepsTheLiveList) {
    StoreList({setA, missing, setB});
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);

    RunOptionsCommand(tray, [&] {
        Pick(1);
        PostMessageW(tray.hWnd(), WM_COMMAND, frmTray::kMnuRightExit, 0);
    });

    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(tray.Ended());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(DrainQueue());
    // The dialog's copy (without the missing set) went first; the live list was written last.
    EXPECT_EQ(StoredList(), (std::vector{setA, missing, setB}));
    EXPECT_TRUE(settings->Contains(kAppTitle, "frmOptions", "Left"));
}

TEST_F(OptionsDialogInTrayTest, ShutdownRequestWhileOpenEndsTheProgram) {
    StoreList({setA, missing, setB});
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);

    RunOptionsCommand(tray, [&] {
        settings->Write(kAppTitle, "Command", "Shutdown", "1");
        // The timer's next tick, without waiting five seconds for it.
        PostMessageW(tray.hWnd(), WM_TIMER, frmTray::kCommandTimer, 0);
    });

    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(tray.Ended());
    EXPECT_TRUE(DrainQueue());
    EXPECT_FALSE(settings->Contains(kAppTitle, "Command", "Shutdown"));
    EXPECT_EQ(StoredList(), (std::vector{setA, missing, setB}));
}

TEST_F(OptionsDialogInTrayTest, OkHandsTheOptionsOverAndTheCommandWorksAgain) {
    StoreList({std::string(kInternalIconSetMarker), setA});
    frmTray tray(MakeSetup());
    ASSERT_EQ(tray.Form_Load(), frmTray::StartResult::Running);

    RunOptionsCommand(tray, [&] {
        Pick(1);
        PostMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    });

    EXPECT_FALSE(tray.Ended());
    EXPECT_EQ(tray.App().Options()->LastIconSetFileNames,
              (std::vector{setA, std::string(kInternalIconSetMarker)}));
    // A second command opens a new dialog, the registry having let go of the first.
    RunOptionsCommand(tray, [&] { PostMessageW(window, WM_CLOSE, 0, 0); });
    EXPECT_FALSE(tray.Ended());
    EXPECT_FALSE(DrainQueue());
}

}  // namespace
}  // namespace trayhound
