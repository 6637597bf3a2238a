// Saving the data file while the program is killed at random moments: the file must always be
// the whole old list or the whole new list, never a mixture, a part or nothing, and the next
// successful save must leave no temporary file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "CrashLists.h"

namespace trayhound::crash {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

#ifdef _WIN32
// Under Wine every process start and file operation costs more; a smaller list and fewer rounds
// still kill saves in every phase.
constexpr int kItems = 20'000;
constexpr int kRounds = 30;
#else
constexpr int kItems = 200'000;
constexpr int kRounds = 50;
#endif

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

class CrashSafeSaveTest : public ::testing::Test {
  protected:
    CrashSafeSaveTest() {
        std::random_device random;
        root_ = fs::temp_directory_path() /
                ("trayhound-crash-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(folder_ = root_ / "Trayhound");
        fs::create_directories(root_ / "ready");
    }
    ~CrashSafeSaveTest() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    // Starts a saver that writes the new list, then the old one and so on; returns as it starts
    // its first save.
    std::unique_ptr<ChildProcess> StartSaver(bool once) {
#ifdef _WIN32
        // The saver builds its own lists, then creates the ready file.
        const fs::path ready = root_ / "ready" / std::to_string(++started_);
        std::vector<std::string> arguments = {DataFile().string(), std::to_string(kItems),
                                              ready.string()};
        if (once) arguments.emplace_back("once");
        auto saver = std::make_unique<ChildProcess>(SaverPath(), arguments);
        const auto deadline = Clock::now() + std::chrono::seconds(120);
        while (!fs::exists(ready) && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_TRUE(fs::exists(ready)) << "the saver never got ready";
        return saver;
#else
        // The forked copy has the lists already.
        return std::make_unique<ChildProcess>(
            [this, once] { SaveRepeatedly(newList_, oldList_, DataFile().string(), once); });
#endif
    }

    bool HasTemporaryFile() const {
        const auto names = NamesIn(folder_);
        return std::ranges::any_of(names, [](const std::string& name) {
            return name.starts_with("Document.dat.") && name.ends_with(".tmp");
        });
    }

    // How long one save takes, start to end, on this machine and under its present load, and
    // when it begins to write its temporary file.
    struct SaveTiming {
        Clock::duration writing{};
        Clock::duration total{};
    };
    SaveTiming MeasureSave() {
        SaveTiming timing;
        const auto saver = StartSaver(true);
        const auto start = Clock::now();
        std::optional<int> exitCode;
        while (!(exitCode = saver->ExitCode())) {
            if (timing.writing == Clock::duration{} && HasTemporaryFile()) {
                timing.writing = Clock::now() - start;
            }
        }
        timing.total = Clock::now() - start;
        EXPECT_EQ(exitCode, 0);
        // A write too quick to be seen is taken to fill the last tenth of the save.
        if (timing.writing == Clock::duration{}) timing.writing = timing.total * 9 / 10;
        return timing;
    }

    // The next save as the program makes it, with the bytes of the old list made beforehand.
    void SaveOldList() {
        fileSystem_->ReplaceFile(DataFile().string(), oldBytes_);
    }

    fs::path DataFile() const {
        return folder_ / "Document.dat";
    }

    fs::path root_;
    fs::path folder_;
#ifdef _WIN32
    int started_ = 0;
#endif
    const LaunchItems oldList_ = OldList(kItems);
    const LaunchItems newList_ = NewList(kItems);
    const std::string oldBytes_ = FileBytes(oldList_);
    const std::string newBytes_ = FileBytes(newList_);
    const std::unique_ptr<FileSystem> fileSystem_ = PlatformFileSystem();
};

TEST_F(CrashSafeSaveTest, KilledSavesLeaveTheOldOrTheNewFileWhole) {
    ASSERT_NE(oldBytes_.size(), newBytes_.size());
    oldList_.Save(DataFile().string(), *fileSystem_, kCodec);

    const SaveTiming timing = MeasureSave();
    ASSERT_EQ(ReadAll(DataFile()), newBytes_);
    SaveOldList();

    // Every other kill lands anywhere in the first one and a half saves: while the list is
    // written out, while the temporary file is written and flushed, during the replacement and
    // between two saves. The others aim at the writing of the temporary file.
    const auto micros = [](Clock::duration d) {
        return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
    };
    std::mt19937_64 random(std::random_device{}());
    std::uniform_int_distribution<long long> anywhere(0, micros(timing.total * 3 / 2));
    std::uniform_int_distribution<long long> writing(micros(timing.writing), micros(timing.total));
    int leftTemporaries = 0;
    int endedNew = 0;
    // Kills that hit the writing of the temporary file are the ones that matter most; the rounds
    // go on until a few have, within a bound.
    constexpr int kInterruptedWrites = 3;
    int round = 0;
    for (; round < kRounds || (leftTemporaries < kInterruptedWrites && round < 3 * kRounds);
         ++round) {
        const auto saver = StartSaver(false);
        const long long delay = round % 2 == 0 ? anywhere(random) : writing(random);
        std::this_thread::sleep_for(std::chrono::microseconds(delay));
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
