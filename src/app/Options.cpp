#include "app/Options.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

#include "support/Ascii.h"

namespace trayhound {
namespace {

constexpr std::string_view kSection = "Options\\LastIconSetFileNames";
constexpr std::string_view kCountKey = "count";

constexpr int kMostEntries = 32767;

// The stored count as a 16-bit number; nothing when it is not a whole number or out of range.
std::optional<std::int16_t> ParseCount(std::string_view text) {
    const auto trimmed = TrimBlanks(text);
    std::int16_t count = 0;
    const auto* const end = trimmed.data() + trimmed.size();
    const auto [stop, error] = std::from_chars(trimmed.data(), end, count);
    if (trimmed.empty() || error != std::errc() || stop != end) return std::nullopt;
    return count;
}

}  // namespace

Options::Options(std::shared_ptr<SettingsStore> store) : store_(std::move(store)) {
    Load();
}

Options::~Options() {
    Save();
}

std::unique_ptr<Options> Options::Clone() const {
    // The new object reads the store like any other; its list is then replaced by ours.
    auto copy = std::make_unique<Options>(store_);
    copy->DataFileName = DataFileName;
    copy->LastIconSetFileNames = LastIconSetFileNames;
    return copy;
}

void Options::Load() {
    LastIconSetFileNames.clear();
    const auto count = ParseCount(store_->Read(kAppTitle, kSection, kCountKey, "-1"));
    if (count) {
        for (int i = 1; i <= *count; ++i) {
            auto entry = store_->Read(kAppTitle, kSection, std::to_string(i), "");
            if (!TrimBlanks(entry).empty()) LastIconSetFileNames.push_back(std::move(entry));
        }
    } else {
        // A count damaged by hand ("abc", "40000"): the entries are still there, and the list
        // written at the end must not lose them. Save writes them without gaps, so they run up
        // to the first key that is missing or blank.
        for (int i = 1; i <= kMostEntries; ++i) {
            auto entry = store_->Read(kAppTitle, kSection, std::to_string(i), "");
            if (TrimBlanks(entry).empty()) break;
            LastIconSetFileNames.push_back(std::move(entry));
        }
    }
    // The first run (no count) starts with the internal set; a list that came out empty would
    // leave no active set for the icon bank, so it gets the internal set as well.
    if (LastIconSetFileNames.empty()) {
        LastIconSetFileNames.emplace_back(kInternalIconSetMarker);
    }
}

void Options::Save() noexcept {
    // Each write that fails is skipped; what was written before stays. Keys above the new
    // count are left behind: Load never reads past "count".
    const auto write = [this](const std::string& key, const std::string& value) noexcept {
        try {
            store_->Write(kAppTitle, kSection, key, value);
        } catch (...) {
        }
    };
    try {
        write(std::string(kCountKey), std::to_string(LastIconSetFileNames.size()));
        for (std::size_t i = 0; i < LastIconSetFileNames.size(); ++i) {
            write(std::to_string(i + 1), LastIconSetFileNames[i]);
        }
    } catch (...) {
        // Only building a key text can get here (out of memory); nothing more can be written.
    }
}

}  // namespace trayhound
