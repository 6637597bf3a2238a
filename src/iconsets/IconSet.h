#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Options.h"
#include "items/LaunchItems.h"
#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace trayhound {

// Icon-set files keep every key in this section.
inline constexpr std::string_view kIconSetSection = "Trayhound Icon Set";
// The standard icons 1 to 5 (also the number of built-in pictures), always present in a set.
inline constexpr std::int16_t kStandardIconCount = 5;
inline constexpr std::array<std::string_view, kStandardIconCount> kStandardIconNames = {
    "Application", "Folder", "Document", "Mail", "Web"};

// Where the picture of one icon-bank entry comes from.
enum class IconSource {
    None,      // no picture (the set names no image for it)
    Internal,  // the built-in picture of the same number
    File,      // an image file
};

struct IconSetPicture {
    IconSource source = IconSource::None;
    std::string path;  // the image file of an IconSource::File picture
    std::string name;  // the standard role, or for an extra icon its file name without extension
};

// What an icon set puts into the icon bank.
struct IconSetContent {
    std::int16_t count = kStandardIconCount;  // the set's number of icons, the bound on Icon
    std::vector<IconSetPicture> pictures;     // pictures[i] is bank entry i + 1
};

// Entry 1 of the icon-set list; the internal set when the list is empty.
std::string ActiveIconSet(const Options& options);

// The set's "count" value; a value that is not a whole 16-bit number counts as 5.
std::int16_t IconSetCount(std::string_view value);

// The folder that image names in the set file at `setPath` are relative to, ending in "\".
std::string IconSetFolder(std::string_view setPath);

// An extra icon's name: its image name up to the last ".".
std::string ExtraIconName(std::string_view imageName);

// The content of the set named by `activeEntry` (a set file's path or the internal-set
// marker), or nothing when the set file cannot be read. Loading a set never changes an item's
// Icon number: a number the set has no picture for shows none, and it is the user's to keep.
std::optional<IconSetContent> ReadIconSet(std::string_view activeEntry,
                                          const FileSystem& fileSystem, const TextCodec& codec);

}  // namespace trayhound
