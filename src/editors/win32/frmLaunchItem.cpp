#include "editors/win32/frmLaunchItem.h"

#include <commctrl.h>

#include "support/win32/ErrorPolicy.h"
#include "support/win32/Text.h"

namespace trayhound {
namespace {

// Posted to itself when a text field gets the focus: selecting its text at once would be undone
// by the mouse click that gave it the focus.
constexpr UINT kSelectAllMessage = WM_APP + 1;

constexpr DWORD kEditStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kComboStyle = WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL;
constexpr int kDropDownHeight = 2250;  // twips of the lists below the two combo boxes

// Labels stand just before the control they name, so that their access key reaches it; the
// focusable controls keep the dialog's tab order.
constexpr ControlSpec kControls[] = {
    {.className = WC_STATICW,
     .text = L"&Caption:",
     .style = SS_LEFT,
     .id = frmLaunchItem::kLblCaption,
     .bounds = {120, 120, 4335, 255}},
    {.className = WC_EDITW,
     .style = kEditStyle,
     .id = frmLaunchItem::kTxtCaption,
     .bounds = {120, 360, 4335, 315},
     .exStyle = WS_EX_CLIENTEDGE},
    {.className = WC_STATICW,
     .text = L"C&ommand:",
     .style = SS_LEFT,
     .id = frmLaunchItem::kLblCommand,
     .bounds = {120, 840, 4335, 255}},
    {.className = WC_COMBOBOXW,
     .style = kComboStyle | CBS_DROPDOWN,
     .id = frmLaunchItem::kTxtCommand,
     .bounds = {120, 1080, 3975, 315},
     .dropDownHeight = kDropDownHeight},
    {.className = WC_BUTTONW,
     .text = L"&...",
     .style = WS_TABSTOP | BS_PUSHBUTTON,
     .id = frmLaunchItem::kCmdBrowse,
     .bounds = {4150, 1080, 315, 315}},
    {.className = WC_STATICW,
     .text = L"Icon:",
     .style = SS_LEFT,
     .id = frmLaunchItem::kLblIcon,
     .bounds = {120, 1560, 4335, 255}},
    {.className = WC_COMBOBOXW,
     .style = kComboStyle | CBS_DROPDOWNLIST,
     .id = frmLaunchItem::kCboIcon,
     .bounds = {120, 1800, 4335, 315},
     .dropDownHeight = kDropDownHeight},
    {.className = WC_BUTTONW,
     .text = L"OK",
     .style = WS_TABSTOP | BS_DEFPUSHBUTTON,
     .id = frmLaunchItem::kCmdOk,
     .bounds = {600, 2280, 1215, 330}},
    {.className = WC_BUTTONW,
     .text = L"Cancel",
     .style = WS_TABSTOP | BS_PUSHBUTTON,
     .id = frmLaunchItem::kCmdCancel,
     .bounds = {1920, 2280, 1215, 330}},
    {.className = WC_BUTTONW,
     .text = L"&Test",
     .style = WS_TABSTOP | BS_PUSHBUTTON,
     .id = frmLaunchItem::kCmdTest,
     .bounds = {3240, 2280, 1215, 330}},
};

constexpr DialogSpec kSpec{
    .title = L"Item", .clientWidth = 4590, .clientHeight = 2790, .controls = kControls};

}  // namespace

frmLaunchItem::frmLaunchItem(ItemEditorServices services)
    : ModalDialog(DialogKind::LaunchItem, kSpec), logic_(*this, std::move(services)) {}

void frmLaunchItem::OnLoad() {
    fieldsEnabled_ = true;
    CenterOnOwner();
    logic_.Form_Load();
}

void frmLaunchItem::CenterOnOwner() const noexcept {
    RECT area{};
    HWND owner = GetWindow(Hwnd(), GW_OWNER);
    if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &area)) {
        HMONITOR monitor = MonitorFromWindow(Hwnd(), MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (!GetMonitorInfoW(monitor, &info)) return;
        area = info.rcWork;
    }
    RECT window{};
    GetWindowRect(Hwnd(), &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(Hwnd(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmLaunchItem::OnCommand(int id, int code, HWND) {
    switch (id) {
        case kTxtCaption:
            if (code == EN_CHANGE && !settingText_) logic_.txtCaption_Change();
            if (code == EN_SETFOCUS) logic_.txtCaption_GotFocus();
            break;
        case kTxtCommand:
            if (code == CBN_SETFOCUS) logic_.txtCommand_GotFocus();
            break;
        case kCmdBrowse:
            if (code == BN_CLICKED) logic_.cmdBrowse_Click();
            break;
        case kCmdTest:
            if (code == BN_CLICKED) logic_.cmdTest_Click();
            break;
        case kCmdOk:
            if (code == BN_CLICKED) logic_.cmdOK_Click();
            break;
        case kCmdCancel:
            if (code == BN_CLICKED) logic_.cmdCancel_Click();
            break;
        default:
            break;
    }
}

bool frmLaunchItem::IsField(HWND control) const noexcept {
    // The command box's edit field is a child of the combo box.
    for (const int id : {kTxtCommand, kCboIcon}) {
        HWND field = Item(id);
        if (control == field || GetParent(control) == field) return true;
    }
    return false;
}

std::optional<INT_PTR> frmLaunchItem::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kSelectAllMessage: {
            const auto field = static_cast<Field>(wParam);
            HWND control = Item(field == Field::Caption ? kTxtCaption : kTxtCommand);
            HWND focus = GetFocus();
            if (focus != control && GetParent(focus) != control) return TRUE;
            if (field == Field::Caption) {
                SendMessageW(control, EM_SETSEL, 0, -1);
            } else {
                SendMessageW(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
            }
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX: {
            const auto control = reinterpret_cast<HWND>(lParam);
            if (!IsField(control)) return std::nullopt;
            // A separator's command and icon are greyed out on the 3-D face.
            const int color = fieldsEnabled_ ? COLOR_WINDOW : COLOR_3DFACE;
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSysColor(color));
            SetTextColor(dc, GetSysColor(fieldsEnabled_ ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(color));
        }
        default:
            return std::nullopt;
    }
}

void frmLaunchItem::SetTitle(const std::string& title) {
    ModalDialog::SetTitle(title);
}

std::string frmLaunchItem::CaptionText() const {
    return ItemText(kTxtCaption);
}

void frmLaunchItem::SetCaptionText(const std::string& text) {
    settingText_ = true;
    SetItemText(kTxtCaption, text);
    settingText_ = false;
}

std::string frmLaunchItem::CommandText() const {
    return ItemText(kTxtCommand);
}

void frmLaunchItem::SetCommandText(const std::string& text) {
    SetItemText(kTxtCommand, text);
}

void frmLaunchItem::SetCommandList(const std::vector<std::string>& entries) {
    // Emptying the list must not empty the text field.
    const std::string text = CommandText();
    HWND combo = Item(kTxtCommand);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& entry : entries) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(entry).c_str()));
    }
    SetCommandText(text);
}

