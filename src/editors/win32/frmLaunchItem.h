#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "editors/ItemEditor.h"
#include "support/win32/ModalDialog.h"

namespace trayhound {

// The item editor's window: caption, command with the Run history, icon, Browse, Test.
class frmLaunchItem final : public ModalDialog, private ItemEditorView {
  public:
    // Control identifiers, in tab order.
    enum ControlId : int {
        kTxtCaption = 101,
        kTxtCommand,
        kCmdBrowse,
        kCboIcon,
        kCmdOk = IDOK,
        kCmdCancel = IDCANCEL,
        kCmdTest = 107,
        kLblCaption,
        kLblCommand,
        kLblIcon,
    };

    explicit frmLaunchItem(ItemEditorServices services);

    // Set before showing; read after ShowModal returned.
    LaunchItem& Item() noexcept { return logic_.Item; }
    bool OkClicked() const noexcept { return logic_.OkClicked; }

  protected:
    using ModalDialog::Item;  // the controls, by identifier

  private:
    void OnLoad() override;
    void OnCommand(int id, int code, HWND control) override;
    std::optional<INT_PTR> OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // ItemEditorView
    void SetTitle(const std::string& title) override;
    std::string CaptionText() const override;
    void SetCaptionText(const std::string& text) override;
    std::string CommandText() const override;
    void SetCommandText(const std::string& text) override;
    void SetCommandList(const std::vector<std::string>& entries) override;
    void SetIconList(const std::vector<std::string>& entries) override;
    int IconSelection() const override;
    void SetIconSelection(int position) override;
    void SetFieldsEnabled(bool enabled) override;
    void SelectAll(Field field) override;
    void SetFocus(Field field) override;
    void ShowWarning(const std::string& text) override;
    bool GetOpenFileName(OpenFileArgs& args) override;
    std::intptr_t WindowHandle() const override;
    void CloseWindow() override;

    bool IsField(HWND control) const noexcept;
    void CenterOnOwner() const noexcept;

    ItemEditor logic_;
    bool fieldsEnabled_ = true;
    bool settingText_ = false;  // a text set by the logic is no user change
};

}  // namespace trayhound
