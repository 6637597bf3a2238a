#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "CaughtError.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound::winetest {

using UniqueHwnd = UniqueHandleOf<HWND, &DestroyWindow>;

// Wine hands out process ids again at once, and a killed test leaves its keys and folders
// behind: names are random.
inline std::wstring UniqueName() {
    return L"Trayhound-" + std::to_wstring(std::random_device{}());
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::ssize(bytes));
}

struct ScratchFolder {
    ScratchFolder() { std::filesystem::create_directory(path); }
    ~ScratchFolder() { std::filesystem::remove_all(path, std::error_code() = {}); }
    std::wstring operator/(std::wstring_view name) const { return (path / name).wstring(); }

    // The files and folders in it by relative name, with each file's bytes.
    std::map<std::wstring, std::string> Snapshot() const {
        std::map<std::wstring, std::string> contents;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
            std::ifstream file(entry.path(), std::ios::binary);
            contents[entry.path().lexically_relative(path).wstring()] =
                entry.is_directory() ? "<folder>" : std::string(std::istreambuf_iterator(file), {});
        }
        return contents;
    }

    const std::filesystem::path path = std::filesystem::temp_directory_path() / UniqueName();
};

// Dispatches this thread's messages until `done()` holds; false when `limit` passed first.
bool PumpUntil(auto done, std::chrono::milliseconds limit) {
    for (const auto end = std::chrono::steady_clock::now() + limit; !done(); Sleep(10)) {
        if (std::chrono::steady_clock::now() > end) return false;
        for (MSG m; PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&m);
    }
    return true;
}

}  // namespace trayhound::winetest
