#include "tray/win32/frmTray.h"

#include <shellapi.h>

#include "iconsets/IconSet.h"
#include "resource.h"
#include "support/Error.h"
#include "support/win32/ErrorPolicy.h"
#include "support/win32/SystemError.h"
#include "support/win32/Text.h"
#include "support/win32/WindowProcedure.h"
#include "tray/ShutdownRequest.h"
#include "tray/TrayEvents.h"

namespace trayhound {

namespace {

// One instance per user session.
constexpr wchar_t kInstanceMutexName[] = L"Local\\Trayhound-6A0F3C2E-5B7D-4E91-8C4A-2D9F1B3E7A60";

constexpr const char* kLoadSource = "Trayhound.frmTray.Form_Load()";
constexpr const char* kRebuildSource = "Trayhound.frmTray.RebuildProgramsMenu()";

}  // namespace

frmTray::frmTray(TraySetup setup) : setup_(std::move(setup)) {}

frmTray::~frmTray() {
    if (!hwnd_) return;
    destroying_ = true;
    DestroyWindow(hwnd_);
}

frmTray::StartResult frmTray::Form_Load() {
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    const DWORD mutexResult = GetLastError();
    if (!mutex) ThrowLastError("Cannot check for another instance", kLoadSource);
    instanceMutex_.reset(mutex);
    if (mutexResult == ERROR_ALREADY_EXISTS) {
        instanceMutex_.reset();
        return StartResult::AnotherInstance;
    }

    CreateWindowHidden();
    BuildCommandMenu();

    app_ = std::make_unique<Application>(setup_.services());

    icons_.emplace(setup_.instance, GetDpiForWindow(hwnd_));
    LoadIconSet();

    picTrayIcon_ = LoadTrayPicture();
    tray_.SetHWnd(hwnd_);
    tray_.SetIcon(picTrayIcon_.get());
    tray_.SetToolTipText(std::string(kAppTitle));
    tray_.Add();

    if (!SetTimer(hwnd_, kCommandTimer, kCommandInterval, nullptr)) {
        ThrowLastError("Cannot start the shutdown timer", kLoadSource);
    }
    // A hotkey another program holds now is kept, not active.
    ApplyHotkey(ReadHotkey(*app_->Services().settings));
    // An error that reaches the top of a handler ends the program as Exit does.
    SetOrderlyEnd([window = hwnd_] { PostMessageW(window, WM_CLOSE, 0, 0); });
    started_ = true;
    return StartResult::Running;
}

void frmTray::CreateWindowHidden() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &WindowProcedure<frmTray>;
    windowClass.hInstance = setup_.instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ThrowLastError("Cannot register the tray window", kLoadSource);
    }
    // A real top-level window, not a message-only one, so that the shell's "TaskbarCreated"
    // broadcast reaches it; a tool window, so that it never gets a taskbar button.
    const std::wstring title = ToWide(kAppTitle);
    if (!CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, title.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, setup_.instance, this)) {
        ThrowLastError("Cannot create the tray window", kLoadSource);
    }
}

void frmTray::BuildCommandMenu() {
    UniqueHmenu menu(CreatePopupMenu());
    if (!menu) ThrowLastError("Cannot create the command menu", kLoadSource);
    struct Entry {
        UINT id;
        const wchar_t* caption;
    };
    static constexpr Entry kEntries[] = {
        {kMnuRightList, L"&List..."}, {kMnuRightOptions, L"&Options..."}, {0, nullptr},
        {kMnuRightHelp, L"&Help"},    {kMnuRightAbout, L"&About"},        {0, nullptr},
        {kMnuRightExit, L"E&xit"},
    };
    for (const auto& entry : kEntries) {
        const BOOL added = entry.caption
                               ? AppendMenuW(menu.get(), MF_STRING, entry.id, entry.caption)
                               : AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        if (!added) ThrowLastError("Cannot build the command menu", kLoadSource);
    }
    mnuRight_ = std::move(menu);
}

