#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "items/LaunchItems.h"
#include "support/FileSystem.h"
#include "support/Windows1252Codec.h"

namespace trayhound::crash {

// The two lists that the saver writes in turn: the "old" one in the code page, the "new" one
// with a character outside it (so UTF-8 with a byte order mark) and fewer items, so that the
// two files differ in encoding, length and every line.
LaunchItems OldList(int count);
LaunchItems NewList(int count);

// The exact bytes a save of `items` writes.
std::string FileBytes(const LaunchItems& items);

// Saves the new list, then the old one, then the new one and so on until the process is killed;
// with `once`, saves the new list a single time and returns.
void SaveRepeatedly(const LaunchItems& newList, const LaunchItems& oldList, const std::string& path,
                    bool once);

// The file system the program uses on this platform.
std::unique_ptr<FileSystem> PlatformFileSystem();

inline const Windows1252Codec kCodec;

#ifdef _WIN32
// The saver program beside the running executable.
std::filesystem::path SaverPath();
#endif

}  // namespace trayhound::crash
