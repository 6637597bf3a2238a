#include "iconsets/win32/IconBank.h"

#include <utility>

#include "iconsets/win32/MenuPicture.h"
#include "resource.h"
#include "support/win32/Text.h"

namespace trayhound {

namespace {

constexpr std::array<int, kStandardIconCount> kInternalResources = {
    IDB_INTERNAL_APPLICATION, IDB_INTERNAL_FOLDER, IDB_INTERNAL_DOCUMENT, IDB_INTERNAL_MAIL,
    IDB_INTERNAL_WEB};

UniqueHbitmap LoadInternal(HINSTANCE instance, int resource, UINT dpi) {
    const UniqueHbitmap original(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return MenuPictureFromBitmap(original.get(), dpi);
}

}  // namespace

IconBank::IconBank(HINSTANCE instance, UINT dpi) : dpi_(dpi) {
    for (std::size_t i = 0; i < picInternals_.size(); ++i) {
        picInternals_[i] = LoadInternal(instance, kInternalResources[i], dpi);
    }
    Assign({});
}

void IconBank::Assign(const IconSetContent& content) {
    std::vector<Entry> entries(1);
    for (const auto& source : content.pictures) entries.push_back(Entry{.source = source});
    // Entries 1 to 5 exist whatever the set holds.
    while (entries.size() <= kStandardIconCount) {
        entries.push_back(Entry{
            .source = {IconSource::None, {}, std::string(kStandardIconNames[entries.size() - 1])}});
    }
    picIcons_ = std::move(entries);
}

HBITMAP IconBank::Picture(std::int32_t icon) const {
    if (icon <= 0 || icon > UBound()) return nullptr;
    Entry& entry = picIcons_[static_cast<std::size_t>(icon)];
    if (!std::exchange(entry.made, true)) {
        switch (entry.source.source) {
            case IconSource::Internal:
                entry.picture = Internal(icon);
                break;
            case IconSource::File:
                entry.owned = LoadMenuPicture(ToWide(entry.source.path), dpi_);
                entry.picture = entry.owned.get();
                break;
            case IconSource::None:
                break;
        }
    }
    return entry.picture;
}

std::string IconBank::Name(std::int32_t icon) const {
    if (icon <= 0 || icon > UBound()) return {};
    return picIcons_[static_cast<std::size_t>(icon)].source.name;
}

HBITMAP IconBank::Internal(std::int32_t index) const noexcept {
    if (index < 1 || index > kStandardIconCount) return nullptr;
    return picInternals_[static_cast<std::size_t>(index - 1)].get();
}

}  // namespace trayhound
