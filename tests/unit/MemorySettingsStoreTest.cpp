#include "app/MemorySettingsStore.h"

#include <gtest/gtest.h>

#include "support/Error.h"

namespace trayhound {
namespace {

TEST(MemorySettingsStore, MissingValueGivesTheDefault) {
    const MemorySettingsStore store;
    EXPECT_EQ(store.Read("Trayhound", "Command", "Shutdown", "fallback"), "fallback");
}

TEST(MemorySettingsStore, NamesIgnoreLetterCase) {
    MemorySettingsStore store;
    store.Write("Trayhound", "Options\\LastIconSetFileNames", "count", "3");
    EXPECT_EQ(store.Read("TRAYHOUND", "options\\lasticonsetfilenames", "COUNT", ""), "3");
    store.Write("trayhound", "OPTIONS\\LastIconSetFileNames", "Count", "4");
    EXPECT_EQ(store.size(), 1u);
    EXPECT_EQ(store.Read("Trayhound", "Options\\LastIconSetFileNames", "count", ""), "4");
}

TEST(MemorySettingsStore, ValuesKeepTheirCase) {
    MemorySettingsStore store;
    store.Write("Trayhound", "frmList", "Left", "MiXed");
    EXPECT_EQ(store.Read("Trayhound", "frmList", "Left", ""), "MiXed");
}

TEST(MemorySettingsStore, SectionsAndApplicationsAreSeparate) {
    MemorySettingsStore store;
    store.Write("Trayhound", "frmList", "Left", "1");
    EXPECT_FALSE(store.Contains("Trayhound", "frmOptions", "Left"));
    EXPECT_FALSE(store.Contains("Other", "frmList", "Left"));
}

TEST(MemorySettingsStore, DeleteRemovesOnlyThatKey) {
    MemorySettingsStore store;
    store.Write("Trayhound", "Command", "Shutdown", "1");
    store.Write("Trayhound", "Command", "Other", "2");
    store.Delete("Trayhound", "COMMAND", "shutdown");
    EXPECT_FALSE(store.Contains("Trayhound", "Command", "Shutdown"));
    EXPECT_TRUE(store.Contains("Trayhound", "Command", "Other"));
    EXPECT_NO_THROW(store.Delete("Trayhound", "Command", "Shutdown"));
}

TEST(MemorySettingsStore, FailingWritesThrowAndStoreNothing) {
    MemorySettingsStore store;
    store.FailWritesWhen([](std::string_view, std::string_view key) { return key == "Top"; });
    EXPECT_THROW(store.Write("Trayhound", "frmList", "Top", "1"), Error);
    EXPECT_NO_THROW(store.Write("Trayhound", "frmList", "Left", "1"));
    EXPECT_FALSE(store.Contains("Trayhound", "frmList", "Top"));
    store.FailAllWrites(true);
    EXPECT_THROW(store.Write("Trayhound", "frmList", "Left", "2"), Error);
    EXPECT_EQ(store.Read("Trayhound", "frmList", "Left", ""), "1");
    store.FailAllWrites(false);
    EXPECT_NO_THROW(store.Write("Trayhound", "frmList", "Top", "3"));
}

}  // namespace
}  // namespace trayhound
