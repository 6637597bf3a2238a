#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/Application.h"
#include "app/GeneralSettings.h"
#include "app/Options.h"

namespace trayhound {

// What the options dialog shows in cboIconSet and its two info labels.
inline constexpr std::string_view kInternalIconSetName = "Internal icon set";
inline constexpr std::string_view kInternalIconSetAuthor = "Wexmoor";
inline constexpr std::string_view kInternalIconSetDescription = "The internal icon set.";
inline constexpr std::string_view kBrowseEntry = "Browse...";
inline constexpr std::string_view kIconSetFilter = "Trayhound Icon Sets (*.iconset)|*.iconset";
// The label captions are always made from these, so repeated updates never compound.
inline constexpr std::string_view kAuthorTemplate = "Author: %author";
inline constexpr std::string_view kDescriptionTemplate = "%desc";

// Item data of cboIconSet entries; a file set carries its 1-based position in the list.
inline constexpr int kInternalIconSetData = -1;
inline constexpr int kBrowseData = 0;

// The controls of frmOptions that the dialog's logic drives. Indexes are 0-based combo indexes.
class OptionsDialogView {
  public:
    virtual ~OptionsDialogView() = default;

    virtual void AddIconSetEntry(const std::string& text, int itemData) = 0;
    virtual void InsertIconSetEntry(int index, const std::string& text, int itemData) = 0;
    virtual int IconSetEntryCount() const = 0;
    virtual int IconSetItemData(int index) const = 0;
    // -1 when nothing is selected.
    virtual int SelectedIconSet() const = 0;
    // Moves the selection only; the logic runs its own selection handler afterwards.
    virtual void SelectIconSet(int index) = 0;

    virtual void SetAuthorText(const std::string& text) = 0;
    virtual void SetDescriptionText(const std::string& text) = 0;

    // The open-file dialog for an existing "*.iconset" file (kIconSetFilter), owned by the
    // dialog; the chosen full path, or nothing when the user cancelled.
    virtual std::optional<std::string> BrowseForIconSet() = 0;

    // The General page: the sign-in check box and the hotkey, with a word that a hotkey another
    // program holds is not active; a message box titled with the program's title.
    virtual void SetStartAtSignIn(bool checked) = 0;
    virtual bool StartAtSignIn() const = 0;
    virtual void SetHotkey(const Hotkey& hotkey, bool active) = 0;
    virtual Hotkey ChosenHotkey() const = 0;
    virtual void ShowMessage(const std::string& text) = 0;
};

// What the General page needs from the running program.
struct GeneralServices {
    // The program's entry among those Windows starts at sign-in: its command, or nothing.
    std::function<std::optional<std::string>()> readSignInEntry;
    // Writes the entry's command, or with nothing deletes the entry. Throws Error.
    std::function<void(const std::optional<std::string>&)> writeSignInEntry;
    std::string executablePath;
    // Makes `hotkey` the one that opens the programs menu (none: no hotkey); false when another
    // program holds it.
    std::function<bool(const Hotkey&)> applyHotkey;
    // Whether the stored hotkey opens the programs menu now.
    std::function<bool()> hotkeyActive;
};

// frmOptions without its window: chooses the active icon set on a copy of the live options
// and hands the copy to the application object on OK.
class OptionsDialog {
  public:
    OptionsDialog(Application& application, OptionsDialogView& view, GeneralServices general = {});

    // Clones the live options and fills cboIconSet: the sets of the list (unreadable files are
    // dropped from the copy), then "Browse...". Selects the first set and shows its info. The
    // General page shows the sign-in entry as it is (whatever copy of the program it starts) and
    // the stored hotkey.
    void Form_Load();
    // Runs after every change of cboIconSet's selection, by the user or by the program.
    void cboIconSet_Click();
    // The selected set becomes entry 1; the copy becomes the live options, written at once. The
    // sign-in entry is written or deleted only when the user changed the check box; a changed
    // hotkey is stored and takes effect, and one that another program holds is kept but not
    // active, which a message says. The window then closes as Cancel does.
    void cmdOK_Click();
    // Releases the copy. A copy that OK did not hand over writes its own list to the settings
    // store as it goes, as every Options object does.
    void Form_Unload() noexcept;

    // The working copy while the window is open; null after OK and after unload.
    const Options* EditedOptions() const noexcept { return editedOptions_.get(); }
    int LastListIndex() const noexcept { return lastListIndex_; }

    // "Author: %author" with every "%author" replaced, compared case-sensitively.
    static std::string FillTemplate(std::string_view templateText, std::string_view token,
                                    std::string_view value);

  private:
    // The set's display name, or nothing when the file cannot be read.
    std::optional<std::string> ReadIconSetName(const std::string& path) const;
    void Select(int index);
    void BrowseForIconSet();
    void BackOut();
    void ShowIconSetInfo();
    void ApplyGeneral();

    Application& application_;
    OptionsDialogView& view_;
    GeneralServices general_;
    bool startAtSignInShown_ = false;
    Hotkey storedHotkey_;
    std::unique_ptr<Options> editedOptions_;
    int lastListIndex_ = 0;
};

}  // namespace trayhound
