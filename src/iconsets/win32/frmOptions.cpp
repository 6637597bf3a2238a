#include "iconsets/win32/frmOptions.h"

#include <commctrl.h>

#include <array>
#include <span>

#include "support/Error.h"
#include "support/cCommonDialog.h"
#include "support/win32/ErrorPolicy.h"
#include "support/win32/Text.h"
#include "support/win32/WindowFormPosition.h"

namespace trayhound {
namespace {

using C = frmOptions::Control;

// Runs cboIconSet_Click once a dropped-down list has closed, so that the file dialog never
// opens while the combo box still holds the mouse.
constexpr UINT kIconSetClickMessage = WM_APP + 1;

constexpr FontSpec kHeadFont{L"Tahoma", 975, FW_BOLD};

// Twips. The page list at the left, the pages beside it (all at one place), a line and the two
// buttons below: the list editor's margins, gaps and button size.
constexpr TwipsRect kPageArea{1815, 120, 4065, 2760};
constexpr int kPageLeft = kPageArea.left + 120;
constexpr int kPageWidth = kPageArea.width - 240;

constexpr std::array kControls{
    ControlSpec{WC_LISTBOXW, L"", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                C::kLstPages, TwipsRect{120, 120, 1575, 2760}, WS_EX_CLIENTEDGE},
    // Page 1, "Icon sets". The heading is created before its strip and the strip clips its
    // siblings, so the strip never paints over the heading.
    ControlSpec{WC_STATICW, L"Icon Sets", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, C::kLblHead,
                TwipsRect{kPageLeft, kPageArea.top, kPageWidth, 375}, 0, 0, &kHeadFont},
    ControlSpec{WC_STATICW, L"", SS_LEFT | WS_CLIPSIBLINGS, C::kPicHead,
                TwipsRect{kPageArea.left, kPageArea.top, kPageArea.width, 375}},
    ControlSpec{WC_STATICW, L"Icon set:", SS_LEFT, C::kLblIconSet,
                TwipsRect{kPageLeft, 675, kPageWidth, 255}},
    ControlSpec{WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, C::kCboIconSet,
                TwipsRect{kPageLeft, 930, kPageWidth, 315}, 0, 1800},
    // Author and description come from set files: "&" is shown as it is.
    ControlSpec{WC_STATICW, L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, C::kLblAuthor,
                TwipsRect{kPageLeft, 1440, kPageWidth, 255}},
    ControlSpec{WC_STATICW, L"", SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, C::kLblDescription,
                TwipsRect{kPageLeft, 1755, kPageWidth, 1035}},
    // Page 2, "General", laid out as page 1.
    ControlSpec{WC_STATICW, L"General", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, C::kLblGeneralHead,
                TwipsRect{kPageLeft, kPageArea.top, kPageWidth, 375}, 0, 0, &kHeadFont},
    ControlSpec{WC_STATICW, L"", SS_LEFT | WS_CLIPSIBLINGS, C::kPicGeneralHead,
                TwipsRect{kPageArea.left, kPageArea.top, kPageArea.width, 375}},
    ControlSpec{WC_BUTTONW, L"Start Trayhound when I sign in", BS_AUTOCHECKBOX | WS_TABSTOP,
                C::kChkStartAtSignIn, TwipsRect{kPageLeft, 675, kPageWidth, 255}},
    ControlSpec{WC_STATICW, L"Programs menu hotkey", SS_LEFT, C::kLblHotkey,
                TwipsRect{kPageLeft, 1080, kPageWidth, 255}},
    ControlSpec{HOTKEY_CLASSW, L"", WS_TABSTOP, C::kHotHotkey,
                TwipsRect{kPageLeft, 1335, 2400, 315}, WS_EX_CLIENTEDGE},
    ControlSpec{WC_STATICW, L"", SS_LEFT | SS_NOPREFIX, C::kLblHotkeyState,
                TwipsRect{kPageLeft, 1755, kPageWidth, 435}},
    ControlSpec{WC_BUTTONW, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
                TwipsRect{3345, 3150, 1215, 330}},
    ControlSpec{WC_BUTTONW, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL,
                TwipsRect{4665, 3150, 1215, 330}},
};

// An etched rule above the buttons.
constexpr std::array kLines{
    LineSpec{120, 3000, 5880, 3000, COLOR_3DSHADOW},
    LineSpec{120, 3015, 5880, 3015, COLOR_3DHILIGHT},
};

constexpr DialogSpec kSpec{L"Options", 6000, 3600, kControls, kLines};

// picPages: the controls of each page, by page number. The Data page of the design is never
// offered by the page list, so it is not built.
struct Page {
    int number;
    std::span<const int> controls;
};
constexpr std::array<int, 6> kIconSetPage{C::kLblHead,    C::kPicHead,   C::kLblIconSet,
                                          C::kCboIconSet, C::kLblAuthor, C::kLblDescription};
constexpr std::array<int, 6> kGeneralPage{C::kLblGeneralHead,   C::kPicGeneralHead,
                                          C::kChkStartAtSignIn, C::kLblHotkey,
                                          C::kHotHotkey,        C::kLblHotkeyState};
constexpr std::array kPages{Page{1, kIconSetPage}, Page{2, kGeneralPage}};
// The page list's entries and the pages they show.
constexpr std::array<std::pair<const wchar_t*, int>, 2> kPageEntries{
    {{L" Icon sets", 1}, {L" General", 2}}};

constexpr std::string_view kHotkeyNotActive = "Not active: another program uses this hotkey.";

constexpr std::string_view kSource = "Trayhound.frmOptions";

}  // namespace

frmOptions::frmOptions(Application& application, GeneralServices general)
    : ModalDialog(DialogKind::Options, kSpec),
      application_(application),
      logic_(application, *this, std::move(general)) {}

frmOptions::~frmOptions() {
    Close();
}

void frmOptions::OnLoad() {
    Form_Load();
}

void frmOptions::Form_Load() {
    loaded_ = true;
    // A placement that cannot be applied leaves the window where it would otherwise open.
    try {
        RestoreFormPosition(Hwnd(), std::string(kSettingsSection), false,
                            *application_.Services().settings);
    } catch (const Error&) {
    }

    const HWND pages = Item(C::kLstPages);
    for (const auto& [text, page] : kPageEntries) {
        const LRESULT entry = SendMessageW(pages, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (entry < 0) {
            throw Error(error_number::kApplicationDefined, "Cannot fill the page list.",
                        std::string(kSource) + ".Form_Load()");
        }
        SendMessageW(pages, LB_SETITEMDATA, static_cast<WPARAM>(entry), page);
    }
    SendMessageW(pages, LB_SETCURSEL, 0, 0);
    lstPages_Click();
    // A hotkey needs a Ctrl or Alt: a plain or Shift key alone becomes Ctrl+Alt with it.
    SendMessageW(Item(C::kHotHotkey), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                 MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));

    logic_.Form_Load();
}

void frmOptions::lstPages_Click() {
    const HWND pages = Item(C::kLstPages);
    const LRESULT selected = SendMessageW(pages, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR) return;
    const auto shown = static_cast<int>(SendMessageW(pages, LB_GETITEMDATA, selected, 0));
    for (const Page& page : kPages) {
        for (const int id : page.controls) ShowWindow(Item(id), SW_HIDE);
    }
    for (const Page& page : kPages) {
        if (page.number != shown) continue;
        for (const int id : page.controls) ShowWindow(Item(id), SW_SHOW);
    }
}

void frmOptions::OnCommand(int id, int code, HWND /*control*/) {
    switch (id) {
        case IDOK:
            if (code == BN_CLICKED) cmdOK_Click();
            break;
        case IDCANCEL:
            if (code == BN_CLICKED) cmdCancel_Click();
            break;
        case C::kLstPages:
            if (code == LBN_SELCHANGE) lstPages_Click();
            break;
        case C::kCboIconSet:
            if (code != CBN_SELCHANGE) break;
            if (!SendMessageW(Item(C::kCboIconSet), CB_GETDROPPEDSTATE, 0, 0) ||
                !PostMessageW(Hwnd(), kIconSetClickMessage, 0, 0)) {
                logic_.cboIconSet_Click();
            }
            break;
        default:
            break;
    }
}

void frmOptions::cmdOK_Click() {
    logic_.cmdOK_Click();
    cmdCancel_Click();
}

void frmOptions::cmdCancel_Click() {
    EndDialog();
}

void frmOptions::OnUnload() {
    Form_Unload();
}

void frmOptions::Form_Unload() {
    if (!loaded_) return;
    loaded_ = false;
    // The copy goes whatever happens to the placement: it must never outlive the window.
    try {
        SaveFormPosition(Hwnd(), std::string(kSettingsSection), *application_.Services().settings);
    } catch (...) {
        logic_.Form_Unload();
        throw;
    }
    logic_.Form_Unload();
}

std::optional<INT_PTR> frmOptions::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kIconSetClickMessage:
            logic_.cboIconSet_Click();
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DESTROY:
            // Destroyed together with its owner (Exit, the shutdown request) rather than closed:
            // unload all the same. Windows destroys owned windows before their owner, so the
            // copy is released before the tray window releases the application object, and
            // the live options are the last to write their list.
            Form_Unload();
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

// The heading strip in the shadow colour with light text; everything else on the system's
// button face, like the pages themselves.
std::optional<INT_PTR> frmOptions::ColorStatic(HDC dc, HWND control) const {
    const bool heading = control == Item(C::kLblHead) || control == Item(C::kPicHead) ||
                         control == Item(C::kLblGeneralHead) || control == Item(C::kPicGeneralHead);
    if (!heading) return std::nullopt;
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkColor(dc, GetSysColor(COLOR_3DSHADOW));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_3DSHADOW));
}

