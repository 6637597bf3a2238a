// Windows has no fork: the test starts this program, which saves the data file over and over,
// alternating the new and the old list, until it is killed:
//
//   crash_saver <data file> <items> <ready file> [once]
//
// The ready file is created once the lists are built, just before the first save; "once" saves
// the new list a single time and ends, which lets the test measure how long a save takes.
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "CrashLists.h"

int main(int argc, char** argv) {
    using namespace trayhound;
    if (argc < 4) {
        std::cerr << "usage: crash_saver <data file> <items> <ready file> [once]\n";
        return 2;
    }
    try {
        const std::string path = argv[1];
        const int count = std::stoi(argv[2]);
        const bool once = argc > 4 && std::string_view(argv[4]) == "once";
        const LaunchItems newList = crash::NewList(count);
        const LaunchItems oldList = crash::OldList(count);
        std::ofstream(argv[3]).put('1');
        crash::SaveRepeatedly(newList, oldList, path, once);
        return 0;
    } catch (const std::exception& failure) {
        std::cerr << "crash_saver: " << failure.what() << '\n';
        return 1;
    }
}
