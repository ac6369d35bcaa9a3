// Tockly.exe: loading Form1 starts the program.
#include <windows.h>
#include <ole2.h>

#include "background_work.h"
#include "clock_commands.h"
#include "duishi_window.h"
#include "form1.h"
#include "form2_window.h"
#include "monitors.h"
#include "nongli_host.h"
#include "registry_port.h"
#include "single_instance.h"
#include "settings_keys.h"
#include "settings_replace.h"
#include "text_codec.h"
#include "startup.h"
#include "tick.h"
#include "test_hooks.h"
#include "mci_port.h"
#include "message_boxes.h"
#include "module_resources.h"
#include "profile_store.h"
#include "shell_execute.h"
#include "wall_clock.h"
#include "module_file.h"
#include "tishi.h"
#include "tishi_window.h"
#include "time_guard.h"
#include "time_guard_host.h"
#include "time_guard_ports.h"
#include "file_system.h"

using namespace tockly;

namespace {

FaceTexts texts_of_now(const TimeFormat& format) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const int seconds = now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
    return face_texts(now.wYear, now.wMonth, now.wDay, now.wDayOfWeek == 0 ? 7 : now.wDayOfWeek,
                      format_time_of_day(seconds, format));
}

// The executable's file name without its extension.
std::string executable_name() {
    std::wstring name = win32kit::module_path();
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return win32kit::narrow(name.substr(0, name.find_last_of(L'.')));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything reads or tidies the settings file: a second start only
    // brings the user's running clock forward.
    win::SingleInstance one_clock;
    if (!one_clock.acquire_or_hand_over()) return 0;
    // First of all the objects here after that, so it ends last: the lunar
    // control, the pictures and every other COM object are released before OLE goes.
    const win32kit::OleSession ole;
    if (!win::Form1::register_class(instance) || !win::TiShiWindow::register_class(instance) ||
        !win::DuiShiWindow::register_class(instance))
        return 1;

    // A hidden owner keeps the clock off the taskbar.
    HWND owner = CreateWindowExW(0, L"STATIC", L"Tockly", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    win::Form1 form1;
    if (!form1.create(instance, owner)) return 1;

    // Every change of the settings file replaces it whole; a copy that a
    // crash left half-written goes before anything reads the file.
    win::ReplacingProfileStore profile;
    std::string folder = win::program_folder();
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    win::remove_leftover_replacement(folder + std::string(ini::file_name));
    win::Win32MessageBoxes boxes;
    win::Win32FileSystem files;
    win::Win32Resources resources;
    win::Win32AnsiCodec codec;
    win::Win32Mci mci;
    win::Win32Shell shell(form1.hwnd());
    win::Win32WallClock wall_clock;
    const ScreenMetrics screen = win::screen_metrics();
    // The one notice window, created on first use by its model.
    win::TiShiWindow notice_window(instance, screen);
    TiShiChuang notice(notice_window, screen);
    notice_window.attach(notice);
    win::Win32ClockMonitor clock_monitor(form1.hwnd());
    notice.set_clock_monitor(&clock_monitor);

    const TimeFormat time_format = win::regional_time_format();
    form1.set_texts(texts_of_now(time_format));

    // The time guard: the network check of start-up and of minute 4, the time
    // page at minute 5, the time-check dialog.
    const win::TestHooks hooks = win::read_test_hooks();
    const auto connection = win::make_connection_state(hooks);
    win::Win32EchoService echo;
    win::WinHttpClient http;
    win::Win32TimeZone time_zone;
    win::Win32MonotonicClock monotonic;
    const WebTimePorts web_time{http, time_zone, monotonic, time_format};
    win::Win32ClockSetter clock_setter;
    win::ClockTimeGuard time_guard_window;
    // Start-up waits for its network check; the hourly steps and the
    // correction wait on a worker so that the face keeps its seconds.
    TimeGuardPorts time_guard_ports{*connection, echo,  {profile, boxes},  web_time,
                                    wall_clock,  resources, files, time_guard_window};
    TimeGuardStartupCheck startup_network_check(time_guard_ports);
    win::WorkerBackground background(instance);
    time_guard_ports.background = &background;

    // Start with Windows: the check mark comes from the registry.
    win::Win32Registry registry;
    RegistryAccess registry_access{registry, codec};
    StartupResult started = Form_Load({profile, boxes, files, resources, form1, notice, time_format, screen,
                                       &startup_network_check, &registry_access},
                                      win::program_folder());
    ClockTick tick({wall_clock, mci, files, codec, notice, shell, form1, time_format}, started.globals,
                   started.checks);

    win::DuiShiWindow time_check_dialog(
        instance, owner,
        {profile, resources, files, web_time, clock_setter, started.globals.settings_path(), &background});
    time_guard_window.attach(time_check_dialog, tick);
    TimeGuardSteps time_guard_steps(time_guard_ports, started.globals, started.checks, started.network_items);
    win::ShiftedHourlySteps shifted_steps(time_guard_steps, hooks.clock_offset_seconds);
    tick.set_hourly_steps(&shifted_steps);
    form1.start_timer1(tick);

    // The settings dialog works on the same globals as the tick.
    win::TiShiCaptionNotice caption_notice(notice);
    win::Form2Window form2(instance, {profile, boxes, resources, files, form1, caption_notice, time_format, screen},
                           started.globals);

    // NongLi, the lunar control, sits right of the face where it is never seen.
    win::NongLiHost nongli;
    const TwipsScale scale = screen.scale();
    const RECT nongli_place{scale.to_px(3090), scale.to_px(60), scale.to_px(3090 + 4350), scale.to_px(60 + 3525)};
    nongli.create(form1.hwnd(), nongli_place, started.globals.ChengXuLuJing);

    win::ClockCommands commands({{profile, boxes}, registry_access, boxes, shell, notice, form1, form2, tick, nongli},
                                started.globals, started.checks, started.network_items,
                                autostart_command(started.globals, executable_name()));
    form1.set_commands(&commands);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyWindow(owner);
    return 0;
}
