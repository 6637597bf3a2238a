#pragma once

#include <string>
#include <string_view>

#include "support/SettingsStore.h"

namespace trayhound {

// The settings store in the branch that classic per-user program settings use:
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, one REG_SZ
// value per key. A "\" in a section name is a subkey level.
class RegistrySettingsStore final : public SettingsStore {
  public:
    static constexpr std::string_view kRootPath = "Software\\VB and VBA Program Settings";

    // A value of another type than REG_SZ, or one that cannot be read, counts as missing.
    std::string Read(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view defaultValue) const override;
    void Write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) override;
    void Delete(std::string_view application, std::string_view section,
                std::string_view key) override;

    // "Software\VB and VBA Program Settings\<application>\<section>".
    static std::string KeyPath(std::string_view application, std::string_view section);
};

}  // namespace trayhound
