#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cwctype>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "WineTestSupport.h"
#include "about/AboutModel.h"
#include "about/win32/RunningProgram.h"
#include "about/win32/frmAbout.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {
namespace {

using namespace std::chrono_literals;
using winetest::TextOf;
using winetest::WaitFor;

std::wstring ClipboardText() {
    if (!OpenClipboard(nullptr)) return L"<busy>";
    std::wstring text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void ClearClipboard() {
    ASSERT_TRUE(WaitFor([] { return OpenClipboard(nullptr) != FALSE; }));
    EmptyClipboard();
    CloseClipboard();
}

about::AppProperties SampleProperties() {
    about::AppProperties p;
    p.title = "Trayhound";
    p.version = {1, 0, 2214};
    p.legalCopyright = "Copyright (C) Wexmoor";
    p.exeName = "Trayhound";
    p.helpFile = "C:\\Apps\\Trayhound.chm";
    p.path = "C:\\Apps";
    p.threadId = 77;
    return p;
}

// Work handed to the box's thread, run from a timer there because only that thread may touch
// its windows' state (focus, keyboard state, subclassing).
class BoxThreadTasks {
  public:
    static void Start() { SetTimer(nullptr, 0, 20, &BoxThreadTasks::Run); }

    static void Do(std::function<void()> task) {
        std::packaged_task<void()> packaged(std::move(task));
        auto done = packaged.get_future();
        {
            const std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(packaged));
        }
        ASSERT_EQ(done.wait_for(5s), std::future_status::ready);
    }

  private:
    static void CALLBACK Run(HWND, UINT, UINT_PTR, DWORD) {
        std::vector<std::packaged_task<void()>> tasks;
        {
            const std::lock_guard lock(mutex_);
            tasks.swap(tasks_);
        }
        for (auto& task : tasks) task();
    }

    static inline std::mutex mutex_;
    static inline std::vector<std::packaged_task<void()>> tasks_;
};

// The keys that reached one control.
class KeyRecorder {
  public:
    static void Attach(HWND control) { SetWindowSubclass(control, &KeyRecorder::Proc, 1, 0); }
    static bool Saw(WPARAM key) {
        const std::lock_guard lock(mutex_);
        return keys_.contains(key);
    }
    static void Clear() {
        const std::lock_guard lock(mutex_);
        keys_.clear();
    }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
        if (message == WM_KEYDOWN) {
            const std::lock_guard lock(mutex_);
            keys_.insert(wParam);
        }
        if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &KeyRecorder::Proc, 1);
        return DefSubclassProc(window, message, wParam, lParam);
    }

    static inline std::mutex mutex_;
    static inline std::set<WPARAM> keys_;
};

void SetShift(bool down) {
    BYTE state[256]{};
    GetKeyboardState(state);
    state[VK_SHIFT] = down ? 0x80 : 0;
    state[VK_LSHIFT] = state[VK_SHIFT];
    SetKeyboardState(state);
}

// Runs the About box modally on a thread of its own, as the tray window would on the UI
// thread, and drives it from the test's thread.
class AboutBoxTest : public testing::Test {
  protected:
    // `before` runs on the box's thread just before the box opens.
    void Open(std::function<void()> before = {}, HWND owner = nullptr) {
        thread_ = std::thread([this, before, owner] {
            threadId_ = GetCurrentThreadId();
            BoxThreadTasks::Start();
            if (before) before();
            frmAbout::Show(owner, SampleProperties());
            MSG quit{};
            if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
                quitCode_ = static_cast<int>(quit.wParam);
            }
            returned_ = true;
        });
        box_ = WaitFor([] { return frmAbout::OpenWindow(); });
        ASSERT_NE(box_, nullptr);
    }

    void TearDown() override {
        if (const HWND open = frmAbout::OpenWindow()) PostMessageW(open, WM_CLOSE, 0, 0);
        if (thread_.joinable()) thread_.join();
    }

    bool WaitUntilClosed() {
        return WaitFor([this] { return returned_.load(); }) && frmAbout::OpenWindow() == nullptr &&
               !IsWindow(box_);
    }

    HWND Control(int id) const { return GetDlgItem(box_, id); }
    HWND Properties() const {
        return GetDlgItem(Control(frmAbout::kPicScreen2), frmAbout::kLstAppProperties);
    }
    void PressKey(WPARAM key) const { PostMessageW(Control(frmAbout::kCmdOK), WM_KEYDOWN, key, 0); }
    bool HeadingBecomes(const std::wstring& text) const {
        return WaitFor([&] { return TextOf(Control(frmAbout::kLblVersion)) == text; });
    }

    HWND box_ = nullptr;
    std::thread thread_;
    std::atomic<DWORD> threadId_{0};
    std::atomic<bool> returned_{false};
    std::atomic<int> quitCode_{-1};
};

