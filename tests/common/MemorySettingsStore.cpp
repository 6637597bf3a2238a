#include "MemorySettingsStore.h"

#include <algorithm>

#include "support/Error.h"

namespace trayhound {
namespace {

std::string Folded(std::string_view text) {
    std::string folded(text);
    std::ranges::transform(folded, folded.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return folded;
}

}  // namespace

MemorySettingsStore::Address MemorySettingsStore::MakeAddress(std::string_view application,
                                                              std::string_view section,
                                                              std::string_view key) {
    return {Folded(application), Folded(section), Folded(key)};
}

std::string MemorySettingsStore::Read(std::string_view application, std::string_view section,
                                      std::string_view key, std::string_view defaultValue) const {
    const auto found = values_.find(MakeAddress(application, section, key));
    return found == values_.end() ? std::string(defaultValue) : found->second;
}

void MemorySettingsStore::Write(std::string_view application, std::string_view section,
                                std::string_view key, std::string_view value) {
    if (writeFailure_ && writeFailure_(section, key)) {
        throw Error(error_number::kAccessDenied, "Permission denied", "MemorySettingsStore.Write");
    }
    values_.insert_or_assign(MakeAddress(application, section, key), std::string(value));
}

void MemorySettingsStore::Delete(std::string_view application, std::string_view section,
                                 std::string_view key) {
    values_.erase(MakeAddress(application, section, key));
}

bool MemorySettingsStore::Contains(std::string_view application, std::string_view section,
                                   std::string_view key) const {
    return values_.contains(MakeAddress(application, section, key));
}

void MemorySettingsStore::FailAllWrites(bool fail) {
    if (fail) {
        writeFailure_ = [](std::string_view, std::string_view) { return true; };
    } else {
        writeFailure_ = nullptr;
    }
}

}  // namespace trayhound
