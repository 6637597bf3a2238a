#pragma once

#include <string>

namespace trayhound {

// The shell's "open" request: a program, document, folder, shortcut or web address, handed over
// whole and shown in a normal window.
class Shell {
  public:
    virtual ~Shell() = default;
    // True when the shell accepted the command.
    virtual bool Open(const std::string& command) = 0;
};

}  // namespace trayhound
