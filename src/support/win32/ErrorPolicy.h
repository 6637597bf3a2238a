#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

namespace trayhound {

// A message box titled with the program's title, with an OK button unless `type` asks for other
// buttons; returns the button pressed.
int ShowUserMessage(HWND owner, std::string_view text, UINT type = MB_OK) noexcept;

// The program's one rule for an error that reaches the top of a window's handler, in every
// window (called inside a catch block): its description is shown in a message box titled with
// the program's title, owned by that window. Then the program ends in order, as Exit ends it
// (dialogs close through their unload handling, the list and the options are saved), unless a
// dialog that holds the user's unsaved edits is open (the list editor, the item editor or the
// options dialog): ending would drop those edits, so the program goes on, and the user keeps
// them with OK or drops them with Cancel.
void HandleUncaughtError(HWND owner) noexcept;

// How the program ends in order; the tray window sets it once it runs.
void SetOrderlyEnd(std::function<void()> end);

}  // namespace trayhound
