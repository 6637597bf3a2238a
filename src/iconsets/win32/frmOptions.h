#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "app/Application.h"
#include "iconsets/OptionsDialog.h"
#include "support/win32/ModalDialog.h"

namespace trayhound {

// The options dialog: a page list at the left and the icon-set page beside it. The logic of the
// page lives in OptionsDialog; this class is its window.
class frmOptions final : public ModalDialog, private OptionsDialogView {
  public:
    enum Control : int {
        kLstPages = 101,
        kLblHead,
        kPicHead,
        kLblIconSet,
        kCboIconSet,
        kLblAuthor,
        kLblDescription,
        kLblGeneralHead,
        kPicGeneralHead,
        kChkStartAtSignIn,
        kLblHotkey,
        kHotHotkey,
        kLblHotkeyState,
    };
    // The window's placement is kept under this section of the settings.
    static constexpr std::string_view kSettingsSection = "frmOptions";

    frmOptions(Application& application, GeneralServices general);
    ~frmOptions() override;

  private:
    void OnLoad() override;
    void OnUnload() override;
    void OnCommand(int id, int code, HWND control) override;
    std::optional<INT_PTR> OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void Form_Load();
    void Form_Unload();
    void lstPages_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    std::optional<INT_PTR> ColorStatic(HDC dc, HWND control) const;

    // OptionsDialogView
    void AddIconSetEntry(const std::string& text, int itemData) override;
    void InsertIconSetEntry(int index, const std::string& text, int itemData) override;
    int IconSetEntryCount() const override;
    int IconSetItemData(int index) const override;
    int SelectedIconSet() const override;
    void SelectIconSet(int index) override;
    void SetAuthorText(const std::string& text) override;
    void SetDescriptionText(const std::string& text) override;
    std::optional<std::string> BrowseForIconSet() override;
    void SetStartAtSignIn(bool checked) override;
    bool StartAtSignIn() const override;
    void SetHotkey(const Hotkey& hotkey, bool active) override;
    Hotkey ChosenHotkey() const override;
    void ShowMessage(const std::string& text) override;

    Application& application_;
    OptionsDialog logic_;
    bool loaded_ = false;
    Hotkey shownHotkey_;  // as stored: what the control cannot show (the Win key) is kept
};

}  // namespace trayhound
