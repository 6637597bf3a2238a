#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/SettingsStore.h"

namespace trayhound {

// Stands in the icon-set list for the built-in set; never opened as a file.
inline constexpr std::string_view kInternalIconSetMarker = "trayhound:\\internal.iconset";

// The user's options: the icon-set list (entry 1 is the active set). Reads the settings store
// when created and writes it back when destroyed, and when asked to; errors ignored.
class Options {
  public:
    explicit Options(std::shared_ptr<SettingsStore> store);
    ~Options();
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;

    // A new, independent object with the same data-file name and a copy of the list.
    std::unique_ptr<Options> Clone() const;

    std::string DataFileName;
    // Index 0 here is entry 1 of the stored list, the active set.
    std::vector<std::string> LastIconSetFileNames;

    // Writes the list now (a write that fails is skipped), so that a choice confirmed by the
    // user is kept even when the program never reaches its end.
    void Save() noexcept;

  private:
    void Load();

    std::shared_ptr<SettingsStore> store_;
};

}  // namespace trayhound
