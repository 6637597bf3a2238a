#include "items/LaunchItems.h"

#include <gtest/gtest.h>

#include <tuple>

#include "MemoryFileSystem.h"
#include "Windows1252Codec.h"
#include "support/Error.h"
#include "tray/ProgramsMenu.h"

namespace trayhound {
namespace {

using Records = std::vector<std::tuple<std::string, std::string, int>>;
const std::string kFile = R"(C:\D)";
const Windows1252Codec kCodec;

LaunchItems Make(const Records& records) {
    LaunchItems items;
    for (const auto& [caption, command, icon] : records) items.Add(caption, command, icon, -1);
    return items;
}

// What the call reported: the error's number, source and description; empty when it returned.
template <class Call>
std::string Reported(Call&& call) {
    try {
        call();
    } catch (const Error& e) {
        return std::to_string(e.Number()) + " " + e.Source() + ": " + e.Description();
    }
    return {};
}

Records RecordsOf(const LaunchItems& items) {
    Records records;
    for (const auto& i : items) records.emplace_back(i->Caption(), i->Command(), i->Icon());
    return records;
}

TEST(LaunchItems, EditsPlaceTheItemOrAreRefusedWithNothingChanged) {
    // The captions after the edit, and the number of the error it reported.
    const std::tuple<void (*)(LaunchItems&), const char*, const char*> kRows[] = {
        {[](auto& l) { l.Add("N", "", 0); }, "NABC", ""},
        {[](auto& l) { l.Add("N", "", 0, -1); }, "ABCN", ""},
        {[](auto& l) { l.Add("N", "", 0, 2)->SetCaption("X"); }, "ABXC", ""},
        {[](auto& l) { l.Add("N", "", 0, 3); }, "ABCN", ""},
        {[](auto& l) { l.Add("N", "", 0, 4); }, "ABC", "9"},
        {[](auto& l) { l.Add("N", "", 0, 1, "k"), l.Item("K")->SetCaption("X"); }, "AXBC", ""},
        {[](auto& l) { l.Add("N", "", 0, -1, "y"), l.Add("M", "", 0, 0, "Y"); }, "ABCN", "457"},
        {[](auto& l) { l.Add("N", "", 0, 0, "k"), l.Clear(), l.Add("M", "", 0, 0, "K"); }, "M", ""},
        {[](auto& l) { l.Item("A"); }, "ABC", "5"},
        {[](auto& l) { l.Item(0); }, "ABC", "9"},
        {[](auto& l) { l.Remove(1); }, "BC", ""},
        {[](auto& l) { l.Remove(4); }, "ABC", "9"},
        {[](auto& l) { l.MoveDown(1); }, "BAC", ""},
        {[](auto& l) { l.MoveDown(2); }, "ACB", ""},
        {[](auto& l) { l.MoveDown(3); }, "ABC", "9"},
        {[](auto& l) { l.MoveDown(0); }, "ABC", "9"},
        // A key stays with its item when the item moves up.
        {[](auto& l) { l.Add("N", "", 0, 2, "k"), l.MoveDown(2), l.Item("k")->SetCaption("X"); },
         "AXBC", ""},
    };
    for (int row = 1; const auto& [edit, captions, number] : kRows) {
        SCOPED_TRACE(testing::Message() << "row " << row++);
        LaunchItems items = Make({{"A", "a", 1}, {"B", "b", 2}, {"C", "c", 3}});
        const std::string said = Reported([&] { edit(items); });
        std::string shown;
        for (const auto& item : items) shown += item->Caption();
        EXPECT_EQ(shown, captions);
        EXPECT_EQ(said.substr(0, said.find(' ')), number);
    }
}

// The bytes are what saving the items writes; loading them gives the items back.
TEST(DataFile, ALinePerItemInTheCodePageOrElseAllInUtf8) {
    const std::tuple<Records, std::string> kRows[] = {
        {Records{}, ""},
        {{{"-", "", 0}, {R"(\tRun\tCtrl+R)", R"("C:\A B\x.exe" /q)", -32768}, {"Z", "z", 32767}},
         "-\t\t0\r\n\\tRun\\tCtrl+R\t\"C:\\A B\\x.exe\" /q\t-32768\r\nZ\tz\t32767\r\n"},
        {{{"\xC3\xA9", "", 0}}, "\xE9\t\t0\r\n"},
        {{{"12345678\xC3\xA9", "command", 0}}, "12345678\xE9\tcommand\t0\r\n"},
        {{{"\xE2\x82\xAC", "a", 0}, {"\xF0\x9F\x90\xB6", "b", 1}},
         "\xEF\xBB\xBF\xE2\x82\xAC\ta\t0\r\n\xF0\x9F\x90\xB6\tb\t1\r\n"},
        // In the code page these would be the bytes of a byte order mark.
        {{{"\xC3\xAF\xC2\xBB\xC2\xBF", "c", 0}}, "\xEF\xBB\xBF\xC3\xAF\xC2\xBB\xC2\xBF\tc\t0\r\n"},
    };
    for (const auto& [records, bytes] : kRows) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        MemoryFileSystem disk;
        disk.SetFile(kFile, "Old\t\t0\r\n");
        Make(records).Save(kFile, disk, kCodec);
        EXPECT_EQ(disk.File(kFile), bytes);
        LaunchItems items = Make({{"Old", "", 0}});
        items.Load(kFile, disk, kCodec);
        EXPECT_EQ(RecordsOf(items), records);
    }
}

// A line ends at CR or CR LF; a malformed one stops the load, keeping the items before it.
TEST(DataFile, LoadTrimsBlanksIgnoresExtraFieldsAndSaysWhatIsWrongWithALine) {
    const std::tuple<std::string, Records, int, std::string> kRows[] = {
        {"A\ta\t1\rB\tb\t2", {{"A", "a", 1}, {"B", "b", 2}}, 0, ""},
        {"A\nB\tx\ny\t+7\tz\t\r", {{"A\nB", "x\ny", 7}}, 0, ""},
        {"  A  \t  a b  \t-07 \r\n\xA0\t\t0", {{"A", "a b", -7}, {"\xC2\xA0", "", 0}}, 0, ""},
        {"A\ta\t1\r\n\r\n", {{"A", "a", 1}}, 9, R"(Line 2 of "C:\D": the line is empty)"},
        {"Caption", {}, 9, "the command and icon fields are missing"},
        {"C\tc", {}, 9, "the icon field is missing"},
        {"C\tc\tabc", {}, 13, "the icon field \"abc\" is not a whole number"},
        {"C\tc\t ", {}, 13, "\"\" is not"},
        {"C\tc\t32768", {}, 6, "the icon number \"32768\" is out of range"},
        {"C\tc\t-32769", {}, 6, "\"-32769\" is out"},
        {"C\tc\t99999999999999999999", {}, 6, "is out"},
    };
    for (const auto& [bytes, records, number, problem] : kRows) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        MemoryFileSystem disk;
        disk.SetFile(kFile, bytes);
        LaunchItems items;
        const std::string said = Reported([&] { items.Load(kFile, disk, kCodec); });
        EXPECT_EQ(RecordsOf(items), records);
        const std::string start = std::to_string(number) + " Trayhound.LaunchItems.Load(): Line ";
        const bool reported = said.starts_with(start) && said.find(problem) != said.npos;
        EXPECT_TRUE(number ? reported : said.empty()) << said;
    }
}

