#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Application.h"
#include "editors/ItemEditor.h"
#include "editors/ListEditor.h"
#include "support/SettingsStore.h"
#include "support/Shell.h"
#include "support/win32/DropTarget.h"
#include "support/win32/ModalDialog.h"

namespace trayhound {

class frmLaunchItem;

// What the list editor needs besides the application object.
struct ListEditorServices {
    std::shared_ptr<SettingsStore> settings;  // the window's placement, section "frmList"
    std::shared_ptr<Shell> shell;             // the item editor's Test button
    GetKeyValueFunction getKeyValue;          // the item editor's Run history
    // The extra icons of the active set (numbers 6 and up), for the item editor's icon list.
    std::function<std::vector<std::string>()> extraIconNames;
};

// The list editor's window: the items in a list box, buttons to add, edit, delete and move them.
class frmList final : public ModalDialog, private ListEditorView {
  public:
    // Control identifiers, in tab order.
    enum ControlId : int {
        kLstItems = 101,
        kCmdNew,
        kCmdEdit,
        kCmdDelete,
        kCmdMoveUp,
        kCmdMoveDown,
        kLblItems,
        kCmdOk = IDOK,
        kCmdCancel = IDCANCEL,
    };
    static constexpr std::string_view kSection = "frmList";

    frmList(Application& app, ListEditorServices services);
    ~frmList() override;

  private:
    void OnLoad() override;
    void OnUnload() override;
    void OnCommand(int id, int code, HWND control) override;

    // ListEditorView
    void ClearEntries() override;
    void InsertEntry(int position, const std::string& text) override;
    void SetEntry(int position, const std::string& text) override;
    void RemoveEntry(int position) override;
    int EntryCount() const override;
    int Selection() const override;
    void SetSelection(int position) override;
    void EnableButtons(const ListButtons& buttons) override;
    bool EditItem(LaunchItem& item) override;
    void ShowError(const std::string& text) override;
    void RestorePosition() override;
    void SavePosition() override;
    void CloseWindow() override;

    void EnableButton(int id, bool enabled) const;
    static bool TakesDrop(const DropTarget::Texts& texts);
    void lstItems_Drop(const DropTarget::Texts& texts, POINT screen);

    ListEditorServices services_;
    ListEditor logic_;
    std::unique_ptr<frmLaunchItem> itemEditor_;  // made on first use, then reused
    DropTarget dropTarget_;
};

}  // namespace trayhound
