#pragma once

#include <windows.h>

#include <string>

#include "about/AboutModel.h"
#include "support/win32/Banner.h"
#include "support/win32/LinkLabel.h"
#include "support/win32/ModalDialog.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {

// The About box: title, version, legal notice and mail link under a gradient banner, with the
// application properties (F2) and the empty thanks list (F3) over its lower half; F1 returns to
// the main view.
class frmAbout final : public ModalDialog {
  public:
    enum ControlId : int {
        kCmdOK = IDOK,
        kPicIcon = 101,
        kLblTitle,
        kLblXp,
        kLblVersion,
        kLblDisclaimer,
        kLblDescription,
        kLblMailMe,
        kLstAppProperties,
        kLstThanks,
    };
    enum MenuId : UINT { kMnuLinkOpenNew = 200, kMnuLinkCopy };

    explicit frmAbout(about::AppProperties properties);

  private:
    void OnLoad() override;
    void OnCommand(int id, int code, HWND control) override;
    std::optional<INT_PTR> OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslate(const MSG& message) override;
    void OnPaint(HDC dc) override;
    void OnDpiChanged(UINT dpi) override;

    // The parts that follow the DPI: banner, icon, the labels that size to their text, the
    // column of the property values.
    void LayOut();
    void ShowView();
    void lblMailMe_MouseUp(UINT button, POINT screen);
    void mnuLinkOpenNew_Click() const noexcept;
    void mnuLinkCopy_Click() const noexcept;
    void lstAppProperties_DblClick();
    std::optional<INT_PTR> OnCtlColorStatic(HDC dc, HWND control);
    void DrawItem(const DRAWITEMSTRUCT& item);

    about::AppProperties properties_;
    about::AboutTexts texts_;
    about::AboutViews views_;
    std::wstring mailLink_;
    bool linkClicked_ = false;  // the link label last clicked: there is one only
    LinkLabel lblMailMe_;
    Banner banner_;
    UniqueHicon icon_;
    int valueColumn_ = 0;  // pixels from a property row's left edge to its value
};

}  // namespace trayhound
