// Tockly.exe: loading Form1 starts the program.
#include <windows.h>
#include <ole2.h>

#include "form1.h"
#include "startup.h"
#include "win32_ports.h"

using namespace tockly;

namespace {

FaceTexts texts_of_now(const TimeFormat& format) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const int seconds = now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
    return face_texts(now.wYear, now.wMonth, now.wDay, now.wDayOfWeek == 0 ? 7 : now.wDayOfWeek,
                      format_time_of_day(seconds, format));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    OleInitialize(nullptr);
    if (!win::Form1::register_class(instance)) return 1;

    // A hidden owner keeps the clock off the taskbar.
    HWND owner = CreateWindowExW(0, L"STATIC", L"Tockly", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    win::Form1 form1;
    if (!form1.create(instance, owner)) return 1;

    win::Win32ProfileStore profile;
    win::Win32MessageBoxes boxes;
    win::Win32FileSystem files;
    win::Win32Resources resources;
    const TimeFormat time_format = win::regional_time_format();
    form1.set_texts(texts_of_now(time_format));
    const StartupResult started = Form_Load(
        {profile, boxes, files, resources, form1, time_format, win::screen_metrics()}, win::program_folder());
    (void)started;

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyWindow(owner);
    OleUninitialize();
    return 0;
}
