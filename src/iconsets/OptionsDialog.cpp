#include "iconsets/OptionsDialog.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "iconsets/IniEdit.h"
#include "support/Error.h"

namespace trayhound {
namespace {

// Icon-set files keep the keys the dialog shows in this section.
constexpr std::string_view kSetSection = "Trayhound Icon Set";

}  // namespace

OptionsDialog::OptionsDialog(Application& application, OptionsDialogView& view,
                             GeneralServices general)
    : application_(application), view_(view), general_(std::move(general)) {}

std::string OptionsDialog::FillTemplate(std::string_view templateText, std::string_view token,
                                        std::string_view value) {
    std::string result;
    std::size_t start = 0;
    for (auto found = templateText.find(token); found != std::string_view::npos;
         found = templateText.find(token, start)) {
        result.append(templateText.substr(start, found - start)).append(value);
        start = found + token.size();
    }
    result.append(templateText.substr(start));
    return result;
}

std::optional<std::string> OptionsDialog::ReadIconSetName(const std::string& path) const {
    IniEdit ini;
    if (!ini.OpenIni(path, application_.FileSystemObject(), *application_.Services().codec)) {
        return std::nullopt;
    }
    return ini.GetValue(kSetSection, "name");
}

void OptionsDialog::Form_Load() {
    editedOptions_ = application_.Options()->Clone();
    auto& list = editedOptions_->LastIconSetFileNames;
    lastListIndex_ = 0;

    // Item data is the position in the list as it stands after the unreadable files before it
    // have been dropped, so it always names the right entry of the copy.
    for (std::size_t i = 0; i < list.size();) {
        if (list[i] == kInternalIconSetMarker) {
            view_.AddIconSetEntry(std::string(kInternalIconSetName), kInternalIconSetData);
            ++i;
        } else if (const auto name = ReadIconSetName(list[i])) {
            view_.AddIconSetEntry(*name, static_cast<int>(i + 1));
            ++i;
        } else {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    // With nothing left the first entry would be "Browse...", and selecting it would pop up the
    // file dialog before the window is even shown; offer the internal set instead.
    if (list.empty()) {
        list.emplace_back(kInternalIconSetMarker);
        view_.AddIconSetEntry(std::string(kInternalIconSetName), kInternalIconSetData);
    }
    view_.AddIconSetEntry(std::string(kBrowseEntry), kBrowseData);

    Select(0);

    startAtSignInShown_ = general_.readSignInEntry && general_.readSignInEntry().has_value();
    view_.SetStartAtSignIn(startAtSignInShown_);
    storedHotkey_ = ReadHotkey(*application_.Services().settings);
    view_.SetHotkey(storedHotkey_,
                    !storedHotkey_.IsSet() || (general_.hotkeyActive && general_.hotkeyActive()));
}

void OptionsDialog::Select(int index) {
    view_.SelectIconSet(index);
    cboIconSet_Click();
}

void OptionsDialog::cboIconSet_Click() {
    if (!editedOptions_) return;
    const int selected = view_.SelectedIconSet();
    if (selected >= 0 && view_.IconSetItemData(selected) == kBrowseData) {
        BrowseForIconSet();
        // The program may have ended while the file dialog was open.
        if (!editedOptions_) return;
    }
    ShowIconSetInfo();
    if (const int now = view_.SelectedIconSet(); now >= 0) lastListIndex_ = now;
}

void OptionsDialog::BrowseForIconSet() {
    std::optional<std::string> path;
    try {
        path = view_.BrowseForIconSet();
    } catch (const Error& error) {
        if (error.Number() != error_number::kInvalidProcedureCall) throw;
    }
    if (!editedOptions_) return;
    if (!path) return BackOut();

    auto& list = editedOptions_->LastIconSetFileNames;
    if (const auto known = std::find(list.begin(), list.end(), *path); known != list.end()) {
        // The file is already listed: its entry becomes the selection.
        lastListIndex_ = static_cast<int>(std::distance(list.begin(), known));
        return BackOut();
    }
    const auto name = ReadIconSetName(*path);
    if (!name) return BackOut();

    list.push_back(*path);
    const int count = static_cast<int>(list.size());
    view_.InsertIconSetEntry(count - 1, *name, count);
    Select(count - 1);
}

// A failed "Browse..." changes nothing but the selection, and tells the user nothing.
void OptionsDialog::BackOut() {
    Select(lastListIndex_);
}

void OptionsDialog::ShowIconSetInfo() {
    const int selected = view_.SelectedIconSet();
    if (selected < 0 || !editedOptions_) return;
    const int data = view_.IconSetItemData(selected);
    const auto& list = editedOptions_->LastIconSetFileNames;
    if (data == kInternalIconSetData) {
        view_.SetAuthorText(FillTemplate(kAuthorTemplate, "%author", kInternalIconSetAuthor));
        view_.SetDescriptionText(
            FillTemplate(kDescriptionTemplate, "%desc", kInternalIconSetDescription));
    } else if (data > 0 && static_cast<std::size_t>(data) <= list.size()) {
        // A file that has gone since the window opened reads as an empty one.
        IniEdit ini;
        ini.OpenIni(list[static_cast<std::size_t>(data) - 1], application_.FileSystemObject(),
                    *application_.Services().codec);
        view_.SetAuthorText(
            FillTemplate(kAuthorTemplate, "%author", ini.GetValue(kSetSection, "author")));
        view_.SetDescriptionText(
            FillTemplate(kDescriptionTemplate, "%desc", ini.GetValue(kSetSection, "description")));
    }
}

void OptionsDialog::cmdOK_Click() {
    if (!editedOptions_) return;
    auto& list = editedOptions_->LastIconSetFileNames;
    const int selected = view_.SelectedIconSet();
    if (selected >= 0 && static_cast<std::size_t>(selected) < list.size()) {
        const auto chosen = list.begin() + selected;
        std::rotate(list.begin(), chosen, std::next(chosen));
    }
    // The former live options are released here and write their list; the new one is written
    // at once, not only at the end.
    application_.SetOptions(std::shared_ptr<Options>(std::move(editedOptions_)));
    application_.Options()->Save();
    ApplyGeneral();
}

void OptionsDialog::ApplyGeneral() {
    if (const bool checked = view_.StartAtSignIn();
        checked != startAtSignInShown_ && general_.writeSignInEntry) {
        try {
            general_.writeSignInEntry(
                checked ? std::optional(SignInCommand(general_.executablePath)) : std::nullopt);
        } catch (const Error& error) {
            view_.ShowMessage(error.Description());
        }
    }
    const Hotkey chosen = view_.ChosenHotkey();
    if (chosen == storedHotkey_) {
        // A kept hotkey that was not active is tried again, without a second message.
        if (chosen.IsSet() && general_.applyHotkey && general_.hotkeyActive &&
            !general_.hotkeyActive()) {
            general_.applyHotkey(chosen);
        }
        return;
    }
    WriteHotkey(*application_.Services().settings, chosen);
    if (general_.applyHotkey && !general_.applyHotkey(chosen)) {
        view_.ShowMessage("Another program uses the hotkey " + FormatHotkey(chosen) +
                          ". Trayhound keeps it, but it does not open the programs menu until "
                          "that program lets it go.");
    }
}

void OptionsDialog::Form_Unload() noexcept {
    editedOptions_.reset();
}

}  // namespace trayhound
