#include "tray/ShutdownRequest.h"

namespace trayhound {

namespace {
constexpr std::string_view kCommandSection = "Command";
constexpr std::string_view kShutdownKey = "Shutdown";
}  // namespace

bool TakeShutdownRequest(SettingsStore& settings) {
    if (settings.Read(kAppTitle, kCommandSection, kShutdownKey, "").empty()) return false;
    settings.Delete(kAppTitle, kCommandSection, kShutdownKey);
    return true;
}

}  // namespace trayhound
