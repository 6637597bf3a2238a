#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "iconsets/IconSet.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {

// The tray window's pictures for the programs menu: `picIcons`, the icon bank indexed by an
// item's Icon number, and `picInternals`, the five built-in pictures. Entry 0 never has a
// picture; entries 1 to 5 always exist; entries 6 and up exist while a set with extra icons is
// loaded. The pictures are menu pictures for the DPI given at creation, made when first asked
// for: a set may name tens of thousands of images, and only those the menu shows become bitmaps.
class IconBank {
  public:
    // Loads the built-in pictures from the module's bitmap resources.
    IconBank(HINSTANCE instance, UINT dpi);

    // Replaces the bank with a set's pictures. Pictures handed out before stay valid until the
    // next Assign.
    void Assign(const IconSetContent& content);

    // The picture of `icon`, made on first use; nullptr for no picture (0, a number the bank has
    // no entry for, an image that cannot be loaded).
    HBITMAP Picture(std::int32_t icon) const;
    // The entry's name: a standard role or an extra icon's image name; empty for no entry.
    std::string Name(std::int32_t icon) const;
    // The highest index of the bank.
    std::int32_t UBound() const noexcept { return static_cast<std::int32_t>(picIcons_.size()) - 1; }
    // Built-in picture 1 to 5; nullptr when the resource is missing.
    HBITMAP Internal(std::int32_t index) const noexcept;
    UINT Dpi() const noexcept { return dpi_; }

  private:
    struct Entry {
        IconSetPicture source;
        bool made = false;    // the picture was asked for: `picture` is what it gave
        UniqueHbitmap owned;  // pictures from image files
        HBITMAP picture = nullptr;
    };

    UINT dpi_;
    std::array<UniqueHbitmap, kStandardIconCount> picInternals_;
    mutable std::vector<Entry> picIcons_;
};

}  // namespace trayhound
