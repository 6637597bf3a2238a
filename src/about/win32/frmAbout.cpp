#include "about/win32/frmAbout.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "resource.h"
#include "support/Error.h"
#include "support/win32/Text.h"

namespace trayhound {
namespace {

constexpr wchar_t kBoxClass[] = L"TrayhoundAbout";
constexpr wchar_t kPanelClass[] = L"TrayhoundAboutPanel";
constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kBoxExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr UINT_PTR kLinkSubclassId = 1;
constexpr std::string_view kSource = "Trayhound.frmAbout.Form_Load()";

using UniqueHdc = UniqueHandleOf<HDC, &DeleteDC>;
using UniqueHglobal = UniqueHandleOf<HGLOBAL, &GlobalFree>;

[[noreturn]] void ThrowLastError(std::string_view what) {
    const DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string message = ToUtf8(std::wstring_view(buffer, buffer ? length : 0));
    LocalFree(buffer);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
        message.pop_back();
    }
    throw Error(static_cast<int>(code), std::string(what) + ": " + message, std::string(kSource));
}

HINSTANCE Instance() noexcept {
    return GetModuleHandleW(nullptr);
}

COLORREF Colour(const about::Rgb& rgb) noexcept {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

class ScreenDc {
  public:
    ScreenDc() noexcept : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    operator HDC() const noexcept { return dc_; }

  private:
    HDC dc_;
};

class PaintDc {
  public:
    explicit PaintDc(HWND hwnd) noexcept : hwnd_(hwnd) { BeginPaint(hwnd_, &paint_); }
    ~PaintDc() { EndPaint(hwnd_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    operator HDC() const noexcept { return paint_.hdc; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
};

class ClipboardOwner {
  public:
    explicit ClipboardOwner(HWND hwnd) noexcept : open_(OpenClipboard(hwnd) != FALSE) {}
    ~ClipboardOwner() {
        if (open_) CloseClipboard();
    }
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;
    explicit operator bool() const noexcept { return open_; }

  private:
    bool open_;
};

SIZE TextExtent(HFONT font, std::wstring_view text) {
    ScreenDc dc;
    SelectObjectGuard select(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

int TextHeight(HFONT font) {
    ScreenDc dc;
    SelectObjectGuard select(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

void Place(HWND control, const about::PixelRect& r) {
    SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring ListText(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

// The upper-left corner of a child in its parent's client area.
POINT Origin(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top};
}

}  // namespace

frmAbout::frmAbout(HWND owner, const about::AppProperties& properties)
    : owner_(owner),
      properties_(properties),
      texts_(about::ExpandTexts(properties.title, properties.version)),
      views_(texts_.version),
      mailLink_(ToWide(about::kMailLink)) {}

frmAbout::~frmAbout() {
    Close();
}

void frmAbout::Show(HWND owner, const about::AppProperties& properties) {
    if (const HWND open = openWindow_.load()) {
        SetForegroundWindow(open);
        return;
    }
    frmAbout form(owner, properties);
    form.Form_Load();
    form.RunModal();
}

void frmAbout::CloseIfOpen() noexcept {
    const HWND open = openWindow_.load();
    if (!open) return;
    if (GetWindowThreadProcessId(open, nullptr) != GetCurrentThreadId()) {
        PostMessageW(open, WM_CLOSE, 0, 0);
        return;
    }
    if (auto* self = reinterpret_cast<frmAbout*>(GetWindowLongPtrW(open, GWLP_USERDATA))) {
        self->Close();
    }
}

void frmAbout::RegisterClasses() {
    static const bool registered = [] {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);

        WNDCLASSEXW box{};
        box.cbSize = sizeof(box);
        box.lpfnWndProc = &frmAbout::Proc;
        box.hInstance = Instance();
        box.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        box.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        box.lpszClassName = kBoxClass;
        if (!RegisterClassExW(&box)) ThrowLastError("RegisterClassExW");

        WNDCLASSEXW panel = box;
        panel.lpfnWndProc = &frmAbout::PanelProc;
        panel.lpszClassName = kPanelClass;
        if (!RegisterClassExW(&panel)) ThrowLastError("RegisterClassExW");
        return true;
    }();
    (void)registered;
}

LRESULT CALLBACK frmAbout::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<frmAbout*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<frmAbout*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->closed_ = true;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        // The About box reports nothing; a failed paint or copy simply leaves things as they were.
    }
    return 0;
}

LRESULT CALLBACK frmAbout::PanelProc(HWND hwnd, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<frmAbout*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<frmAbout*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    try {
        return self->OnPanelMessage(hwnd, message, wParam, lParam);
    } catch (...) {
    }
    return 0;
}

LRESULT CALLBACK frmAbout::LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) noexcept {
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &frmAbout::LinkProc, kLinkSubclassId);
    try {
        return reinterpret_cast<frmAbout*>(data)->OnLinkMessage(hwnd, message, wParam, lParam);
    } catch (...) {
    }
    return 0;
}

LRESULT frmAbout::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    cmdOK_Click();
                    return 0;
                case kLstAppProperties:
                    if (HIWORD(wParam) == LBN_DBLCLK) lstAppProperties_DblClick();
                    return 0;
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(kCmdOK, DC_HASDEFID);
        case WM_NEXTDLGCTL:
            OnNextControl(wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) savedFocus_ = focus;
            } else {
                const bool usable = savedFocus_ && IsWindow(savedFocus_) &&
                                    IsWindowVisible(savedFocus_) && IsChild(hwnd_, savedFocus_);
                SetFocus(usable ? savedFocus_ : cmdOK_);
            }
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_MEASUREITEM:
            if (fonts_.normal) {
                reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
                    static_cast<UINT>(TextHeight(fonts_.normal.get()));
            }
            return TRUE;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DESTROY: {
            HWND expected = hwnd_;
            openWindow_.compare_exchange_strong(expected, nullptr);
            closed_ = true;
            return 0;
        }
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT frmAbout::OnPanelMessage(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLORSTATIC:
            return OnMessage(message, wParam, lParam);
        case WM_ERASEBKGND:
            if (panel == picture1_) return TRUE;  // the banner paints every pixel
            break;
        case WM_PAINT:
            if (panel == picture1_) {
                PaintBanner();
                return 0;
            }
            break;
    }
    return DefWindowProcW(panel, message, wParam, lParam);
}

LRESULT frmAbout::OnLinkMessage(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(linkCursor_);
            return TRUE;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_XBUTTONUP:
            lblMailMe_MouseUp(label, message, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return message == WM_XBUTTONUP ? TRUE : 0;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

void frmAbout::Form_Load() {
    RegisterClasses();

    // Created on the primary monitor, so that the layout uses that monitor's DPI from the start.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;

    if (!CreateWindowExW(kBoxExStyle, kBoxClass, ToWide(texts_.caption).c_str(), kBoxStyle,
                         work.left, work.top, 0, 0, owner_, nullptr, Instance(), this)) {
        ThrowLastError("CreateWindowExW");
    }
    dpi_ = GetDpiForWindow(hwnd_);
    if (dpi_ == 0) dpi_ = USER_DEFAULT_SCREEN_DPI;

    linkCursor_ = LoadCursorW(Instance(), MAKEINTRESOURCEW(IDC_LINK));
    if (!linkCursor_) linkCursor_ = LoadCursorW(nullptr, IDC_HAND);
    strip_.reset(static_cast<HBITMAP>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDB_ABOUT_STRIP),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));

    CreateControls();
    Layout();

    const SIZE outer = FitClient();
    const auto corner = about::LowerRightCorner(
        about::PixelRect{work.left, work.top, work.right - work.left, work.bottom - work.top},
        outer.cx, outer.cy, about::kCornerMargin);
    SetWindowPos(hwnd_, nullptr, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    openWindow_.store(hwnd_);
}

void frmAbout::CreateControls() {
    const auto make = [this](DWORD exStyle, const wchar_t* windowClass, std::string_view text,
                             DWORD style, HWND parent, int id) {
        const HWND control = CreateWindowExW(
            exStyle, windowClass, ToWide(text).c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, 0, 0, 0,
            0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), Instance(), this);
        if (!control) ThrowLastError("CreateWindowExW");
        return control;
    };
    constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    constexpr DWORD kAutoSizeLabel = WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    constexpr DWORD kList = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;

    picture1_ = make(0, kPanelClass, "", WS_VISIBLE | WS_CLIPCHILDREN, hwnd_, kPicture1);
    picIcon_ = make(0, WC_STATICW, "", WS_VISIBLE | SS_OWNERDRAW, picture1_, kPicIcon);
    lblTitle_ = make(0, WC_STATICW, texts_.title, kAutoSizeLabel, picture1_, kLblTitle);
    lblXp_ = make(0, WC_STATICW, about::kXpText, kLabel, picture1_, kLblXp);

    lblVersion_ = make(0, WC_STATICW, texts_.version, kLabel, hwnd_, kLblVersion);
    lblDisclaimer_ = make(0, WC_STATICW, properties_.legalCopyright, kLabel, hwnd_, kLblDisclaimer);
    lblDescription_ = make(0, WC_STATICW, texts_.description, kLabel, hwnd_, kLblDescription);
    lblMailMe_ =
        make(0, WC_STATICW, about::kMailAddress, kAutoSizeLabel | SS_NOTIFY, hwnd_, kLblMailMe);
    if (!SetWindowSubclass(lblMailMe_, &frmAbout::LinkProc, kLinkSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
        ThrowLastError("SetWindowSubclass");
    }
    cmdOK_ = make(0, WC_BUTTONW, about::kOkText, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, hwnd_,
                  kCmdOK);

    // Created last, so that they lie above the labels they cover when shown.
    picScreen2_ = make(WS_EX_CONTROLPARENT, kPanelClass, "", WS_CLIPCHILDREN, hwnd_, kPicScreen2);
    lstAppProperties_ = make(WS_EX_CLIENTEDGE, WC_LISTBOXW, "",
                             WS_VISIBLE | kList | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, picScreen2_,
                             kLstAppProperties);
    lstThanks_ = make(WS_EX_CLIENTEDGE, WC_LISTBOXW, "", kList, hwnd_, kLstThanks);
    for (const auto& row : about::PropertyRows(properties_)) {
        SendMessageW(lstAppProperties_, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(ToWide(row).c_str()));
    }

    toolTip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, Instance(), nullptr);
    if (!toolTip_) ThrowLastError("CreateWindowExW");
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(lblMailMe_);
    tool.lpszText = mailLink_.data();
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

frmAbout::Fonts frmAbout::CreateFonts() const {
    const int dpi = static_cast<int>(dpi_);
    const auto font = [dpi](double points, const wchar_t* face, int weight, bool underline) {
        const HFONT created =
            CreateFontW(about::FontHeight(points, dpi), 0, 0, 0, weight, FALSE, underline, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, face);
        if (!created) ThrowLastError("CreateFontW");
        return UniqueHfont(created);
    };
    using namespace about::design;
    return Fonts{
        .normal = font(kDefaultFontPoints, L"Tahoma", FW_NORMAL, false),
        .bold = font(kDefaultFontPoints, L"Tahoma", FW_BOLD, false),
        .link = font(kDefaultFontPoints, L"Tahoma", FW_NORMAL, true),
        .title = font(kTitleFontPoints, L"Verdana", FW_BOLD, false),
        .xp = font(kXpFontPoints, L"Verdana", FW_BOLD, false),
    };
}

void frmAbout::Layout() {
    const int dpi = static_cast<int>(dpi_);
    const auto px = [dpi](const about::TwipsRect& r) { return about::ToPixels(r, dpi); };

    // The controls take the new fonts before the old ones are deleted.
    Fonts fonts = CreateFonts();
    const auto setFont = [](HWND control, const UniqueHfont& font) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    };
    for (const HWND control :
         {lblDisclaimer_, lblDescription_, cmdOK_, lstAppProperties_, lstThanks_, toolTip_}) {
        setFont(control, fonts.normal);
    }
    setFont(lblVersion_, fonts.bold);
    setFont(lblMailMe_, fonts.link);
    setFont(lblTitle_, fonts.title);
    setFont(lblXp_, fonts.xp);
    fonts_ = std::move(fonts);

    Place(picture1_, px(about::design::kPicture1));
    Place(picIcon_, px(about::design::kPicIcon));
    const SIZE title = TextExtent(fonts_.title.get(), ToWide(texts_.title));
    const int titleLeft = Px(about::design::kLblTitle.x);
    Place(lblTitle_, {titleLeft, Px(about::design::kLblTitle.y), title.cx, title.cy});
    auto xp = px(about::design::kLblXp);
    xp.left = titleLeft + title.cx + about::design::kTitleToXpGap;
    Place(lblXp_, xp);

    Place(lblVersion_, px(about::design::kLblVersion));
    Place(lblDisclaimer_, px(about::design::kLblDisclaimer));
    Place(lblDescription_, px(about::design::kLblDescription));
    const SIZE mail = TextExtent(fonts_.link.get(), ToWide(about::kMailAddress));
    Place(lblMailMe_,
          {Px(about::design::kLblMailMe.x), Px(about::design::kLblMailMe.y), mail.cx, mail.cy});
    Place(cmdOK_, px(about::design::kCmdOK));
    Place(picScreen2_, px(about::design::kPicScreen2));
    Place(lstAppProperties_, px(about::design::kLstAppProperties));
    Place(lstThanks_, px(about::design::kLstThanks));

    // Property values start in one column, after the widest name.
    const int margin = MulDiv(2, dpi, USER_DEFAULT_SCREEN_DPI);
    int widestName = 0;
    for (const auto& property : about::kPropertyNames) {
        widestName =
            std::max(widestName,
                     static_cast<int>(TextExtent(fonts_.normal.get(), ToWide(property.name)).cx));
    }
    valueColumn_ = margin + widestName + MulDiv(10, dpi, USER_DEFAULT_SCREEN_DPI);
    SendMessageW(lstAppProperties_, LB_SETITEMHEIGHT, 0,
                 MAKELPARAM(TextHeight(fonts_.normal.get()), 0));

    DrawBanner();
    LoadPictures();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void frmAbout::DrawBanner() {
    const auto size = about::ToPixels(about::design::kPicture1, static_cast<int>(dpi_));
    const int width = std::max(size.width, 1);
    const int height = std::max(size.height, 1);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueHbitmap banner(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!banner || !bits) ThrowLastError("CreateDIBSection");

    const auto columns = about::GradientColumns(about::kBannerStart, about::kBannerEnd, width);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto& c = columns[static_cast<std::size_t>(x)];
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)] = (static_cast<std::uint32_t>(c.red) << 16) |
                                                  (static_cast<std::uint32_t>(c.green) << 8) |
                                                  static_cast<std::uint32_t>(c.blue);
        }
    }
    UniqueHbrush brush(CreatePatternBrush(banner.get()));
    if (!brush) ThrowLastError("CreatePatternBrush");
    bannerBrush_ = std::move(brush);
    banner_ = std::move(banner);
}

