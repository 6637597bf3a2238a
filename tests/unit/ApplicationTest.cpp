#include "app/Application.h"

#include <gtest/gtest.h>

#include "CaughtError.h"
#include "MemoryFileSystem.h"
#include "MemorySettingsStore.h"
#include "ProgramLists.h"
#include "Windows1252Codec.h"
#include "app/WindowsVersion.h"
#include "tray/ShutdownRequest.h"
#include "tray/TrayEvents.h"

namespace trayhound {
namespace {

using Names = std::vector<std::string>;
const std::string kFile = R"(C:\AppData\Trayhound\Document.dat)";
const std::string kInternal(kInternalIconSetMarker);
const std::string_view kList = R"(Options\LastIconSetFileNames)";

// The file at start, the error of a save on request (-1: none) before one more item is added,
// and the file at the end: one that could not be read is kept until a save has succeeded.
TEST(Application, StartsWithTheStoredItemsAndWritesThemAndTheOptionsAtTheEnd) {
    MemoryFileSystem list;
    ProgramList(3000, "Caf\xC3\xA9").Save("C:\\L", list, Windows1252Codec());
    const std::string bytes = *list.File("C:\\L"), added = "N\tn\t1\r\nM\tm\t2\r\n";
    const auto unreadable = [](MemoryFileSystem& d) { d.SetUnreadable(kFile); };
    using Text = std::optional<std::string>;
    const std::tuple<Text, void (*)(MemoryFileSystem&), int, Text> kRows[] = {
        {std::nullopt, [](auto&) {}, -1, added},
        {bytes, [](auto&) {}, -1, bytes + added},
        {"O\to\t0\r\n", [](auto& d) { d.SetReadOnly(kFile); }, 70, "O\to\t0\r\n"},
        {"O", unreadable, -1, "O"},
        {"O", unreadable, 0, added},
        {"O", [](auto& d) { d.SetUnreadable(kFile), d.FailNextReplace(70); }, 70, "O"},
    };
    for (int row = 1; const auto& [start, arrange, save, end] : kRows) {
        SCOPED_TRACE(testing::Message() << "row " << row++);
        auto store = std::make_shared<MemorySettingsStore>();
        auto disk = std::make_shared<MemoryFileSystem>();
        disk->AddFolder(R"(C:\AppData)");
        if (start) disk->SetFile(kFile, *start);
        arrange(*disk);
        {
            Application app({store, disk, std::make_shared<Windows1252Codec>(),
                             [] { return std::optional<std::string>(R"(C:\AppData\)"); },
                             R"(C:\v1.2\tray.hound.EXE)"});
            EXPECT_EQ(app.HelpFile(), R"(C:\v1.2\tray.hound.chm)");
            // The items outlive the collection they were loaded into.
            const auto kept = app.Document()->count() ? app.Document()->Item(1) : nullptr;
            app.SetDocument(app.Document()->Clone());
            EXPECT_TRUE(!kept || kept->Caption() == app.Document()->Item(1)->Caption());
            app.Document()->Add("N", "n", 1, -1);
            if (save == 0) app.Save();
            if (save > 0) {
                EXPECT_EQ(CaughtError([&] { app.Save(); })->Number(), save);
            }
            app.Document()->Add("M", "m", 2, -1);
        }
        EXPECT_EQ(disk->File(kFile), end);
        EXPECT_EQ(store->Read(kAppTitle, kList, "1", ""), kInternal);
    }
}

// The stored count and entries, and the list read from them, which is written back.
TEST(Options, ReadTheStoredListSkippingBlankEntries) {
    const std::tuple<const char*, Names, Names> kRows[] = {
        {nullptr, {"a"}, {kInternal}},
        {"3", {"a", "   ", "b"}, {"a", "b"}},
        {" 02 ", {" A ", "A", "c"}, {" A ", "A"}},
        {"0", {"a"}, {kInternal}},
        // A count damaged by hand: the entries up to the first gap.
        {"32768", {"a", " ", "c"}, {"a"}},
        {"x", {}, {kInternal}},
    };
    for (const auto& [count, entries, list] : kRows) {
        SCOPED_TRACE(testing::PrintToString(entries));
        auto store = std::make_shared<MemorySettingsStore>();
        if (count) store->Write(kAppTitle, kList, "count", count);
        for (int i = 1; const auto& entry : entries)
            store->Write(kAppTitle, kList, std::to_string(i++), entry);
        EXPECT_EQ(Options(store).LastIconSetFileNames, list);
        EXPECT_EQ(store->Read(kAppTitle, kList, "count", ""), std::to_string(list.size()));
    }
}

// The shell's notifications (0x201 left down, 0x202 left up, 0x203 left double-click, 0x205
// right up), the actions they ask for, and what the end of the double-click time does.
TEST(TrayEvents, ALeftClickWaitsForADoubleClickBeforeItOpensTheProgramsMenu) {
    using enum TrayAction;
    constexpr TrayAction kWait = WaitForDoubleClick;
    const std::tuple<std::vector<std::uint32_t>, std::vector<TrayAction>, TrayAction> kRows[] = {
        {{0x201, 0x200, 0x202}, {None, None, kWait}, ProgramsMenu},
        {{0x201, 0x202, 0x203, 0x202}, {None, kWait, List, None}, None},
        {{0x202, 0x203, 0x201, 0x202}, {kWait, List, None, kWait}, ProgramsMenu},
        {{0x202, 0x205, 0x204, 0x206, 0x209}, {kWait, CommandMenu, None, None, None}, None},
        {{0x200, 0x201, 0x400, 0x1FF}, {None, None}, None},
    };
    for (const auto& [messages, actions, afterWait] : kRows) {
        SCOPED_TRACE(testing::PrintToString(messages));
        TrayClicks clicks;
        std::vector<TrayAction> seen;
        for (const auto message : messages) {
            const auto button = MouseButtonFromNotification(message);
            if (button) seen.push_back(clicks.OnMouseButton(*button));
        }
        EXPECT_EQ(seen, actions);
        EXPECT_EQ(clicks.Waiting(), afterWait == ProgramsMenu);
        EXPECT_EQ(clicks.DoubleClickTimeEnded(), afterWait);
        EXPECT_EQ(clicks.DoubleClickTimeEnded(), None);
    }
}

TEST(ShutdownRequest, AnyTextIsARequestAndIsTakenAwayButAnEmptyOneStays) {
    MemorySettingsStore settings;
    settings.Write(kAppTitle, "Command", "Shutdown", "");
    EXPECT_FALSE(TakeShutdownRequest(settings) ||
                 !settings.Contains(kAppTitle, "Command", "Shutdown"));
    settings.Write(kAppTitle, "Command", "Shutdown", " ");
    EXPECT_TRUE(TakeShutdownRequest(settings) && !TakeShutdownRequest(settings));
}

TEST(WindowsVersion, PartsOfTheVersionNumbers) {
    EXPECT_EQ(DecodePlatformVersion(0xC3005A04u).buildHigh, 0xC3);
    EXPECT_EQ(std::tuple(IsXpOrLater(5, 0), IsXpOrLater(5, 1), IsXpOrLater(6, 0)),
              std::tuple(false, true, true));
}

}  // namespace
}  // namespace trayhound
