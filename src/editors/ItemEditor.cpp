#include "editors/ItemEditor.h"

#include <algorithm>

#include "support/Ascii.h"
#include "support/Utf8.h"

namespace trayhound {
namespace item_editor {

std::string WithoutLineBreaksOrTabs(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

}  // namespace item_editor

std::vector<std::string> ItemEditor::LoadRunMRU() const {
    std::vector<std::string> entries;
    if (!services_.getKeyValue) return entries;
    std::string order;
    services_.getKeyValue(kRunMruKey, "MRUList", order);
    // One value per character of MRUList, most recent first.
    for (std::size_t i = 0; i < order.size();) {
        std::size_t next = i;
        NextCodePoint(order, next);
        std::string value;
        services_.getKeyValue(kRunMruKey, order.substr(i, next - i), value);
        // The shell ends every entry with "\1"; a value too short for that (or a missing one)
        // is no entry.
        if (auto command = DropLastCharacters(value, 2)) {
            entries.push_back(std::move(*command));
        }
        i = next;
    }
    return entries;
}

std::vector<std::string> ItemEditor::IconEntries() const {
    std::vector<std::string> entries(item_editor::kIconNames.begin(),
                                     item_editor::kIconNames.end());
    if (services_.extraIconNames) {
        for (auto& name : services_.extraIconNames()) entries.push_back(std::move(name));
    }
    return entries;
}

void ItemEditor::Form_Load() {
    view_.SetCommandList(LoadRunMRU());
    // The caption box starts empty; only a different text is a change.
    if (!Item.Caption().empty()) {
        view_.SetCaptionText(Item.Caption());
        txtCaption_Change();
    }
    view_.SetCommandText(Item.Command());
    const std::vector<std::string> icons = IconEntries();
    view_.SetIconList(icons);
    // A number without an entry shows no selection; OK then keeps it.
    const std::int32_t icon = Item.Icon();
    view_.SetIconSelection(
        icon >= 0 && icon < static_cast<std::int32_t>(icons.size()) ? static_cast<int>(icon) : -1);
    OkClicked = false;
}

void ItemEditor::txtCaption_Change() {
    const std::string caption = view_.CaptionText();
    if (caption == "-") {
        view_.SetTitle("Separator");
        view_.SetFieldsEnabled(false);
    } else {
        view_.SetTitle(caption.empty() ? "New Item" : caption);
        view_.SetFieldsEnabled(true);
    }
}

void ItemEditor::txtCaption_GotFocus() {
    view_.SelectAll(ItemEditorView::Field::Caption);
}

void ItemEditor::txtCommand_GotFocus() {
    view_.SelectAll(ItemEditorView::Field::Command);
}

void ItemEditor::cmdBrowse_Click() {
    OpenFileArgs args;
    args.FileMustExist = true;
    args.MultiSelect = false;
    args.ReadOnly = false;
    args.HideReadOnly = true;
    args.Filter = std::string(kBrowseFilter);
    args.FilterIndex = 1;
    args.Owner = view_.WindowHandle();
    args.flags = 0;
    if (view_.GetOpenFileName(args)) view_.SetCommandText(args.FileName);
}

void ItemEditor::cmdTest_Click() {
    LaunchItem trial;
    trial.SetCommand(view_.CommandText());
    if (!services_.shell || !trial.Execute(*services_.shell)) {
        view_.ShowWarning("Cannot execute this command.");
    }
}

void ItemEditor::cmdOK_Click() {
    const std::string caption = item_editor::WithoutLineBreaksOrTabs(view_.CaptionText());
    if (TrimBlanks(caption).empty()) {
        view_.ShowWarning("Please enter the item's caption.");
        view_.SetFocus(ItemEditorView::Field::Caption);
        return;
    }
    const std::string command = item_editor::WithoutLineBreaksOrTabs(view_.CommandText());
    if (TrimBlanks(command).empty() && caption != "-") {
        view_.ShowWarning("Please enter the item's command.");
        view_.SetFocus(ItemEditorView::Field::Command);
        return;
    }
    Item.SetCaption(caption);
    Item.SetCommand(command);
    if (const int icon = view_.IconSelection(); icon >= 0) Item.SetIcon(icon);
    OkClicked = true;
    view_.CloseWindow();
}

void ItemEditor::cmdCancel_Click() {
    view_.CloseWindow();
}

}  // namespace trayhound
