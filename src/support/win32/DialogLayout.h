#pragma once

#include <windows.h>

#include <span>
#include <string_view>
#include <vector>

#include "support/Twips.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {

// The DPI a window is drawn at (per-monitor aware); kDefaultDpi when the window is unknown.
UINT WindowDpi(HWND window) noexcept;

// The pixel rectangle of a twips rectangle at `dpi`.
RECT ToRect(const TwipsRect& bounds, UINT dpi) noexcept;

// A font by face, size in hundredths of a point (825 = 8.25 pt) and weight.
struct FontSpec {
    std::wstring_view face = L"Tahoma";
    int centipoints = 825;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;

    friend constexpr bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The dialogs' text: Tahoma, 8.25 points, regular weight.
inline constexpr FontSpec kTahoma825{};

// Throws Error when the font cannot be created.
UniqueHfont CreateFontForDpi(const FontSpec& spec, UINT dpi);

// One child control of a layout table. WS_CHILD and WS_VISIBLE are always added; the
// control's font is the dialog's font unless `font` names another one.
struct ControlSpec {
    std::wstring_view className = {};  // WC_BUTTONW, WC_EDITW, WC_LISTBOXW, WC_COMBOBOXW, ...
    std::wstring_view text = {};
    DWORD style = 0;
    int id = 0;
    TwipsRect bounds = {};
    DWORD exStyle = 0;
    // Combo boxes: the height of the dropped-down list, added to `bounds.height` (which is the
    // closed box's height).
    int dropDownHeight = 0;
    const FontSpec* font = nullptr;
};

// A one-pixel line painted on the dialog's client area in a system colour (COLOR_3DSHADOW).
struct LineSpec {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    int sysColor = COLOR_3DSHADOW;
};

// Everything a code-built dialog declares about its look: title, client size and, in creation
// order, its controls and lines. Creation order is the tab order of the focusable controls; a
// label is listed just before the control it names so that its access key reaches that control.
struct DialogSpec {
    std::wstring_view title = {};
    int clientWidth = 0;  // twips
    int clientHeight = 0;
    std::span<const ControlSpec> controls = {};
    std::span<const LineSpec> lines = {};
    FontSpec font = kTahoma825;
};

// The created controls of one DialogSpec and the fonts they use at the window's current DPI.
class DialogLayout {
  public:
    explicit DialogLayout(const DialogSpec& spec) noexcept : spec_(spec) {}

    const DialogSpec& Spec() const noexcept { return spec_; }

    // Creates every control of the table as a child of `parent`, placed for `dpi`. Throws
    // Error when a control cannot be created.
    void Create(HWND parent, UINT dpi);
    // Moves every control and recreates the fonts for a new DPI (WM_DPICHANGED).
    void Relayout(UINT dpi);
    // The window size whose client area is the table's client size at `dpi`.
    SIZE WindowSize(DWORD style, DWORD exStyle, UINT dpi) const noexcept;
    void PaintLines(HDC dc) const noexcept;

    // The font of the given spec at the current DPI (created on first use).
    HFONT Font(const FontSpec& spec);
    UINT Dpi() const noexcept { return dpi_; }

  private:
    struct CachedFont {
        FontSpec spec;
        UniqueHfont font;
    };

    void Place(HWND control, const ControlSpec& item) const;

    DialogSpec spec_;
    UINT dpi_ = kDefaultDpi;
    HWND parent_ = nullptr;
    std::vector<HWND> controls_;  // parallel to spec_.controls
    std::vector<CachedFont> fonts_;
};

}  // namespace trayhound
