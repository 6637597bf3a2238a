// Loading and saving a data file of 100,000 items, against the least any reader must do: read
// the bytes and find the line ends.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramLists.h"
#include "StdFileSystem.h"
#include "Windows1252Codec.h"
#include "items/LaunchItems.h"

namespace trayhound {
namespace {

constexpr int kItems = 100'000;

LaunchItems MakeItems(bool withAccents) {
    return ProgramList(kItems, withAccents ? "Caf\xC3\xA9" : "Program");
}

// One data file per kind for the whole run, in the temporary folder.
class DataFile {
  public:
    explicit DataFile(bool withAccents) {
        std::random_device random;
        path_ = (std::filesystem::temp_directory_path() /
                 ("trayhound-bench-" + std::to_string(random()) + ".dat"))
                    .string();
        MakeItems(withAccents).Save(path_, disk_, codec_);
    }
    ~DataFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    const std::string& Path() const { return path_; }
    StdFileSystem& Disk() { return disk_; }
    const Windows1252Codec& Codec() const { return codec_; }

  private:
    std::string path_;
    StdFileSystem disk_;
    Windows1252Codec codec_;
};

DataFile& AsciiFile() {
    static DataFile file(false);
    return file;
}

// Accented captions: the file is in the code page and must be converted.
DataFile& AnsiFile() {
    static DataFile file(true);
    return file;
}

template <class Line>
void SplitLines(benchmark::State& state) {
    DataFile& file = AsciiFile();
    for (auto _ : state) {
        const std::string bytes = file.Disk().ReadFile(file.Path()).value();
        std::vector<Line> lines;
        std::string_view rest = bytes;
        while (!rest.empty()) {
            const auto end = rest.find('\r');
            lines.emplace_back(rest.substr(0, end));
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
        }
        benchmark::DoNotOptimize(lines.data());
        if (lines.size() != kItems) state.SkipWithError("wrong line count");
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

// The baseline: the bytes read and cut into lines that point into them.
void ReadAndSplitLines(benchmark::State& state) {
    SplitLines<std::string_view>(state);
}

// The same, each line its own string, as a line reader hands them out.
void ReadAndSplitLinesIntoStrings(benchmark::State& state) {
    SplitLines<std::string>(state);
}

// Loading into an empty collection, as at start-up. Freeing the items is not timed.
void LoadItems(benchmark::State& state, DataFile& file) {
    for (auto _ : state) {
        auto items = std::make_unique<LaunchItems>();
        items->Load(file.Path(), file.Disk(), file.Codec());
        if (items->count() != kItems) state.SkipWithError("wrong item count");
        state.PauseTiming();
        items.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kItems);
}

void Load(benchmark::State& state) {
    LoadItems(state, AsciiFile());
}
void LoadFromCodePage(benchmark::State& state) {
    LoadItems(state, AnsiFile());
}

// Loading over a full collection: the old items are released on the way.
void Reload(benchmark::State& state) {
    DataFile& file = AsciiFile();
    LaunchItems items;
    items.Load(file.Path(), file.Disk(), file.Codec());
    for (auto _ : state) items.Load(file.Path(), file.Disk(), file.Codec());
    state.SetItemsProcessed(state.iterations() * kItems);
}

// Writing, flushing to the disk and replacing the file.
void Save(benchmark::State& state) {
    DataFile& file = AsciiFile();
    const LaunchItems items = MakeItems(false);
    for (auto _ : state) items.Save(file.Path(), file.Disk(), file.Codec());
    state.SetItemsProcessed(state.iterations() * kItems);
}

BENCHMARK(ReadAndSplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadAndSplitLinesIntoStrings)->Unit(benchmark::kMillisecond);
BENCHMARK(Load)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadFromCodePage)->Unit(benchmark::kMillisecond);
BENCHMARK(Reload)->Unit(benchmark::kMillisecond);
BENCHMARK(Save)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trayhound