void frmOptions::AddIconSetEntry(const std::string& text, int itemData) {
    InsertIconSetEntry(-1, text, itemData);
}

void frmOptions::InsertIconSetEntry(int index, const std::string& text, int itemData) {
    const HWND combo = Item(C::kCboIconSet);
    const std::wstring wide = ToWide(text);
    const LRESULT at = SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(wide.c_str()));
    if (at < 0) {
        throw Error(error_number::kApplicationDefined, "Cannot add to the list of icon sets.",
                    std::string(kSource) + ".cboIconSet");
    }
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), itemData);
}

int frmOptions::IconSetEntryCount() const {
    return static_cast<int>(SendMessageW(Item(C::kCboIconSet), CB_GETCOUNT, 0, 0));
}

int frmOptions::IconSetItemData(int index) const {
    return static_cast<int>(
        SendMessageW(Item(C::kCboIconSet), CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int frmOptions::SelectedIconSet() const {
    return static_cast<int>(SendMessageW(Item(C::kCboIconSet), CB_GETCURSEL, 0, 0));
}

void frmOptions::SelectIconSet(int index) {
    SendMessageW(Item(C::kCboIconSet), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void frmOptions::SetAuthorText(const std::string& text) {
    SetItemText(C::kLblAuthor, text);
}

void frmOptions::SetDescriptionText(const std::string& text) {
    SetItemText(C::kLblDescription, text);
}

void frmOptions::SetStartAtSignIn(bool checked) {
    CheckDlgButton(Hwnd(), C::kChkStartAtSignIn, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool frmOptions::StartAtSignIn() const {
    return IsDlgButtonChecked(Hwnd(), C::kChkStartAtSignIn) == BST_CHECKED;
}

void frmOptions::SetHotkey(const Hotkey& hotkey, bool active) {
    // The control knows Ctrl, Alt and Shift; a stored Win key is kept while the user leaves the
    // hotkey as it is.
    const int modifiers = (hotkey.ctrl ? HOTKEYF_CONTROL : 0) | (hotkey.alt ? HOTKEYF_ALT : 0) |
                          (hotkey.shift ? HOTKEYF_SHIFT : 0);
    SendMessageW(Item(C::kHotHotkey), HKM_SETHOTKEY, MAKEWORD(hotkey.key, modifiers), 0);
    shownHotkey_ = hotkey;
    SetItemText(C::kLblHotkeyState, active ? std::string_view() : kHotkeyNotActive);
}

Hotkey frmOptions::ChosenHotkey() const {
    const auto value = static_cast<WORD>(SendMessageW(Item(C::kHotHotkey), HKM_GETHOTKEY, 0, 0));
    const int modifiers = HIBYTE(value);
    // Left as shown, the hotkey keeps the Win key the control cannot show.
    Hotkey chosen{.ctrl = (modifiers & HOTKEYF_CONTROL) != 0,
                  .alt = (modifiers & HOTKEYF_ALT) != 0,
                  .shift = (modifiers & HOTKEYF_SHIFT) != 0,
                  .win = shownHotkey_.win,
                  .key = LOBYTE(value)};
    if (chosen == shownHotkey_) return chosen;
    chosen.win = false;
    return chosen.key ? chosen : Hotkey{};
}

void frmOptions::ShowMessage(const std::string& text) {
    ShowUserMessage(Hwnd(), text, MB_OK | MB_ICONEXCLAMATION);
}

std::optional<std::string> frmOptions::BrowseForIconSet() {
    cCommonDialog dialog;
    OpenFileArgs args;
    args.FileMustExist = true;
    args.MultiSelect = false;
    args.ReadOnly = false;
    args.HideReadOnly = true;
    args.Filter = std::string(kIconSetFilter);
    args.FilterIndex = 1;
    args.Owner = reinterpret_cast<std::intptr_t>(Hwnd());
    if (!dialog.VBGetOpenFileName(args)) return std::nullopt;
    return args.FileName;
}

}  // namespace trayhound
