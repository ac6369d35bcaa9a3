// Small helpers shared by the Windows-side tests.
#pragma once

#include <windows.h>

#include <string>

#include "win32kit/text_codec.h"

namespace tockly::wintest {

// A folder of its own under the system's temporary folder, removed afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name) {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        path_ = win32kit::narrow(temp) + "tockly-" + name + "-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryW(win32kit::widen(path_).c_str(), nullptr);
    }
    ~ScratchFolder() {
        const std::wstring pattern = win32kit::widen(path_) + L"*";
        WIN32_FIND_DATAW data;
        HANDLE h = FindFirstFileW(pattern.c_str(), &data);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring file = win32kit::widen(path_) + data.cFileName;
                SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(file.c_str());
            } while (FindNextFileW(h, &data));
            FindClose(h);
        }
        RemoveDirectoryW(win32kit::widen(path_).c_str());
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// The project's source folder as a Windows path (Wine maps / to Z:\).
inline std::string source_path(const std::string& relative) {
    std::string root = TOCKLY_SOURCE_DIR;
    for (auto& c : root) if (c == '/') c = '\\';
    return "Z:" + root + "\\" + relative;
}

}  // namespace tockly::wintest
