// The yardstick for start-up time, memory and the time from a click to the menu: a program that
// only creates a hidden window, adds a tray icon and, as the left button is released on it,
// shows a popup menu of the entries named in the file given on its command line (one a line,
// UTF-8, "-" a separator line). It ends when asked to through a WM_CLOSE to its window.
#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <string>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
HMENU menu = nullptr;

void LoadMenu(const wchar_t* path) {
    menu = CreatePopupMenu();
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        if (line == "-") {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring text(line.size(), L'\0');
        text.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), text.data(),
                                static_cast<int>(text.size()))));
        AppendMenuW(menu, MF_STRING, 1, text.c_str());
    }
}

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == kTrayMessage && LOWORD(lParam) == WM_LBUTTONUP && menu) {
        POINT at{};
        GetCursorPos(&at);
        SetForegroundWindow(hwnd);
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, hwnd, nullptr);
        PostMessageW(hwnd, WM_NULL, 0, 0);
        return 0;
    }
    if (message == WM_DESTROY) {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = hwnd;
        data.uID = 1;
        Shell_NotifyIconW(NIM_DELETE, &data);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    if (commandLine && *commandLine) LoadMenu(commandLine);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"MinimalTrayWindow";
    RegisterClassExW(&windowClass);
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"MinimalTray",
                                WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(data.szTip, L"MinimalTray", ARRAYSIZE(data.szTip));
    if (!Shell_NotifyIconW(NIM_ADD, &data)) return 2;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
