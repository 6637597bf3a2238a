#pragma once

#include <string>

#include "app/Application.h"

namespace trayhound {

// The application object's platform pieces on Windows: the registry settings store, the Win32
// file system, the ANSI code page, the "AppData" shell folder and this executable's path.
ApplicationServices MakeApplicationServices();

// Full path of the running executable.
std::string ExecutablePath();

}  // namespace trayhound