void frmAbout::LoadPictures() {
    const auto size = about::ToPixels(about::design::kPicIcon, static_cast<int>(dpi_));
    icon_.reset(static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_ABOUT), IMAGE_ICON,
                                              size.width, size.height, LR_DEFAULTCOLOR)));
}

void frmAbout::PaintBanner() {
    PaintDc dc(picture1_);
    const UniqueHdc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    BITMAP banner{};
    GetObjectW(banner_.get(), sizeof(banner), &banner);
    {
        SelectObjectGuard select(memory.get(), banner_.get());
        BitBlt(dc, 0, 0, banner.bmWidth, banner.bmHeight, memory.get(), 0, 0, SRCCOPY);
    }
    if (strip_) {
        BITMAP strip{};
        GetObjectW(strip_.get(), sizeof(strip), &strip);
        const auto place = about::ToPixels(about::design::kImage1, static_cast<int>(dpi_));
        SelectObjectGuard select(memory.get(), strip_.get());
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, place.left, place.top, place.width, place.height, memory.get(), 0, 0,
                   strip.bmWidth, std::abs(strip.bmHeight), SRCCOPY);
    }
}

SIZE frmAbout::FitClient() {
    const int width = Px(about::design::kClientWidth);
    const int height = Px(about::design::kClientHeight);
    RECT frame{0, 0, width, height};
    AdjustWindowRectExForDpi(&frame, kBoxStyle, FALSE, kBoxExStyle, dpi_);
    SIZE outer{frame.right - frame.left, frame.bottom - frame.top};
    constexpr UINT kSizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, kSizeOnly);
    // The frame actually drawn may differ from the computed one (a caption font the system
    // chose for another DPI); the client area is what has to come out exact.
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right != width || client.bottom != height) {
        outer.cx += width - client.right;
        outer.cy += height - client.bottom;
        SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, kSizeOnly);
    }
    return outer;
}