void frmLaunchItem::SetIconList(const std::vector<std::string>& entries) {
    HWND combo = Item(kCboIcon);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& entry : entries) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(entry).c_str()));
    }
}

int frmLaunchItem::IconSelection() const {
    const LRESULT selection = SendMessageW(Item(kCboIcon), CB_GETCURSEL, 0, 0);
    return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

void frmLaunchItem::SetIconSelection(int position) {
    SendMessageW(Item(kCboIcon), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

void frmLaunchItem::SetFieldsEnabled(bool enabled) {
    fieldsEnabled_ = enabled;
    for (const int id : {kTxtCommand, kCboIcon}) {
        HWND control = Item(id);
        if (!enabled && (GetFocus() == control || GetParent(GetFocus()) == control)) {
            SendMessageW(Hwnd(), WM_NEXTDLGCTL, 0, FALSE);
        }
        EnableWindow(control, enabled);
        InvalidateRect(control, nullptr, TRUE);
    }
}

void frmLaunchItem::SelectAll(Field field) {
    // Without a posted message the text is selected now, at the risk of the click undoing it.
    if (!PostMessageW(Hwnd(), kSelectAllMessage, static_cast<WPARAM>(field), 0)) {
        OnDialogMessage(kSelectAllMessage, static_cast<WPARAM>(field), 0);
    }
}

void frmLaunchItem::SetFocus(Field field) {
    HWND control = Item(field == Field::Caption ? kTxtCaption : kTxtCommand);
    SendMessageW(Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void frmLaunchItem::ShowWarning(const std::string& text) {
    ShowUserMessage(Hwnd(), text, MB_OK | MB_ICONEXCLAMATION);
}

bool frmLaunchItem::GetOpenFileName(OpenFileArgs& args) {
    cCommonDialog dialog;
    return dialog.VBGetOpenFileName(args);
}

std::intptr_t frmLaunchItem::WindowHandle() const {
    return reinterpret_cast<std::intptr_t>(Hwnd());
}

void frmLaunchItem::CloseWindow() {
    EndDialog();
}

}  // namespace trayhound
