// A small look from inside Wine for the shell end-to-end tests: prints the
// texts of windows that X cannot show as text (UTF-8, one per line).
//
//   probe_windows texts TITLE      child texts of the top-level window with that title
//   probe_windows tooltips         texts of the visible tooltip windows
//   probe_windows exists TITLE     exit status 0 when a visible window has that title
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e_support.h"

using namespace tockly::e2e;

namespace {

std::vector<HWND> top_level_windows() {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring class_of(HWND hwnd) {
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    return name;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"texts" && argc >= 3) {
        for (HWND hwnd : top_level_windows()) {
            if (window_text(hwnd) != argv[2] || !IsWindowVisible(hwnd)) continue;
            for (const auto& text : child_texts(hwnd)) std::printf("%s\n", utf8(text).c_str());
            return 0;
        }
        return 1;
    }
    if (command == L"tooltips") {
        int shown = 0;
        for (HWND hwnd : top_level_windows()) {
            if (class_of(hwnd) != L"tooltips_class32" || !IsWindowVisible(hwnd)) continue;
            std::printf("%s\n", utf8(window_text(hwnd)).c_str());
            ++shown;
        }
        return shown ? 0 : 1;
    }
    if (command == L"exists" && argc >= 3) {
        for (HWND hwnd : top_level_windows())
            if (window_text(hwnd) == argv[2] && IsWindowVisible(hwnd)) return 0;
        return 1;
    }
    return 2;
}
