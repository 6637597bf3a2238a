// The start-up bench's hands inside the Wine session. It finds a running program by the class of
// its main window and either asks it to end or reports its memory as Windows counts it.
//
//   window_tool close <window class>   posts WM_CLOSE to the window
//   window_tool memory <window class>  prints "<private bytes> <working set bytes>"
//   window_tool gdi <window class>     prints the process's count of GDI objects
//
// Exit code 0 on success, 1 when no such window exists, 2 for a bad command line, 3 when the
// process cannot be asked.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string_view>

namespace {

int Close(HWND window) {
    return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 3;
}

int Memory(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return 3;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    const BOOL read = GetProcessMemoryInfo(
        process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    CloseHandle(process);
    if (!read) return 3;
    std::printf("%llu %llu\n", static_cast<unsigned long long>(counters.PrivateUsage),
                static_cast<unsigned long long>(counters.WorkingSetSize));
    return 0;
}

int GdiObjects(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return 3;
    std::printf("%lu\n", GetGuiResources(process, GR_GDIOBJECTS));
    CloseHandle(process);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const std::wstring_view command = argv[1];
    const HWND window = FindWindowW(argv[2], nullptr);
    if (!window) return 1;
    if (command == L"close") return Close(window);
    if (command == L"memory") return Memory(window);
    if (command == L"gdi") return GdiObjects(window);
    return 2;
}