TEST_F(AboutBoxTest, ShowsCaptionVersionAndTexts) {
    Open();
    EXPECT_EQ(TextOf(box_), L"About Trayhound");
    EXPECT_EQ(TextOf(Control(frmAbout::kLblVersion)), L"Version 1.0 beta 2 (build 14)");
    EXPECT_EQ(TextOf(Control(frmAbout::kLblDisclaimer)), L"Copyright (C) Wexmoor");
    EXPECT_EQ(TextOf(Control(frmAbout::kLblDescription)),
              L"If you find a bug, or have any idea of improving Trayhound, please mail me:");
    EXPECT_EQ(TextOf(Control(frmAbout::kLblMailMe)), ToWide(about::kMailAddress));
    EXPECT_EQ(TextOf(Control(frmAbout::kCmdOK)), L"OK");
    const HWND banner = Control(frmAbout::kPicture1);
    EXPECT_EQ(TextOf(GetDlgItem(banner, frmAbout::kLblTitle)), L"Trayhound");
    EXPECT_EQ(TextOf(GetDlgItem(banner, frmAbout::kLblXp)), L"xp");
}

TEST_F(AboutBoxTest, OpensInTheMainViewWithTheTwentyThreeProperties) {
    Open();
    EXPECT_TRUE(IsWindowVisible(Control(frmAbout::kLblVersion)));
    EXPECT_FALSE(IsWindowVisible(Control(frmAbout::kPicScreen2)));
    EXPECT_FALSE(IsWindowVisible(Control(frmAbout::kLstThanks)));
    const HWND list = Properties();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 23);
    EXPECT_EQ(winetest::ListBoxRow(list, 0), L"Title\t\tTrayhound");
    EXPECT_EQ(winetest::ListBoxRow(list, 16), L"PrevInstance\tFalse");
    EXPECT_EQ(winetest::ListBoxRow(list, 21), L"ThreadID\t\t77");
    EXPECT_EQ(SendMessageW(Control(frmAbout::kLstThanks), LB_GETCOUNT, 0, 0), 0);
}

TEST_F(AboutBoxTest, FunctionKeysSwitchTheViews) {
    Open();
    PressKey(VK_F2);
    ASSERT_TRUE(HeadingBecomes(L"Application Info"));
    EXPECT_TRUE(IsWindowVisible(Control(frmAbout::kPicScreen2)));
    EXPECT_FALSE(IsWindowVisible(Control(frmAbout::kLstThanks)));

    PressKey(VK_F3);
    ASSERT_TRUE(HeadingBecomes(L"Thanks to:"));
    EXPECT_FALSE(IsWindowVisible(Control(frmAbout::kPicScreen2)));
    EXPECT_TRUE(IsWindowVisible(Control(frmAbout::kLstThanks)));

    PressKey(VK_F1);
    ASSERT_TRUE(HeadingBecomes(L"Version 1.0 beta 2 (build 14)"));
    EXPECT_FALSE(IsWindowVisible(Control(frmAbout::kPicScreen2)));
    EXPECT_FALSE(IsWindowVisible(Control(frmAbout::kLstThanks)));
}

TEST_F(AboutBoxTest, FunctionKeysNeverReachTheFocusedList) {
    Open();
    PressKey(VK_F2);
    ASSERT_TRUE(HeadingBecomes(L"Application Info"));
    const HWND list = Properties();
    KeyRecorder::Clear();
    BoxThreadTasks::Do([list] {
        KeyRecorder::Attach(list);
        SetFocus(list);
    });
    PostMessageW(list, WM_KEYDOWN, VK_F1, 0);
    PostMessageW(list, WM_KEYDOWN, VK_F4, 0);  // not ours: reaches the list, after F1
    ASSERT_TRUE(WaitFor([] { return KeyRecorder::Saw(VK_F4); }));
    EXPECT_FALSE(KeyRecorder::Saw(VK_F1));
    EXPECT_EQ(TextOf(Control(frmAbout::kLblVersion)), L"Version 1.0 beta 2 (build 14)");
}

TEST_F(AboutBoxTest, ShiftF1DoesNothingAndReachesTheFocusedList) {
    Open();
    PressKey(VK_F2);
    ASSERT_TRUE(HeadingBecomes(L"Application Info"));
    const HWND list = Properties();
    KeyRecorder::Clear();
    BoxThreadTasks::Do([list] {
        KeyRecorder::Attach(list);
        SetFocus(list);
        SetShift(true);
    });
    PostMessageW(list, WM_KEYDOWN, VK_F1, 0);
    EXPECT_TRUE(WaitFor([] { return KeyRecorder::Saw(VK_F1); }));
    BoxThreadTasks::Do([] { SetShift(false); });
    EXPECT_EQ(TextOf(Control(frmAbout::kLblVersion)), L"Application Info");
    EXPECT_TRUE(IsWindowVisible(Control(frmAbout::kPicScreen2)));
}

