// menu_reader.dll: run in the clock's own process by the end-to-end tests
// (a thread started there on read_menu), it reads a menu of that process.
#include "tests/e2e/menu_reader.h"

using tockly::e2e::MenuReading;
using tockly::e2e::menu_reading_capacity;

extern "C" __declspec(dllexport) DWORD WINAPI read_menu(void* parameter) {
    auto* reading = static_cast<MenuReading*>(parameter);
    const int count = GetMenuItemCount(reading->menu);
    if (count < 0) return 1;
    reading->count = 0;
    for (int i = 0; i < count && reading->count < menu_reading_capacity; ++i) {
        auto& item = reading->items[reading->count];
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = item.caption;
        info.cch = sizeof item.caption / sizeof item.caption[0] - 1;
        item.caption[0] = 0;
        if (!GetMenuItemInfoW(reading->menu, static_cast<UINT>(i), TRUE, &info)) return 1;
        item.type = info.fType;
        item.state = info.fState;
        item.submenu = info.hSubMenu != nullptr;
        ++reading->count;
    }
    return 0;
}
