// What the end-to-end tests read of an open popup menu. Wine lets only the
// process that made a menu read it, so menu_reader.dll is loaded into the
// clock's process and its read_menu fills this in there; the caller copies
// it back (see open_menu_items in e2e_support.h).
#pragma once

#include <windows.h>

namespace tockly::e2e {

inline constexpr int menu_reading_capacity = 64;

struct MenuReadingItem {
    wchar_t caption[128];
    UINT type;   // MFT_*
    UINT state;  // MFS_*
    BOOL submenu;
};

struct MenuReading {
    HMENU menu;  // filled in by the caller
    int count;
    MenuReadingItem items[menu_reading_capacity];
};

}  // namespace tockly::e2e
