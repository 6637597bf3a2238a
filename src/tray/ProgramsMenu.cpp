#include "tray/ProgramsMenu.h"

namespace trayhound {

std::vector<ProgramsMenuEntry> BuildProgramsMenu(const LaunchItems& document) {
    std::vector<ProgramsMenuEntry> entries;
    for (const auto& item : document) {
        entries.push_back(
            {item->DisplayCaption(), item->Command(), item->IsSeparator(), item->Icon()});
    }
    if (entries.empty()) entries.emplace_back();
    return entries;
}

std::optional<std::string> CommandToRun(const ProgramsMenuEntry& entry) {
    if (entry.separator || entry.command.empty()) return std::nullopt;
    return entry.command;
}

}  // namespace trayhound
