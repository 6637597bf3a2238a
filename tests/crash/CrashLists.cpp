#include "CrashLists.h"

#include "ProgramLists.h"
#include "items/DataFile.h"

#ifdef _WIN32
#include <windows.h>

#include "support/win32/Win32FileSystem.h"
#else
#include "support/StdFileSystem.h"
#endif

namespace trayhound::crash {

LaunchItems OldList(int count) {
    return ProgramList(count, "Caf\xC3\xA9");
}

LaunchItems NewList(int count) {
    LaunchItems items;
    for (int i = 0; i < count - count / 20; ++i) {
        const std::string n = std::to_string(i);
        items.Add("\xCE\xA9mega " + n, "https://example.org/" + n, (i + 1) % 6, -1);
    }
    return items;
}

std::string FileBytes(const LaunchItems& items) {
    DataFileWriter writer;
    for (const auto& item : items) item->Save(writer);
    return std::move(writer).Encode(kCodec);
}

void SaveRepeatedly(const LaunchItems& newList, const LaunchItems& oldList, const std::string& path,
                    bool once) {
    const auto fileSystem = PlatformFileSystem();
    for (bool newer = true;; newer = !newer) {
        (newer ? newList : oldList).Save(path, *fileSystem, kCodec);
        if (once) return;
    }
}

std::unique_ptr<FileSystem> PlatformFileSystem() {
#ifdef _WIN32
    return std::make_unique<Win32FileSystem>();
#else
    return std::make_unique<StdFileSystem>();
#endif
}

#ifdef _WIN32
std::filesystem::path SaverPath() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::wstring(path, length)).parent_path() / "crash_saver.exe";
}
#endif

}  // namespace trayhound::crash
