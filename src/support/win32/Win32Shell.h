#pragma once

#include "support/Shell.h"

namespace trayhound {

// The shell's "open" through ShellExecuteW, with no owner window. The shell shows its own
// message for a command it cannot run. Needs COM on the calling thread.
class Win32Shell final : public Shell {
  public:
    bool Open(const std::string& command) override;
};

}  // namespace trayhound
