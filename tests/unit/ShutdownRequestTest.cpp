#include <gtest/gtest.h>

#include "MemorySettingsStore.h"
#include "tray/ShutdownRequest.h"

namespace trayhound {
namespace {

TEST(TakeShutdownRequest, AnyTextIsARequestAndIsDeleted) {
    for (const char* value : {"1", "now", " "}) {
        MemorySettingsStore settings;
        settings.Write("Trayhound", "Command", "Shutdown", value);
        EXPECT_TRUE(TakeShutdownRequest(settings)) << '"' << value << '"';
        EXPECT_FALSE(settings.Contains("Trayhound", "Command", "Shutdown"));
    }
}

TEST(TakeShutdownRequest, AnEmptyValueIsNoRequestAndStays) {
    MemorySettingsStore settings;
    settings.Write("Trayhound", "Command", "Shutdown", "");
    EXPECT_FALSE(TakeShutdownRequest(settings));
    EXPECT_TRUE(settings.Contains("Trayhound", "Command", "Shutdown"));
}

TEST(TakeShutdownRequest, NoValueIsNoRequest) {
    MemorySettingsStore settings;
    EXPECT_FALSE(TakeShutdownRequest(settings));
    EXPECT_EQ(settings.size(), 0u);
}

TEST(TakeShutdownRequest, OnlyTheProgramsOwnCommandSectionCounts) {
    MemorySettingsStore settings;
    settings.Write("OtherTool", "Command", "Shutdown", "1");
    settings.Write("Trayhound", "Commands", "Shutdown", "1");
    settings.Write("Trayhound", "Command", "Shutdown2", "1");
    EXPECT_FALSE(TakeShutdownRequest(settings));
    EXPECT_EQ(settings.size(), 3u);
}

TEST(TakeShutdownRequest, OtherKeysOfTheSectionStay) {
    MemorySettingsStore settings;
    settings.Write("Trayhound", "Command", "Shutdown", "1");
    settings.Write("Trayhound", "Command", "Other", "x");
    EXPECT_TRUE(TakeShutdownRequest(settings));
    EXPECT_TRUE(settings.Contains("Trayhound", "Command", "Other"));
}

}  // namespace
}  // namespace trayhound
