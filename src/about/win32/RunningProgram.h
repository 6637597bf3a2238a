#pragma once

#include <string>

#include "about/AboutModel.h"

namespace trayhound {

// The running program's own facts for the About box: its version resource (FILEVERSION
// major,minor,0,revision and the string table), file name, folder, instance and thread.
about::AppProperties ReadAppProperties(const std::string& helpFile);

}  // namespace trayhound
