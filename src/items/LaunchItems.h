#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "support/FileSystem.h"
#include "support/Shell.h"
#include "support/TextCodec.h"

namespace trayhound {

class DataFileReader;
class DataFileWriter;

// One entry of the programs menu. A caption of exactly "-" makes it a separator; the two
// characters "\t" in a caption are shown as a TAB (second menu column).
class LaunchItem {
  public:
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(std::string vData) { caption_ = std::move(vData); }
    const std::string& Command() const noexcept { return command_; }
    void SetCommand(std::string vData) { command_ = std::move(vData); }
    std::int32_t Icon() const noexcept { return icon_; }
    void SetIcon(std::int32_t vData) noexcept { icon_ = vData; }

    bool IsSeparator() const noexcept { return caption_ == "-"; }
    // The caption as menus and lists show it: every "\t" pair replaced by a TAB.
    std::string DisplayCaption() const;

    std::shared_ptr<LaunchItem> Clone() const;
    // Hands the command to the shell; true when the shell accepted it.
    bool Execute(Shell& shell) const;

    // One record of the data file (DataFile.h). Load sets Caption, Command and Icon in this
    // order, so a malformed record leaves the fields before the faulty one set.
    void Save(DataFileWriter& stream) const;
    void Load(DataFileReader& stream);

  private:
    std::string caption_;
    std::string command_;
    std::int32_t icon_ = 0;
};

using ItemIndexOrKey = std::variant<int, std::string>;

// What LaunchItems::Load found at the data file's path.
enum class DataFileState {
    kLoaded,      // read, and the collection now holds its items
    kMissing,     // no file: the collection is unchanged
    kUnreadable,  // a file (or folder) is there but cannot be read: the collection is unchanged
};

// The ordered, 1-based collection of launch items. Item() and enumeration hand out the stored
// objects themselves, so changes to an item change the collection's item.
class LaunchItems {
  public:
    using ItemPtr = std::shared_ptr<LaunchItem>;

    // After 0: at the front (or appended to an empty collection); -1: appended; n: after
    // position n. Throws Error (nothing added) for a bad position or a duplicate key.
    ItemPtr Add(std::string caption, std::string command, std::int32_t icon, std::int16_t after = 0,
                std::string sKey = {});
    ItemPtr Item(const ItemIndexOrKey& vntIndexKey) const;
    std::int32_t count() const noexcept { return static_cast<std::int32_t>(items_.size()); }
    void Remove(const ItemIndexOrKey& vntIndexKey);
    // Swaps positions index and index + 1; refused (Error, nothing changed) unless
    // 1 <= index <= count - 1.
    void MoveDown(std::int16_t index);
    std::shared_ptr<LaunchItems> Clone() const;
    void Clear() noexcept;

    // Enumeration in position order.
    auto begin() const noexcept { return items_.begin(); }
    auto end() const noexcept { return items_.end(); }

    // The data file: see DataFile.h for the format. Save throws Error with source
    // "Trayhound.LaunchItems.Save()" (a failure to create the missing folder passes unchanged);
    // Load leaves the collection untouched when the file cannot be opened, which is no error,
    // and throws Error with source "Trayhound.LaunchItems.Load()" for a malformed record,
    // keeping the records before it.
    void Save(const std::string& fileName, FileSystem& fileSystem, const TextCodec& codec) const;
    // The records Save writes, as text before it is put into the code page: two collections
    // with the same records give the same file.
    std::string Records() const;
    DataFileState Load(const std::string& fileName, const FileSystem& fileSystem,
                       const TextCodec& codec);

  private:
    std::size_t PositionOf(const ItemIndexOrKey& vntIndexKey) const;

    std::vector<ItemPtr> items_;
    std::vector<std::string> keys_;  // parallel to items_; upper-cased, empty when none
};

}  // namespace trayhound
