#pragma once

#include "support/SettingsStore.h"

namespace trayhound {

// Another program asks the running instance to end by writing any non-empty text to
// "Shutdown" in the section "Command" of the program's settings. When the request is there it
// is deleted and the result is true: the caller then ends the program. An empty value is no
// request and stays in the store.
bool TakeShutdownRequest(SettingsStore& settings);

}  // namespace trayhound
