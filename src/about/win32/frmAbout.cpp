#include "about/win32/frmAbout.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "resource.h"
#include "support/win32/SystemError.h"
#include "support/win32/Text.h"

namespace trayhound {
namespace {

constexpr const char* kSource = "Trayhound.frmAbout";

constexpr FontSpec kTitleFont{L"Verdana", 2025, FW_BOLD};
constexpr FontSpec kXpFont{L"Verdana", 1575, FW_BOLD};
constexpr FontSpec kBoldFont{L"Tahoma", 825, FW_BOLD};
constexpr FontSpec kLinkFont{L"Tahoma", 825, FW_NORMAL, false, true};
constexpr COLORREF kXpColour = RGB(247, 150, 55);

// The banner and its strip, the icon on it, where the link and the title start (twips).
constexpr TwipsRect kBanner{0, 0, 5175, 735};
constexpr TwipsRect kStrip{0, 660, 5115, 75};
constexpr TwipsRect kIcon{120, 120, 480, 480};
constexpr POINT kMailMe{960, 2040};
constexpr int kTitleToXpGap = 2;  // pixels

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kTitle = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
constexpr DWORD kList = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
constexpr DWORD kRows = kList | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;  // the property rows
constexpr DWORD kSunken = WS_EX_CLIENTEDGE;

// The title, version, description and legal notice are filled in at load; the title and "xp"
// are placed after their text is measured, the property list and thanks list shown by F2 and F3.
constexpr ControlSpec kControls[] = {
    {WC_STATICW, L"", SS_OWNERDRAW, frmAbout::kPicIcon, kIcon},
    {WC_STATICW, L"", kTitle, frmAbout::kLblTitle, {795, 90, 3000, 480}, 0, 0, &kTitleFont},
    {WC_STATICW, L"xp", kLabel, frmAbout::kLblXp, {0, 50, 435, 375}, 0, 0, &kXpFont},
    {WC_STATICW, L"", kLabel, frmAbout::kLblVersion, {840, 840, 4005, 225}, 0, 0, &kBoldFont},
    {WC_STATICW, L"", kLabel, frmAbout::kLblDisclaimer, {840, 1200, 3975, 225}},
    {WC_STATICW, L"", kLabel, frmAbout::kLblDescription, {840, 1560, 4005, 435}},
    {WC_BUTTONW, L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, frmAbout::kCmdOK, {3600, 2520, 1260, 345}},
    {WC_LISTBOXW, L"", kRows, frmAbout::kLstAppProperties, {840, 1080, 4020, 1230}, kSunken},
    {WC_LISTBOXW, L"", kList, frmAbout::kLstThanks, {840, 1080, 4015, 1230}, kSunken},
};

constexpr DialogSpec kSpec{
    .title = L"About", .clientWidth = 5070, .clientHeight = 3030, .controls = kControls};

SIZE TextSize(HWND window, HFONT font, std::wstring_view text) {
    const WindowDc dc(window);
    SelectObjectGuard select(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

std::wstring ListRow(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

// The upper-left corner of a control in its dialog's client area.
POINT Origin(HWND control) {
    RECT area{};
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&area), 2);
    return {area.left, area.top};
}

void Move(HWND control, int left, int top, int width, int height) {
    if (!SetWindowPos(control, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE)) {
        ThrowLastError("Cannot place a control", kSource);
    }
}

}  // namespace

frmAbout::frmAbout(about::AppProperties properties)
    : ModalDialog(DialogKind::About, kSpec),
      properties_(std::move(properties)),
      texts_(about::ExpandTexts(properties_.title, properties_.version)),
      views_(texts_.version),
      mailLink_(ToWide(about::kMailLink)) {}

void frmAbout::OnLoad() {
    SetTitle(texts_.caption);
    SetItemText(kLblTitle, texts_.title);
    SetItemText(kLblVersion, texts_.version);
    SetItemText(kLblDisclaimer, properties_.legalCopyright);
    SetItemText(kLblDescription, texts_.description);
    for (const auto& row : about::PropertyRows(properties_)) {
        if (SendMessageW(Item(kLstAppProperties), LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(ToWide(row).c_str())) < 0) {
            ThrowLastError("Cannot fill the property list", kSource);
        }
    }
    const auto instance = GetModuleHandleW(nullptr);
    HCURSOR cursor = LoadCursorW(instance, MAKEINTRESOURCEW(IDC_LINK));
    if (!cursor) cursor = LoadCursorW(nullptr, IDC_HAND);
    lblMailMe_.Create(Hwnd(), kLblMailMe, about::kMailAddress, about::kMailLink, cursor,
                      [this](UINT button, POINT at) { lblMailMe_MouseUp(button, at); });
    LayOut();
    ShowView();

    // In the lower right corner of the screen's work area, 50 pixels in from its edges.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    RECT window{};
    if (!GetMonitorInfoW(MonitorFromWindow(Hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor) ||
        !GetWindowRect(Hwnd(), &window)) {
        ThrowLastError("Cannot find the screen", kSource);
    }
    constexpr int kMargin = 50;
    if (!SetWindowPos(Hwnd(), nullptr,
                      monitor.rcWork.right - (window.right - window.left) - kMargin,
                      monitor.rcWork.bottom - (window.bottom - window.top) - kMargin, 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)) {
        ThrowLastError("Cannot place the About box", kSource);
    }
}

void frmAbout::LayOut() {
    const UINT dpi = Dpi();
    const PixelRect banner = ToPixels(kBanner, dpi);
    const PixelRect strip = ToPixels(kStrip, dpi);
    std::vector<COLORREF> columns;
    for (const auto& c :
         about::GradientColumns(about::kBannerStart, about::kBannerEnd, banner.width)) {
        columns.push_back(RGB(c.red, c.green, c.blue));
    }
    const UniqueHbitmap picture(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT_STRIP), IMAGE_BITMAP, 0, 0,
                   LR_CREATEDIBSECTION)));
    banner_.Make({banner.width, banner.height}, columns, picture.get(),
                 {strip.left, strip.top, strip.left + strip.width, strip.top + strip.height});

