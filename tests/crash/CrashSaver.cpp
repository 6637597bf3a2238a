// Saves the data file over and over, the new list and the old list in turn, until it is killed:
//
//   crash_saver <data file> <items> <ready file> [once]
//
// The ready file appears once the lists are built, just before the first save; "once" saves the
// new list a single time and ends, which lets the test measure how long a save takes.
#include <exception>
#include <fstream>
#include <iostream>
#include <string_view>

#include "CrashLists.h"
#include "support/win32/Win32FileSystem.h"

int main(int argc, char** argv) {
    using namespace trayhound;
    if (argc < 4) {
        std::cerr << "usage: crash_saver <data file> <items> <ready file> [once]\n";
        return 2;
    }
    try {
        const int count = std::stoi(argv[2]);
        const bool once = argc > 4 && std::string_view(argv[4]) == "once";
        const LaunchItems newList = crash::NewList(count);
        const LaunchItems oldList = crash::OldList(count);
        Win32FileSystem disk;
        std::ofstream(argv[3]).put('1');
        for (bool newer = true;; newer = !newer) {
            (newer ? newList : oldList).Save(argv[1], disk, crash::kCodec);
            if (once) return 0;
        }
    } catch (const std::exception& failure) {
        std::cerr << "crash_saver: " << failure.what() << '\n';
        return 1;
    }
}
