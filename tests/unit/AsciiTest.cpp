#include <gtest/gtest.h>

#include <string>

#include "support/Ascii.h"

namespace trayhound {
namespace {

TEST(Ascii, RunEndsAtTheFirstHighByteWhereverItSits) {
    // Every position inside and around the eight-byte steps, for lengths up to three steps.
    for (std::size_t length = 1; length <= 24; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string text(length, 'a');
            text[at] = '\xE9';
            EXPECT_EQ(AsciiRunEnd(text), at) << length << ' ' << at;
            EXPECT_FALSE(IsAscii(text)) << length << ' ' << at;
            EXPECT_EQ(AsciiRunEnd(text, at + 1), length) << length << ' ' << at;
        }
        EXPECT_TRUE(IsAscii(std::string(length, '\x7F'))) << length;
    }
    EXPECT_TRUE(IsAscii(""));
}

}  // namespace
}  // namespace trayhound
