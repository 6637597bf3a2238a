// Test probe, loaded into a running Trayhound.exe by the end-to-end driver. Under Wine another
// process cannot read a program's menus, so the probe answers from inside: it serves requests
// written as files into a folder shared with the test, one at a time.
//
// Requests (first line of request.txt; the answer goes to response.txt, written atomically):
//   menu                      the open popup menus: entries with text, kind, default, picture
//   windows                   the process's visible top-level windows (owner, foreground) and
//                             their controls (screen rectangles, enabled and focus state, lists)
//   click <hwnd>              presses a button as a user would (posted, never sent)
//   settext <hwnd> <text>     replaces an edit box's text (typing)
//   lbselect <hwnd> <index>   selects a list-box entry and tells the owner
//   cbselect <hwnd> <index>   selects a combo-box entry and tells the owner
//   lbdblclk <hwnd>           double-clicks the selected list-box entry
//   key <hwnd> <vk>           a key press sent to a window
//   close <hwnd>              the title bar's close box
//   clipboard                 the clipboard's text
//   drop <hwnd> <x> <y> files <path>|<path>...   a drop of files on the window at a screen point,
//   drop <hwnd> <x> <y> text <text>              or of a text, through its real drop target
//   hold <modifiers> <vk>     holds a hotkey from another thread, as another program would
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
#include <vector>

namespace {

constexpr wchar_t kExchangeFolder[] = L"C:\\trayhound-probe";

std::string Utf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), length, nullptr, nullptr);
    return out;
}

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), length);
    return out;
}

std::string Json(std::wstring_view text) {
    std::string out = "\"";
    for (const char c : Utf8(text)) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string Handle(HWND hwnd) {
    return std::to_string(reinterpret_cast<std::uintptr_t>(hwnd));
}

HWND ParseHandle(const std::string& text) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::stoull(text)));
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    // Sent across threads of the same process; the owner's UI thread answers it.
    DWORD_PTR length = 0;
    SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, &length);
    return buffer;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

std::vector<HWND> ProcessTopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == GetCurrentProcessId())
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string DescribeMenu(HWND menuWindow) {
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    std::ostringstream out;
    out << "{\"hwnd\":" << Handle(menuWindow) << ",\"items\":[";
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask =
            MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_BITMAP | MIIM_CHECKMARKS | MIIM_ID;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        RECT rect{};
        GetMenuItemRect(menuWindow, menu, static_cast<UINT>(i), &rect);
        const bool picture = info.hbmpItem != nullptr || info.hbmpUnchecked != nullptr;
        out << (i ? "," : "") << "{\"index\":" << i << ",\"id\":" << info.wID
            << ",\"separator\":" << ((info.fType & MFT_SEPARATOR) ? "true" : "false")
            << ",\"default\":" << ((info.fState & MFS_DEFAULT) ? "true" : "false")
            << ",\"disabled\":" << ((info.fState & MFS_DISABLED) ? "true" : "false")
            << ",\"selected\":" << ((info.fState & MFS_HILITE) ? "true" : "false")
            << ",\"picture\":" << (picture ? "true" : "false") << ",\"text\":" << Json(text)
            << ",\"rect\":[" << rect.left << "," << rect.top << "," << rect.right << ","
            << rect.bottom << "]}";
    }
    out << "]}";
    return out.str();
}

std::string Menus() {
    std::ostringstream out;
    out << "[";
    bool first = true;
    for (HWND hwnd : ProcessTopLevelWindows()) {
        if (ClassName(hwnd) != L"#32768" || !IsWindowVisible(hwnd)) continue;
        out << (first ? "" : ",") << DescribeMenu(hwnd);
        first = false;
    }
    out << "]";
    return out.str();
}

