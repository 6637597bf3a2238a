// The options loader on arbitrary stored values: the list is exactly what the stored count and
// keys give (blank entries skipped, a damaged count losing no entry, an empty list replaced by the
// internal set), and what destruction writes reads back the same, also when some writes fail.
#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <set>

#include "Fuzz.h"
#include "MemorySettingsStore.h"
#include "app/Options.h"

namespace {

using namespace trayhound;

constexpr std::string_view kSection = "Options\\LastIconSetFileNames";

std::string Read(const MemorySettingsStore& store, std::string_view key, const char* absent = "") {
    return store.Read(kAppTitle, kSection, key, absent);
}

std::vector<std::string> ReferenceList(const MemorySettingsStore& store) {
    const auto count = WholeNumber(Trimmed(Read(store, "count", "-1")));
    std::vector<std::string> list;
    for (int i = 1; i <= count.value_or(32767); ++i) {
        const std::string entry = Read(store, std::to_string(i));
        if (Trimmed(entry).empty() && !count) break;
        if (!Trimmed(entry).empty()) list.push_back(entry);
    }
    if (list.empty()) list.emplace_back(kInternalIconSetMarker);
    return list;
}

// A key or a value: mostly small numbers, so that stored keys meet the loader's reads, numbers
// at and beyond the 16-bit limits for the count, or any text.
std::string Text(FuzzedDataProvider& input) {
    static constexpr long long kBeyond[] = {32768, 65536, 4294967297LL, -32768, -32769, -1};
    const int kind = input.ConsumeIntegralInRange(0, 4);
    if (kind < 2) return kind ? input.ConsumeRandomLengthString(12) : "count";
    if (kind == 2) return std::to_string(input.PickValueInArray(kBeyond));
    return std::to_string(input.ConsumeIntegralInRange(-3, 40));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    auto store = std::make_shared<MemorySettingsStore>();
    for (int i = input.ConsumeIntegralInRange(0, 48); i > 0; --i) {
        const std::string key = Text(input);
        store->Write(kAppTitle, kSection, key, Text(input));
    }
    // Counts above the stored keys only slow every run; large counts are the unit tests'.
    if (WholeNumber(Trimmed(Read(*store, "count", "-1"))) > 64) return 0;
    auto list = ReferenceList(*store);
    {
        Options options(store);
        FUZZ_CHECK(options.LastIconSetFileNames == list);
        list.push_back("C:\\Sets\\live.iconset");
        options.LastIconSetFileNames = list;
        const auto clone = options.Clone();
        FUZZ_CHECK(clone->LastIconSetFileNames == list);
        // The clone writes its own list when it goes, before the live object writes over it.
        clone->LastIconSetFileNames.push_back("C:\\Sets\\clone.iconset");
    }
    FUZZ_CHECK(ReferenceList(*store) == list);

    // Writes that fail are skipped; the others are right.
    const MemorySettingsStore before = *store;
    std::set<std::string> failing;
    while (input.remaining_bytes() > 0) failing.insert(Text(input));
    store->FailWritesWhen(
        [&failing](auto, std::string_view key) { return failing.contains(std::string(key)); });
    list.push_back("C:\\Sets\\new.iconset");
    Options(store).LastIconSetFileNames = list;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        const std::string key = i ? std::to_string(i) : "count";
        const std::string written = i ? list[i - 1] : std::to_string(list.size());
        FUZZ_CHECK(Read(*store, key) == (failing.contains(key) ? Read(before, key) : written));
    }
    return 0;
}
