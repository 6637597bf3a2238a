// Test probe, loaded into a running Trayhound.exe by the end-to-end driver. Under Wine another
// process cannot read a program's menus, so the probe answers from inside: it serves requests
// written as files into a folder shared with the test, one at a time.
//
// Requests (request.txt; the JSON answer goes to response.txt, written atomically):
//   windows                the process's visible top-level windows (owner, foreground, an open
//                          menu's entries) and their controls (screen rectangles, state, lists)
//   clipboard              the clipboard's text
//   hold <modifiers> <vk>  takes a hotkey from the probe's thread, as another program would
//   click|close <hwnd>     presses a button as a user would (posted) | the title bar's close box
//   settext <hwnd> <text>  replaces a field's text (typing)
//   lbselect|cbselect <hwnd> <index>   selects a list or combo box entry and tells the owner
//   lbdblclk <hwnd>                    double-clicks the selected list-box entry
//   drop <hwnd> <x> <y> files <path>|<path>... | text <text>   drops files or a text on the
//                                      window at a screen point, through its real drop target
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

std::wstring Wide(std::string_view utf8) {
    const int size = static_cast<int>(utf8.size());
    std::wstring out(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), static_cast<int>(out.size()));
    return out;
}

// A JSON text written front to back: a comma goes before any value that follows another.
class Json {
  public:
    Json& Open(char bracket) { return Put({&bracket, 1}); }
    Json& Close(char bracket) { return Put({&bracket, 1}, false); }
    Json& Key(std::string_view name) { return Put("\"" + std::string(name) + "\":"); }
    Json& Field(std::string_view name, const auto& value) { return Key(name).Value(value); }
    template <typename T>
    requires std::is_arithmetic_v<T> Json& Value(T value) {
        return Put(std::is_same_v<T, bool> ? (value ? "true" : "false") : std::to_string(value));
    }
    Json& Value(HWND hwnd) { return Value(reinterpret_cast<std::uintptr_t>(hwnd)); }
    Json& Value(const RECT& r) {
        return Open('[').Value(r.left).Value(r.top).Value(r.right).Value(r.bottom).Close(']');
    }
    // Anything but printable ASCII goes as \u escapes of UTF-16 code units.
    Json& Value(std::wstring_view text) {
        std::string quoted = "\"";
        for (const wchar_t c : text) {
            char escaped[8] = {static_cast<char>(c)};
            if (c < 0x20 || c > 0x7e || c == '"' || c == '\\')
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            quoted += escaped;
        }
        return Put(quoted + '"');
    }
    std::string Text() const { return text_; }

  private:
    Json& Put(std::string_view raw, bool separate = true) {
        if (separate && !text_.empty() && !std::strchr("[{:", text_.back())) text_ += ',';
        text_ += raw;
        return *this;
    }
    std::string text_;
};