std::string ListEntries(HWND hwnd, UINT countMessage, UINT lengthMessage, UINT textMessage) {
    std::ostringstream out;
    out << "[";
    const auto count = SendMessageW(hwnd, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(hwnd, lengthMessage, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(hwnd, textMessage, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        out << (i ? "," : "") << Json(text);
    }
    out << "]";
    return out.str();
}

std::string JsonRect(const RECT& rect) {
    std::ostringstream out;
    out << "[" << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom << "]";
    return out.str();
}

// The probe runs on its own thread, where GetFocus answers for that thread only: ask the
// window's own user-interface thread.
HWND FocusOf(HWND hwnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) ? info.hwndFocus
                                                                            : nullptr;
}

// Screen rectangles of a list box's entries, for clicking them with the real mouse.
std::string ListItemRects(HWND hwnd) {
    std::ostringstream out;
    out << "[";
    const auto count = SendMessageW(hwnd, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        RECT rect{};
        SendMessageW(hwnd, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        out << (i ? "," : "") << JsonRect(rect);
    }
    out << "]";
    return out.str();
}

std::string DescribeControl(HWND hwnd) {
    const std::wstring className = ClassName(hwnd);
    // A combo box counts as focused while its edit field has the focus.
    const HWND focus = FocusOf(hwnd);
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    std::ostringstream out;
    out << "{\"hwnd\":" << Handle(hwnd) << ",\"class\":" << Json(className)
        << ",\"id\":" << GetDlgCtrlID(hwnd) << ",\"text\":" << Json(WindowText(hwnd))
        << ",\"visible\":" << (IsWindowVisible(hwnd) ? "true" : "false")
        << ",\"enabled\":" << (IsWindowEnabled(hwnd) ? "true" : "false") << ",\"focused\":"
        << ((focus == hwnd || (focus && GetParent(focus) == hwnd)) ? "true" : "false")
        << ",\"rect\":" << JsonRect(rect);
    const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
    out << ",\"style\":" << style;
    if (_wcsicmp(className.c_str(), L"ListBox") == 0) {
        out << ",\"selected\":" << SendMessageW(hwnd, LB_GETCURSEL, 0, 0)
            << ",\"entries\":" << ListEntries(hwnd, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT)
            << ",\"item_rects\":" << ListItemRects(hwnd);
    } else if (_wcsicmp(className.c_str(), L"ComboBox") == 0) {
        out << ",\"selected\":" << SendMessageW(hwnd, CB_GETCURSEL, 0, 0)
            << ",\"entries\":" << ListEntries(hwnd, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
    } else if (_wcsicmp(className.c_str(), L"Button") == 0) {
        out << ",\"default\":" << (((style & 0x0F) == BS_DEFPUSHBUTTON) ? "true" : "false")
            << ",\"checked\":"
            << (SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? "true" : "false");
    } else if (_wcsicmp(className.c_str(), HOTKEY_CLASSW) == 0) {
        out << ",\"hotkey\":" << SendMessageW(hwnd, HKM_GETHOTKEY, 0, 0);
    }
    out << "}";
    return out.str();
}

std::string Windows() {
    std::ostringstream out;
    out << "[";
    bool first = true;
    for (HWND hwnd : ProcessTopLevelWindows()) {
        if (!IsWindowVisible(hwnd)) continue;
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        out << (first ? "" : ",") << "{\"hwnd\":" << Handle(hwnd)
            << ",\"class\":" << Json(ClassName(hwnd)) << ",\"title\":" << Json(WindowText(hwnd))
            << ",\"enabled\":" << (IsWindowEnabled(hwnd) ? "true" : "false")
            << ",\"foreground\":" << (GetForegroundWindow() == hwnd ? "true" : "false")
            << ",\"owner\":" << Handle(GetWindow(hwnd, GW_OWNER)) << ",\"rect\":" << JsonRect(rect)
            << ",\"controls\":[";
        std::vector<HWND> children;
        EnumChildWindows(
            hwnd,
            [](HWND child, LPARAM param) -> BOOL {
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&children));
        for (std::size_t i = 0; i < children.size(); ++i) {
            out << (i ? "," : "") << DescribeControl(children[i]);
        }
        out << "]}";
        first = false;
    }
    out << "]";
    return out.str();
}

std::string Clipboard() {
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = locked;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return "{\"text\":" + Json(text) + "}";
}

void NotifyOwner(HWND control, WORD code) {
    PostMessageW(GetParent(control), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code),
                 reinterpret_cast<LPARAM>(control));
}

// A data object with files (CF_HDROP) or a text (CF_UNICODETEXT), as Explorer and browsers give.
class DataObject final : public IDataObject {
  public:
    DataObject(std::vector<std::wstring> files, std::wstring text)
        : files_(std::move(files)), text_(std::move(text)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = (id == IID_IUnknown || id == IID_IDataObject) ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        std::vector<char> bytes;
        if (format->cfFormat == CF_HDROP) {
            DROPFILES header{sizeof(DROPFILES), {}, FALSE, TRUE};
            bytes.assign(reinterpret_cast<char*>(&header), reinterpret_cast<char*>(&header + 1));
            for (const auto& file : files_) Append(bytes, file);
            Append(bytes, L"");
        } else {
            Append(bytes, text_);
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->pUnkForRelease = nullptr;
        medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(medium->hGlobal), bytes.data(), bytes.size());
        GlobalUnlock(medium->hGlobal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        const bool files = format->cfFormat == CF_HDROP && !files_.empty();
        const bool text = format->cfFormat == CF_UNICODETEXT && files_.empty();
        return (files || text) && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

  private:
    static void Append(std::vector<char>& bytes, const std::wstring& text) {
        const auto* begin = reinterpret_cast<const char*>(text.c_str());
        bytes.insert(bytes.end(), begin, begin + (text.size() + 1) * sizeof(wchar_t));
    }
    std::vector<std::wstring> files_;
    std::wstring text_;
};

// A drop handed to a window on its own thread: a hook on that thread sees the message below
// and plays DragEnter, DragOver and Drop on the window's registered drop target.
struct PendingDrop {
    HWND window;
    POINTL at;
    DataObject* data;
    DWORD entered = DROPEFFECT_NONE;
    DWORD dropped = DROPEFFECT_NONE;
    bool found = false;
};
const UINT kDropMessage = RegisterWindowMessageW(L"TrayhoundProbeDrop");

LRESULT CALLBACK DropHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == kDropMessage) {
        auto& drop = *reinterpret_cast<PendingDrop*>(message->lParam);
        auto* target = static_cast<IDropTarget*>(GetPropW(drop.window, L"OleDropTargetInterface"));
        if ((drop.found = target != nullptr)) {
            drop.entered = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
            target->DragEnter(drop.data, MK_LBUTTON, drop.at, &drop.entered);
            DWORD over = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
            target->DragOver(MK_LBUTTON, drop.at, &over);
            if (over == DROPEFFECT_NONE) {
                target->DragLeave();
            } else {
                drop.dropped = over;
                target->Drop(drop.data, 0, drop.at, &drop.dropped);
            }
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string Drop(HWND window, std::istringstream& in) {
    POINTL at{};
    std::string kind, payload;
    in >> at.x >> at.y >> kind;
    std::getline(in, payload);
    if (!payload.empty() && payload.front() == ' ') payload.erase(0, 1);
    std::vector<std::wstring> files;
    if (kind == "files") {
        for (std::size_t start = 0; start <= payload.size();) {
            const auto bar = std::min(payload.find('|', start), payload.size());
            files.push_back(Wide(payload.substr(start, bar - start)));
            start = bar + 1;
        }
    }
    DataObject data(files, kind == "text" ? Wide(payload) : std::wstring());
    PendingDrop drop{window, at, &data};
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, DropHook, nullptr,
                                         GetWindowThreadProcessId(window, nullptr));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, kDropMessage, 0, reinterpret_cast<LPARAM>(&drop), SMTO_ABORTIFHUNG,
                        10000, &ignored);
    UnhookWindowsHookEx(hook);
    if (!drop.found) return "{\"error\":\"the window takes no drops\"}";
    return "{\"entered\":" + std::to_string(drop.entered) +
           ",\"dropped\":" + std::to_string(drop.dropped) + "}";
}

std::string Answer(const std::string& request) {
    std::istringstream in(request);
    std::string verb;
    in >> verb;
    if (verb == "menu") return Menus();
    if (verb == "windows") return Windows();
    if (verb == "clipboard") return Clipboard();
    std::string handleText;
    in >> handleText;
    if (handleText.empty()) return "{\"error\":\"missing window\"}";
    const HWND hwnd = ParseHandle(handleText);
    if (verb == "drop") return Drop(hwnd, in);
    if (verb == "click") {
        PostMessageW(hwnd, BM_CLICK, 0, 0);
    } else if (verb == "settext") {
        std::string text;
        std::getline(in, text);
        if (!text.empty() && text.front() == ' ') text.erase(0, 1);
        const std::wstring wide = Wide(text);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                            SMTO_ABORTIFHUNG, 2000, &ignored);
    } else if (verb == "lbselect" || verb == "cbselect") {
        int index = -1;
        in >> index;
        const bool list = verb == "lbselect";
        PostMessageW(hwnd, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        NotifyOwner(hwnd, list ? LBN_SELCHANGE : CBN_SELCHANGE);
    } else if (verb == "lbdblclk") {
        NotifyOwner(hwnd, LBN_DBLCLK);
    } else if (verb == "key") {
        unsigned vk = 0;
        in >> vk;
        PostMessageW(hwnd, WM_KEYDOWN, vk, 1);
        PostMessageW(hwnd, WM_KEYUP, vk, 0xC0000001);
    } else if (verb == "close") {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    } else {
        return "{\"error\":\"unknown request\"}";
    }
    return "{\"ok\":true}";
}

std::filesystem::path InFolder(const wchar_t* name) {
    return std::filesystem::path(kExchangeFolder) / name;
}

DWORD WINAPI Serve(LPVOID) {
    CreateDirectoryW(kExchangeFolder, nullptr);
    const auto requestPath = InFolder(L"request.txt");
    const auto partialPath = InFolder(L"response.tmp");
    const auto responsePath = InFolder(L"response.txt");
    std::ofstream(InFolder(L"ready.txt")) << GetCurrentProcessId();
    for (;;) {
        Sleep(30);
        std::ifstream requestFile(requestPath, std::ios::binary);
        if (!requestFile) continue;
        std::string request((std::istreambuf_iterator<char>(requestFile)), {});
        requestFile.close();
        DeleteFileW(requestPath.c_str());
        while (!request.empty() && (request.back() == '\n' || request.back() == '\r'))
            request.pop_back();
        std::string response;
        try {
            response = Answer(request);
        } catch (const std::exception& e) {
            response = "{\"error\":" + Json(Wide(e.what())) + "}";
        }
        {
            std::ofstream out(partialPath, std::ios::binary | std::ios::trunc);
            out << response;
        }
        MoveFileExW(partialPath.c_str(), responsePath.c_str(), MOVEFILE_REPLACE_EXISTING);
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
