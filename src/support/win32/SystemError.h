#pragma once

#include <string>

namespace trayhound {

// The system's own text for a Win32 error code ("Access is denied."), without the line break
// that FormatMessage appends; "Error <code>" when the system has no text for it.
std::string SystemMessage(unsigned long code);

}  // namespace trayhound
