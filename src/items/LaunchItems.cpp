#include "items/LaunchItems.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "support/Ascii.h"
#include "support/Error.h"

namespace trayhound {

namespace {

// Keys compare without regard to (ASCII) case, as the classic collection's keys do.
std::string FoldKey(std::string_view key) {
    std::string folded(key);
    std::transform(folded.begin(), folded.end(), folded.begin(), AsciiUpper);
    return folded;
}

Error SubscriptOutOfRange() {
    return Error(error_number::kSubscriptOutOfRange, "Subscript out of range");
}

}  // namespace

std::string LaunchItem::DisplayCaption() const {
    std::string shown;
    shown.reserve(caption_.size());
    for (std::size_t i = 0; i < caption_.size(); ++i) {
        if (caption_[i] == '\\' && i + 1 < caption_.size() && caption_[i + 1] == 't') {
            shown += '\t';
            ++i;
        } else {
            shown += caption_[i];
        }
    }
    return shown;
}

std::shared_ptr<LaunchItem> LaunchItem::Clone() const {
    return std::make_shared<LaunchItem>(*this);
}

bool LaunchItem::Execute(Shell& shell) const {
    return shell.Open(command_);
}

LaunchItems::ItemPtr LaunchItems::Add(std::string caption, std::string command, std::int32_t icon,
                                      std::int16_t after, std::string sKey) {
    // After 0 means the front, which for an empty collection is also the end; -1 appends,
    // with or without a key.
    std::size_t position = 0;
    if (after == -1) {
        position = items_.size();
    } else if (after < -1 || after > count()) {
        throw SubscriptOutOfRange();
    } else {
        position = static_cast<std::size_t>(after);
    }

    std::string key = FoldKey(sKey);
    if (!key.empty() && std::find(keys_.begin(), keys_.end(), key) != keys_.end()) {
        throw Error(error_number::kKeyAlreadyAssociated,
                    "This key is already associated with an element of this collection");
    }

    auto item = std::make_shared<LaunchItem>();
    item->SetCaption(std::move(caption));
    item->SetCommand(std::move(command));
    item->SetIcon(icon);

    const auto offset = static_cast<std::ptrdiff_t>(position);
    keys_.insert(keys_.begin() + offset, std::move(key));
    items_.insert(items_.begin() + offset, item);
    return item;
}

std::size_t LaunchItems::PositionOf(const ItemIndexOrKey& vntIndexKey) const {
    if (const auto* index = std::get_if<int>(&vntIndexKey)) {
        if (*index < 1 || *index > count()) throw SubscriptOutOfRange();
        return static_cast<std::size_t>(*index - 1);
    }
    const std::string key = FoldKey(std::get<std::string>(vntIndexKey));
    const auto found = key.empty() ? keys_.end() : std::find(keys_.begin(), keys_.end(), key);
    if (found == keys_.end()) {
        throw Error(error_number::kInvalidProcedureCall, "Invalid procedure call or argument");
    }
    return static_cast<std::size_t>(std::distance(keys_.begin(), found));
}

LaunchItems::ItemPtr LaunchItems::Item(const ItemIndexOrKey& vntIndexKey) const {
    return items_[PositionOf(vntIndexKey)];
}

void LaunchItems::Remove(const ItemIndexOrKey& vntIndexKey) {
    const auto offset = static_cast<std::ptrdiff_t>(PositionOf(vntIndexKey));
    items_.erase(items_.begin() + offset);
    keys_.erase(keys_.begin() + offset);
}

void LaunchItems::MoveDown(std::int16_t index) {
    // Checked before anything moves, so a refused call cannot lose the item.
    if (index < 1 || index > count() - 1) throw SubscriptOutOfRange();
    const auto at = static_cast<std::size_t>(index - 1);
    // The moved item loses its key, as it is put back without one.
    keys_[at].clear();
    std::swap(items_[at], items_[at + 1]);
    std::swap(keys_[at], keys_[at + 1]);
}

std::shared_ptr<LaunchItems> LaunchItems::Clone() const {
    auto copy = std::make_shared<LaunchItems>();
    copy->items_.reserve(items_.size());
    copy->keys_.reserve(items_.size());
    for (const auto& item : *this) copy->Add(item->Caption(), item->Command(), item->Icon(), -1);
    return copy;
}

void LaunchItems::Clear() noexcept {
    items_.clear();
    keys_.clear();
}

}  // namespace trayhound
