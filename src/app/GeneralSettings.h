#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/SettingsStore.h"

namespace trayhound {

// The keys that open the programs menu from anywhere: modifiers and a Windows virtual-key code
// (0: no hotkey).
struct Hotkey {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    bool win = false;
    std::uint8_t key = 0;

    bool IsSet() const noexcept { return key != 0; }
    friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

// The hotkey as people write it and as it is stored: "Ctrl+Alt+T", "Shift+F12", "Win+Space";
// the empty text for none.
std::string FormatHotkey(const Hotkey& hotkey);
// Reads what FormatHotkey writes (letter case and blanks around the parts do not matter);
// nothing for a text that names no key, or a key twice.
std::optional<Hotkey> ParseHotkey(std::string_view text);

// The General settings, beside the others under the program's title: section "General". A
// user who never sets a hotkey never gets the value.
inline constexpr std::string_view kGeneralSection = "General";
inline constexpr std::string_view kHotkeyKey = "ProgramsMenuHotkey";
Hotkey ReadHotkey(const SettingsStore& settings);
// Stores the hotkey; none deletes the value. Throws the store's Error.
void WriteHotkey(SettingsStore& settings, const Hotkey& hotkey);

// The program's entry among the programs Windows starts at sign-in (the current user's "Run"
// key), named after the program.
inline constexpr std::string_view kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The entry's command for the program at `executablePath`: the path in quotes.
std::string SignInCommand(std::string_view executablePath);

}  // namespace trayhound
