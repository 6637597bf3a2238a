#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/GeneralSettings.h"
#include "iconsets/win32/IconBank.h"
#include "support/Shell.h"
#include "support/win32/ModalDialog.h"
#include "support/win32/UniqueHandles.h"
#include "tray/ProgramsMenu.h"
#include "tray/TrayEvents.h"
#include "tray/win32/TrayIcon.h"

namespace trayhound {

class frmTray;

// Makes the dialog of a kind for the running program (the list editor, the options dialog, the
// About box); the program's composition root provides it. Nothing: that command does nothing.
using DialogMaker = std::function<std::unique_ptr<ModalDialog>(DialogKind kind, frmTray& tray)>;

struct TraySetup {
    HINSTANCE instance = nullptr;  // holds the tray icon and the built-in pictures
    // Called once the program knows it is the only instance.
    std::function<ApplicationServices()> services;
    std::shared_ptr<Shell> shell;  // runs the programs menu's commands
    DialogMaker dialogs;
};

// The program's main window. It is never shown: a hidden top-level window (no taskbar button)
// that hosts the tray icon, owns the programs menu and the command menu, runs start-up and the
// orderly end, and polls the settings for a shutdown request.
class frmTray {
  public:
    static constexpr wchar_t kClassName[] = L"TrayhoundTrayWindow";
    // Menu command identifiers: the command menu, then the programs menu's entries from
    // kFirstProgram on (entry 0 is the blank entry of an empty collection, else item 1).
    enum MenuCommand : UINT {
        kMnuRightList = 0x100,
        kMnuRightOptions,
        kMnuRightHelp,
        kMnuRightAbout,
        kMnuRightExit,
        kFirstProgram = 0x1000,
    };
    static constexpr UINT_PTR kCommandTimer = 1;  // tmrCommand
    static constexpr UINT kCommandInterval = 5000;
    static constexpr int kProgramsMenuHotkey = 1;  // WM_HOTKEY

    explicit frmTray(TraySetup setup);
    ~frmTray();
    frmTray(const frmTray&) = delete;
    frmTray& operator=(const frmTray&) = delete;

    enum class StartResult { Running, AnotherInstance };
    // Start-up: single instance, the window, the application object, the icon bank and the
    // programs menu, then the tray icon. Throws Error when the application object cannot be
    // created; no icon has been shown then.
    StartResult Form_Load();
    // True once the window is gone (Exit, the shutdown request, the end of the session).
    bool Ended() const noexcept { return started_ && !hwnd_; }
    // Started and not yet unloaded.
    bool Running() const noexcept { return hwnd_ && app_; }

    HWND hWnd() const noexcept { return hwnd_; }
    Application& App() const;
    const IconBank& Icons() const;
    const TrayIcon& Tray() const noexcept { return tray_; }
    HMENU mnuLeft() const noexcept { return mnuLeft_.get(); }
    HMENU mnuRight() const noexcept { return mnuRight_.get(); }
    // The programs menu's entries as the last rebuild made them.
    const std::vector<ProgramsMenuEntry>& ProgramsMenu() const noexcept { return programs_; }

    // Makes `hotkey` the one that opens the programs menu (none: no hotkey); false when another
    // program holds it, which leaves it kept but not active.
    bool ApplyHotkey(const Hotkey& hotkey);
    bool HotkeyActive() const noexcept { return hotkeyActive_; }

    // Loads the active icon set into the bank, then rebuilds the programs menu.
    void LoadIconSet();
    void RebuildProgramsMenu();

    void Tray_OnIcon(std::int16_t mouseButton);
    void mnuRightList_Click();
    void mnuRightOptions_Click();
    void mnuRightHelp_Click();
    void mnuRightAbout_Click();
    void mnuRightExit_Click();
    void mnuLeftPrograms_Click(std::size_t index);
    void tmrCommand_Timer();

    // The window procedure's side (WindowProcedure).
    void Attach(HWND window) noexcept { hwnd_ = window; }
    void Detach() noexcept { hwnd_ = nullptr; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void OnMenuCommand(UINT command);
    void RunTrayAction(TrayAction action);
    // From the keyboard (the hotkey) the menu opens with its first entry selected.
    void OpenProgramsMenu(bool fromKeyboard = false);
    void Form_Unload() noexcept;

    void CreateWindowHidden();
    void BuildCommandMenu();
    UniqueHicon LoadTrayPicture() const;
    // The List command after its own guard: nothing while the list editor or the options
    // dialog is visible.
    void RunList();
    // Shows the dialog of that kind modally; false when none was shown (one of that kind is open
    // and came to the front, or there is none to show).
    bool ShowDialog(DialogKind kind);

    TraySetup setup_;
    TrayIcon tray_;
    UniqueHandle instanceMutex_;
    HWND hwnd_ = nullptr;
    TrayClicks clicks_;
    bool programsMenuOpen_ = false;
    bool listAfterMenu_ = false;  // a double click closed the programs menu
    bool iconSetUnread_ = false;  // the active set could not be read at its last load
    bool hotkeyActive_ = false;
    bool started_ = false;
    bool destroying_ = false;  // by the destructor, not by Exit: no WM_QUIT
    std::unique_ptr<Application> app_;
    std::optional<IconBank> icons_;
    UniqueHicon picTrayIcon_;
    UniqueHmenu mnuLeft_;
    UniqueHmenu mnuRight_;
    std::vector<ProgramsMenuEntry> programs_;
};

}  // namespace trayhound
