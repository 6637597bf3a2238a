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
#include "support/win32/Text.h"
#include "support/win32/Win32Shell.h"
#include "tray/win32/frmTray.h"

namespace trayhound {
namespace {

// The About box for the command menu; there is only ever one.
class AboutDialog final : public TrayDialog {
  public:
    explicit AboutDialog(std::string helpFile) : helpFile_(std::move(helpFile)) {}
    void ShowModal(HWND owner) override { frmAbout::Show(owner, ReadAppProperties(helpFile_)); }
    void Close() noexcept override { frmAbout::CloseIfOpen(); }
    HWND Hwnd() const noexcept override { return frmAbout::OpenWindow(); }

  private:
    std::string helpFile_;
};

TraySetup MakeSetup(HINSTANCE instance) {
    TraySetup setup;
    setup.instance = instance;
    setup.services = &MakeApplicationServices;
    setup.shell = std::make_shared<Win32Shell>();
    setup.dialogs.list = ListEditorDialog(setup.shell);
    setup.dialogs.options = &MakeOptionsDialog;
    setup.dialogs.about = [](frmTray& tray) {
        return std::make_unique<AboutDialog>(tray.App().HelpFile());
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
        if (got == -1) {
            throw Error(static_cast<int>(GetLastError()), "Cannot read the window messages.",
                        "Trayhound");
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

int ReportFatal(const std::string& description) noexcept {
    try {
        MessageBoxW(nullptr, ToWide(description).c_str(), ToWide(kAppTitle).c_str(),
                    MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    } catch (...) {
        // Nothing left to show it with.
    }
    return 1;
}

int Run(HINSTANCE instance) {
    const ComApartment com;  // image decoders and the shell
    // The common controls load with the first dialog (ModalDialog): most runs never open one.
    frmTray tray(MakeSetup(instance));
    if (tray.Form_Load() == frmTray::StartResult::AnotherInstance) return 0;
    return RunMessageLoop(tray);
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
