// A small look from inside Wine for the shell end-to-end tests: prints the
// texts of windows that X cannot show as text (UTF-8, one per line).
//
//   probe_windows texts TITLE      child texts of the top-level window with that title
//   probe_windows tooltips         texts of the visible tooltip windows
//   probe_windows exists TITLE     exit status 0 when a visible window has that title
//   probe_windows ok TITLE         presses OK on the message box with that title
//   probe_windows notice           texts of the clock's visible notice bands
//   probe_windows client           "X Y" of the clock's client area on the screen
//   probe_windows menu             the open popup menu, one item a line:
//                                  "INDEX STATE CAPTION", STATE being a word of
//                                  g (greyed), c (checked), p (sub-menu),
//                                  h (highlighted) or -;
//                                  separators are left out, INDEX counts only
//                                  the items the arrow keys stop on
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

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

int print_menu() {
    const auto items = open_menu_items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::string state;
        if (items[i].greyed) state += 'g';
        if (items[i].checked) state += 'c';
        if (items[i].submenu) state += 'p';
        if (items[i].highlighted) state += 'h';
        std::printf("%zu %s %s\n", i, state.empty() ? "-" : state.c_str(), utf8(items[i].caption).c_str());
    }
    return items.empty() ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"texts" && argc >= 3) {
        // A message box or dialog of that title (the clock window has the same caption).
        for (HWND hwnd : top_level_windows()) {
            if (window_text(hwnd) != argv[2] || !IsWindowVisible(hwnd) || class_of(hwnd) != L"#32770") continue;
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
    if (command == L"ok" && argc >= 3) {
        // Presses OK on a message box of that title.
        for (HWND hwnd : top_level_windows()) {
            if (window_text(hwnd) != argv[2] || class_of(hwnd) != L"#32770") continue;
            PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
            return 0;
        }
        return 1;
    }
    if (command == L"client") {
        HWND clock = FindWindowW(L"TocklyForm1", nullptr);
        if (!clock) return 1;
        POINT origin{0, 0};
        ClientToScreen(clock, &origin);
        std::printf("%ld %ld\n", origin.x, origin.y);
        return 0;
    }
    if (command == L"menu") return print_menu();
    if (command == L"notice") {
        int shown = 0;
        for (HWND hwnd : top_level_windows()) {
            if (class_of(hwnd) != L"TocklyTiShiChuang" || !IsWindowVisible(hwnd)) continue;
            for (const auto& text : child_texts(hwnd)) std::printf("%s\n", utf8(text).c_str());
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