    const PixelRect icon = ToPixels(kIcon, dpi);
    icon_.reset(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_ABOUT),
                                      IMAGE_ICON, icon.width, icon.height, LR_DEFAULTCOLOR)));

    // The title takes the width of its text, and "xp" follows two pixels after it.
    const POINT title = Origin(Item(kLblTitle));
    const SIZE titleSize = TextSize(Hwnd(), Layout().Font(kTitleFont), ToWide(texts_.title));
    Move(Item(kLblTitle), title.x, title.y, titleSize.cx, titleSize.cy);
    const POINT xp = Origin(Item(kLblXp));
    RECT xpArea{};
    GetClientRect(Item(kLblXp), &xpArea);
    Move(Item(kLblXp), title.x + titleSize.cx + MulDiv(kTitleToXpGap, static_cast<int>(dpi), 96),
         xp.y, xpArea.right, xpArea.bottom);
    lblMailMe_.Fit(Layout().Font(kLinkFont),
                   {TwipsToPixels(kMailMe.x, dpi), TwipsToPixels(kMailMe.y, dpi)});

    // Property values start in one column, after the widest name.
    const HFONT font = Layout().Font(kTahoma825);
    int widestName = 0;
    for (const auto& property : about::kPropertyNames) {
        widestName = std::max(widestName,
                              static_cast<int>(TextSize(Hwnd(), font, ToWide(property.name)).cx));
    }
    valueColumn_ = MulDiv(12, static_cast<int>(dpi), 96) + widestName;
    const int rowHeight = TextSize(Hwnd(), font, L"Ag").cy;
    SendMessageW(Item(kLstAppProperties), LB_SETITEMHEIGHT, 0, MAKELPARAM(rowHeight, 0));
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void frmAbout::OnDpiChanged(UINT) {
    LayOut();
}

void frmAbout::OnPaint(HDC dc) {
    banner_.Paint(dc);
}

bool frmAbout::PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    const about::Modifiers modifiers{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                                     GetKeyState(VK_MENU) < 0};
    if (!views_.KeyDown(static_cast<int>(message.wParam), modifiers)) return false;
    ShowView();
    return true;
}

void frmAbout::ShowView() {
    const auto show = [this](int id, bool visible) {
        ShowWindow(Item(id), visible ? SW_SHOWNA : SW_HIDE);
    };
    const bool main = views_.Current() == about::View::Main;
    for (const int id : {static_cast<int>(kLblDisclaimer), static_cast<int>(kLblDescription),
                         static_cast<int>(kLblMailMe)}) {
        show(id, main);
    }
    show(kLstAppProperties, views_.PropertiesVisible());
    show(kLstThanks, views_.ThanksVisible());
    SetItemText(kLblVersion, views_.Heading());
    const HWND focus = GetFocus();
    if (!focus || !IsWindowVisible(focus))
        SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kCmdOK)), TRUE);
}

