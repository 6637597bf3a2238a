#include "app/Options.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "MemorySettingsStore.h"

namespace trayhound {
namespace {

constexpr std::string_view kSection = "Options\\LastIconSetFileNames";
const std::string kMarker(kInternalIconSetMarker);

// Remembers every write, in order, as "key=value".
class RecordingStore : public MemorySettingsStore {
  public:
    void Write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) override {
        writes.push_back(std::string(key) + "=" + std::string(value));
        MemorySettingsStore::Write(application, section, key, value);
    }
    std::string Read(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view defaultValue) const override {
        ++reads;
        return MemorySettingsStore::Read(application, section, key, defaultValue);
    }

    std::vector<std::string> writes;
    mutable int reads = 0;
};

class OptionsTest : public ::testing::Test {
  protected:
    void Store(std::string_view key, std::string_view value) {
        store->Write(kAppTitle, kSection, key, value);
    }
    std::string Stored(std::string_view key) const {
        return store->Read(kAppTitle, kSection, key, "<absent>");
    }

    std::shared_ptr<RecordingStore> store = std::make_shared<RecordingStore>();
};

TEST_F(OptionsTest, FirstRunHasOnlyTheInternalSet) {
    const Options options(store);
    EXPECT_EQ(options.LastIconSetFileNames, std::vector<std::string>{kMarker});
    EXPECT_EQ(options.DataFileName, "");
}

TEST_F(OptionsTest, BlankEntriesAreSkippedAndLaterOnesMoveUp) {
    Store("count", "3");
    Store("1", "C:\\Sets\\a.iconset");
    Store("2", "   ");
    Store("3", "C:\\Sets\\b.iconset");
    {
        const Options options(store);
        EXPECT_EQ(options.LastIconSetFileNames,
                  (std::vector<std::string>{"C:\\Sets\\a.iconset", "C:\\Sets\\b.iconset"}));
    }
    EXPECT_EQ(Stored("count"), "2");
    EXPECT_EQ(Stored("1"), "C:\\Sets\\a.iconset");
    EXPECT_EQ(Stored("2"), "C:\\Sets\\b.iconset");
    EXPECT_EQ(Stored("3"), "C:\\Sets\\b.iconset");  // left behind, never read again
}

TEST_F(OptionsTest, EntriesAreKeptAsStored) {
    Store("count", "2");
    Store("1", " C:\\Sets\\Padded.iconset ");
    Store("2", "c:\\sets\\lower.ICONSET");
    const Options options(store);
    EXPECT_EQ(options.LastIconSetFileNames,
              (std::vector<std::string>{" C:\\Sets\\Padded.iconset ", "c:\\sets\\lower.ICONSET"}));
}

TEST_F(OptionsTest, KeysAboveTheCountAreNotRead) {
    Store("count", "1");
    Store("1", "a.iconset");
    Store("2", "b.iconset");
    const Options options(store);
    EXPECT_EQ(options.LastIconSetFileNames, std::vector<std::string>{"a.iconset"});
}

TEST_F(OptionsTest, DuplicatesAreKept) {
    Store("count", "2");
    Store("1", "a.iconset");
    Store("2", "a.iconset");
    const Options options(store);
    EXPECT_EQ(options.LastIconSetFileNames, (std::vector<std::string>{"a.iconset", "a.iconset"}));
}

// Counts that leave no usable list: the internal set becomes the only, active, entry.
class OptionsFallbackTest : public OptionsTest,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(OptionsFallbackTest, FallsBackToTheInternalSet) {
    Store("count", GetParam());
    Store("1", "C:\\Sets\\a.iconset");
    Store("2", "C:\\Sets\\b.iconset");
    const Options options(store);
    EXPECT_EQ(options.LastIconSetFileNames, std::vector<std::string>{kMarker});
}

INSTANTIATE_TEST_SUITE_P(CountValues, OptionsFallbackTest,
                         ::testing::Values("-1", "0", "-2", "-32768"));

// A count that is no 16-bit whole number (edited by hand, written by another tool): the stored
// entries are kept, up to the first gap, and written back with a sound count.
class OptionsDamagedCountTest : public OptionsTest,
                                public ::testing::WithParamInterface<const char*> {};

TEST_P(OptionsDamagedCountTest, KeepsTheStoredEntriesUpToTheFirstGap) {
    Store("count", GetParam());
    Store("1", "C:\\Sets\\a.iconset");
    Store("2", "C:\\Sets\\b.iconset");
    Store("4", "C:\\Sets\\after a gap.iconset");
    {
        const Options options(store);
        EXPECT_EQ(options.LastIconSetFileNames,
                  (std::vector<std::string>{"C:\\Sets\\a.iconset", "C:\\Sets\\b.iconset"}));
    }
    EXPECT_EQ(Stored("count"), "2");
    EXPECT_EQ(Stored("1"), "C:\\Sets\\a.iconset");
    EXPECT_EQ(Stored("2"), "C:\\Sets\\b.iconset");
}

INSTANTIATE_TEST_SUITE_P(CountValues, OptionsDamagedCountTest,
                         ::testing::Values("abc", "40000", "32768", "-32769", "99999999999", "",
                                           "   ", "2.5", "2x", "+2", "1e1", "0x2", "\t2"));

TEST_F(OptionsTest, DamagedCountWithNoEntriesIsAFirstRun) {
    Store("count", "abc");
    {
        const Options options(store);
        EXPECT_EQ(options.LastIconSetFileNames, std::vector<std::string>{kMarker});
    }
    EXPECT_EQ(Stored("count"), "1");
    EXPECT_EQ(Stored("1"), kMarker);
}

TEST_F(OptionsTest, DamagedCountReadsNoMoreThanTheLongestList) {
    Store("count", "40000");
    for (int i = 1; i <= 32768; ++i) Store(std::to_string(i), "s" + std::to_string(i));
    const Options options(store);
    ASSERT_EQ(options.LastIconSetFileNames.size(), 32767u);
    EXPECT_EQ(options.LastIconSetFileNames.back(), "s32767");
}

TEST_F(OptionsTest, AllBlankEntriesFallBackToTheInternalSet) {
    Store("count", "2");
    Store("1", "");
    Store("2", "  ");
    const Options options(store);
    EXPECT_EQ(options.LastIconSetFileNames, std::vector<std::string>{kMarker});
}

class OptionsCountTest : public OptionsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(OptionsCountTest, ReadsTwoEntries) {
    Store("count", GetParam());
    Store("1", "a.iconset");
    Store("2", "b.iconset");
    Store("3", "c.iconset");
    const Options options(store);
    EXPECT_EQ(options.LastIconSetFileNames, (std::vector<std::string>{"a.iconset", "b.iconset"}));
}

INSTANTIATE_TEST_SUITE_P(CountValues, OptionsCountTest, ::testing::Values("2", " 2 ", "02"));

TEST_F(OptionsTest, CountBeyondTheStoredKeysSkipsTheMissingOnes) {
    Store("count", "32767");
    Store("1", "a.iconset");
    Store("500", "b.iconset");
    const Options options(store);
    EXPECT_EQ(options.LastIconSetFileNames, (std::vector<std::string>{"a.iconset", "b.iconset"}));
}

TEST_F(OptionsTest, DestructionWritesCountThenEntriesInOrder) {
    {
        Options options(store);
        options.LastIconSetFileNames = {"x.iconset", kMarker, "y.iconset"};
        store->writes.clear();
    }
    EXPECT_EQ(store->writes,
              (std::vector<std::string>{"count=3", "1=x.iconset", "2=" + kMarker, "3=y.iconset"}));
}

TEST_F(OptionsTest, WrittenListReadsBackUnchanged) {
    const std::vector<std::string> list{" spaced.iconset", "C:\\Sets\\b.iconset", kMarker};
    {
        Options options(store);
        options.LastIconSetFileNames = list;
    }
    const Options reread(store);
    EXPECT_EQ(reread.LastIconSetFileNames, list);
}

TEST_F(OptionsTest, DataFileNameIsNotStored) {
    {
        Options options(store);
        options.DataFileName = "C:\\Data\\Other.dat";
    }
    EXPECT_EQ(store->size(), 2u);  // count and one entry
    EXPECT_EQ(Options(store).DataFileName, "");
}

TEST_F(OptionsTest, FailingWritesAreSkippedAndTheRestWritten) {
    store->FailWritesWhen(
        [](std::string_view, std::string_view key) { return key == "count" || key == "2"; });
    {
        Options options(store);
        options.LastIconSetFileNames = {"a.iconset", "b.iconset", "c.iconset"};
    }
    EXPECT_EQ(Stored("count"), "<absent>");
    EXPECT_EQ(Stored("1"), "a.iconset");
    EXPECT_EQ(Stored("2"), "<absent>");
    EXPECT_EQ(Stored("3"), "c.iconset");
}

TEST_F(OptionsTest, DestructionSurvivesAStoreThatRefusesEverything) {
    store->FailAllWrites(true);
    auto options = std::make_unique<Options>(store);
    options->LastIconSetFileNames = {"a.iconset"};
    EXPECT_NO_THROW(options.reset());
    EXPECT_EQ(store->size(), 0u);
}

TEST_F(OptionsTest, CloneCopiesListAndDataFileName) {
    Options original(store);
    original.DataFileName = "C:\\Data\\Document.dat";
    original.LastIconSetFileNames = {"a.iconset", "b.iconset"};
    const auto clone = original.Clone();
    EXPECT_EQ(clone->DataFileName, original.DataFileName);
    EXPECT_EQ(clone->LastIconSetFileNames, original.LastIconSetFileNames);
}

TEST_F(OptionsTest, CloneIsIndependent) {
    Options original(store);
    original.LastIconSetFileNames = {"a.iconset", "b.iconset"};
    const auto clone = original.Clone();
    clone->LastIconSetFileNames.erase(clone->LastIconSetFileNames.begin());
    clone->LastIconSetFileNames.push_back("c.iconset");
    clone->DataFileName = "changed";
    EXPECT_EQ(original.LastIconSetFileNames, (std::vector<std::string>{"a.iconset", "b.iconset"}));
    EXPECT_EQ(original.DataFileName, "");
}

TEST_F(OptionsTest, CloneReadsTheStoreWhenCreated) {
    const Options original(store);
    const int readsBefore = store->reads;
    const auto clone = original.Clone();
    EXPECT_GT(store->reads, readsBefore);
}

TEST_F(OptionsTest, CloneDoesNotTakeTheStoredListOverOurs) {
    Store("count", "1");
    Store("1", "stored.iconset");
    Options original(store);
    original.LastIconSetFileNames = {"edited.iconset"};
    EXPECT_EQ(original.Clone()->LastIconSetFileNames, std::vector<std::string>{"edited.iconset"});
}

TEST_F(OptionsTest, DestroyingACloneWritesItsList) {
    const Options original(store);
    {
        auto clone = original.Clone();
        clone->LastIconSetFileNames = {"C:\\Sets\\new.iconset", kMarker};
    }
    EXPECT_EQ(Stored("count"), "2");
    EXPECT_EQ(Stored("1"), "C:\\Sets\\new.iconset");
    EXPECT_EQ(Stored("2"), kMarker);
}

}  // namespace
}  // namespace trayhound
