#include "editors/win32/frmList.h"

#include <commctrl.h>

#include <algorithm>

#include "editors/DroppedItems.h"
#include "editors/win32/frmLaunchItem.h"
#include "support/win32/ErrorPolicy.h"
#include "support/win32/Text.h"
#include "support/win32/WindowFormPosition.h"

namespace trayhound {
namespace {

constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;

// The label stands just before the list, so that its access key reaches the list; the focusable
// controls keep the dialog's tab order.
constexpr ControlSpec kControls[] = {
    {.className = WC_STATICW,
     .text = L"&Items:",
     .style = SS_LEFT,
     .id = frmList::kLblItems,
     .bounds = {120, 120, 2895, 255}},
    {.className = WC_LISTBOXW,
     .style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_USETABSTOPS | LBS_HASSTRINGS,
     .id = frmList::kLstItems,
     .bounds = {120, 360, 2895, 2400},
     .exStyle = WS_EX_CLIENTEDGE},
    {.className = WC_BUTTONW,
     .text = L"&New...",
     .style = kButtonStyle,
     .id = frmList::kCmdNew,
     .bounds = {3120, 360, 1215, 330}},
    {.className = WC_BUTTONW,
     .text = L"&Edit...",
     .style = kButtonStyle | WS_DISABLED,
     .id = frmList::kCmdEdit,
     .bounds = {3120, 780, 1215, 330}},
    {.className = WC_BUTTONW,
     .text = L"&Delete",
     .style = kButtonStyle | WS_DISABLED,
     .id = frmList::kCmdDelete,
     .bounds = {3120, 1200, 1215, 330}},
    {.className = WC_BUTTONW,
     .text = L"Move &Up",
     .style = kButtonStyle | WS_DISABLED,
     .id = frmList::kCmdMoveUp,
     .bounds = {3120, 1620, 1215, 330}},
    {.className = WC_BUTTONW,
     .text = L"Move D&own",
     .style = kButtonStyle | WS_DISABLED,
     .id = frmList::kCmdMoveDown,
     .bounds = {3120, 2040, 1215, 330}},
    {.className = WC_BUTTONW,
     .text = L"OK",
     .style = WS_TABSTOP | BS_DEFPUSHBUTTON,
     .id = frmList::kCmdOk,
     .bounds = {1800, 3120, 1215, 330}},
    {.className = WC_BUTTONW,
     .text = L"Cancel",
     .style = kButtonStyle,
     .id = frmList::kCmdCancel,
     .bounds = {3120, 3120, 1215, 330}},
};

// Line1, above the OK and Cancel row.
constexpr LineSpec kLines[] = {{.x1 = 120, .y1 = 2940, .x2 = 4320, .y2 = 2940}};

constexpr DialogSpec kSpec{.title = L"List",
                           .clientWidth = 4455,
                           .clientHeight = 3585,
                           .controls = kControls,
                           .lines = kLines};

}  // namespace

frmList::frmList(Application& app, ListEditorServices services)
    : ModalDialog(DialogKind::List, kSpec),
      services_(std::move(services)),
      logic_(*this, app),
      dropTarget_(&TakesDrop,
                  [this](const DropTarget::Texts& texts, POINT at) { lstItems_Drop(texts, at); }) {}

frmList::~frmList() = default;

void frmList::OnLoad() {
    logic_.Form_Load();
    dropTarget_.Register(Item(kLstItems));
}

void frmList::OnUnload() {
    dropTarget_.Revoke();
    logic_.Form_Unload();
}

bool frmList::TakesDrop(const DropTarget::Texts& texts) {
    return !texts.empty() && std::ranges::all_of(texts, [](const std::string& text) {
        return ItemForDrop(text).has_value();
    });
}

void frmList::lstItems_Drop(const DropTarget::Texts& texts, POINT screen) {
    std::vector<LaunchItem> items;
    for (const auto& text : texts) items.push_back(*ItemForDrop(text));
    // LBItemFromPt's answer: the entry under the point, or -1 below the last.
    logic_.ItemsDropped(items, LBItemFromPt(Item(kLstItems), screen, FALSE));
}

void frmList::OnCommand(int id, int code, HWND) {
    if (id == kLstItems) {
        if (code == LBN_SELCHANGE) logic_.lstItems_Click();
        if (code == LBN_DBLCLK && Selection() >= 0) logic_.lstItems_DblClick();
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case kCmdNew:
            return logic_.cmdNew_Click();
        case kCmdEdit:
            return logic_.cmdEdit_Click();
        case kCmdDelete:
            return logic_.cmdDelete_Click();
        case kCmdMoveUp:
            return logic_.cmdMoveUp_Click();
        case kCmdMoveDown:
            return logic_.cmdMoveDown_Click();
        case kCmdOk:
            return logic_.cmdOK_Click();
        case kCmdCancel:
            return logic_.cmdCancel_Click();
        default:
            return;
    }
}

void frmList::ClearEntries() {
    SendMessageW(Item(kLstItems), LB_RESETCONTENT, 0, 0);
}

void frmList::InsertEntry(int position, const std::string& text) {
    SendMessageW(Item(kLstItems), LB_INSERTSTRING, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(ToWide(text).c_str()));
}

void frmList::SetEntry(int position, const std::string& text) {
    const int selection = Selection();
    SendMessageW(Item(kLstItems), LB_DELETESTRING, static_cast<WPARAM>(position), 0);
    InsertEntry(position, text);
    if (selection == position) SetSelection(position);
}

void frmList::RemoveEntry(int position) {
    SendMessageW(Item(kLstItems), LB_DELETESTRING, static_cast<WPARAM>(position), 0);
}

int frmList::EntryCount() const {
    const LRESULT count = SendMessageW(Item(kLstItems), LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

int frmList::Selection() const {
    const LRESULT selection = SendMessageW(Item(kLstItems), LB_GETCURSEL, 0, 0);
    return selection == LB_ERR ? -1 : static_cast<int>(selection);
}

void frmList::SetSelection(int position) {
    SendMessageW(Item(kLstItems), LB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

void frmList::EnableButton(int id, bool enabled) const {
    HWND button = Item(id);
    // A button that goes grey hands the focus on, or the keyboard would have nowhere to be.
    if (!enabled && GetFocus() == button) SendMessageW(Hwnd(), WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(button, enabled);
}

void frmList::EnableButtons(const ListButtons& buttons) {
    EnableButton(kCmdEdit, buttons.edit);
    EnableButton(kCmdDelete, buttons.del);
    EnableButton(kCmdMoveUp, buttons.moveUp);
    EnableButton(kCmdMoveDown, buttons.moveDown);
}

bool frmList::EditItem(LaunchItem& item) {
    if (!itemEditor_) {
        ItemEditorServices services;
        services.getKeyValue = services_.getKeyValue;
        services.shell = services_.shell.get();
        services.extraIconNames = services_.extraIconNames;
        itemEditor_ = std::make_unique<frmLaunchItem>(std::move(services));
    }
    frmLaunchItem& editor = *itemEditor_;
    editor.Item() = item;
    editor.ShowModal(Hwnd());
    if (!editor.OkClicked()) return false;
    item = editor.Item();
    return true;
}

void frmList::ShowError(const std::string& text) {
    ShowUserMessage(Hwnd(), text, MB_OK | MB_ICONERROR);
}

void frmList::RestorePosition() {
    if (services_.settings) {
        RestoreFormPosition(Hwnd(), std::string(kSection), false, *services_.settings);
    }
}

void frmList::SavePosition() {
    if (services_.settings) SaveFormPosition(Hwnd(), std::string(kSection), *services_.settings);
}

void frmList::CloseWindow() {
    EndDialog();
}

}  // namespace trayhound
