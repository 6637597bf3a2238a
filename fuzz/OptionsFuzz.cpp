// The options loader on arbitrary stored values: the list is never empty and holds no blank
// entry, it is exactly what the stored count and keys give (a damaged count loses no entry),
// and what destruction writes reads back the same, also when some writes fail.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "MemorySettingsStore.h"
#include "app/Options.h"

namespace {

using namespace trayhound;

constexpr std::string_view kSection = "Options\\LastIconSetFileNames";

std::string_view TrimmedBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The stored count as the loader must take it: a 16-bit whole number with an optional minus,
// blanks around it allowed; nothing for anything else.
std::optional<int> ReferenceCount(std::string_view stored) {
    std::string_view text = TrimmedBlanks(stored);
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : text) value = std::min(value * 10 + (c - '0'), 100'000LL);
    value = negative ? -value : value;
    if (value < -32768 || value > 32767) return std::nullopt;
    return static_cast<int>(value);
}

// No count (or -1): the first run. A count: its keys, blank ones skipped. A damaged count: the
// keys up to the first blank or missing one. An empty list becomes the internal set.
std::vector<std::string> ReferenceList(const MemorySettingsStore& store) {
    const auto count = ReferenceCount(store.Read(kAppTitle, kSection, "count", "-1"));
    std::vector<std::string> list;
    for (int i = 1; i <= count.value_or(32767); ++i) {
        std::string entry = store.Read(kAppTitle, kSection, std::to_string(i), "");
        if (TrimmedBlanks(entry).empty()) {
            if (!count) break;
            continue;
        }
        list.push_back(std::move(entry));
    }
    if (list.empty()) list.emplace_back(kInternalIconSetMarker);
    return list;
}

// A short key text: mostly small numbers, so that stored keys meet the loader's reads.
std::string StoredKey(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return "count";
        case 1:
            return input.ConsumeRandomLengthString(8);
        default:
            return std::to_string(input.ConsumeIntegralInRange(0, 40));
    }
}

// A stored count: small numbers, numbers beyond the 16-bit limits, or any text. (A count just
// below the upper limit is left to the unit tests: reading 32,767 keys would slow every run.)
std::string StoredCount(FuzzedDataProvider& input) {
    static constexpr long long kBeyond[] = {32768,        32769,  40000,  65535,  65536,
                                            4294967297LL, -32768, -32769, -65536, -1};
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return std::to_string(input.ConsumeIntegralInRange(-3, 40));
        case 1:
            return std::to_string(input.PickValueInArray(kBeyond));
        default:
            return input.ConsumeRandomLengthString(12);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    auto store = std::make_shared<MemorySettingsStore>();
    if (input.ConsumeBool()) store->Write(kAppTitle, kSection, "count", StoredCount(input));
    const int stored = input.ConsumeIntegralInRange(0, 48);
    for (int i = 0; i < stored; ++i) {
        const std::string key = StoredKey(input);
        store->Write(kAppTitle, kSection, key, input.ConsumeRandomLengthString(16));
    }
    // The stored keys run up to 40: a count far above them only reads missing keys, many times
    // per run, and slows the search to a crawl. Large counts are the unit tests' (32,767 among
    // them).
    if (const auto count = ReferenceCount(store->Read(kAppTitle, kSection, "count", "-1"));
        count && *count > 64) {
        return 0;
    }
    const auto expected = ReferenceList(*store);

    std::vector<std::string> list;
    {
        Options options(store);
        list = options.LastIconSetFileNames;
        FUZZ_CHECK(list == expected);
        FUZZ_CHECK(!list.empty());
        for (const auto& entry : list) FUZZ_CHECK(!TrimmedBlanks(entry).empty());

        const auto clone = options.Clone();
        FUZZ_CHECK(clone->LastIconSetFileNames == list);
        // The clone writes its own list when it goes; change it so that we can tell.
        clone->LastIconSetFileNames.push_back("C:\\Sets\\clone.iconset");
    }
    // The live object went last and wrote its list over the clone's.
    FUZZ_CHECK(store->Read(kAppTitle, kSection, "count", "") == std::to_string(list.size()));
    FUZZ_CHECK(ReferenceList(*store) == list);

    // Writes that fail are skipped; the ones that succeed are right.
    std::set<std::string> failing;
    while (input.remaining_bytes() > 0) failing.insert(StoredKey(input));
    store->FailWritesWhen([&failing](std::string_view, std::string_view key) {
        return failing.contains(std::string(key));
    });
    const auto before = *store;
    {
        Options options(store);
        options.LastIconSetFileNames.push_back("C:\\Sets\\new.iconset");
        list = options.LastIconSetFileNames;
    }
    store->FailAllWrites(false);
    const auto countKey = std::string("count");
    if (!failing.contains(countKey)) {
        FUZZ_CHECK(store->Read(kAppTitle, kSection, "count", "") == std::to_string(list.size()));
    } else {
        FUZZ_CHECK(store->Read(kAppTitle, kSection, "count", "<absent>") ==
                   before.Read(kAppTitle, kSection, "count", "<absent>"));
    }
    for (std::size_t i = 1; i <= list.size(); ++i) {
        const std::string key = std::to_string(i);
        const std::string value = store->Read(kAppTitle, kSection, key, "<absent>");
        FUZZ_CHECK(failing.contains(key)
                       ? value == before.Read(kAppTitle, kSection, key, "<absent>")
                       : value == list[i - 1]);
    }
    return 0;
}
