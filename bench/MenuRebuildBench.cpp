// Rebuilding the programs menu of 1,000 items with pictures, as the tray window does at start-up
// and after the list editor closes, against the least any menu of the same 1,000 captions costs:
// a popup menu of plain texts. Runs inside a real tray window with the built-in pictures.
//
// Prints one line per measurement: "<name> <median ms> <fastest ms> <slowest ms> <runs>".
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MemorySettingsStore.h"
#include "ProgramLists.h"
#include "support/Error.h"
#include "support/win32/AnsiCodec.h"
#include "support/win32/ComApartment.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"
#include "support/win32/Win32FileSystem.h"
#include "tray/win32/frmTray.h"

namespace trayhound {
namespace {

constexpr int kItems = 1000;
constexpr int kRuns = 21;

// Each program shows one of the five built-in pictures.
std::shared_ptr<LaunchItems> MakeItems() {
    return std::make_shared<LaunchItems>(ProgramList(kItems, "Program", 1, 5));
}

struct Timing {
    double median = 0;
    double fastest = 0;
    double slowest = 0;
};

Timing Measure(const std::function<void()>& run) {
    run();  // first touch of the code and the pictures
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        times.push_back(took.count());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

void Print(const char* name, const Timing& timing) {
    std::printf("%s %.3f %.3f %.3f %d\n", name, timing.median, timing.fastest, timing.slowest,
                kRuns);
}

// The same captions as plain texts; the menu built before is destroyed when the next one takes
// its place, as the rebuild does.
class PlainMenu {
  public:
    explicit PlainMenu(const LaunchItems& items) {
        for (const auto& item : items) captions_.push_back(item->DisplayCaption());
    }
    void Build() {
        UniqueHmenu menu(CreatePopupMenu());
        UINT position = 0;
        for (const auto& caption : captions_) {
            std::wstring text = ToWide(caption);
            MENUITEMINFOW entry{};
            entry.cbSize = sizeof(entry);
            entry.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
            entry.fType = MFT_STRING;
            entry.wID = 0x1000 + position;
            entry.dwTypeData = text.data();
            if (!InsertMenuItemW(menu.get(), position++, TRUE, &entry)) {
                throw Error(static_cast<int>(GetLastError()), "Cannot build the plain menu.",
                            "MenuRebuildBench");
            }
        }
        menu_ = std::move(menu);
    }

  private:
    std::vector<std::string> captions_;
    UniqueHmenu menu_;
};

// A scratch application-data folder, removed with what the tray window saved into it.
class ScratchFolder {
  public:
    ScratchFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("trayhound-menu-bench-" + std::to_string(GetCurrentProcessId()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string Path() const { return ToUtf8(path_.wstring()); }

  private:
    std::filesystem::path path_;
};

int Run() {
    const ComApartment com;
    const ScratchFolder appData;
    TraySetup setup;
    setup.instance = GetModuleHandleW(nullptr);
    setup.services = [&appData] {
        ApplicationServices services;
        services.settings = std::make_shared<MemorySettingsStore>();
        services.fileSystem = std::make_shared<Win32FileSystem>();
        services.codec = std::make_shared<AnsiCodec>();
        services.readAppDataFolder = [folder = appData.Path()] { return folder; };
        services.executablePath = "C:\\Trayhound\\Trayhound.exe";
        return services;
    };
    frmTray tray(std::move(setup));
    if (tray.Form_Load() != frmTray::StartResult::Running) {
        std::fprintf(stderr, "Trayhound is running: end it first.\n");
        return 1;
    }
    const auto items = MakeItems();
    tray.App().SetDocument(items);

    Print("rebuild", Measure([&tray] { tray.RebuildProgramsMenu(); }));
    if (GetMenuItemCount(tray.mnuLeft()) != kItems) {
        std::fprintf(stderr, "The programs menu holds %d entries.\n",
                     GetMenuItemCount(tray.mnuLeft()));
        return 1;
    }
    PlainMenu plain(*items);
    Print("plain", Measure([&plain] { plain.Build(); }));
    return 0;
}

}  // namespace
}  // namespace trayhound

int main() {
    try {
        return trayhound::Run();
    } catch (const trayhound::Error& error) {
        std::fprintf(stderr, "%s\n", error.Description().c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    return 1;
}