UniqueHicon frmTray::LoadTrayPicture() const {
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, GetDpiForWindow(hwnd_));
    UniqueHicon icon(static_cast<HICON>(LoadImageW(setup_.instance, MAKEINTRESOURCEW(IDI_TRAYHOUND),
                                                   IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon) ThrowLastError("Cannot load the tray icon", kLoadSource);
    return icon;
}

Application& frmTray::App() const {
    if (!app_) {
        throw Error(error_number::kApplicationDefined, "The program is not running.",
                    "Trayhound.frmTray.App()");
    }
    return *app_;
}

const IconBank& frmTray::Icons() const {
    if (!icons_) {
        throw Error(error_number::kApplicationDefined, "The program is not running.",
                    "Trayhound.frmTray.Icons()");
    }
    return *icons_;
}

void frmTray::LoadIconSet() {
    auto& app = App();
    const auto content =
        ReadIconSet(ActiveIconSet(*app.Options()), app.FileSystemObject(), *app.Services().codec);
    // An unreadable set leaves the bank as it is, and is tried again when the menu opens.
    iconSetUnread_ = !content;
    if (content) icons_->Assign(*content);
    RebuildProgramsMenu();
}

void frmTray::RebuildProgramsMenu() {
    auto& app = App();
    auto entries = BuildProgramsMenu(*app.Document());

    UniqueHmenu menu(CreatePopupMenu());
    if (!menu) ThrowLastError("Cannot create the programs menu", kRebuildSource);
    // Pictures share the check-mark column, as entries are never checked.
    MENUINFO style{};
    style.cbSize = sizeof(style);
    style.fMask = MIM_STYLE;
    style.dwStyle = MNS_CHECKORBMP;
    if (!SetMenuInfo(menu.get(), &style)) {
        ThrowLastError("Cannot build the programs menu", kRebuildSource);
    }

    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& entry = entries[i];
        std::wstring text = ToWide(entry.caption);
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID;
        item.wID = kFirstProgram + static_cast<UINT>(i);
        if (entry.separator) {
            item.fType = MFT_SEPARATOR;
        } else {
            item.fMask |= MIIM_STRING;
            item.fType = MFT_STRING;
            item.dwTypeData = text.data();
            if (const HBITMAP picture = icons_->Picture(entry.icon)) {
                item.fMask |= MIIM_BITMAP;
                item.hbmpItem = picture;
            }
        }
        if (!InsertMenuItemW(menu.get(), static_cast<UINT>(i), TRUE, &item)) {
            ThrowLastError("Cannot build the programs menu", kRebuildSource);
        }
    }
    mnuLeft_ = std::move(menu);
    programs_ = std::move(entries);
}

namespace {

// The shell sends its notifications rather than posting them, so they carry no time or place of
// their own: a press on the icon is taken to be here and now.
Press PressNow() noexcept {
    POINT at{};
    GetCursorPos(&at);
    return {GetTickCount(), at.x, at.y};
}

DoubleClickRule SystemDoubleClickRule() noexcept {
    return {GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK),
            GetSystemMetrics(SM_CYDOUBLECLK)};
}

}  // namespace

void frmTray::Tray_OnIcon(std::int16_t mouseButton) {
    const Press at = PressNow();
    if (programsMenuOpen_) {
        // The shell's notifications reach us through the menu's own loop when the menu opened
        // too late to take the press: a press on the icon or a double click closes it all the same.
        if (mouseButton == kLeftDown) {
            listAfterMenu_ =
                clicks_.PressWhileMenuOpen(at, SystemDoubleClickRule()) == MenuPress::List;
        } else if (mouseButton == kLeftDoubleClick) {
            listAfterMenu_ = clicks_.OnMouseButton(mouseButton, at) == TrayAction::List;
        }
        if (mouseButton == kLeftDown || mouseButton == kLeftDoubleClick) EndMenu();
        return;
    }
    RunTrayAction(clicks_.OnMouseButton(mouseButton, at));
}

bool frmTray::ApplyHotkey(const Hotkey& hotkey) {
    if (hotkeyActive_) UnregisterHotKey(hwnd_, kProgramsMenuHotkey);
    hotkeyActive_ = false;
    if (!hotkey.IsSet()) return true;
    const UINT modifiers = (hotkey.alt ? MOD_ALT : 0) | (hotkey.ctrl ? MOD_CONTROL : 0) |
                           (hotkey.shift ? MOD_SHIFT : 0) | (hotkey.win ? MOD_WIN : 0) |
                           MOD_NOREPEAT;
    hotkeyActive_ = RegisterHotKey(hwnd_, kProgramsMenuHotkey, modifiers, hotkey.key) != FALSE;
    return hotkeyActive_;
}

void frmTray::OpenProgramsMenu(bool fromKeyboard) {
    // A set that could not be read (a network drive, a removed stick) may be back.
    if (iconSetUnread_) LoadIconSet();
    programsMenuOpen_ = true;
    listAfterMenu_ = false;
    // The menu takes this key as its first: its first entry is selected, the keyboard works in it.
    if (fromKeyboard) PostMessageW(hwnd_, WM_KEYDOWN, VK_DOWN, 0);
    UINT command = 0;
    try {
        command = tray_.CallPopupMenu(mnuLeft_.get(), 0, [this](const MSG& press) {
            const MenuPress what = clicks_.PressWhileMenuOpen(
                {static_cast<std::uint32_t>(press.time), press.pt.x, press.pt.y},
                SystemDoubleClickRule());
            listAfterMenu_ = what == MenuPress::List;
            return what != MenuPress::Menu;
        });
    } catch (...) {
        programsMenuOpen_ = false;
        throw;
    }
    programsMenuOpen_ = false;
    if (listAfterMenu_) return RunList();
    OnMenuCommand(command);
}

