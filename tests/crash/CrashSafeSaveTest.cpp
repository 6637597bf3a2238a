// Saving the data file while the saving process is killed at random moments: the file must always
// be the whole old list or the whole new list, never a mixture, a part or nothing, and the next
// successful save must leave no temporary file behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"
#include "support/win32/Win32FileSystem.h"

namespace trayhound {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kLongestWait = 30s;
constexpr DWORD kKilled = 0xDEAD;

void KillProcess(HANDLE process) noexcept {
    TerminateProcess(process, kKilled);
    WaitForSingleObject(process, 30'000);
    CloseHandle(process);
}
// The saver program, killed if it still runs when the handle goes.
using Saver = UniqueHandleOf<HANDLE, &KillProcess>;

// STILL_ACTIVE while it runs after `wait`.
DWORD ExitCode(const Saver& saver, DWORD wait = 0) {
    WaitForSingleObject(saver.get(), wait);
    DWORD code = 0;
    GetExitCodeProcess(saver.get(), &code);
    return code;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class CrashSafeSaveTest : public ::testing::Test {
  protected:
    CrashSafeSaveTest() { fs::create_directories(root_ / "Trayhound"); }
    ~CrashSafeSaveTest() override { fs::remove_all(root_, ignored_); }

    // A saver that has built its lists and starts its first save as this returns.
    Saver StartSaver(const std::wstring& mode = L"") {
        const fs::path ready = root_ / ("ready" + std::to_string(++started_));
        wchar_t self[MAX_PATH];
        const fs::path saver = fs::path(self, self + GetModuleFileNameW(nullptr, self, MAX_PATH))
                                   .replace_filename(L"crash_saver.exe");
        std::wstring command = L"\"" + saver.wstring() + L"\" \"" + DataFile().wstring() +
                               L"\" \"" + ready.wstring() + L"\" " + mode;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION created{};
        // A loaded Wine now and then fails to start a process (error 1359): three tries.
        bool started = false;
        for (int attempt = 0; attempt < 3 && !started; ++attempt) {
            started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE,
                                     CREATE_NO_WINDOW, nullptr, nullptr, &startup, &created);
            if (!started) std::cout << "no saver started, error " << GetLastError() << "\n";
        }
        EXPECT_TRUE(started) << "cannot start the saver in three tries";
        CloseHandle(created.hThread);
        const auto deadline = Clock::now() + kLongestWait;
        while (!fs::exists(ready) && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
        EXPECT_TRUE(fs::exists(ready)) << "the saver did not build its lists within 30 s";
        return Saver(created.hProcess);
    }

    // The bytes of the list saved once, after the time it took and the time it began to write
    // its temporary file (a write too quick to be seen is taken to fill its last tenth).
    std::string SaveOnce(const std::wstring& list, Clock::duration& total,
                         Clock::duration& writing) {
        const Saver saver = StartSaver(list);
        const auto start = Clock::now();
        writing = {};
        while (ExitCode(saver) == STILL_ACTIVE && Clock::now() - start < kLongestWait) {
            if (writing == Clock::duration{} && Temporaries() > 0) writing = Clock::now() - start;
        }
        total = Clock::now() - start;
        EXPECT_EQ(ExitCode(saver), 0u) << "one save did not end well within 30 s";
        if (writing == Clock::duration{}) writing = total * 9 / 10;
        return ReadAll(DataFile());
    }

    // The temporary files that saves left beside the data file; any other file fails the test.
    int Temporaries() const {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(DataFile().parent_path())) {
            const std::string name = entry.path().filename().string();
            if (name == "Document.dat") continue;
            EXPECT_TRUE(name.starts_with("Document.dat.") && name.ends_with(".tmp")) << name;
            ++count;
        }
        return count;
    }

    fs::path DataFile() const { return root_ / "Trayhound" / "Document.dat"; }

    const fs::path root_ =
        fs::temp_directory_path() / ("trayhound-crash-" + std::to_string(std::random_device{}()));
    int started_ = 0;
    std::error_code ignored_;
};

TEST_F(CrashSafeSaveTest, KilledSavesLeaveTheOldOrTheNewFileWhole) {
    Clock::duration total{}, writing{};
    const std::string oldBytes = SaveOnce(L"old", total, writing);
    const std::string newBytes = SaveOnce(L"new", total, writing);
    ASSERT_NE(oldBytes.size(), newBytes.size());
    Win32FileSystem disk;
    const auto saveOld = [&] { disk.ReplaceFile(ToUtf8(DataFile().wstring()), oldBytes); };
    saveOld();

    // Every other kill lands anywhere in the first one and a half saves: while the list is
    // encoded, while the temporary file is written and flushed, during the replacement and
    // between two saves. The others aim at the writing of the temporary file, and the rounds go
    // on until a few of those have hit, within a bound.
    const auto micros = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
    };
    std::mt19937_64 random(std::random_device{}());
    std::uniform_int_distribution<long long> anywhere(0, micros(total * 3 / 2));
    std::uniform_int_distribution<long long> whileWriting(micros(writing), micros(total));
    constexpr int kRounds = 30, kInterruptedWrites = 3;
    int interrupted = 0, endedNew = 0, round = 0;
    for (; round < kRounds || (interrupted < kInterruptedWrites && round < 3 * kRounds); ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const Saver saver = StartSaver();
        std::this_thread::sleep_for(
            std::chrono::microseconds(round % 2 ? whileWriting(random) : anywhere(random)));
        TerminateProcess(saver.get(), kKilled);
        ASSERT_EQ(ExitCode(saver, 30'000), kKilled) << "the saver failed or did not end in 30 s";

        const std::string bytes = ReadAll(DataFile());
        ASSERT_TRUE(bytes == oldBytes || bytes == newBytes)
            << "a file of " << bytes.size() << " bytes is neither the old (" << oldBytes.size()
            << ") nor the new one (" << newBytes.size() << ")";
        endedNew += bytes == newBytes;
        interrupted += Temporaries();

        // The next save succeeds and tidies up.
        saveOld();
        ASSERT_EQ(Temporaries(), 0);
        ASSERT_EQ(ReadAll(DataFile()), oldBytes);
    }
    EXPECT_GE(interrupted, kInterruptedWrites) << "too few kills hit a save in progress";
    std::cout << round << " kills: " << endedNew << " left the new file, " << interrupted
              << " a temporary file (a save took " << micros(total) / 1000 << " ms, writing from "
              << micros(writing) / 1000 << " ms)\n";
}

}  // namespace
}  // namespace trayhound
