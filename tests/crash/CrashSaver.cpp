// Saves the data file over and over, a new list and an old list in turn, until it is killed:
//
//   crash_saver <data file> <ready file> [new|old]
//
// The ready file appears once the lists are built, just before the first save; "new" or "old"
// saves that list once and ends, so that the test learns its bytes and how long a save takes.
#include <fstream>
#include <string_view>

#include "ProgramLists.h"
#include "Windows1252Codec.h"
#include "support/win32/Win32FileSystem.h"

int main(int argc, char** argv) {
    using namespace trayhound;
    if (argc < 3) return 2;
    // Many items, so that a save takes long enough to be killed in every phase. The old list fits
    // the code page; the new one has a character outside it (so it is UTF-8 with a byte order
    // mark) and fewer items, so the two files differ in encoding and length.
    constexpr int kItems = 20'000;
    const LaunchItems lists[] = {ProgramList(kItems, "Caf\xC3\xA9"),
                                 ProgramList(kItems - kItems / 20, "\xCE\xA9mega", 1)};
    const std::string_view once = argc > 3 ? argv[3] : "";
    const Windows1252Codec codec;
    Win32FileSystem disk;
    std::ofstream(argv[2]).put('1');
    for (int list = once == "old" ? 0 : 1;; list = 1 - list) {
        lists[list].Save(argv[1], disk, codec);
        if (!once.empty()) return 0;
    }
}
