#include "app/GeneralSettings.h"

#include <gtest/gtest.h>

#include <tuple>

#include "MemorySettingsStore.h"

namespace trayhound {
namespace {

Hotkey Keys(bool ctrl, bool alt, bool shift, bool win, int key) {
    return {ctrl, alt, shift, win, static_cast<std::uint8_t>(key)};
}

// The stored text, the hotkey it means (none: not a hotkey, read as no hotkey) and how it is
// written back.
TEST(GeneralSettings, TheHotkeyIsStoredAsPeopleWriteItAndReadBack) {
    const std::tuple<const char*, std::optional<Hotkey>, const char*> kRows[] = {
        {"Ctrl+Alt+T", Keys(true, true, false, false, 'T'), "Ctrl+Alt+T"},
        {" win + shift + alt + ctrl + f12 ", Keys(true, true, true, true, 0x7B),
         "Ctrl+Alt+Shift+Win+F12"},
        {"Shift+F24", Keys(false, false, true, false, 0x87), "Shift+F24"},
        {"Alt+space", Keys(false, true, false, false, 0x20), "Alt+Space"},
        {"Ctrl+0", Keys(true, false, false, false, '0'), "Ctrl+0"},
        {"Ctrl+9", Keys(true, false, false, false, '9'), "Ctrl+9"},
        {"Alt+z", Keys(false, true, false, false, 'Z'), "Alt+Z"},
        {"Ctrl+#187", Keys(true, false, false, false, 187), "Ctrl+#187"},
        {"ScrollLock", Keys(false, false, false, false, 0x91), "ScrollLock"},
        {"", Hotkey{}, ""},
        {"Ctrl+F25", std::nullopt, ""},
        {"Ctrl+Ctrl+T", std::nullopt, ""},
        {"Ctrl+", std::nullopt, ""},
        {"Ctrl+#256", std::nullopt, ""},
        {"Ctrl+Tee", std::nullopt, ""},
        {"Meta+T", std::nullopt, ""},
    };
    for (const auto& [stored, hotkey, written] : kRows) {
        SCOPED_TRACE(stored);
        EXPECT_EQ(ParseHotkey(stored), hotkey);

        MemorySettingsStore settings;
        settings.Write(kAppTitle, kGeneralSection, kHotkeyKey, stored);
        const Hotkey read = ReadHotkey(settings);
        EXPECT_EQ(read, hotkey.value_or(Hotkey{}));
        WriteHotkey(settings, read);
        EXPECT_EQ(settings.Read(kAppTitle, kGeneralSection, kHotkeyKey, "(none)"),
                  *written ? written : "(none)");
        EXPECT_EQ(FormatHotkey(read), written);
    }
}

}  // namespace
}  // namespace trayhound
