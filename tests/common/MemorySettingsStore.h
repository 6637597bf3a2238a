#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "support/SettingsStore.h"

namespace trayhound {

// A settings store kept in memory, for tests and fuzzing. Application, section and key names
// compare without regard to ASCII letter case, as the registry's do. Writes can be made to fail
// to exercise callers that must carry on.
class MemorySettingsStore : public SettingsStore {
  public:
    // Decides for each write whether it fails (throws Error, nothing stored).
    using WriteFailure = std::function<bool(std::string_view section, std::string_view key)>;

    std::string Read(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view defaultValue) const override;
    void Write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) override;
    void Delete(std::string_view application, std::string_view section,
                std::string_view key) override;

    bool Contains(std::string_view application, std::string_view section,
                  std::string_view key) const;
    std::size_t size() const noexcept { return values_.size(); }

    void FailAllWrites(bool fail);
    void FailWritesWhen(WriteFailure failure) { writeFailure_ = std::move(failure); }

  private:
    using Address = std::tuple<std::string, std::string, std::string>;
    static Address MakeAddress(std::string_view application, std::string_view section,
                               std::string_view key);

    std::map<Address, std::string> values_;
    WriteFailure writeFailure_;
};

}  // namespace trayhound
