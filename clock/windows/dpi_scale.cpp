#include "clock/windows/dpi_scale.h"

#include "win32kit/handles.h"

namespace tockly::win {

namespace {

// Looked up at run time: Windows before 10 (1607) and older Wine lack them.
template <typename Function>
Function user32_function(const char* name) {
    static HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int screen_logical_dpi() {
    win32kit::ScopedGetDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    return dpi > 0 ? dpi : design_dpi;
}

}  // namespace

int dpi_for_window(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi_for_window = user32_function<GetDpiForWindowFn>("GetDpiForWindow");
    if (hwnd && get_dpi_for_window)
        if (const UINT dpi = get_dpi_for_window(hwnd); dpi > 0) return static_cast<int>(dpi);
    return screen_logical_dpi();
}

int system_dpi() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto get_dpi_for_system = user32_function<GetDpiForSystemFn>("GetDpiForSystem");
    if (get_dpi_for_system)
        if (const UINT dpi = get_dpi_for_system(); dpi > 0) return static_cast<int>(dpi);
    return screen_logical_dpi();
}

}  // namespace tockly::win
