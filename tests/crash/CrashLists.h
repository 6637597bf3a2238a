#pragma once

#include <string>

#include "ProgramLists.h"
#include "Windows1252Codec.h"
#include "items/DataFile.h"

namespace trayhound::crash {

// The saver writes these two lists in turn. The old one fits the code page; the new one holds a
// character outside it (so it is UTF-8 with a byte order mark) and fewer items, so the two files
// differ in encoding, length and every line.
inline LaunchItems OldList(int count) {
    return ProgramList(count, "Caf\xC3\xA9");
}

inline LaunchItems NewList(int count) {
    LaunchItems items;
    for (int i = 0; i < count - count / 20; ++i) {
        const std::string n = std::to_string(i);
        items.Add("\xCE\xA9mega " + n, "https://example.org/" + n, (i + 1) % 6, -1);
    }
    return items;
}

inline const Windows1252Codec kCodec;

// The exact bytes a save of `items` writes.
inline std::string FileBytes(const LaunchItems& items) {
    DataFileWriter writer;
    for (const auto& item : items) item->Save(writer);
    return std::move(writer).Encode(kCodec);
}

}  // namespace trayhound::crash