TEST_F(AboutBoxTest, TabMovesBetweenOkAndThePropertyList) {
    Open();
    PressKey(VK_F2);
    ASSERT_TRUE(HeadingBecomes(L"Application Info"));
    const auto focus = [] {
        HWND focused = nullptr;
        BoxThreadTasks::Do([&focused] { focused = GetFocus(); });
        return focused;
    };
    ASSERT_EQ(focus(), Control(frmAbout::kCmdOK));
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitFor([&] { return focus() == Properties(); }));
}

TEST_F(AboutBoxTest, CopyShortcutPutsTheWholeMailtoLinkOnTheClipboard) {
    Open();
    ClearClipboard();
    PostMessageW(Control(frmAbout::kLblMailMe), WM_RBUTTONUP, 0, MAKELPARAM(2, 2));
    const HWND popup = WaitFor([] {
        const HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu) ? menu : nullptr;
    });
    ASSERT_NE(popup, nullptr);
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    wchar_t text[64]{};
    GetMenuStringW(menu, 0, text, static_cast<int>(std::size(text)), MF_BYPOSITION);
    EXPECT_STREQ(text, L"Open in New Window");
    EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
    GetMenuStringW(menu, 2, text, static_cast<int>(std::size(text)), MF_BYPOSITION);
    EXPECT_STREQ(text, L"Copy Shortcut");

    // Down to the first entry, past the separator to the second, and choose it.
    for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageW(box_, WM_KEYDOWN, key, 0);
    }
    const std::wstring expected = ToWide(about::kMailLink);
    EXPECT_TRUE(WaitFor([&] { return ClipboardText() == expected; })) << ToUtf8(ClipboardText());
    EXPECT_EQ(expected.rfind(L"mailto:", 0), 0u);
}

TEST_F(AboutBoxTest, DoubleClickShowsThePropertyInAMessageBox) {
    Open();
    PressKey(VK_F2);
    ASSERT_TRUE(HeadingBecomes(L"Application Info"));
    const HWND list = Properties();
    SendMessageW(list, LB_SETCURSEL, 16, 0);
    RECT row{};
    ASSERT_NE(SendMessageW(list, LB_GETITEMRECT, 16, reinterpret_cast<LPARAM>(&row)), LB_ERR);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON,
                 MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2));

    const HWND message = WaitFor([] { return FindWindowW(L"#32770", L"PrevInstance"); });
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(message, 0xFFFF)), L"False");
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(message); }));
    EXPECT_TRUE(IsWindow(box_));
}

