#pragma once

#include <string>
#include <string_view>

#include "support/AppTitle.h"

namespace trayhound {

// The per-user settings store: text values addressed by application, section and key. A "\" in
// a section name is a level separator ("Options\LastIconSetFileNames").
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored value, or `defaultValue` when the section or key does not exist.
    virtual std::string Read(std::string_view application, std::string_view section,
                             std::string_view key, std::string_view defaultValue) const = 0;

    // Creates the section and key as needed; throws Error on failure.
    virtual void Write(std::string_view application, std::string_view section, std::string_view key,
                       std::string_view value) = 0;

    // Removes the key; a missing key is no error.
    virtual void Delete(std::string_view application, std::string_view section,
                        std::string_view key) = 0;
};

}  // namespace trayhound
