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
const std::string kVersionSource = "WindowsVersion.GetWindowsVersion";

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
        {"O\to\t0\r\n", [](auto& d) { d.SetReadOnly(kFile); }, 5, "O\to\t0\r\n"},
        {"O", unreadable, -1, "O"},
        {"O", unreadable, 0, added},
        {"O", [](auto& d) { d.SetUnreadable(kFile), d.FailNextReplace(5); }, 5, "O"},
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

// What happens to a list between start and end, and the file at the end: written only when the
// items differ from what the file holds, and never after a failed start.
TEST(Application, TheEndWritesOnlyAChangedList) {
    using Change = void (*)(Application&);
    const std::pair<Change, const char*> kRows[] = {
        {[](Application&) {}, "O\to\t0"},
        {[](Application& app) { app.Document()->Add("N", "n", 1, -1), app.Document()->Remove(2); },
         "O\to\t0"},
        {[](Application& app) { app.SetDocument(app.Document()->Clone()); }, "O\to\t0"},
        {[](Application& app) { app.Document()->Item(1)->SetIcon(7); }, "O\to\t7\r\n"},
        {[](Application& app) { app.Document()->Add("N", "n", 1, -1), app.KeepFileAtEnd(); },
         "O\to\t0"},
        {[](Application& app) { app.Document()->Item(1)->SetIcon(7), app.Save(); }, "O\to\t7\r\n"},
    };
    for (const auto& [change, end] : kRows) {
        SCOPED_TRACE(end);
        auto disk = std::make_shared<MemoryFileSystem>();
        disk->SetFile(kFile, "O\to\t0");  // as no save writes it
        {
            Application app({std::make_shared<MemorySettingsStore>(), disk,
                             std::make_shared<Windows1252Codec>(),
                             [] { return std::optional<std::string>(R"(C:\AppData\)"); }, ""});
            change(app);
        }
        EXPECT_EQ(disk->File(kFile), end);
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
        EXPECT_EQ(Options(store).LastIconSetFileNames, list);  // as written back
    }
}

// The shell's notifications (0x201 left down, 0x202 left up, 0x203 left double-click, 0x204 and
// 0x205 right down and up) and presses the open programs menu takes ("menu"), at a time in
// milliseconds and an x; what each asks for: None, List, Programs menu, Command menu, and for a
// press in the menu its own (m), closing it (c) or the list editor (l). The rule: 500 ms, 4 x 4.
TEST(TrayEvents, TheMenuOpensOnReleaseAndASecondPressDecidesWhatFollows) {
    constexpr std::uint32_t kMenu = 0, kLate = 0xFFFFFF00;
    const std::pair<std::vector<std::tuple<std::uint32_t, std::uint32_t, int>>, std::string>
        kRows[] = {
            {{{0x201, 0, 0}, {0x200, 0, 0}, {0x202, 50, 0}}, "NNP"},
            {{{0x201, 0, 3}, {0x202, 50, 3}, {kMenu, 300, 5}, {0x202, 350, 5}}, "NPlN"},
            {{{0x201, 0, 0}, {0x202, 50, 0}, {kMenu, 501, 0}, {0x202, 550, 0}}, "NPcN"},
            {{{0x201, 0, 0}, {0x202, 50, 0}, {kMenu, 100, 3}, {0x201, 900, 0}, {0x202, 950, 0}},
             "NPmNP"},
            {{{0x201, kLate, 0}, {0x202, kLate, 0}, {kMenu, 0x50, 0}}, "NPl"},
            {{{kMenu, 100, 0}, {0x202, 150, 0}, {0x202, 200, 0}}, "mNP"},
            {{{0x201, 0, 0}, {0x202, 50, 0}, {0x203, 100, 0}, {0x202, 150, 0}}, "NPLN"},
            {{{0x204, 0, 0},
              {0x205, 50, 0},
              {0x206, 60, 0},
              {0x209, 70, 0},
              {0x400, 0, 0},
              {0x1FF, 0, 0}},
             "NCNN"},
        };
    for (const auto& [steps, expected] : kRows) {
        SCOPED_TRACE(expected);
        TrayClicks clicks;
        std::string seen;
        for (const auto& [message, time, x] : steps) {
            const Press at{time, x, x / 2};  // down half as far as across
            if (message == kMenu) {
                seen += "mcl"[static_cast<int>(clicks.PressWhileMenuOpen(at, DoubleClickRule{}))];
            } else if (const auto button = MouseButtonFromNotification(message)) {
                seen += "NLPC"[static_cast<int>(clicks.OnMouseButton(*button, at))];
            }
        }
        EXPECT_EQ(seen, expected);
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

// The packed number's parts; the field a caller asks for from version 6.2 build 32767, or the
// error number (0 for none) for a field that does not exist or a build that does not fit.
TEST(WindowsVersion, PartsOfTheVersionNumbers) {
    const auto packed = DecodePlatformVersion(0xC3B15A04u);
    EXPECT_EQ(
        std::tuple(packed.major, packed.minor, packed.buildLow, packed.buildHigh, packed.isNt),
        std::tuple(4, 0x5A, 0xB1, 0xC3, false));
    EXPECT_TRUE(DecodePlatformVersion(0x1DB10106u).isNt);
    EXPECT_EQ(
        std::tuple(IsXpOrLater(4, 9), IsXpOrLater(5, 0), IsXpOrLater(5, 1), IsXpOrLater(6, 0)),
        std::tuple(false, false, true, true));
    const std::tuple<int, std::uint32_t, int, int> kFields[] = {
        {1, 32767, 6, 0}, {2, 32767, 2, 0}, {3, 32767, 32767, 0},
        {0, 1, 0, 301},   {4, 1, 0, 301},   {3, 32768, 0, error_number::kOverflow}};
    for (const auto& [field, build, value, error] : kFields) {
        SCOPED_TRACE(field);
        try {
            EXPECT_EQ(std::pair(int{SelectVersionField(field, 6, 2, build)}, 0),
                      std::pair(value, error));
        } catch (const Error& failure) {
            EXPECT_EQ(std::pair(failure.Number(), failure.Source()),
                      std::pair(error, kVersionSource));
        }
    }
}

}  // namespace
}  // namespace trayhound