TEST_F(AboutBoxTest, DoubleClickWithoutASelectedRowShowsNothing) {
    Open();
    PressKey(VK_F2);
    ASSERT_TRUE(HeadingBecomes(L"Application Info"));
    SendMessageW(Properties(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    PostMessageW(Properties(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    // A message box would hold its own loop, and F1 would never reach the box's key handling.
    PressKey(VK_F1);
    EXPECT_TRUE(HeadingBecomes(L"Version 1.0 beta 2 (build 14)"));
    EXPECT_TRUE(IsWindowEnabled(box_));
}

TEST_F(AboutBoxTest, NewDpiLaysTheBoxOutAgain) {
    Open();
    RECT suggested{};
    GetWindowRect(box_, &suggested);
    SendMessageW(box_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT client{};
    GetClientRect(box_, &client);
    EXPECT_EQ(client.right, about::TwipsToPixels(5070, 144));
    EXPECT_EQ(client.bottom, about::TwipsToPixels(3030, 144));
    RECT ok{};
    GetWindowRect(Control(frmAbout::kCmdOK), &ok);
    MapWindowPoints(nullptr, box_, reinterpret_cast<POINT*>(&ok), 2);
    const auto expected = about::ToPixels(about::design::kCmdOK, 144);
    EXPECT_EQ(ok.left, expected.left);
    EXPECT_EQ(ok.top, expected.top);
    EXPECT_EQ(ok.right - ok.left, expected.width);
    EXPECT_EQ(ok.bottom - ok.top, expected.height);
}

TEST_F(AboutBoxTest, SitsFiftyPixelsInFromTheLowerRightCorner) {
    Open();
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    RECT window{};
    ASSERT_TRUE(GetWindowRect(box_, &window));
    EXPECT_EQ(window.right, work.right - 50);
    EXPECT_EQ(window.bottom, work.bottom - 50);

    const int dpi = static_cast<int>(GetDpiForWindow(box_));
    RECT client{};
    ASSERT_TRUE(GetClientRect(box_, &client));
    EXPECT_EQ(client.right, about::TwipsToPixels(5070, dpi));
    EXPECT_EQ(client.bottom, about::TwipsToPixels(3030, dpi));
    const LONG style = GetWindowLongW(box_, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
}

TEST_F(AboutBoxTest, XpFollowsTheTitleTwoPixelsAfterItsEnd) {
    Open();
    const HWND banner = Control(frmAbout::kPicture1);
    const auto placeOf = [banner](int id) {
        RECT r{};
        GetWindowRect(GetDlgItem(banner, id), &r);
        MapWindowPoints(nullptr, banner, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT title = placeOf(frmAbout::kLblTitle);
    const RECT xp = placeOf(frmAbout::kLblXp);
    EXPECT_EQ(xp.left, title.right + 2);
    EXPECT_GT(title.right - title.left, 0);
}

TEST_F(AboutBoxTest, EnterAndEscapeClose) {
    for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        returned_ = false;
        Open();
        PressKey(key);
        EXPECT_TRUE(WaitUntilClosed()) << key;
        thread_.join();
    }
}

TEST_F(AboutBoxTest, QuitWhileOpenClosesItAndIsPostedAgain) {
    Open();
    PostThreadMessageW(threadId_, WM_QUIT, 7, 0);
    EXPECT_TRUE(WaitUntilClosed());
    thread_.join();
    EXPECT_EQ(quitCode_, 7);
}

TEST_F(AboutBoxTest, CloseIfOpenOnItsOwnThreadClosesAtOnce) {
    Open([] {
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            frmAbout::CloseIfOpen();
        });
    });
    EXPECT_TRUE(WaitUntilClosed());
}

TEST_F(AboutBoxTest, SecondShowReturnsAtOnceAndKeepsOneBox) {
    static std::atomic<bool> secondReturned{false};
    secondReturned = false;
    Open([] {
        SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            frmAbout::Show(nullptr, SampleProperties());
            secondReturned = true;
        });
    });
    ASSERT_TRUE(WaitFor([] { return secondReturned.load(); }));
    EXPECT_EQ(frmAbout::OpenWindow(), box_);
    int boxes = 0;
    EnumThreadWindows(
        threadId_,
        [](HWND window, LPARAM count) {
            wchar_t name[64]{};
            GetClassNameW(window, name, static_cast<int>(std::size(name)));
            if (std::wstring(name) == L"TrayhoundAbout") ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&boxes));
    EXPECT_EQ(boxes, 1);
}

TEST_F(AboutBoxTest, OwnerIsDisabledWhileOpenAndEnabledAfterwards) {
    std::atomic<HWND> owner{nullptr};
    std::atomic<bool> enabledAfter{false};
    thread_ = std::thread([&] {
        const HWND window = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                            nullptr, nullptr, nullptr);
        owner = window;
        frmAbout::Show(window, SampleProperties());
        enabledAfter = IsWindowEnabled(window) != FALSE;
        DestroyWindow(window);
        returned_ = true;
    });
    box_ = WaitFor([] { return frmAbout::OpenWindow(); });
    ASSERT_NE(box_, nullptr);
    EXPECT_EQ(GetWindow(box_, GW_OWNER), owner.load());
    EXPECT_FALSE(IsWindowEnabled(owner));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntilClosed());
    thread_.join();
    EXPECT_TRUE(enabledAfter);
}

TEST(RunningProgramTest, DescribesThisExecutable) {
    const auto p = ReadAppProperties("C:\\Help\\Trayhound.chm");
    wchar_t path[MAX_PATH]{};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring expected = path;
    std::wstring actual = ToWide(p.path) + L"\\" + ToWide(p.exeName) + L".exe";
    const auto lower = [](std::wstring& text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    };
    lower(expected);
    lower(actual);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(p.title, "Trayhound");
    EXPECT_EQ(p.helpFile, "C:\\Help\\Trayhound.chm");
    EXPECT_EQ(p.threadId, GetCurrentThreadId());
    EXPECT_EQ(p.hInstance, reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr)));
    // This test program carries the program's own version resource.
    EXPECT_GT(p.version.major + p.version.minor + p.version.revision, 0u);
    EXPECT_FALSE(p.legalCopyright.empty());
    EXPECT_FALSE(p.companyName.empty());
    EXPECT_FALSE(p.productName.empty());
    EXPECT_FALSE(p.prevInstance);
    EXPECT_TRUE(p.nonModalAllowed);
    EXPECT_FALSE(p.taskVisible);
}

}  // namespace
}  // namespace trayhound
