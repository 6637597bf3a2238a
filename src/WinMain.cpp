// The composition root: the one place that knows every part of the program and puts them
// together. The tray window asks for its dialogs by kind; they are made here.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "about/win32/RunningProgram.h"
#include "about/win32/frmAbout.h"
#include "app/win32/Win32Services.h"
#include "editors/win32/frmList.h"
#include "iconsets/win32/frmOptions.h"
#include "support/Error.h"
#include "support/win32/ComApartment.h"
#include "support/win32/ErrorPolicy.h"
#include "support/win32/Registry.h"
#include "support/win32/SystemError.h"
#include "support/win32/Win32Shell.h"
#include "tray/win32/frmTray.h"

namespace trayhound {
namespace {

// What the list editor needs from the running program besides its application object.
ListEditorServices ListServices(frmTray& tray, std::shared_ptr<Shell> shell) {
    ListEditorServices services;
    services.settings = tray.App().Services().settings;
    services.shell = std::move(shell);
    services.getKeyValue = [](std::string_view keyPath, std::string_view name, std::string& value) {
        return GetKeyValue(HKEY_CURRENT_USER, keyPath, name, value);
    };
    services.extraIconNames = [&tray] {
        std::vector<std::string> names;
        const IconBank& bank = tray.Icons();
        for (std::int32_t icon = kStandardIconCount + 1; icon <= bank.UBound(); ++icon) {
            names.push_back(bank.Name(icon));
        }
        return names;
    };
    return services;
}

// What the options dialog's General page needs: the sign-in entry and the hotkey.
GeneralServices GeneralFor(frmTray& tray) {
    GeneralServices general;
    general.readSignInEntry = []() -> std::optional<std::string> {
        std::string command;
        if (!GetKeyValue(HKEY_CURRENT_USER, kRunKeyPath, kAppTitle, command)) return std::nullopt;
        return command;
    };
    general.writeSignInEntry = [](const std::optional<std::string>& command) {
        WriteTextValue(HKEY_CURRENT_USER, kRunKeyPath, kAppTitle, command);
    };
    general.executablePath = tray.App().Services().executablePath;
    general.applyHotkey = [&tray](const Hotkey& hotkey) { return tray.ApplyHotkey(hotkey); };
    general.hotkeyActive = [&tray] { return tray.HotkeyActive(); };
    return general;
}

TraySetup MakeSetup(HINSTANCE instance) {
    TraySetup setup;
    setup.instance = instance;
    setup.services = &MakeApplicationServices;
    setup.shell = std::make_shared<Win32Shell>();
    setup.dialogs = [shell = setup.shell](DialogKind kind,
                                          frmTray& tray) -> std::unique_ptr<ModalDialog> {
        switch (kind) {
            case DialogKind::List:
                return std::make_unique<frmList>(tray.App(), ListServices(tray, shell));
            case DialogKind::Options:
                return std::make_unique<frmOptions>(tray.App(), GeneralFor(tray));
            case DialogKind::About:
                return std::make_unique<frmAbout>(ReadAppProperties(tray.App().HelpFile()));
            case DialogKind::LaunchItem:
                break;  // the list editor's own
        }
        return nullptr;
    };
    return setup;
}

// Runs until the tray window is gone. Ending on the window rather than on WM_QUIT alone means
// that no dialog loop that might swallow the quit message can keep the program alive.
int RunMessageLoop(const frmTray& tray) {
    MSG message{};
    while (!tray.Ended()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) ThrowLastError("Cannot read the window messages", "Trayhound");
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

int Run(HINSTANCE instance) {
    const ComApartment com;  // image decoders and the shell
    // The common controls load with the first dialog (ModalDialog): most runs never open one.
    frmTray tray(MakeSetup(instance));
    if (tray.Form_Load() == frmTray::StartResult::AnotherInstance) return 0;
    return RunMessageLoop(tray);
}

// A start-up that fails ends the program after the message; nothing has been shown yet.
int ReportFatal(const std::string& description) noexcept {
    ShowUserMessage(nullptr, description, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return 1;
}

}  // namespace
}  // namespace trayhound

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        return trayhound::Run(instance);
    } catch (const trayhound::Error& error) {
        return trayhound::ReportFatal(error.Description());
    } catch (const std::exception& error) {
        return trayhound::ReportFatal(error.what());
    }
}
