// Lookups in an icon set of 30,000 lines, as loading such a set makes them: "count", then every
// numbered key. The indexed reader against a plain scan from the first line.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "LinearIni.h"
#include "StdFileSystem.h"
#include "Windows1252Codec.h"
#include "iconsets/IniEdit.h"

namespace trayhound {
namespace {

constexpr int kIcons = 30'000;
constexpr std::string_view kSection = "Trayhound Icon Set";

// A set of 30,000 icons in the temporary folder for the whole run, keys in ascending order as a
// set with extra icons must list them.
class LargeIconSet {
  public:
    LargeIconSet() {
        std::random_device random;
        path_ = (std::filesystem::temp_directory_path() /
                 ("trayhound-bench-" + std::to_string(random()) + ".iconset"))
                    .string();
        std::string text = "[Trayhound Icon Set]\r\nname=Large\r\nauthor=Bench\r\ncount=" +
                           std::to_string(kIcons) + "\r\n";
        for (int i = 1; i <= kIcons; ++i) {
            text += std::to_string(i) + "=small\\icon" + std::to_string(i) + ".bmp\r\n";
        }
        disk_.ReplaceFile(path_, text);
    }
    ~LargeIconSet() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }

    IniEdit Open() const {
        IniEdit ini;
        ini.OpenIni(path_, disk_, codec_);
        return ini;
    }

  private:
    std::string path_;
    StdFileSystem disk_;
    Windows1252Codec codec_;
};

const LargeIconSet& Set() {
    static const LargeIconSet set;
    return set;
}

// Reading the file and building the index.
void OpenLargeSet(benchmark::State& state) {
    for (auto _ : state) {
        const IniEdit ini = Set().Open();
        if (ini.Lines().size() != kIcons + 5) state.SkipWithError("wrong line count");
    }
    state.SetItemsProcessed(state.iterations() * (kIcons + 5));
}

// What loading the set asks: "count" and every key from 1 to the count.
void LookUpEveryIcon(benchmark::State& state) {
    const IniEdit ini = Set().Open();
    for (auto _ : state) {
        const int count = std::stoi(ini.GetValue(kSection, "count"));
        for (int i = 1; i <= count; ++i) {
            benchmark::DoNotOptimize(ini.GetValue(kSection, std::to_string(i)));
        }
    }
    state.SetItemsProcessed(state.iterations() * kIcons);
}

// A missing key: a whole section to rule out.
void LookUpMissingKey(benchmark::State& state) {
    const IniEdit ini = Set().Open();
    for (auto _ : state) benchmark::DoNotOptimize(ini.GetValue(kSection, "description"));
}

// The plain scan for the same lookups, a sample of them: every lookup reads the lines from the
// first, so all 30,000 would take minutes.
void LookUpIconsByScanning(benchmark::State& state) {
    const IniEdit ini = Set().Open();
    constexpr int kSample = 100;
    for (auto _ : state) {
        for (int i = 1; i <= kIcons; i += kIcons / kSample) {
            benchmark::DoNotOptimize(LinearGetValue(ini.Lines(), kSection, std::to_string(i)));
        }
    }
    state.SetItemsProcessed(state.iterations() * kSample);
}

BENCHMARK(OpenLargeSet)->Unit(benchmark::kMillisecond);
BENCHMARK(LookUpEveryIcon)->Unit(benchmark::kMillisecond);
BENCHMARK(LookUpMissingKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(LookUpIconsByScanning)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trayhound
