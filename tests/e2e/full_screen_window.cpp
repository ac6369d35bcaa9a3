// A program in front that covers the whole primary monitor, as a video
// player or a game in full screen does: a plain (not top-most) borderless
// window that takes the foreground. It ends when its window is closed, or
// after two minutes should a test leave it behind.
#include <windows.h>

namespace {

constexpr wchar_t class_name[] = L"TocklyE2EFullScreen";
constexpr UINT_PTR give_up_timer = 1;

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_TIMER:
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = class_name;
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, class_name, L"e2e full screen", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                instance, nullptr);
    if (!hwnd) return 1;
    SetForegroundWindow(hwnd);
    SetTimer(hwnd, give_up_timer, 120000, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
