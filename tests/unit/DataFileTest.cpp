#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "CaughtError.h"
#include "MemoryFileSystem.h"
#include "items/DataFile.h"
#include "items/LaunchItems.h"
#include "Windows1252Codec.h"

namespace trayhound {
namespace {

constexpr char kFolder[] = R"(C:\Users\Ann\AppData\Roaming\Trayhound)";
constexpr char kFile[] = R"(C:\Users\Ann\AppData\Roaming\Trayhound\Document.dat)";
constexpr char kSaveSource[] = "Trayhound.LaunchItems.Save()";
constexpr char kLoadSource[] = "Trayhound.LaunchItems.Load()";

struct Values {
    std::string caption;
    std::string command;
    std::int32_t icon;
    bool operator==(const Values&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Values& v) {
    return out << '{' << testing::PrintToString(v.caption) << ", "
               << testing::PrintToString(v.command) << ", " << v.icon << '}';
}

LaunchItems Make(const std::vector<Values>& values) {
    LaunchItems items;
    for (const auto& v : values) items.Add(v.caption, v.command, v.icon, -1);
    return items;
}

std::vector<Values> ValuesOf(const LaunchItems& items) {
    std::vector<Values> values;
    for (const auto& item : items)
        values.push_back({item->Caption(), item->Command(), item->Icon()});
    return values;
}

// One line of plain ASCII, so that test names stay readable.
std::string Escaped(std::string_view text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            shown += "\\\\";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (byte < 0x20 || byte >= 0x7F) {
            constexpr char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
        } else {
            shown += c;
        }
    }
    return shown;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class DataFileTest : public testing::Test {
  protected:
    DataFileTest() { disk.AddFolder(kFolder); }

    std::string SavedBytes(const std::vector<Values>& values) {
        Make(values).Save(kFile, disk, codec);
        return disk.File(kFile).value_or("(no file)");
    }

    LaunchItems LoadedFrom(std::string bytes) {
        disk.SetFile(kFile, std::move(bytes));
        LaunchItems items;
        items.Load(kFile, disk, codec);
        return items;
    }

    MemoryFileSystem disk;
    Windows1252Codec codec;
};

// --- Writing -------------------------------------------------------------------------------

TEST_F(DataFileTest, SavesEachRecordAsCaptionTabCommandTabIconCrLf) {
    EXPECT_EQ(SavedBytes({{"-", "", 0},
                          {"New Item", "notepad.exe", 0},
                          {R"(Run\tCtrl+R)", R"("C:\A B\x.exe" /q)", 5},
                          {"Low", "x", -32769},
                          {"High", "y", 2147483647}}),
              "-\t\t0\r\n"
              "New Item\tnotepad.exe\t0\r\n"
              "Run\\tCtrl+R\t\"C:\\A B\\x.exe\" /q\t5\r\n"
              "Low\tx\t-32769\r\n"
              "High\ty\t2147483647\r\n");
}

TEST_F(DataFileTest, EmptyCollectionWritesAnEmptyFile) {
    disk.SetFile(kFile, "Old\t\t0\r\n");
    EXPECT_EQ(SavedBytes({}), "");
}

TEST_F(DataFileTest, BlanksAreWrittenAsHeld) {
    EXPECT_EQ(SavedBytes({{" A ", " a.exe ", 1}}), " A \t a.exe \t1\r\n");
}

TEST_F(DataFileTest, CodePageCharactersAreWrittenAsSingleBytes) {
    EXPECT_EQ(SavedBytes({{"Caf\xC3\xA9", "\xE2\x82\xAC.exe", 0}}), "Caf\xE9\t\x80.exe\t0\r\n");
}

TEST_F(DataFileTest, ACharacterOutsideTheCodePageMakesTheWholeFileUtf8WithBom) {
    const std::vector<Values> values = {{"Caf\xC3\xA9", "a", 0}, {"\xCE\xA9hm", "b", 1}};
    EXPECT_EQ(SavedBytes(values),
              "\xEF\xBB\xBF"
              "Caf\xC3\xA9\ta\t0\r\n\xCE\xA9hm\tb\t1\r\n");
}

TEST_F(DataFileTest, TextThatWouldLookLikeABomInTheCodePageIsWrittenAsUtf8) {
    // "ï»¿" is EF BB BF in Windows-1252: written that way it would read back as a BOM.
    const std::vector<Values> values = {{"\xC3\xAF\xC2\xBB\xC2\xBFx", "c", 0}};
    const std::string bytes = SavedBytes(values);
    EXPECT_EQ(bytes.substr(0, 5), "\xEF\xBB\xBF\xC3\xAF");
    EXPECT_EQ(ValuesOf(LoadedFrom(bytes)), values);
}

TEST_F(DataFileTest, RecordWriterFormatsOneItem) {
    DataFileWriter stream;
    LaunchItem item;
    item.SetCaption("Web");
    item.SetCommand("https://example.org");
    item.SetIcon(-5);
    item.Save(stream);
    EXPECT_EQ(stream.Text(), "Web\thttps://example.org\t-5\r\n");
}

// --- Round trips ---------------------------------------------------------------------------

TEST_F(DataFileTest, RoundTripKeepsValuesAndOrder) {
    const std::vector<Values> values = {
        {"Notepad", R"(C:\Windows\notepad.exe)", 1},
        {"-", "", 0},
        {R"(Mail\tCtrl+M)", "mailto:ann@example.org", 4},
        {"Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D", "x", -32768},
        {"Last", "", 32767},
    };
    EXPECT_EQ(ValuesOf(LoadedFrom(SavedBytes(values))), values);
}

TEST_F(DataFileTest, UnicodeBeyondTheCodePageSurvivesSaveAndLoad) {
    const std::vector<Values> values = {{"\xCE\xA9mega", "\xF0\x9F\x90\xB6.exe", 2},
                                        {"Caf\xC3\xA9", "\xE4\xB8\xAD", 3}};
    EXPECT_EQ(ValuesOf(LoadedFrom(SavedBytes(values))), values);
}

TEST_F(DataFileTest, BlanksAroundTextDoNotSurviveARoundTrip) {
    EXPECT_EQ(ValuesOf(LoadedFrom(SavedBytes({{"  Notes  ", " n.exe ", 3}}))),
              (std::vector<Values>{{"Notes", "n.exe", 3}}));
}

// --- Reading -------------------------------------------------------------------------------

TEST_F(DataFileTest, LoadReplacesTheWholeCollection) {
    disk.SetFile(kFile, SavedBytes({{"A", "a", 1}, {"B", "b", 2}, {"C", "c", 3}}));
    LaunchItems items =
        Make({{"1", "", 0}, {"2", "", 0}, {"3", "", 0}, {"4", "", 0}, {"5", "", 0}});
    items.Load(kFile, disk, codec);
    EXPECT_EQ(ValuesOf(items), (std::vector<Values>{{"A", "a", 1}, {"B", "b", 2}, {"C", "c", 3}}));
}

TEST_F(DataFileTest, LoadedItemsOutliveTheirCollection) {
    disk.SetFile(kFile, "A\ta\t1\r\nB\tb\t2\r\n");
    LaunchItems items;
    items.Load(kFile, disk, codec);
    const auto second = items.Item(2);
    items.MoveDown(1);
    items.Load(kFile, disk, codec);
    items.Clear();
    EXPECT_EQ(second->Caption(), "B");
    EXPECT_EQ(second->Icon(), 2);
}

TEST_F(DataFileTest, MissingFileOrFolderLeavesTheCollectionAsItWas) {
    for (const std::string& path :
         {std::string(kFile), std::string(R"(D:\Nowhere\Document.dat)")}) {
        LaunchItems items = Make({{"A", "a", 1}, {"B", "b", 2}});
        DataFileState state = DataFileState::kLoaded;
        EXPECT_NO_THROW(state = items.Load(path, disk, codec));
        EXPECT_EQ(state, DataFileState::kMissing) << path;
        EXPECT_EQ(ValuesOf(items), (std::vector<Values>{{"A", "a", 1}, {"B", "b", 2}})) << path;
    }
}

TEST_F(DataFileTest, FolderInsteadOfAFileIsThereButUnreadable) {
    disk.AddFolder(kFile);
    LaunchItems items = Make({{"A", "a", 1}});
    DataFileState state = DataFileState::kLoaded;
    EXPECT_NO_THROW(state = items.Load(kFile, disk, codec));
    EXPECT_EQ(state, DataFileState::kUnreadable);
    EXPECT_EQ(items.count(), 1);
}

TEST_F(DataFileTest, UnreadableFileIsNoErrorAndToldFromAMissingOne) {
    disk.SetFile(kFile, "X\tx\t1\r\n");
    disk.SetUnreadable(kFile);
    LaunchItems items = Make({{"A", "a", 1}});
    DataFileState state = DataFileState::kLoaded;
    EXPECT_NO_THROW(state = items.Load(kFile, disk, codec));
    EXPECT_EQ(state, DataFileState::kUnreadable);
    EXPECT_EQ(ValuesOf(items), (std::vector<Values>{{"A", "a", 1}}));
}

TEST_F(DataFileTest, ReadableFileReportsLoaded) {
    disk.SetFile(kFile, "X\tx\t1\r\n");
    LaunchItems items;
    EXPECT_EQ(items.Load(kFile, disk, codec), DataFileState::kLoaded);
    disk.SetFile(kFile, "");
    EXPECT_EQ(items.Load(kFile, disk, codec), DataFileState::kLoaded);
}

TEST_F(DataFileTest, EmptyFileEmptiesTheCollection) {
    disk.SetFile(kFile, "");
    LaunchItems items = Make({{"A", "a", 1}});
    items.Load(kFile, disk, codec);
    EXPECT_EQ(items.count(), 0);
}

struct ReadCase {
    std::string bytes;
    std::vector<Values> expected;
};

std::ostream& operator<<(std::ostream& out, const ReadCase& c) {
    return out << '"' << Escaped(c.bytes) << '"';
}

class DataFileRead : public DataFileTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(DataFileRead, Loads) {
    EXPECT_EQ(ValuesOf(LoadedFrom(GetParam().bytes)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DataFileRead,
    testing::Values(
        // The last record may lack its line end.
        ReadCase{"A\ta\t1\r\nB\tb\t2", {{"A", "a", 1}, {"B", "b", 2}}},
        // A lone CR ends a line too; CR LF is one line end.
        ReadCase{"A\ta\t1\rB\tb\t2\r\n", {{"A", "a", 1}, {"B", "b", 2}}},
        ReadCase{"A\ta\t1\r", {{"A", "a", 1}}},
        // A lone LF is text.
        ReadCase{"A\nB\tx\ny\t1\r\n", {{"A\nB", "x\ny", 1}}},
        ReadCase{"A\ta\n\t1\r\n", {{"A", "a\n", 1}}},
        // Fields beyond the third are ignored, whatever they hold.
        ReadCase{"A\ta\t1\tmore\r\n", {{"A", "a", 1}}},
        ReadCase{"A\ta\t1\tx\t\ty\r\n", {{"A", "a", 1}}},
        // Blanks, and blanks only, are trimmed.
        ReadCase{"  A  \t  a b  \t 3 \r\n", {{"A", "a b", 3}}},
        ReadCase{"\xA0"
                 "A\xA0\ta\t1\r\n",
                 {{"\xC2\xA0"
                   "A\xC2\xA0",
                   "a", 1}}},
        ReadCase{"   \t\t0\r\n", {{"", "", 0}}},
        // The separator record and the two characters backslash t.
        ReadCase{"-\t\t0\r\n", {{"-", "", 0}}},
        ReadCase{"Run\\tCtrl+R\tr\t0\r\n", {{"Run\\tCtrl+R", "r", 0}}},
        // Icon numbers in the 16-bit range, with the forms the reader accepts.
        ReadCase{"A\ta\t-32768\r\nB\tb\t32767\r\n", {{"A", "a", -32768}, {"B", "b", 32767}}},
        ReadCase{"A\ta\t+7\r\nB\tb\t007\r\nC\tc\t-0\r\n",
                 {{"A", "a", 7}, {"B", "b", 7}, {"C", "c", 0}}},
        // Code-page bytes become their characters; after a BOM the file is UTF-8.
        ReadCase{"Caf\xE9\t\x80\t0\r\n", {{"Caf\xC3\xA9", "\xE2\x82\xAC", 0}}},
        ReadCase{"\xEF\xBB\xBF"
                 "Caf\xC3\xA9\t\xCE\xA9\t0\r\n",
                 {{"Caf\xC3\xA9", "\xCE\xA9", 0}}},
        ReadCase{"\xEF\xBB\xBF", {}}));

struct MalformedCase {
    std::string line;
    int number;
    std::string problem;
};

std::ostream& operator<<(std::ostream& out, const MalformedCase& c) {
    return out << '"' << Escaped(c.line) << '"';
}

class DataFileMalformed : public DataFileTest, public testing::WithParamInterface<MalformedCase> {};

TEST_P(DataFileMalformed, StopsAtThatLineKeepingTheRecordsBefore) {
    disk.SetFile(kFile, "A\ta\t1\r\nB\tb\t2\r\n" + GetParam().line + "\r\nZ\tz\t9\r\n");
    LaunchItems items = Make({{"old", "", 0}});
    const auto error = CaughtError([&] { items.Load(kFile, disk, codec); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number(), GetParam().number);
    EXPECT_EQ(error->Source(), kLoadSource);
    EXPECT_TRUE(Contains(error->Description(), "Line 3 ")) << error->Description();
    EXPECT_TRUE(Contains(error->Description(), kFile)) << error->Description();
    EXPECT_TRUE(Contains(error->Description(), GetParam().problem)) << error->Description();
    EXPECT_EQ(ValuesOf(items), (std::vector<Values>{{"A", "a", 1}, {"B", "b", 2}}));
}

INSTANTIATE_TEST_SUITE_P(
    Records, DataFileMalformed,
    testing::Values(
        MalformedCase{"", error_number::kSubscriptOutOfRange, "empty"},
        MalformedCase{"Caption only", error_number::kSubscriptOutOfRange, "missing"},
        MalformedCase{"C\tcommand", error_number::kSubscriptOutOfRange, "icon field is missing"},
        MalformedCase{"C\tc\tabc", error_number::kTypeMismatch, "not a whole number"},
        MalformedCase{"C\tc\t", error_number::kTypeMismatch, "not a whole number"},
        MalformedCase{"C\tc\t  ", error_number::kTypeMismatch, "not a whole number"},
        MalformedCase{"C\tc\t3.5", error_number::kTypeMismatch, "not a whole number"},
        MalformedCase{"C\tc\t- 3", error_number::kTypeMismatch, "not a whole number"},
        MalformedCase{"C\tc\t0x10", error_number::kTypeMismatch, "not a whole number"},
        MalformedCase{"C\tc\t+", error_number::kTypeMismatch, "not a whole number"},
        MalformedCase{"C\tc\t32768", error_number::kOverflow, "out of range"},
        MalformedCase{"C\tc\t-32769", error_number::kOverflow, "out of range"},
        MalformedCase{"C\tc\t99999999999999999999", error_number::kOverflow, "out of range"}));

TEST_F(DataFileTest, TrailingEmptyLineFailsAtThatLineAfterLoadingTheRest) {
    LaunchItems items;
    disk.SetFile(kFile, "A\ta\t1\r\nB\tb\t2\r\n\r\n");
    const auto error = CaughtError([&] { items.Load(kFile, disk, codec); });
    ASSERT_TRUE(error);
    EXPECT_TRUE(Contains(error->Description(), "Line 3 ")) << error->Description();
    EXPECT_EQ(items.count(), 2);
}

TEST_F(DataFileTest, OutOfRangeIconWrittenFromA32BitValueFailsTheNextLoad) {
    const std::string bytes = SavedBytes({{"A", "a", 1}, {"Big", "b", 40000}});
    LaunchItems items;
    disk.SetFile(kFile, bytes);
    const auto error = CaughtError([&] { items.Load(kFile, disk, codec); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number(), error_number::kOverflow);
    EXPECT_TRUE(Contains(error->Description(), "40000")) << error->Description();
    EXPECT_EQ(items.count(), 1);
}

TEST_F(DataFileTest, RecordReaderSetsTheFieldsBeforeTheFaultyOne) {
    const std::string text = "Caption\tCommand\tnope\r\n";
    DataFileReader stream(text, "");
    LaunchItem item;
    EXPECT_TRUE(CaughtError([&] { item.Load(stream); }));
    EXPECT_EQ(item.Caption(), "Caption");
    EXPECT_EQ(item.Command(), "Command");
    EXPECT_EQ(item.Icon(), 0);
}

TEST_F(DataFileTest, RecordReaderCountsLinesAndStopsAtTheEnd) {
    const std::string text = "A\ta\t1\r\nB\tb\t2\r";
    DataFileReader stream(text, "x");
    LaunchItem item;
    item.Load(stream);
    EXPECT_FALSE(stream.AtEnd());
    item.Load(stream);
    EXPECT_EQ(item.Caption(), "B");
    EXPECT_EQ(stream.LineNumber(), 2);
    EXPECT_TRUE(stream.AtEnd());
}

// --- Saving and the file system ------------------------------------------------------------

TEST_F(DataFileTest, SaveCreatesAMissingLastFolder) {
    MemoryFileSystem fresh;
    fresh.AddFolder(R"(C:\Users\Ann\AppData\Roaming)");
    Make({{"A", "a", 1}}).Save(kFile, fresh, codec);
    EXPECT_TRUE(fresh.HasFolder(kFolder));
    EXPECT_EQ(fresh.File(kFile), "A\ta\t1\r\n");
}

TEST_F(DataFileTest, SaveTwoFoldersBelowAMissingOneFailsWithTheCreationError) {
    MemoryFileSystem fresh;
    fresh.AddFolder(R"(C:\Users\Ann\AppData)");
    const auto error = CaughtError([&] { Make({{"A", "a", 1}}).Save(kFile, fresh, codec); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number(), error_number::kPathNotFound);
    EXPECT_EQ(error->Source(), "");
    EXPECT_TRUE(Contains(error->Description(), R"(C:\Users\Ann\AppData\Roaming\Trayhound)"));
    EXPECT_FALSE(fresh.HasFolder(R"(C:\Users\Ann\AppData\Roaming)"));
    EXPECT_FALSE(fresh.File(kFile));
}

TEST_F(DataFileTest, FolderCreationFailureReachesTheCallerUnchanged) {
    MemoryFileSystem fresh;
    fresh.AddFolder(R"(C:\Users\Ann\AppData\Roaming)");
    fresh.FailNextCreateFolder(error_number::kPermissionDenied);
    const auto error = CaughtError([&] { Make({{"A", "a", 1}}).Save(kFile, fresh, codec); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number(), error_number::kPermissionDenied);
    EXPECT_EQ(error->Source(), "");
}

TEST_F(DataFileTest, FailureAfterCreatingTheFolderCarriesTheSaveSource) {
    MemoryFileSystem fresh;
    fresh.AddFolder(R"(C:\Users\Ann\AppData\Roaming)");
    fresh.SetDiskSpace(4);
    const auto error = CaughtError([&] { Make({{"A", "a", 1}}).Save(kFile, fresh, codec); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number(), error_number::kDiskFull);
    EXPECT_EQ(error->Source(), kSaveSource);
    EXPECT_TRUE(fresh.HasFolder(kFolder));
}

struct SaveFailureCase {
    const char* name;
    void (*arrange)(MemoryFileSystem&);
    int number;
};

std::ostream& operator<<(std::ostream& out, const SaveFailureCase& c) {
    return out << c.name;
}

class DataFileSaveFailure : public DataFileTest,
                            public testing::WithParamInterface<SaveFailureCase> {};

TEST_P(DataFileSaveFailure, ReportsWithTheSaveSourceAndKeepsTheOldFile) {
    disk.SetFile(kFile, "Old\told\t0\r\n");
    GetParam().arrange(disk);
    const LaunchItems items = Make({{"New", "new", 1}, {"More", "more", 2}});
    const auto error = CaughtError([&] { items.Save(kFile, disk, codec); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number(), GetParam().number);
    EXPECT_EQ(error->Source(), kSaveSource);
    EXPECT_EQ(disk.File(kFile), "Old\told\t0\r\n");
    EXPECT_EQ(items.count(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, DataFileSaveFailure,
    testing::Values(SaveFailureCase{"ReadOnly", [](MemoryFileSystem& d) { d.SetReadOnly(kFile); },
                                    error_number::kPermissionDenied},
                    SaveFailureCase{"NoAccess",
                                    [](MemoryFileSystem& d) {
                                        d.FailNextReplace(error_number::kPermissionDenied);
                                    },
                                    error_number::kPermissionDenied},
                    SaveFailureCase{"DiskFullPartWay",
                                    [](MemoryFileSystem& d) { d.SetDiskSpace(12); },
                                    error_number::kDiskFull}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFileTest, SavingOverAFolderFailsWithTheSaveSource) {
    const std::string path = std::string(kFolder) + R"(\Sub)";
    disk.AddFolder(path);
    const auto error = CaughtError([&] { Make({{"A", "a", 1}}).Save(path, disk, codec); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number(), error_number::kPathFileAccessError);
    EXPECT_EQ(error->Source(), kSaveSource);
}


}  // namespace
}  // namespace trayhound
