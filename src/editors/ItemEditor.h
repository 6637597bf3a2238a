#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "items/LaunchItems.h"
#include "support/Shell.h"
#include "support/cCommonDialog.h"

namespace trayhound {

// The item editor's window as its logic sees it. Setting a text from here never calls back
// into the logic.
class ItemEditorView {
  public:
    enum class Field { Caption, Command };

    virtual ~ItemEditorView() = default;

    virtual void SetTitle(const std::string& title) = 0;
    virtual std::string CaptionText() const = 0;
    virtual void SetCaptionText(const std::string& text) = 0;
    virtual std::string CommandText() const = 0;
    virtual void SetCommandText(const std::string& text) = 0;
    // The drop-down list of txtCommand.
    virtual void SetCommandList(const std::vector<std::string>& entries) = 0;
    // cboIcon's entries, in this order; -1 selects none.
    virtual void SetIconList(const std::vector<std::string>& entries) = 0;
    virtual int IconSelection() const = 0;
    virtual void SetIconSelection(int position) = 0;
    // txtCommand and cboIcon: enabled on the window background, or disabled on the 3-D face.
    virtual void SetFieldsEnabled(bool enabled) = 0;
    virtual void SelectAll(Field field) = 0;
    virtual void SetFocus(Field field) = 0;
    // A message box with the exclamation icon, titled with the program's title.
    virtual void ShowWarning(const std::string& text) = 0;
    // The open-file dialog (cCommonDialog.VBGetOpenFileName); true when a file was chosen.
    virtual bool GetOpenFileName(OpenFileArgs& args) = 0;
    // The window's handle value, the file dialog's owner.
    virtual std::intptr_t WindowHandle() const = 0;
    virtual void CloseWindow() = 0;
};

// Reads a text value of the current user's registry key (Registry.GetKeyValue under
// HKEY_CURRENT_USER): true when it was read; `value` is empty when it could not be.
using GetKeyValueFunction =
    std::function<bool(std::string_view keyPath, std::string_view valueName, std::string& value)>;

inline constexpr std::string_view kRunMruKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
inline constexpr std::string_view kBrowseFilter =
    "Executables (*.exe; *.lnk; *.vbs; *.js; *.wsf)| *.exe; *.lnk; *.vbs; *.js; *.wsf|All Files| "
    "*.*";

// What the item editor needs from the rest of the program.
struct ItemEditorServices {
    GetKeyValueFunction getKeyValue;  // the shell's Run history
    Shell* shell = nullptr;           // the Test button
    // Names of the active icon set's extra icons, numbers 6 and up, listed after "Web".
    std::function<std::vector<std::string>()> extraIconNames;
};

// frmLaunchItem: edits one launch item. The caller sets Item, shows the dialog, then reads
// OkClicked and Item; OK writes the three fields into Item.
class ItemEditor {
  public:
    ItemEditor(ItemEditorView& view, ItemEditorServices services)
        : view_(view), services_(std::move(services)) {}

    LaunchItem Item;
    bool OkClicked = false;

    void Form_Load();
    void txtCaption_Change();
    void txtCaption_GotFocus();
    void txtCommand_GotFocus();
    void cmdBrowse_Click();
    void cmdTest_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The Run history, most recent first: each entry without the "\1" the shell ends it with.
    std::vector<std::string> LoadRunMRU() const;

  private:
    std::vector<std::string> IconEntries() const;

    ItemEditorView& view_;
    ItemEditorServices services_;
};

namespace item_editor {

inline constexpr std::array<std::string_view, 6> kIconNames = {"No icon",  "Application", "Folder",
                                                               "Document", "Mail",        "Web"};

// The data file holds one record per line with TAB-free fields: a TAB, CR or LF typed or pasted
// into a field becomes a blank.
std::string WithoutLineBreaksOrTabs(std::string text);

}  // namespace item_editor

}  // namespace trayhound
