#include "app/win32/Win32Services.h"

#include <windows.h>

#include <memory>

#include "support/win32/AnsiCodec.h"
#include "support/win32/Registry.h"
#include "support/win32/RegistrySettingsStore.h"
#include "support/win32/SystemError.h"
#include "support/win32/Text.h"
#include "support/win32/Win32FileSystem.h"

namespace trayhound {

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) ThrowLastError("Cannot find the program's own file", "Trayhound");
        if (length < path.size()) {
            path.resize(length);
            return ToUtf8(path);
        }
        path.resize(path.size() * 2);  // cut short
    }
}

ApplicationServices MakeApplicationServices() {
    ApplicationServices services;
    services.settings = std::make_shared<RegistrySettingsStore>();
    services.fileSystem = std::make_shared<Win32FileSystem>();
    services.codec = std::make_shared<AnsiCodec>();
    services.readAppDataFolder = &ReadAppDataFolder;
    services.executablePath = ExecutablePath();
    return services;
}

}  // namespace trayhound
