#include "editors/ListEditor.h"

#include <cstdint>

#include "support/Error.h"

namespace trayhound {

void ListEditor::Form_Load() {
    // Each step runs even when the one before failed: a placement that cannot be applied must
    // not keep the list from opening.
    try {
        view_.RestorePosition();
    } catch (...) {
    }
    try {
        workingCopy_ = app_.Document()->Clone();
    } catch (...) {
        workingCopy_ = std::make_shared<LaunchItems>();
    }
    try {
        FillList();
    } catch (...) {
    }
    lstItems_Click();
}

void ListEditor::Form_Unload() {
    view_.SavePosition();
}

void ListEditor::FillList() {
    view_.ClearEntries();
    int position = 0;
    for (const auto& item : *workingCopy_) view_.InsertEntry(position++, DisplayText(*item));
}

std::string ListEditor::DisplayOf(int itemIndex) const {
    return DisplayText(*workingCopy_->Item(itemIndex));
}

void ListEditor::Select(int position) {
    view_.SetSelection(position);
    lstItems_Click();
}

void ListEditor::lstItems_Click() {
    const int p = view_.Selection();
    const bool selected = p >= 0;
    view_.EnableButtons(ListButtons{.edit = selected,
                                    .del = selected,
                                    .moveUp = p >= 1,
                                    .moveDown = selected && p < view_.EntryCount() - 1});
}

void ListEditor::lstItems_DblClick() {
    cmdEdit_Click();
}

void ListEditor::cmdNew_Click() {
    LaunchItem item;
    item.SetCaption("New Item");
    if (!view_.EditItem(item)) return;
    // Directly after the selected entry, or at the front when nothing is selected.
    const int n = view_.Selection() + 1;
    InsertItem(item, n);
    Select(n);
}

void ListEditor::InsertItem(const LaunchItem& item, int n) {
    workingCopy_->Add(item.Caption(), item.Command(), item.Icon(), static_cast<std::int16_t>(n));
    view_.InsertEntry(n, DisplayOf(n + 1));
}

void ListEditor::ItemsDropped(const std::vector<LaunchItem>& items, int onEntry) {
    // After the entry under the pointer, or at the end; each after the one before.
    int n = onEntry >= 0 && onEntry < view_.EntryCount() ? onEntry + 1 : view_.EntryCount();
    for (const auto& item : items) InsertItem(item, n++);
    if (!items.empty()) Select(n - 1);
}

void ListEditor::cmdEdit_Click() {
    const int p = view_.Selection();
    if (p < 0) return;
    const int i = p + 1;
    const auto stored = workingCopy_->Item(i);
    const auto edited = stored->Clone();
    // After Cancel the editor's item is the unchanged clone, so copying it back changes nothing.
    view_.EditItem(*edited);
    stored->SetCaption(edited->Caption());
    stored->SetCommand(edited->Command());
    stored->SetIcon(edited->Icon());
    view_.SetEntry(p, DisplayOf(i));
    Select(p);
}

void ListEditor::cmdDelete_Click() {
    const int p = view_.Selection();
    if (p < 0) return;
    workingCopy_->Remove(p + 1);
    view_.RemoveEntry(p);
    const int count = view_.EntryCount();
    // The entry that moved into its place, or the new last one; nothing when the list is empty.
    Select(count == 0 ? -1 : (p >= count ? count - 1 : p));
}

void ListEditor::cmdMoveDown_Click() {
    const int p = view_.Selection();
    if (p < 0 || p >= view_.EntryCount() - 1) return;
    const int i = p + 1;
    workingCopy_->MoveDown(static_cast<std::int16_t>(i));
    view_.SetEntry(p, DisplayOf(i));
    view_.SetEntry(p + 1, DisplayOf(i + 1));
    Select(p + 1);
}

void ListEditor::cmdMoveUp_Click() {
    const int p = view_.Selection();
    if (p < 1) return;
    // Moving the item above down is moving this one up; the selection then follows it.
    Select(p - 1);
    cmdMoveDown_Click();
    Select(view_.Selection() - 1);
}

void ListEditor::cmdOK_Click() {
    app_.SetDocument(workingCopy_);
    try {
        app_.Save();
    } catch (const Error& error) {
        // The application already holds the edited collection; it is saved again at the end.
        view_.ShowError(error.Description());
    }
    view_.CloseWindow();
}

void ListEditor::cmdCancel_Click() {
    view_.CloseWindow();
}

}  // namespace trayhound
