// Tockly.exe: loading ClockWindow starts the program.
#include <windows.h>
#include <ole2.h>

#include "clock/windows/background_work.h"
#include "clock/windows/clock_commands.h"
#include "clock/windows/time_check_dialog_window.h"
#include "clock/windows/clock_window.h"
#include "clock/windows/alarm_dialog_window.h"
#include "clock/windows/monitors.h"
#include "clock/windows/lunar_control_host.h"
#include "clock/windows/autostart_registry_port.h"
#include "clock/windows/single_instance.h"
#include "clock/support/settings_keys.h"
#include "clock/windows/settings_replace.h"
#include "clock/support/settings_file.h"
#include "win32kit/text_codec.h"
#include "clock/model/startup.h"
#include "clock/model/tick.h"
#include "clock/windows/test_hooks.h"
#include "clock/windows/mci_port.h"
#include "clock/windows/message_boxes.h"
#include "clock/windows/module_resources.h"
#include "clock/windows/profile_store.h"
#include "clock/windows/shell_execute.h"
#include "clock/windows/wall_clock.h"
#include "win32kit/module_file.h"
#include "clock/model/notice_band_model.h"
#include "clock/windows/notice_band_window.h"
#include "clock/model/time_guard.h"
#include "clock/windows/time_guard_host.h"
#include "clock/windows/time_guard_ports.h"
#include "clock/windows/file_system.h"
#include "clock/windows/regional_time_format.h"
#include "clock/windows/screen_metrics.h"

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
    if (!win::ClockWindow::register_class(instance) || !win::NoticeBandWindow::register_class(instance) ||
        !win::TimeCheckDialogWindow::register_class(instance))
        return 1;

    // A hidden owner keeps the clock off the taskbar.
    HWND owner = CreateWindowExW(0, L"STATIC", L"Tockly", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    win::ClockWindow clock_window;
    if (!clock_window.create(instance, owner)) return 1;

    // Every change of the settings file replaces it whole; a copy that a
    // crash left half-written goes before anything reads the file.
    win::Win32ProfileStore profile;
    const std::string folder = win32kit::narrow(win32kit::module_folder());
    win::remove_leftover_replacement(folder + std::string(ini::file_name));
    win::Win32MessageBoxes boxes;
    win::Win32FileSystem files;
    win::Win32Resources resources;
    win::Win32AnsiCodec codec;
    win::Win32Mci mci;
    win::Win32Shell shell(clock_window.hwnd());
    win::Win32WallClock wall_clock;
    const ScreenMetrics screen = win::screen_metrics();
    // The one notice window, created on first use by its model.
    win::NoticeBandWindow notice_window(instance, screen);
    NoticeBand notice(notice_window, screen);
    notice_window.attach(notice);
    win::Win32ClockMonitor clock_monitor(clock_window.hwnd());
    notice.set_clock_monitor(&clock_monitor);

    const TimeFormat time_format = win::regional_time_format();
    clock_window.set_texts(texts_of_now(time_format));

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
    StartupResult started = load_clock({profile, boxes, files, resources, clock_window, notice, time_format, screen,
                                       &startup_network_check, &registry_access},
                                      folder);
    ClockTick tick({wall_clock, mci, files, codec, notice, shell, clock_window, time_format}, started.globals,
                   started.checks);

    win::TimeCheckDialogWindow time_check_dialog(
        instance, owner,
        {profile, resources, files, web_time, clock_setter, started.globals.settings_path(), &background});
    time_guard_window.attach(time_check_dialog, tick);
    TimeGuardSteps time_guard_steps(time_guard_ports, started.globals, started.checks, started.network_items);
    win::ShiftedHourlySteps shifted_steps(time_guard_steps, hooks.clock_offset_seconds);
    tick.set_hourly_steps(&shifted_steps);
    clock_window.start_tick_timer(tick);

    // The settings dialog works on the same globals as the tick.
    win::NoticeBandCaption caption_notice(notice);
    win::AlarmDialogWindow alarm_dialog(instance, {profile, boxes, resources, files, clock_window, caption_notice, time_format, screen},
                           started.globals);

    // The lunar control sits right of the face where it is never seen.
    win::LunarControlHost lunar_control;
    const TwipsScale scale = screen.scale();
    const RECT lunar_control_place{scale.to_px(3090), scale.to_px(60), scale.to_px(3090 + 4350), scale.to_px(60 + 3525)};
    lunar_control.create(clock_window.hwnd(), lunar_control_place, started.globals.program_folder);

    win::ClockCommands commands({{profile, boxes}, registry_access, boxes, shell, notice, clock_window, alarm_dialog, tick, lunar_control},
                                started.globals, started.checks, started.network_items,
                                autostart_command(started.globals, executable_name()));
    clock_window.set_commands(&commands);
    // Said once, with the clock already running behind the box.
    tell_if_settings_cannot_be_saved(files, boxes, started.globals.settings_path());

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyWindow(owner);
    return 0;
}