void frmAbout::RunModal() {
    if (owner_ && IsWindowEnabled(owner_)) {
        EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    SetFocus(cmdOK_);

    MSG message{};
    while (!closed_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) {
            Close();
            break;
        }
        if (got == 0) {
            // The program is ending: close, and leave the request for the loop that called us.
            Close();
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (PreTranslate(message)) continue;
        if (closed_ || !IsDialogMessageW(hwnd_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

bool frmAbout::PreTranslate(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
    const about::Modifiers modifiers{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                                     GetKeyState(VK_MENU) < 0};
    return Form_KeyDown(static_cast<int>(message.wParam), modifiers);
}

void frmAbout::Close() noexcept {
    // The owner comes back first, so that it, not some other program, becomes active again.
    if (ownerDisabled_) {
        EnableWindow(owner_, TRUE);
        ownerDisabled_ = false;
    }
    if (hwnd_) DestroyWindow(hwnd_);
    closed_ = true;
}

bool frmAbout::Form_KeyDown(int keyCode, about::Modifiers modifiers) {
    if (!views_.KeyDown(keyCode, modifiers)) return false;
    ShowView();
    return true;
}

void frmAbout::ShowView() {
    const auto show = [](HWND control, bool visible) {
        SetWindowPos(
            control, HWND_TOP, 0, 0, 0, 0,
            SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    };
    show(picScreen2_, views_.PropertiesVisible());
    show(lstThanks_, views_.ThanksVisible());
    SetWindowTextW(lblVersion_, ToWide(views_.Heading()).c_str());
    const HWND focus = GetFocus();
    if (!focus || !IsWindowVisible(focus)) SetFocus(cmdOK_);
}

void frmAbout::lblMailMe_MouseUp(HWND label, UINT button, POINT position) {
    lastLinkLabel_ = label;
    if (button == WM_LBUTTONUP) {
        mnuLinkOpenNew_Click();
    } else if (button == WM_RBUTTONUP) {
        const UniqueHmenu menu(CreatePopupMenu());
        if (!menu) return;
        AppendMenuW(menu.get(), MF_STRING, kMnuLinkOpenNew,
                    ToWide(about::kLinkMenuOpenNew).c_str());
        AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu.get(), MF_STRING, kMnuLinkCopy, ToWide(about::kLinkMenuCopy).c_str());
        ClientToScreen(label, &position);
        const UINT command = static_cast<UINT>(
            TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                             position.x, position.y, hwnd_, nullptr));
        if (command == kMnuLinkOpenNew) mnuLinkOpenNew_Click();
        if (command == kMnuLinkCopy) mnuLinkCopy_Click();
    }
}

void frmAbout::mnuLinkOpenNew_Click() {
    if (!lastLinkLabel_) return;
    // A normal window: a hidden show state would leave some mail programs invisible.
    ShellExecuteW(hwnd_, nullptr, mailLink_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void frmAbout::mnuLinkCopy_Click() {
    if (!lastLinkLabel_) return;
    const ClipboardOwner clipboard(hwnd_);
    if (!clipboard || !EmptyClipboard()) return;
    const std::size_t bytes = (mailLink_.size() + 1) * sizeof(wchar_t);
    UniqueHglobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return;
    void* target = GlobalLock(memory.get());
    if (!target) return;
    std::memcpy(target, mailLink_.c_str(), bytes);
    GlobalUnlock(memory.get());
    if (SetClipboardData(CF_UNICODETEXT, memory.get())) memory.release();  // the clipboard owns it
}

void frmAbout::lstAppProperties_DblClick() {
    const auto selected = SendMessageW(lstAppProperties_, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    const auto row =
        about::SplitPropertyRow(ToUtf8(ListText(lstAppProperties_, static_cast<int>(selected))));
    if (!row) return;
    MessageBoxW(hwnd_, ToWide(row->value).c_str(), ToWide(row->name).c_str(), MB_OK);
}

LRESULT frmAbout::OnCtlColorStatic(HDC dc, HWND control) {
    if (control == lblTitle_ || control == lblXp_) {
        // Over the banner: the label's background is the part of the gradient it covers.
        SetTextColor(dc,
                     control == lblTitle_ ? RGB(255, 255, 255) : Colour(about::design::kXpColour));
        SetBkMode(dc, TRANSPARENT);
        const POINT origin = Origin(control);
        SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
        return reinterpret_cast<LRESULT>(bannerBrush_.get());
    }
    SetTextColor(dc, control == lblMailMe_ ? Colour(about::design::kLinkColour)
                                           : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void frmAbout::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem == picIcon_) {
        const POINT origin = Origin(picIcon_);
        SetBrushOrgEx(item.hDC, -origin.x, -origin.y, nullptr);
        FillRect(item.hDC, &item.rcItem, bannerBrush_.get());
        if (icon_) {
            DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, icon_.get(),
                       item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top,
                       0, nullptr, DI_NORMAL);
        }
    } else if (item.hwndItem == lstAppProperties_) {
        DrawPropertyRow(item);
    }
}

void frmAbout::DrawPropertyRow(const DRAWITEMSTRUCT& item) {
    RECT area = item.rcItem;
    if (item.itemID == static_cast<UINT>(-1)) {
        if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &area);
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(item.hDC, &area, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(item.hDC, TRANSPARENT);
    SelectObjectGuard select(item.hDC, fonts_.normal.get());

    const std::wstring text = ListText(lstAppProperties_, static_cast<int>(item.itemID));
    const auto row = about::SplitPropertyRow(ToUtf8(text));
    constexpr UINT kFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT;
    RECT name = area;
    name.left += MulDiv(2, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    if (row) {
        DrawTextW(item.hDC, ToWide(row->name).c_str(), -1, &name, kFormat);
        RECT value = area;
        value.left += valueColumn_;
        // Long paths end in an ellipsis here; a double click shows them whole.
        DrawTextW(item.hDC, ToWide(row->value).c_str(), -1, &value, kFormat | DT_END_ELLIPSIS);
    } else {
        DrawTextW(item.hDC, text.c_str(), -1, &name, kFormat | DT_EXPANDTABS);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &area);
}

void frmAbout::OnNextControl(WPARAM wParam, LPARAM lParam) {
    const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                     : GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0);
    if (next) SetFocus(next);
}

void frmAbout::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    Layout();
    FitClient();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace trayhound
