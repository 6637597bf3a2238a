#include <windows.h>

#include <exception>

#include "app/Application.h"
#include "app/SettingsStore.h"
#include "app/win32/Win32Services.h"
#include "support/Error.h"
#include "support/win32/Text.h"

namespace {

// A start-up failure ends the program: the error's description under the program's title.
int ReportFatal(const std::string& description) {
    MessageBoxW(nullptr, trayhound::ToWide(description).c_str(),
                trayhound::ToWide(trayhound::kAppTitle).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        const trayhound::Application application(trayhound::MakeApplicationServices());
        return 0;
    } catch (const trayhound::Error& error) {
        return ReportFatal(error.Description());
    } catch (const std::exception& error) {
        return ReportFatal(error.what());
    }
}
