#include "tray/win32/frmTray.h"

#include <shellapi.h>

#include "iconsets/IconSet.h"
#include "resource.h"
#include "support/Error.h"
#include "support/win32/Text.h"
#include "tray/ShutdownRequest.h"
#include "tray/TrayEvents.h"

namespace trayhound {

namespace {

// One instance per user session.
constexpr wchar_t kInstanceMutexName[] = L"Local\\Trayhound-6A0F3C2E-5B7D-4E91-8C4A-2D9F1B3E7A60";

[[noreturn]] void ThrowLastError(std::string description, std::string source) {
    throw Error(static_cast<int>(GetLastError()), std::move(description), std::move(source));
}

std::string DescriptionOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const Error& e) {
        return e.Description();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "Unexpected error";
}

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
    if (!mutex)
        ThrowLastError("Cannot check for another instance.", "Trayhound.frmTray.Form_Load()");
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
        ThrowLastError("Cannot start the shutdown timer.", "Trayhound.frmTray.Form_Load()");
    }
    started_ = true;
    return StartResult::Running;
}

void frmTray::CreateWindowHidden() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &frmTray::Proc;
    windowClass.hInstance = setup_.instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ThrowLastError("Cannot register the tray window.", "Trayhound.frmTray.Form_Load()");
    }
    // A real top-level window, not a message-only one, so that the shell's "TaskbarCreated"
    // broadcast reaches it; a tool window, so that it never gets a taskbar button.
    const std::wstring title = ToWide(kAppTitle);
    if (!CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, title.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, setup_.instance, this)) {
        ThrowLastError("Cannot create the tray window.", "Trayhound.frmTray.Form_Load()");
    }
}

void frmTray::BuildCommandMenu() {
    UniqueHmenu menu(CreatePopupMenu());
    if (!menu) ThrowLastError("Cannot create the command menu.", "Trayhound.frmTray.Form_Load()");
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
        if (!added)
            ThrowLastError("Cannot build the command menu.", "Trayhound.frmTray.Form_Load()");
    }
    mnuRight_ = std::move(menu);
}

UniqueHicon frmTray::LoadTrayPicture() const {
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, GetDpiForWindow(hwnd_));
    UniqueHicon icon(static_cast<HICON>(LoadImageW(setup_.instance, MAKEINTRESOURCEW(IDI_TRAYHOUND),
                                                   IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    if (!icon) ThrowLastError("Cannot load the tray icon.", "Trayhound.frmTray.Form_Load()");
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
        trayhound::LoadIconSet(ActiveIconSet(*app.Options()), app.FileSystemObject(),
                               *app.Services().codec, *app.Document());
    if (content) icons_->Assign(*content);
    RebuildProgramsMenu();
}

void frmTray::RebuildProgramsMenu() {
    auto& app = App();
    const auto bound =
        IconBound(ActiveIconSet(*app.Options()), app.FileSystemObject(), *app.Services().codec);
    auto entries = BuildProgramsMenu(*app.Document(), bound);

    UniqueHmenu menu(CreatePopupMenu());
    if (!menu)
        ThrowLastError("Cannot create the programs menu.",
                       "Trayhound.frmTray.RebuildProgramsMenu()");
    // Pictures share the check-mark column, as entries are never checked.
    MENUINFO style{};
    style.cbSize = sizeof(style);
    style.fMask = MIM_STYLE;
    style.dwStyle = MNS_CHECKORBMP;
    if (!SetMenuInfo(menu.get(), &style)) {
        ThrowLastError("Cannot build the programs menu.",
                       "Trayhound.frmTray.RebuildProgramsMenu()");
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
            ThrowLastError("Cannot build the programs menu.",
                           "Trayhound.frmTray.RebuildProgramsMenu()");
        }
    }
    mnuLeft_ = std::move(menu);
    programs_ = std::move(entries);
}

void frmTray::Tray_OnIcon(std::int16_t mouseButton) {
    const TrayAction action = clicks_.OnMouseButton(mouseButton);
    if (!clicks_.Waiting()) KillTimer(hwnd_, kLeftClickTimer);
    RunTrayAction(action);
}

void frmTray::tmrLeftClick_Timer() {
    KillTimer(hwnd_, kLeftClickTimer);
    RunTrayAction(clicks_.DoubleClickTimeEnded());
}

void frmTray::RunTrayAction(TrayAction action) {
    switch (action) {
        case TrayAction::WaitForDoubleClick:
            // A click must not be lost for want of a timer: then the menu opens at once.
            if (!SetTimer(hwnd_, kLeftClickTimer, GetDoubleClickTime(), nullptr)) {
                RunTrayAction(clicks_.DoubleClickTimeEnded());
            }
            break;
        case TrayAction::List:
            RunList();
            break;
        case TrayAction::ProgramsMenu:
            OnMenuCommand(tray_.CallPopupMenu(mnuLeft_.get()));
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
    if (!dialogs_.BringToFront(DialogKind::List)) RunList();
}

void frmTray::RunList() {
    if (dialogs_.IsVisible(DialogKind::List) || dialogs_.IsVisible(DialogKind::Options)) return;
    // The editor may have replaced the collection, whichever way it closed.
    if (ShowDialog(DialogKind::List, setup_.dialogs.list) && Running()) RebuildProgramsMenu();
}

void frmTray::mnuRightOptions_Click() {
    if (dialogs_.BringToFront(DialogKind::Options)) return;
    // The active set may have changed, whichever way the dialog closed.
    if (ShowDialog(DialogKind::Options, setup_.dialogs.options) && Running()) LoadIconSet();
}

void frmTray::mnuRightAbout_Click() {
    if (!dialogs_.BringToFront(DialogKind::About))
        ShowDialog(DialogKind::About, setup_.dialogs.about);
}

bool frmTray::ShowDialog(DialogKind kind, const MakeTrayDialog& make) {
    if (!make) return false;
    const auto dialog = make(*this);
    const auto registration = dialogs_.Register(kind, *dialog);
    dialog->ShowModal(hwnd_);
    return true;
}

void frmTray::mnuRightHelp_Click() {
    // A missing help file is left to the shell to report.
    ShellExecuteW(hwnd_, L"open", ToWide(App().HelpFile()).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

void frmTray::mnuRightExit_Click() {
    dialogs_.Close(DialogKind::About);
    dialogs_.Close(DialogKind::LaunchItem);
    dialogs_.Close(DialogKind::List);
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
    if (hwnd_) {
        KillTimer(hwnd_, kCommandTimer);
        KillTimer(hwnd_, kLeftClickTimer);
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
            if (wParam == kLeftClickTimer) {
                tmrLeftClick_Timer();
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

LRESULT CALLBACK frmTray::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<frmTray*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<frmTray*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = window;
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // No dangling pointer once the window is gone.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        self->Report(std::current_exception());
    }
    return 0;
}

void frmTray::Report(std::exception_ptr error) noexcept {
    try {
        const std::wstring text = ToWide(DescriptionOf(error));
        const std::wstring title = ToWide(kAppTitle);
        MessageBoxW(hwnd_, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
    } catch (...) {
        // Nothing left to show it with; the program still ends.
    }
    // An error that reaches the top of a handler ends the program, in order.
    try {
        mnuRightExit_Click();
    } catch (...) {
        if (hwnd_) DestroyWindow(hwnd_);
    }
}

}  // namespace trayhound