std::string Error(std::string_view what) {
    return Json().Open('{').Field("error", Wide(what)).Close('}').Text();
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    // Sent across threads of the same process; the owner's UI thread answers it.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

// The visible top-level windows of this process, or all the children of one of them.
std::vector<HWND> Windows(HWND parent = nullptr) {
    std::vector<HWND> found;
    const WNDENUMPROC add = [](HWND hwnd, LPARAM param) -> BOOL {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        const bool child = GetAncestor(hwnd, GA_PARENT) != GetDesktopWindow();
        if (pid == GetCurrentProcessId() && (child || IsWindowVisible(hwnd)))
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
    };
    const auto param = reinterpret_cast<LPARAM>(&found);
    parent ? EnumChildWindows(parent, add, param) : EnumWindows(add, param);
    return found;
}

void DescribeMenu(Json& json, HWND window) {
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    json.Key("items").Open('[');
    for (UINT i = 0; menu && i < static_cast<UINT>(GetMenuItemCount(menu)); ++i) {
        wchar_t text[512] = {};
        GetMenuStringW(menu, i, text, static_cast<int>(std::size(text)), MF_BYPOSITION);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_BITMAP | MIIM_CHECKMARKS;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        RECT rect{};
        GetMenuItemRect(window, menu, i, &rect);
        json.Open('{').Field("text", text).Field("rect", rect);
        json.Field("separator", (info.fType & MFT_SEPARATOR) != 0);
        json.Field("default", (info.fState & MFS_DEFAULT) != 0);
        json.Field("selected", (info.fState & MFS_HILITE) != 0);
        json.Field("picture", info.hbmpItem || info.hbmpUnchecked).Close('}');
    }
    json.Close(']');
}

// A list's selection and entries; for a list box also the entries' screen rectangles, for
// clicking them with the mouse.
void DescribeEntries(Json& json, HWND list, bool listBox) {
    const auto count = SendMessageW(list, listBox ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    const UINT length = listBox ? LB_GETTEXTLEN : CB_GETLBTEXTLEN,
               get = listBox ? LB_GETTEXT : CB_GETLBTEXT;
    json.Field("selected", SendMessageW(list, listBox ? LB_GETCURSEL : CB_GETCURSEL, 0, 0));
    json.Key("entries").Open('[');
    for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
        std::wstring text(SendMessageW(list, length, i, 0) + 1, L'\0');
        SendMessageW(list, get, i, reinterpret_cast<LPARAM>(text.data()));
        json.Value(text.c_str());
    }
    json.Close(']').Key("item_rects").Open('[');
    for (WPARAM i = 0; listBox && i < static_cast<WPARAM>(count); ++i) {
        RECT rect{};
        SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        json.Value(rect);
    }
    json.Close(']');
}

// Opens the window's object with what every window has; the caller adds to it and closes it.
Json& Describe(Json& json, HWND hwnd) {
    wchar_t kind[256] = {};
    GetClassNameW(hwnd, kind, static_cast<int>(std::size(kind)));
    const auto is = [&kind](const wchar_t* name) { return _wcsicmp(kind, name) == 0; };
    // The probe runs on its own thread, where GetFocus answers for that thread only: ask the
    // window's own user-interface thread.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &thread);
    const HWND focus = thread.hwndFocus;
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    json.Open('{').Field("hwnd", hwnd).Field("class", kind).Field("id", GetDlgCtrlID(hwnd));
    json.Field("text", WindowText(hwnd)).Field("rect", rect);
    json.Field("visible", IsWindowVisible(hwnd) != 0).Field("enabled", IsWindowEnabled(hwnd) != 0);
    // A combo box counts as focused while its edit field has the focus.
    json.Field("focused", focus && (focus == hwnd || GetParent(focus) == hwnd));
    if (is(L"ListBox") || is(L"ComboBox")) DescribeEntries(json, hwnd, is(L"ListBox"));
    if (is(L"Button")) json.Field("checked", SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED);
    if (is(HOTKEY_CLASSW)) json.Field("hotkey", SendMessageW(hwnd, HKM_GETHOTKEY, 0, 0));
    if (is(L"#32768")) DescribeMenu(json, hwnd);
    return json;
}

std::string DescribeWindows() {
    Json json;
    json.Open('[');
    for (HWND window : Windows()) {
        Describe(json, window).Field("foreground", GetForegroundWindow() == window);
        json.Field("owner", GetWindow(window, GW_OWNER)).Key("controls").Open('[');
        for (HWND control : Windows(window)) Describe(json, control).Close('}');
        json.Close(']').Close('}');
    }
    return json.Close(']').Text();
}

std::string Clipboard() {
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        const HANDLE data = GetClipboardData(CF_UNICODETEXT);
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) text = locked;
        GlobalUnlock(data);
        CloseClipboard();
    }
    return Json().Open('{').Field("text", text).Close('}').Text();
}

// A drop played on the window's own thread through its registered drop target, with the data
// object of the clipboard that holds the payload, as Explorer gives files (CF_HDROP) and a
// browser an address (text).
struct PendingDrop {
    HWND window;
    POINTL at;
    UINT format;
    HGLOBAL payload;
    DWORD effect = DROPEFFECT_NONE;
};
const UINT kDropMessage = RegisterWindowMessageW(L"TrayhoundProbeDrop");

