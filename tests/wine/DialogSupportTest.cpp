// The dialog support classes against the real system: the open-file request record and dialog,
// the placement in the registry, and the edit-box messages.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "WineTestSupport.h"
#include "support/win32/RegistrySettingsStore.h"
#include "support/Error.h"
#include "support/cCommonDialog.h"
#include "support/win32/CommonDialogRecord.h"
#include "support/win32/Text.h"
#include "support/win32/WindowFormPosition.h"
#include "support/win32/cTextBoxXP.h"

namespace trayhound {
namespace {

using namespace std::chrono_literals;
using winetest::WaitFor;
using namespace std::string_literals;

constexpr const char* kItemEditorFilter =
    "Executables (*.exe; *.lnk; *.vbs; *.js; *.wsf)| *.exe; *.lnk; *.vbs; *.js; *.wsf|All Files| "
    "*.*";

OpenFileArgs ItemEditorArgs() {
    OpenFileArgs args;
    args.FileMustExist = true;
    args.HideReadOnly = true;
    args.Filter = kItemEditorFilter;
    args.FilterIndex = 1;
    return args;
}

TEST(FileNameRecordTest, FillsTheWideRecordFromTheArguments) {
    OpenFileArgs args = ItemEditorArgs();
    args.FileName = "start.exe";
    args.FilterIndex = 2;
    args.InitDir = "C:\\Tools";
    args.flags = 0x20 | 0x80000;  // a hook is never installed
    FileNameRecord request = FileNameRecord::ForOpen(args);
    const OPENFILENAMEW& record = request.Record();

    EXPECT_EQ(record.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(record.hwndOwner, nullptr);
    EXPECT_EQ(record.Flags, 0x1004u | 0x80000u);
    EXPECT_EQ(record.nFilterIndex, 2u);
    EXPECT_EQ(record.nMaxFile, 260u);
    EXPECT_EQ(record.nMaxFileTitle, 260u);
    EXPECT_STREQ(record.lpstrFile, L"start.exe");
    EXPECT_EQ(record.lpstrFile[259], L'\0');
    EXPECT_STREQ(record.lpstrFileTitle, L"");
    const std::wstring filter =
        L"Executables (*.exe; *.lnk; *.vbs; *.js; *.wsf)\0 *.exe; *.lnk; *.vbs; *.js; "
        L"*.wsf\0All Files\0 *.*\0\0"s;
    EXPECT_EQ(std::wstring(record.lpstrFilter, filter.size()), filter);
    EXPECT_STREQ(record.lpstrInitialDir, L"C:\\Tools");
    EXPECT_EQ(record.lpstrTitle, nullptr);
    EXPECT_EQ(record.lpstrDefExt, nullptr);
    EXPECT_EQ(record.lpstrCustomFilter, nullptr);
    EXPECT_EQ(record.lpfnHook, nullptr);
    EXPECT_EQ(record.lpTemplateName, nullptr);
    EXPECT_EQ(record.hInstance, nullptr);
}

TEST(FileNameRecordTest, OwnerIsTheGivenWindowUnlessMinusOne) {
    OpenFileArgs args = ItemEditorArgs();
    args.Owner = 0x1234;
    args.DlgTitle = "Pick";
    args.DefaultExt = "exe";
    FileNameRecord request = FileNameRecord::ForOpen(args);
    EXPECT_EQ(request.Record().hwndOwner, reinterpret_cast<HWND>(0x1234));
    EXPECT_STREQ(request.Record().lpstrTitle, L"Pick");
    EXPECT_STREQ(request.Record().lpstrDefExt, L"exe");
}

TEST(FileNameRecordTest, SaveRecordHidesReadOnlyAndPromptsWhenAsked) {
    SaveFileArgs args;
    args.OverWritePrompt = true;
    FileNameRecord request = FileNameRecord::ForSave(args);
    EXPECT_EQ(request.Record().Flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
}

TEST(CommonDialogTest, TooLongInitialNameStopsBeforeAnyDialog) {
    cCommonDialog dialog;
    OpenFileArgs args = ItemEditorArgs();
    args.FileTitle = std::string(261, 'x');
    try {
        dialog.VBGetOpenFileName(args);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::kInvalidProcedureCall);
    }
    EXPECT_EQ(FindWindowW(L"#32770", L"Open"), nullptr);
}

HWND FindOpenDialog() {
    return WaitFor([] {
        HWND found = FindWindowW(L"#32770", L"Open");
        return found && IsWindowVisible(found) ? found : nullptr;
    });
}

TEST(CommonDialogTest, CancelReturnsFalseAndEmptiesTheNames) {
    cCommonDialog dialog;
    OpenFileArgs args = ItemEditorArgs();
    args.FileName = "given.exe";
    std::thread driver([] {
        HWND open = FindOpenDialog();
        ASSERT_NE(open, nullptr);
        PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(dialog.VBGetOpenFileName(args));
    driver.join();
    EXPECT_EQ(dialog.APIReturn(), 0);
    EXPECT_EQ(dialog.ExtendedError(), 0);
    EXPECT_EQ(args.FileName, "");
    EXPECT_EQ(args.FileTitle, "");
    EXPECT_EQ(args.FilterIndex, -1);
    EXPECT_EQ(args.Filter, "");
    EXPECT_EQ(args.flags, 0u);
}

HWND FileNameBox(HWND open) {
    HWND comboEx = FindWindowExW(open, nullptr, L"ComboBoxEx32", nullptr);
    HWND combo = comboEx ? FindWindowExW(comboEx, nullptr, L"ComboBox", nullptr) : nullptr;
    return combo ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
}

TEST(CommonDialogTest, ConfirmedChoiceReturnsPathTitleAndTheChosenPair) {
    winetest::ScratchFolder folder;
    winetest::WriteBytes(folder / L"tool.exe", "MZ");
    cCommonDialog dialog;
    OpenFileArgs args = ItemEditorArgs();
    args.InitDir = ToUtf8(folder.Path());
    args.FilterIndex = 2;
    std::thread driver([] {
        HWND open = FindOpenDialog();
        ASSERT_NE(open, nullptr);
        HWND name = WaitFor([open] { return FileNameBox(open); });
        ASSERT_NE(name, nullptr);
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"tool.exe"));
        PostMessageW(GetDlgItem(open, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(dialog.VBGetOpenFileName(args));
    driver.join();
    EXPECT_EQ(dialog.APIReturn(), 1);
    EXPECT_EQ(ToWide(args.FileName), folder / L"tool.exe");
    EXPECT_EQ(args.FileTitle, "tool.exe");
    EXPECT_EQ(args.FilterIndex, 2);
    EXPECT_EQ(args.Filter, "All Files\0 *.*"s);
    EXPECT_EQ(args.flags & 0x1004u, 0x1004u);
    EXPECT_FALSE(args.ReadOnly);
}

TEST(CommonDialogTest, CustomColorsStartAsTheSystemColoursAndKeepWhatIsSet) {
    cCommonDialog dialog;
    EXPECT_EQ(dialog.CustomColor(3), static_cast<std::int32_t>(GetSysColor(3)));
    dialog.SetCustomColor(3, 0x123456);
    EXPECT_EQ(dialog.CustomColor(3), 0x123456);
    EXPECT_EQ(dialog.CustomColor(16), -1);
    EXPECT_EQ(dialog.CustomColor(-1), -1);
    dialog.SetCustomColor(16, 7);
    EXPECT_EQ(dialog.CustomColor(15), static_cast<std::int32_t>(GetSysColor(15)));
}

TEST(CommonDialogTest, FileTitleIsTheNameWithoutItsFolder) {
    cCommonDialog dialog;
    EXPECT_EQ(dialog.VBGetFileTitle("C:\\Tools\\run.exe"), "run.exe");
}

// A section of the program's settings for one test, removed at its end.
class ScratchSection {
  public:
    ScratchSection() : name_(winetest::UniqueName("frmPlacementTest")) {}
    ~ScratchSection() {
        const std::wstring path = ToWide(RegistrySettingsStore::KeyPath(kAppTitle, name_));
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    }
    ScratchSection(const ScratchSection&) = delete;
    ScratchSection& operator=(const ScratchSection&) = delete;

    const std::string& Name() const noexcept { return name_; }
    std::string RegQuery(std::wstring_view value) const {
        return winetest::RunReg(L"query \"HKCU\\" +
                                ToWide(RegistrySettingsStore::KeyPath(kAppTitle, name_)) +
                                L"\" /v " + std::wstring(value))
            .output;
    }

  private:
    std::string name_;
};

class FormPositionRegistryTest : public ::testing::Test {
  protected:
    FormPositionRegistryTest() {
        window = CreateWindowExW(0, L"STATIC", L"Placement", WS_OVERLAPPEDWINDOW, 100, 80, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    }
    ~FormPositionRegistryTest() override { DestroyWindow(window); }

    RECT Bounds() const {
        RECT bounds{};
        GetWindowRect(window, &bounds);
        return bounds;
    }

    HWND window;
    ScratchSection section;
    RegistrySettingsStore store;
};

TEST_F(FormPositionRegistryTest, SaveWritesStateAndBoundsInTwips) {
    ASSERT_NE(window, nullptr);
    const double twips = 1440.0 / GetDpiForWindow(window);
    SaveFormPosition(window, section.Name(), store);
    EXPECT_NE(section.RegQuery(L"WindowState").find("REG_SZ    0"), std::string::npos);
    const std::string left = std::to_string(static_cast<int>(100 * twips));
    EXPECT_NE(section.RegQuery(L"Left").find("REG_SZ    " + left), std::string::npos)
        << section.RegQuery(L"Left");
    EXPECT_EQ(store.Read(kAppTitle, section.Name(), "Width", ""),
              std::to_string(static_cast<int>(300 * twips)));
    EXPECT_EQ(store.Read(kAppTitle, section.Name(), "Height", ""),
              std::to_string(static_cast<int>(200 * twips)));
}

TEST_F(FormPositionRegistryTest, MaximizedWindowStoresStateTwoWithItsNormalBounds) {
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWMAXIMIZED);
    ASSERT_TRUE(IsZoomed(window));
    const double twips = 1440.0 / GetDpiForWindow(window);
    SaveFormPosition(window, section.Name(), store);
    EXPECT_EQ(store.Read(kAppTitle, section.Name(), "WindowState", ""), "2");
    EXPECT_FALSE(IsZoomed(window));
    EXPECT_EQ(store.Read(kAppTitle, section.Name(), "Left", ""),
              std::to_string(static_cast<int>(100 * twips)));
    EXPECT_EQ(store.Read(kAppTitle, section.Name(), "Width", ""),
              std::to_string(static_cast<int>(300 * twips)));
}

TEST_F(FormPositionRegistryTest, RestoreSkipsAValueThatIsNoNumber) {
    ASSERT_NE(window, nullptr);
    const double twips = 1440.0 / GetDpiForWindow(window);
    store.Write(kAppTitle, section.Name(), "Left", "far left");
    store.Write(kAppTitle, section.Name(), "Top", std::to_string(static_cast<int>(20 * twips)));
    RestoreFormPosition(window, section.Name(), false, store);
    const RECT bounds = Bounds();
    EXPECT_EQ(bounds.top, 20);
    EXPECT_EQ(bounds.left, 100);
    EXPECT_EQ(bounds.right - bounds.left, 300);
}

TEST_F(FormPositionRegistryTest, FirstRestoreGoesToTheLowerRightCorner) {
    ASSERT_NE(window, nullptr);
    RestoreFormPosition(window, section.Name(), false, store);
    const RECT bounds = Bounds();
    EXPECT_EQ(bounds.right, GetSystemMetrics(SM_CXSCREEN) - 50);
    EXPECT_EQ(bounds.bottom, GetSystemMetrics(SM_CYSCREEN) - 50);
}

// Records what an edit box would receive from cTextBoxXP.
class MessageRecorder {
  public:
    MessageRecorder() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Proc;
        windowClass.lpszClassName = L"TrayhoundEditRecorder";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
        current_ = this;
    }
    ~MessageRecorder() {
        DestroyWindow(window);
        current_ = nullptr;
    }

    struct Seen {
        UINT message;
        WPARAM wParam;
        std::wstring text;
        std::wstring title;
        INT icon = -1;
        DWORD size = 0;
    };
    HWND window;
    std::vector<Seen> seen;

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (current_ && message >= EM_SETCUEBANNER && message <= EM_HIDEBALLOONTIP) {
            Seen entry{message, wParam, {}, {}};
            if (message == EM_SETCUEBANNER) entry.text = reinterpret_cast<const wchar_t*>(lParam);
            if (message == EM_SHOWBALLOONTIP) {
                const auto* balloon = reinterpret_cast<const EDITBALLOONTIP*>(lParam);
                entry.size = balloon->cbStruct;
                entry.title = balloon->pszTitle;
                entry.text = balloon->pszText;
                entry.icon = balloon->ttiIcon;
            }
            current_->seen.push_back(entry);
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    static inline MessageRecorder* current_ = nullptr;
};

TEST(TextBoxXPTest, CueBannerSetBeforeTheBoxIsShownByALaterSetCueBanner) {
    MessageRecorder edit;
    cTextBoxXP box;
    box.SetCueBanner("Type a command");
    EXPECT_TRUE(edit.seen.empty());  // sent to no window yet
    EXPECT_EQ(box.CueBanner(), "Type a command");
    box.TextBox(edit.window);
    box.setCueBanner();
    ASSERT_EQ(edit.seen.size(), 1u);
    EXPECT_EQ(edit.seen[0].message, static_cast<UINT>(EM_SETCUEBANNER));
    EXPECT_EQ(edit.seen[0].wParam, 0u);
    EXPECT_EQ(edit.seen[0].text, L"Type a command");
}

TEST(TextBoxXPTest, BalloonUsesWhatIsStoredWhenShown) {
    MessageRecorder edit;
    cTextBoxXP box;
    box.SetBalloonTipTitle("Caption");
    box.SetBalloonTipText("Please enter the item's caption.");
    box.SetBalloonTipIcon(2);
    box.ShowBalloonTip(edit.window);
    box.SetBalloonTipTitle("Changed");
    ASSERT_EQ(edit.seen.size(), 1u);
    EXPECT_EQ(edit.seen[0].message, static_cast<UINT>(EM_SHOWBALLOONTIP));
    EXPECT_EQ(edit.seen[0].size, sizeof(EDITBALLOONTIP));
    EXPECT_EQ(edit.seen[0].title, L"Caption");
    EXPECT_EQ(edit.seen[0].text, L"Please enter the item's caption.");
    EXPECT_EQ(edit.seen[0].icon, 2);
    box.HideBalloonTip(edit.window);
    ASSERT_EQ(edit.seen.size(), 2u);
    EXPECT_EQ(edit.seen[1].message, static_cast<UINT>(EM_HIDEBALLOONTIP));
}

}  // namespace
}  // namespace trayhound