TEST(DataFile, SaveFailureKeepsTheOldFileAndNamesItsCause) {
    const std::string fresh = R"(C:\N\T\D)";
    // What goes wrong, where the items are saved, the error, and whether it is the save's own
    // rather than that of creating the missing folder.
    const std::tuple<void (*)(MemoryFileSystem&), std::string, int, std::string, bool> kRows[] = {
        {[](auto& d) { d.SetReadOnly(kFile); }, kFile, 5, R"(Permission denied: C:\D)", true},
        {[](auto&) {}, R"(C:\F)", 5, R"(Permission denied: C:\F)", true},
        {[](auto&) {}, fresh, 3, R"(Path not found: C:\N\T)", false},
        {[](auto& d) { d.FailNextCreateFolder(183); }, fresh, 183, R"(File already exists: C:\N\T)",
         false},
        {[](auto& d) { d.FailNextCreateFolder(32); }, fresh, 32, R"(Permission denied: C:\N\T)",
         false},
        {[](auto& d) { d.AddFolder("C:\\N"), d.SetDiskSpace(4); }, fresh, 112,
         R"(Disk full: C:\N\T\D)", true},
    };
    for (const auto& [arrange, path, number, description, fromSave] : kRows) {
        SCOPED_TRACE(description);
        MemoryFileSystem disk;
        disk.SetFile(kFile, "Old\t\t0\r\n"), disk.AddFolder(R"(C:\F)");
        arrange(disk);
        const auto before = disk.File(path);
        const std::string source = fromSave ? "Trayhound.LaunchItems.Save()" : "";
        const auto save = [&] { Make({{"N", "n", 1}}).Save(path, disk, kCodec); };
        EXPECT_EQ(Reported(save), std::to_string(number) + " " + source + ": " + description);
        EXPECT_EQ(disk.File(path), before);
    }
}

// Each entry as it shows (caption, what it runs, picture): the item's own icon number, whatever
// the set holds, and the items keep theirs.
TEST(ProgramsMenu, EntriesShowTheItemsWithTheirOwnIconNumbers) {
    const std::tuple<const char*, const char*, int> kItems[] = {
        {"\\tA\\\\tB\\T\\", " x ", 8}, {"-", "x.exe", 6}, {"- ", "", 9}, {"Neg", "n", -1}};
    LaunchItems document;
    for (const auto& [caption, command, icon] : kItems) document.Add(caption, command, icon, -1);
    std::vector<std::string> shown;
    for (const auto& entry : BuildProgramsMenu(document)) {
        shown.push_back(entry.caption + "|" + CommandToRun(entry).value_or("none") + "|" +
                        std::to_string(entry.icon) + (entry.separator ? "|separator" : ""));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"\tA\\\tB\\T\\| x |8", "-|none|6|separator",
                                               "- |none|9", "Neg|n|-1"}));
    std::string icons;
    for (const auto& item : document) icons += std::to_string(item->Icon()) + " ";
    EXPECT_EQ(icons, "8 6 9 -1 ");
    EXPECT_EQ(LaunchItem().Icon(), 0);  // a new item shows no picture either
    document.Clear();
    const auto blank = BuildProgramsMenu(document);
    ASSERT_EQ(blank.size(), 1u);
    EXPECT_EQ(blank[0].caption + CommandToRun(blank[0]).value_or("none"), "none");
}

}  // namespace
}  // namespace trayhound
