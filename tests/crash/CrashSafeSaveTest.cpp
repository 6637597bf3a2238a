// Saving the data file while the saving process is killed at random moments: the file must always
// be the whole old list or the whole new list, never a mixture, a part or nothing, and the next
// successful save must leave no temporary file behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "CrashLists.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"
#include "support/win32/Win32FileSystem.h"

namespace trayhound::crash {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Every process start and file operation costs more under Wine; this many items and rounds still
// kill saves in every phase.
constexpr int kItems = 20'000;
constexpr int kRounds = 30;
constexpr auto kLongestWait = 30s;
constexpr UINT kKilledExitCode = 0xDEAD;

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

fs::path SaverPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(std::wstring(path, length)).parent_path() / "crash_saver.exe";
}

// The saver program, killed hard if it still runs when the object ends.
class Saver {
  public:
    Saver(const fs::path& dataFile, const fs::path& ready, bool once) {
        std::wstring commandLine = L"\"" + SaverPath().wstring() + L"\" \"" + dataFile.wstring() +
                                   L"\" " + std::to_wstring(kItems) + L" \"" + ready.wstring() +
                                   L"\"" + (once ? L" once" : L"");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION created{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                            nullptr, nullptr, &startup, &created)) {
            ADD_FAILURE() << "cannot start the saver, error " << GetLastError();
            return;
        }
        CloseHandle(created.hThread);
        process_.reset(created.hProcess);
    }
    ~Saver() { Kill(); }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    // Kills the saver at once and waits until it is gone. Its exit code when it had already
    // ended by itself, nothing when the kill ended it.
    std::optional<DWORD> Kill() {
        if (!process_) return std::nullopt;
        const bool terminated = TerminateProcess(process_.get(), kKilledExitCode) != 0;
        const auto code = ExitCode(kLongestWait);
        process_.reset();
        if (terminated && code == kKilledExitCode) return std::nullopt;
        return code;
    }
    // The exit code once the saver has ended within `limit`; nothing while it runs.
    std::optional<DWORD> ExitCode(std::chrono::milliseconds limit = 0ms) const {
        if (!process_ || WaitForSingleObject(process_.get(), static_cast<DWORD>(limit.count())) !=
                             WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }

  private:
    UniqueHandle process_;
};

class CrashSafeSaveTest : public ::testing::Test {
  protected:
    CrashSafeSaveTest() {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("trayhound-crash-" + std::to_string(random()));
        fs::create_directories(folder_ = root_ / "Trayhound");
    }
    ~CrashSafeSaveTest() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // A saver that has built its lists and starts its first save as this returns.
    std::unique_ptr<Saver> StartSaver(bool once) {
        const fs::path ready = root_ / ("ready" + std::to_string(++started_));
        auto saver = std::make_unique<Saver>(DataFile(), ready, once);
        const auto deadline = Clock::now() + kLongestWait;
        while (!fs::exists(ready) && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
        EXPECT_TRUE(fs::exists(ready)) << "the saver did not build its lists within 30 s";
        return saver;
    }

    bool HasTemporaryFile() const {
        return std::ranges::any_of(NamesIn(folder_), [](const std::string& name) {
            return name.starts_with("Document.dat.") && name.ends_with(".tmp");
        });
    }

    // How long one save takes on this machine under its present load, and when it begins to
    // write its temporary file.
    struct SaveTiming {
        Clock::duration writing{};
        Clock::duration total{};
    };
    SaveTiming MeasureSave() {
        SaveTiming timing;
        const auto saver = StartSaver(true);
        const auto start = Clock::now();
        std::optional<DWORD> exitCode;
        while (!(exitCode = saver->ExitCode()) && Clock::now() - start < kLongestWait) {
            if (timing.writing == Clock::duration{} && HasTemporaryFile()) {
                timing.writing = Clock::now() - start;
            }
        }
        timing.total = Clock::now() - start;
        EXPECT_EQ(exitCode, 0u) << "one save did not end well within 30 s";
        // A write too quick to be seen is taken to fill the last tenth of the save.
        if (timing.writing == Clock::duration{}) timing.writing = timing.total * 9 / 10;
        return timing;
    }

    fs::path DataFile() const { return folder_ / "Document.dat"; }
    void SaveOldList() { disk_.ReplaceFile(ToUtf8(DataFile().wstring()), oldBytes_); }

    fs::path root_;
    fs::path folder_;
    int started_ = 0;
    const std::string oldBytes_ = FileBytes(OldList(kItems));
    const std::string newBytes_ = FileBytes(NewList(kItems));
    Win32FileSystem disk_;
};

TEST_F(CrashSafeSaveTest, KilledSavesLeaveTheOldOrTheNewFileWhole) {
    ASSERT_NE(oldBytes_.size(), newBytes_.size());
    SaveOldList();
    const SaveTiming timing = MeasureSave();
    ASSERT_EQ(ReadAll(DataFile()), newBytes_);
    SaveOldList();

    // Every other kill lands anywhere in the first one and a half saves: while the list is
    // encoded, while the temporary file is written and flushed, during the replacement and
    // between two saves. The others aim at the writing of the temporary file.
    const auto micros = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
    };
    std::mt19937_64 random(std::random_device{}());
    std::uniform_int_distribution<long long> anywhere(0, micros(timing.total * 3 / 2));
    std::uniform_int_distribution<long long> writing(micros(timing.writing), micros(timing.total));
    // Kills that hit the writing of the temporary file matter most; the rounds go on until a
    // few have, within a bound.
    constexpr int kInterruptedWrites = 3;
    int leftTemporaries = 0;
    int endedNew = 0;
    int round = 0;
    for (; round < kRounds || (leftTemporaries < kInterruptedWrites && round < 3 * kRounds);
         ++round) {
        const auto saver = StartSaver(false);
        std::this_thread::sleep_for(
            std::chrono::microseconds(round % 2 == 0 ? anywhere(random) : writing(random)));
        const auto endedByItself = saver->Kill();
        ASSERT_FALSE(endedByItself) << "the saver failed with exit code " << *endedByItself;

        const std::string bytes = ReadAll(DataFile());
        ASSERT_TRUE(bytes == oldBytes_ || bytes == newBytes_)
            << "round " << round << ": a file of " << bytes.size() << " bytes is neither the old ("
            << oldBytes_.size() << ") nor the new one (" << newBytes_.size() << ")";
        endedNew += bytes == newBytes_;
        for (const auto& name : NamesIn(folder_)) {
            if (name == "Document.dat") continue;
            ASSERT_TRUE(name.starts_with("Document.dat.") && name.ends_with(".tmp"))
                << "round " << round << " left " << name;
            ++leftTemporaries;
        }

        // The next save succeeds and tidies up.
        SaveOldList();
        ASSERT_EQ(NamesIn(folder_), std::vector<std::string>{"Document.dat"}) << "round " << round;
        ASSERT_EQ(ReadAll(DataFile()), oldBytes_);
    }
    EXPECT_GE(leftTemporaries, kInterruptedWrites) << "too few kills hit a save in progress";
    std::cout << round << " kills: " << endedNew << " left the new file, " << round - endedNew
              << " the old one; " << leftTemporaries
              << " interrupted saves left a temporary file (a save took "
              << micros(timing.total) / 1000 << " ms, writing from "
              << micros(timing.writing) / 1000 << " ms)\n";
}

}  // namespace
}  // namespace trayhound::crash
