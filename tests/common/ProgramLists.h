#pragma once

#include <string>
#include <string_view>

#include "items/LaunchItems.h"

namespace trayhound {

// A programs menu as people build them, for tests and benchmarks of large lists: every tenth
// entry a separator, the others a program with a shortcut column. Captions begin with `word`;
// entry i (from 0) shows picture firstIcon + i % icons.
inline LaunchItems ProgramList(int count, std::string_view word, int firstIcon = 0, int icons = 6) {
    LaunchItems items;
    for (int i = 0; i < count; ++i) {
        if (i % 10 == 9) {
            items.Add("-", "", 0, -1);
            continue;
        }
        const std::string n = std::to_string(i);
        items.Add(std::string(word) + " " + n + R"(\tCtrl+F)",
                  R"("C:\Program Files\Vendor )" + n + R"(\app.exe" /open)", firstIcon + i % icons,
                  -1);
    }
    return items;
}

}  // namespace trayhound
