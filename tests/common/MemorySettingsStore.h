#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "support/Ascii.h"
#include "support/Error.h"
#include "support/SettingsStore.h"

namespace trayhound {

// A settings store kept in memory, for tests and fuzzing. Names compare without regard to ASCII
// letter case, as the registry's do. Writes can be made to fail, for callers that must carry on.
class MemorySettingsStore : public SettingsStore {
  public:
    // Decides for each write whether it fails (throws Error, nothing stored).
    using WriteFailure = std::function<bool(std::string_view section, std::string_view key)>;

    std::string Read(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view defaultValue) const override {
        const auto found = values_.find(At(application, section, key));
        return found == values_.end() ? std::string(defaultValue) : found->second;
    }
    void Write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) override {
        if (writeFailure_ && writeFailure_(section, key)) {
            throw Error(error_number::kAccessDenied, "Permission denied",
                        "MemorySettingsStore.Write");
        }
        values_.insert_or_assign(At(application, section, key), std::string(value));
    }
    void Delete(std::string_view application, std::string_view section,
                std::string_view key) override {
        values_.erase(At(application, section, key));
    }
    bool Contains(std::string_view application, std::string_view section,
                  std::string_view key) const {
        return values_.contains(At(application, section, key));
    }

    void FailWritesWhen(WriteFailure failure) { writeFailure_ = std::move(failure); }
    void FailAllWrites(bool fail) {
        FailWritesWhen(fail ? WriteFailure([](auto, auto) { return true; }) : nullptr);
    }

  private:
    using Address = std::tuple<std::string, std::string, std::string>;
    static Address At(std::string_view application, std::string_view section,
                      std::string_view key) {
        const auto folded = [](std::string_view text) {
            std::string out(text);
            for (char& c : out) c = AsciiUpper(c);
            return out;
        };
        return {folded(application), folded(section), folded(key)};
    }

    std::map<Address, std::string> values_;
    WriteFailure writeFailure_;
};

}  // namespace trayhound
