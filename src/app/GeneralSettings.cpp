#include "app/GeneralSettings.h"

#include <array>
#include <charconv>
#include <utility>

#include "support/Ascii.h"

namespace trayhound {
namespace {

// Keys with a name of their own; letters and digits are their character, F1 to F24 their name.
constexpr std::array<std::pair<std::uint8_t, std::string_view>, 16> kNamedKeys{{
    {0x08, "Backspace"},
    {0x09, "Tab"},
    {0x0D, "Enter"},
    {0x13, "Pause"},
    {0x20, "Space"},
    {0x21, "PageUp"},
    {0x22, "PageDown"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x2D, "Insert"},
    {0x2E, "Delete"},
    {0x91, "ScrollLock"},
}};
constexpr std::uint8_t kF1 = 0x70;
constexpr int kFunctionKeys = 24;

// Letters and digits are their own keys' codes.
bool IsLetterOrDigit(char c) noexcept {
    return (c >= '0' && c <= '9') || IsAsciiLetter(c);
}

std::string KeyName(std::uint8_t key) {
    if (IsLetterOrDigit(static_cast<char>(key)) && AsciiUpper(static_cast<char>(key)) == key) {
        return std::string(1, static_cast<char>(key));
    }
    if (key >= kF1 && key < kF1 + kFunctionKeys) return "F" + std::to_string(key - kF1 + 1);
    for (const auto& [code, name] : kNamedKeys) {
        if (code == key) return std::string(name);
    }
    return "#" + std::to_string(key);  // any other key, by its code
}

std::optional<std::uint8_t> KeyOf(std::string_view name) {
    if (name.empty()) return std::nullopt;
    if (name.size() == 1 && IsLetterOrDigit(name[0])) {
        return static_cast<std::uint8_t>(AsciiUpper(name[0]));
    }
    int number = 0;
    const auto digits = name.substr(1);
    const bool numbered =
        name.size() > 1 &&
        std::from_chars(digits.data(), digits.data() + digits.size(), number).ptr ==
            digits.data() + digits.size();
    if (numbered && AsciiUpper(name[0]) == 'F' && number >= 1 && number <= kFunctionKeys) {
        return static_cast<std::uint8_t>(kF1 + number - 1);
    }
    if (numbered && name[0] == '#' && number > 0 && number < 256)
        return static_cast<std::uint8_t>(number);
    for (const auto& [code, keyName] : kNamedKeys) {
        if (EqualsIgnoringCase(name, keyName)) return code;
    }
    return std::nullopt;
}

}  // namespace

std::string FormatHotkey(const Hotkey& hotkey) {
    if (!hotkey.IsSet()) return {};
    std::string text;
    if (hotkey.ctrl) text += "Ctrl+";
    if (hotkey.alt) text += "Alt+";
    if (hotkey.shift) text += "Shift+";
    if (hotkey.win) text += "Win+";
    return text + KeyName(hotkey.key);
}

std::optional<Hotkey> ParseHotkey(std::string_view text) {
    Hotkey hotkey;
    if (TrimBlanks(text).empty()) return hotkey;
    while (true) {
        const auto plus = text.find('+', 1);  // a "+" at the start is the key's own name
        const std::string_view part = TrimBlanks(text.substr(0, plus));
        if (plus == std::string_view::npos) {
            const auto key = KeyOf(part);
            if (!key) return std::nullopt;
            hotkey.key = *key;
            return hotkey;
        }
        bool* modifier = EqualsIgnoringCase(part, "Ctrl")    ? &hotkey.ctrl
                         : EqualsIgnoringCase(part, "Alt")   ? &hotkey.alt
                         : EqualsIgnoringCase(part, "Shift") ? &hotkey.shift
                         : EqualsIgnoringCase(part, "Win")   ? &hotkey.win
                                                             : nullptr;
        if (!modifier || std::exchange(*modifier, true)) return std::nullopt;
        text.remove_prefix(plus + 1);
    }
}

Hotkey ReadHotkey(const SettingsStore& settings) {
    return ParseHotkey(settings.Read(kAppTitle, kGeneralSection, kHotkeyKey, ""))
        .value_or(Hotkey{});
}

void WriteHotkey(SettingsStore& settings, const Hotkey& hotkey) {
    if (hotkey.IsSet()) {
        settings.Write(kAppTitle, kGeneralSection, kHotkeyKey, FormatHotkey(hotkey));
    } else {
        settings.Delete(kAppTitle, kGeneralSection, kHotkeyKey);
    }
}

std::string SignInCommand(std::string_view executablePath) {
    return "\"" + std::string(executablePath) + "\"";
}

}  // namespace trayhound