void frmTray::RunTrayAction(TrayAction action) {
    switch (action) {
        case TrayAction::List:
            RunList();
            break;
        case TrayAction::ProgramsMenu:
            OpenProgramsMenu();
            break;
        case TrayAction::CommandMenu:
            OnMenuCommand(tray_.CallPopupMenu(mnuRight_.get(), kMnuRightList));
            break;
        case TrayAction::None:
            break;
    }
}

void frmTray::OnMenuCommand(UINT command) {
    // The menu may have been closed by the end of the program (the shutdown request).
    if (!Running()) return;
    switch (command) {
        case 0:
            return;  // no choice
        case kMnuRightList:
            return mnuRightList_Click();
        case kMnuRightOptions:
            return mnuRightOptions_Click();
        case kMnuRightHelp:
            return mnuRightHelp_Click();
        case kMnuRightAbout:
            return mnuRightAbout_Click();
        case kMnuRightExit:
            return mnuRightExit_Click();
        default:
            if (command >= kFirstProgram) mnuLeftPrograms_Click(command - kFirstProgram);
    }
}

void frmTray::mnuRightList_Click() {
    if (ModalDialog* open = ModalDialog::Open(DialogKind::List)) {
        open->BringToFront();
    } else {
        RunList();
    }
}

void frmTray::RunList() {
    for (const DialogKind guarded : {DialogKind::List, DialogKind::Options}) {
        if (const ModalDialog* open = ModalDialog::Open(guarded); open && open->IsVisible()) return;
    }
    // The editor may have replaced the collection, whichever way it closed.
    if (ShowDialog(DialogKind::List) && Running()) RebuildProgramsMenu();
}

void frmTray::mnuRightOptions_Click() {
    // The active set may have changed, whichever way the dialog closed.
    if (ShowDialog(DialogKind::Options) && Running()) LoadIconSet();
}

void frmTray::mnuRightAbout_Click() {
    ShowDialog(DialogKind::About);
}

bool frmTray::ShowDialog(DialogKind kind) {
    if (ModalDialog* open = ModalDialog::Open(kind)) {
        open->BringToFront();
        return false;
    }
    const auto dialog = setup_.dialogs ? setup_.dialogs(kind, *this) : nullptr;
    if (!dialog) return false;
    dialog->ShowModal(hwnd_);
    return true;
}

void frmTray::mnuRightHelp_Click() {
    // A missing help file is left to the shell to report.
    ShellExecuteW(hwnd_, L"open", ToWide(App().HelpFile()).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

void frmTray::mnuRightExit_Click() {
    ModalDialog::Close({DialogKind::About, DialogKind::LaunchItem, DialogKind::List});
    // Form_Unload runs as the window goes; then the message loop ends.
    if (hwnd_) DestroyWindow(hwnd_);
}

void frmTray::mnuLeftPrograms_Click(std::size_t index) {
    if (index >= programs_.size() || !setup_.shell) return;
    // The shell reports what it cannot run.
    if (const auto command = CommandToRun(programs_[index])) setup_.shell->Open(*command);
}

void frmTray::tmrCommand_Timer() {
    if (!app_) return;
    if (TakeShutdownRequest(*app_->Services().settings)) mnuRightExit_Click();
}

void frmTray::Form_Unload() noexcept {
    tray_.Delete();
    // A start-up that failed part way writes nothing.
    if (app_ && !started_) app_->KeepFileAtEnd();
    if (hwnd_) {
        KillTimer(hwnd_, kCommandTimer);
        if (hotkeyActive_) UnregisterHotKey(hwnd_, kProgramsMenuHotkey);
    }
    // Saves the items, then the options write the icon-set list.
    app_.reset();
}

LRESULT frmTray::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case TrayIcon::kCallbackMessage:
            if (const auto button = TrayIcon::CallEvent(wParam, lParam)) Tray_OnIcon(*button);
            return 0;
        case WM_TIMER:
            if (wParam == kCommandTimer) {
                tmrCommand_Timer();
                return 0;
            }
            if (tray_.OnTimer(wParam)) return 0;
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == 0 && lParam == 0) {
                OnMenuCommand(LOWORD(wParam));
                return 0;
            }
            break;
        case WM_HOTKEY:
            // Pressed again while a menu of the icon is open, it leaves that menu as it is.
            if (wParam == kProgramsMenuHotkey && Running() && !tray_.MenuOpen()) {
                OpenProgramsMenu(true);
            }
            return 0;
        case WM_CLOSE:
            mnuRightExit_Click();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The session ends without a WM_QUIT: save now.
            if (wParam) Form_Unload();
            return 0;
        case WM_DESTROY:
            Form_Unload();
            if (started_ && !destroying_) PostQuitMessage(0);
            return 0;
        default:
            // Registered at run time, so it cannot be a case label. Explorer restarted.
            if (message != 0 && message == TrayIcon::TaskbarCreatedMessage()) {
                tray_.OnTaskbarCreated();
                return 0;
            }
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace trayhound
