#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/Options.h"
#include "items/LaunchItems.h"
#include "support/FileSystem.h"
#include "support/SettingsStore.h"
#include "support/TextCodec.h"

namespace trayhound {

// What the application object needs from the platform.
struct ApplicationServices {
    std::shared_ptr<SettingsStore> settings;
    std::shared_ptr<FileSystem> fileSystem;
    std::shared_ptr<const TextCodec> codec;
    // The user's application-data folder as the registry holds it, or nothing when it cannot
    // be read.
    std::function<std::optional<std::string>()> readAppDataFolder;
    // Full path of the running executable, for the help file's path.
    std::string executablePath;
};

// The one application object: owns the live item collection and options, knows the data
// file, loads the items when created and saves them when asked and when destroyed.
class Application {
  public:
    // Throws Error: source "Trayhound", "Cannot find the Appication Data Folder", or the data
    // file's load error.
    // A data file that is there but cannot be read (locked, no access) is no error either: the
    // collection starts empty, as for a missing file.
    explicit Application(ApplicationServices services);
    // Saves the items when they differ from what the data file holds (as loaded or last saved),
    // then releases the options (which write); never throws. An unchanged list is not written
    // again: the file keeps its bytes, time and attributes. Nor are the items saved when the data
    // file could not be read at creation and no Save() has succeeded since (the empty collection
    // must not take the place of the user's unread items), or after KeepFileAtEnd().
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    std::string FileName;

    std::shared_ptr<LaunchItems> Document() const { return document_; }
    void SetDocument(std::shared_ptr<LaunchItems> document);
    std::shared_ptr<trayhound::Options> Options() const { return options_; }
    void SetOptions(std::shared_ptr<trayhound::Options> options);
    const std::string& HelpFile() const noexcept { return helpFile_; }
    FileSystem& FileSystemObject() const noexcept { return *services_.fileSystem; }
    const ApplicationServices& Services() const noexcept { return services_; }

    // Writes the items to the data file; the save's error reaches the caller unchanged.
    void Save();
    // Whether destruction may save the items (see ~Application).
    bool SavesAtEnd() const noexcept { return savesAtEnd_; }
    // The program did not start: whatever happens to the items, the file stays as it is.
    void KeepFileAtEnd() noexcept { savesAtEnd_ = false; }

    // "<folder>\Trayhound\Document.dat", with one separator whether or not `appData` ends with "\".
    static std::string DataFilePath(const std::string& appData);
    // "<folder of exe>\<exe name without extension>.chm".
    static std::string HelpFilePath(const std::string& executablePath);

  private:
    ApplicationServices services_;
    std::shared_ptr<LaunchItems> document_;
    std::shared_ptr<trayhound::Options> options_;
    std::string helpFile_;
    bool savesAtEnd_ = true;
    std::string savedRecords_;  // what the data file holds, as far as the program knows
};

}  // namespace trayhound