void frmAbout::OnCommand(int id, int code, HWND) {
    if (id == IDOK || id == IDCANCEL) return EndDialog();
    if (id == kLstAppProperties && code == LBN_DBLCLK) lstAppProperties_DblClick();
}

void frmAbout::lblMailMe_MouseUp(UINT button, POINT screen) {
    linkClicked_ = true;
    if (button == WM_LBUTTONUP) return mnuLinkOpenNew_Click();
    if (button != WM_RBUTTONUP) return;
    const UniqueHmenu menu(CreatePopupMenu());
    if (!menu ||
        !AppendMenuW(menu.get(), MF_STRING, kMnuLinkOpenNew,
                     ToWide(about::kLinkMenuOpenNew).c_str()) ||
        !AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr) ||
        !AppendMenuW(menu.get(), MF_STRING, kMnuLinkCopy, ToWide(about::kLinkMenuCopy).c_str())) {
        ThrowLastError("Cannot build the link menu", kSource);
    }
    const auto command = static_cast<UINT>(
        TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, screen.x,
                         screen.y, Hwnd(), nullptr));
    if (command == kMnuLinkOpenNew) mnuLinkOpenNew_Click();
    if (command == kMnuLinkCopy) mnuLinkCopy_Click();
}

// The box reports nothing: a link the shell cannot open, or a clipboard another program holds,
// simply leaves things as they were.
void frmAbout::mnuLinkOpenNew_Click() const noexcept {
    if (!linkClicked_) return;
    // A normal window: a hidden show state would leave some mail programs invisible.
    ShellExecuteW(Hwnd(), nullptr, mailLink_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void frmAbout::mnuLinkCopy_Click() const noexcept {
    if (!linkClicked_) return;
    const OpenClipboardGuard clipboard(Hwnd());
    if (!clipboard || !EmptyClipboard()) return;
    const std::size_t bytes = (mailLink_.size() + 1) * sizeof(wchar_t);
    UniqueHglobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    {
        const GlobalLockGuard<wchar_t> target(memory.get());
        if (!target.get()) return;
        std::memcpy(target.get(), mailLink_.c_str(), bytes);
    }
    if (SetClipboardData(CF_UNICODETEXT, memory.get())) memory.release();  // the clipboard's now
}

void frmAbout::lstAppProperties_DblClick() {
    const HWND list = Item(kLstAppProperties);
    const auto selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    const auto row = about::SplitPropertyRow(ToUtf8(ListRow(list, static_cast<int>(selected))));
    if (!row) return;
    MessageBoxW(Hwnd(), ToWide(row->value).c_str(), ToWide(row->name).c_str(), MB_OK);
}

std::optional<INT_PTR> frmAbout::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        default:
            return std::nullopt;
    }
}

// The title and "xp" lie over the banner and look through to it.
std::optional<INT_PTR> frmAbout::OnCtlColorStatic(HDC dc, HWND control) {
    const bool title = control == Item(kLblTitle);
    if (!title && control != Item(kLblXp)) return std::nullopt;
    SetTextColor(dc, title ? RGB(255, 255, 255) : kXpColour);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(banner_.Brush(dc, Origin(control)));
}

void frmAbout::DrawItem(const DRAWITEMSTRUCT& item) {
    RECT area = item.rcItem;
    if (item.hwndItem == Item(kPicIcon)) {
        FillRect(item.hDC, &area, banner_.Brush(item.hDC, Origin(item.hwndItem)));
        if (icon_) {
            DrawIconEx(item.hDC, area.left, area.top, icon_.get(), area.right - area.left,
                       area.bottom - area.top, 0, nullptr, DI_NORMAL);
        }
        return;
    }
    if (item.hwndItem != Item(kLstAppProperties) || item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(item.hDC, TRANSPARENT);
    SelectObjectGuard select(item.hDC, Layout().Font(kTahoma825));
    const auto row =
        about::SplitPropertyRow(ToUtf8(ListRow(item.hwndItem, static_cast<int>(item.itemID))));
    constexpr UINT kFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT;
    RECT name = area;
    name.left += MulDiv(2, static_cast<int>(Dpi()), 96);
    if (row) {
        DrawTextW(item.hDC, ToWide(row->name).c_str(), -1, &name, kFormat);
        RECT value = area;
        value.left += valueColumn_;
        // Long paths end in an ellipsis here; a double click shows them whole.
        DrawTextW(item.hDC, ToWide(row->value).c_str(), -1, &value, kFormat | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &area);
}

}  // namespace trayhound