// Sees the message above on the window's thread and plays DragEnter, DragOver and Drop.
LRESULT CALLBACK DropHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    auto* drop = reinterpret_cast<PendingDrop*>(message->lParam);
    IDataObject* data = nullptr;
    if (code == HC_ACTION && message->message == kDropMessage && OpenClipboard(drop->window)) {
        EmptyClipboard();
        SetClipboardData(drop->format, drop->payload);
        CloseClipboard();
        auto* target = static_cast<IDropTarget*>(GetPropW(drop->window, L"OleDropTargetInterface"));
        if (target && OleGetClipboard(&data) == S_OK) {
            drop->effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
            target->DragEnter(data, MK_LBUTTON, drop->at, &drop->effect);
            drop->effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
            target->DragOver(MK_LBUTTON, drop->at, &drop->effect);
            if (drop->effect == DROPEFFECT_NONE)
                target->DragLeave();
            else
                target->Drop(data, 0, drop->at, &drop->effect);
            data->Release();
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string Drop(HWND window, const std::string& argument) {
    std::istringstream in(argument);
    POINTL at{};
    std::string kind, payload;
    std::getline(in >> at.x >> at.y >> kind >> std::ws, payload);
    const bool files = kind == "files";
    // Files are a list of names that ends with an empty one, after a header.
    const DROPFILES header{sizeof(DROPFILES), {}, FALSE, TRUE};
    std::wstring content = Wide(payload) + std::wstring(2, L'\0');
    if (files) std::replace(content.begin(), content.end(), L'|', L'\0');
    if (files) content.insert(0, sizeof header / sizeof(wchar_t), L'\0');
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, content.size() * sizeof(wchar_t));
    void* bytes = GlobalLock(memory);
    std::memcpy(bytes, content.data(), content.size() * sizeof(wchar_t));
    if (files) std::memcpy(bytes, &header, sizeof header);
    GlobalUnlock(memory);
    PendingDrop drop{window, at, static_cast<UINT>(files ? CF_HDROP : CF_UNICODETEXT), memory};
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, DropHook, nullptr,
                                         GetWindowThreadProcessId(window, nullptr));
    SendMessageTimeoutW(window, kDropMessage, 0, reinterpret_cast<LPARAM>(&drop), SMTO_ABORTIFHUNG,
                        10000, nullptr);
    UnhookWindowsHookEx(hook);
    return Json().Open('{').Field("dropped", drop.effect).Close('}').Text();
}

void NotifyOwner(HWND control, WORD code) {
    const WPARAM notice = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code);
    PostMessageW(GetParent(control), WM_COMMAND, notice, reinterpret_cast<LPARAM>(control));
}

std::string Answer(const std::string& request) {
    std::istringstream in(request);
    std::string verb, argument;
    std::uintptr_t handle = 0;
    UINT modifiers = 0, key = 0;
    in >> verb;
    if (verb == "windows") return DescribeWindows();
    if (verb == "clipboard") return Clipboard();
    if (verb == "hold" && in >> modifiers >> key)
        return RegisterHotKey(nullptr, 1, modifiers, key) ? "{}" : Error("the hotkey is taken");
    if (!(in >> handle)) return Error("a window is missing");
    // One space ends the window; the rest, spaces too, is the argument.
    std::getline(in.ignore(1), argument);
    const auto hwnd = reinterpret_cast<HWND>(handle);
    if (verb == "drop") return Drop(hwnd, argument);
    if (verb == "click") PostMessageW(hwnd, BM_CLICK, 0, 0);
    if (verb == "close") PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (verb == "lbselect") PostMessageW(hwnd, LB_SETCURSEL, std::stoul(argument), 0);
    if (verb == "cbselect") PostMessageW(hwnd, CB_SETCURSEL, std::stoul(argument), 0);
    if (verb == "lbselect") NotifyOwner(hwnd, LBN_SELCHANGE);
    if (verb == "cbselect") NotifyOwner(hwnd, CBN_SELCHANGE);
    if (verb == "lbdblclk") NotifyOwner(hwnd, LBN_DBLCLK);
    if (verb == "settext") {
        SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(argument).c_str()),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
    }
    const auto known = {"click", "close", "lbselect", "cbselect", "lbdblclk", "settext"};
    return std::ranges::find(known, verb) != known.end() ? "{}" : Error("unknown request");
}

DWORD WINAPI Serve(LPVOID) {
    const std::filesystem::path folder = L"C:\\trayhound-probe";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::ofstream(folder / "ready.txt") << GetCurrentProcessId();
    for (;; Sleep(30)) {
        std::ifstream file(folder / "request.txt", std::ios::binary);
        if (!file) continue;
        std::string request((std::istreambuf_iterator<char>(file)), {});
        file.close();
        DeleteFileW((folder / "request.txt").c_str());
        std::string response;
        try {
            response = Answer(request);
        } catch (const std::exception& e) {
            response = Error(e.what());
        }
        std::ofstream(folder / "response.tmp", std::ios::binary) << response;
        MoveFileExW((folder / "response.tmp").c_str(), (folder / "response.txt").c_str(),
                    MOVEFILE_REPLACE_EXISTING);
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        // The thread starts once the loader lock is released.
        if (HANDLE thread = CreateThread(nullptr, 0, Serve, nullptr, 0, nullptr))
            CloseHandle(thread);
    }
    return TRUE;
}
