#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "about/AboutModel.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {

// The About box: title, version, legal notice and mail link, with the application properties
// (F2) and the empty thanks list (F3) over its lower half; F1 returns to the main view.
class frmAbout {
  public:
    // Control identifiers. picIcon, lblTitle and lblXp are children of Picture1,
    // lstAppProperties of picScreen2; the others are children of the box.
    enum ControlId : int {
        kCmdOK = IDOK,
        kPicture1 = 100,
        kPicIcon,
        kLblTitle,
        kLblXp,
        kLblVersion,
        kLblDisclaimer,
        kLblDescription,
        kLblMailMe,
        kPicScreen2,
        kLstAppProperties,
        kLstThanks,
    };
    enum MenuId : UINT { kMnuLinkOpenNew = 200, kMnuLinkCopy };

    // Shows the box modally over `owner` and returns once it has closed. A quit request that
    // arrives meanwhile closes the box and is posted again for the caller's own loop. While a
    // box is open, a second call brings that one to the front and returns at once. Throws Error
    // when the window cannot be created.
    static void Show(HWND owner, const about::AppProperties& properties);

    // Closes the open box, if any (the program's Exit). On the box's own thread it is gone when
    // this returns; from another thread the box is asked to close.
    static void CloseIfOpen() noexcept;

    // The open box's window, or null.
    static HWND OpenWindow() noexcept { return openWindow_.load(); }

    frmAbout(const frmAbout&) = delete;
    frmAbout& operator=(const frmAbout&) = delete;
    ~frmAbout();

  private:
    struct Fonts {
        UniqueHfont normal;
        UniqueHfont bold;
        UniqueHfont link;
        UniqueHfont title;
        UniqueHfont xp;
    };

    frmAbout(HWND owner, const about::AppProperties& properties);

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept;
    static LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR data) noexcept;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnPanelMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnLinkMessage(HWND label, UINT message, WPARAM wParam, LPARAM lParam);

    static void RegisterClasses();

    void Form_Load();
    void CreateControls();
    void Layout();
    Fonts CreateFonts() const;
    void DrawBanner();
    void LoadPictures();
    void PaintBanner();
    SIZE FitClient();
    void RunModal();
    bool PreTranslate(const MSG& message);
    void Close() noexcept;
    void ShowView();

    bool Form_KeyDown(int keyCode, about::Modifiers modifiers);
    void cmdOK_Click() noexcept { Close(); }
    void lblMailMe_MouseUp(HWND label, UINT button, POINT position);
    void mnuLinkOpenNew_Click();
    void mnuLinkCopy_Click();
    void lstAppProperties_DblClick();

    LRESULT OnCtlColorStatic(HDC dc, HWND control);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void DrawPropertyRow(const DRAWITEMSTRUCT& item);
    void OnNextControl(WPARAM wParam, LPARAM lParam);
    void OnDpiChanged(UINT dpi, const RECT& suggested);

    int Px(int twips) const { return about::TwipsToPixels(twips, static_cast<int>(dpi_)); }

    HWND hwnd_ = nullptr;
    HWND owner_;
    about::AppProperties properties_;
    about::AboutTexts texts_;
    about::AboutViews views_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool closed_ = false;
    bool ownerDisabled_ = false;

    HWND picture1_ = nullptr;
    HWND picIcon_ = nullptr;
    HWND lblTitle_ = nullptr;
    HWND lblXp_ = nullptr;
    HWND lblVersion_ = nullptr;
    HWND lblDisclaimer_ = nullptr;
    HWND lblDescription_ = nullptr;
    HWND lblMailMe_ = nullptr;
    HWND cmdOK_ = nullptr;
    HWND picScreen2_ = nullptr;
    HWND lstAppProperties_ = nullptr;
    HWND lstThanks_ = nullptr;
    HWND toolTip_ = nullptr;  // owned by the box, destroyed with it

    // The link label last clicked, and the link its tool tip shows.
    HWND lastLinkLabel_ = nullptr;
    std::wstring mailLink_;
    HWND savedFocus_ = nullptr;

    Fonts fonts_;
    UniqueHbitmap banner_;  // the gradient, painted once per size and kept for every repaint
    UniqueHbrush bannerBrush_;
    UniqueHbitmap strip_;
    UniqueHicon icon_;
    HCURSOR linkCursor_ = nullptr;  // shared resource, not destroyed
    int valueColumn_ = 0;

    static inline std::atomic<HWND> openWindow_{nullptr};
};

}  // namespace trayhound
