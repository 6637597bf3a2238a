#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "items/LaunchItems.h"

namespace trayhound {

// One entry of the programs menu as the rebuild leaves it.
struct ProgramsMenuEntry {
    std::string caption;  // the display caption: "\t" pairs already turned into TABs
    std::string command;
    bool separator = false;
    std::int32_t icon = 0;  // icon-bank index; 0 shows no picture
};

// The programs menu for `document`, in collection order; an empty collection gives the one
// blank entry.
std::vector<ProgramsMenuEntry> BuildProgramsMenu(const LaunchItems& document);

// What choosing `entry` hands to the shell: nothing for a separator, the blank entry of an
// empty collection or an item without a command.
std::optional<std::string> CommandToRun(const ProgramsMenuEntry& entry);

}  // namespace trayhound
