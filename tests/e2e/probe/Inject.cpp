// Loads the test probe into a running program: th-inject <exe name> <probe dll path>.
#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>

namespace {

int Fail(const char* what) {
    std::fprintf(stderr, "th-inject: %s failed (%lu)\n", what, GetLastError());
    return 1;
}

DWORD FindProcess(const wchar_t* exeName) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName) == 0) found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return Fail("reading the arguments");
    const DWORD pid = FindProcess(argv[1]);
    const HANDLE process = pid ? OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid) : nullptr;
    if (!process) return Fail("opening the process");
    const SIZE_T bytes = (std::wcslen(argv[2]) + 1) * sizeof(wchar_t);
    void* remote =
        VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(process, remote, argv[2], bytes, nullptr)) {
        return Fail("writing the probe path");
    }
    auto* loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    const HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr);
    if (!thread) return Fail("CreateRemoteThread");
    WaitForSingleObject(thread, 10000);
    DWORD loaded = 0;
    GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return loaded ? 0 : Fail("LoadLibraryW in the program");
}
