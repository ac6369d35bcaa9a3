// Tockly.exe as one object. Its members are the program's parts in the order
// they come to life, each using only those above it, and C++ ends them in
// the reverse order: the one-clock lock, OLE, the window classes, the
// windows, the ports, the time guard's network and worker, then the models
// and the windows that show them. wWinMain (tockly_main.cpp) makes it and
// runs its message loop.
#pragma once

#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "clock/model/notice_band_model.h"
#include "clock/model/startup.h"
#include "clock/model/tick.h"
#include "clock/model/tick_watch.h"
#include "clock/model/time_guard.h"
#include "clock/windows/alarm_dialog_window.h"
#include "clock/windows/autostart_registry_port.h"
#include "clock/windows/background_work.h"
#include "clock/windows/clock_commands.h"
#include "clock/windows/clock_window.h"
#include "clock/windows/file_system.h"
#include "clock/windows/full_screen_watch.h"
#include "clock/windows/profile_store.h"
#include "clock/windows/regional_time_format.h"
#include "clock/windows/screen_metrics.h"
#include "clock/windows/lunar_control_host.h"
#include "clock/windows/mci_port.h"
#include "clock/windows/message_boxes.h"
#include "clock/windows/module_resources.h"
#include "clock/windows/monitors.h"
#include "clock/windows/notice_band_window.h"
#include "clock/windows/power.h"
#include "clock/windows/settings_replace.h"
#include "clock/windows/shell_execute.h"
#include "clock/windows/single_instance.h"
#include "clock/windows/test_hooks.h"
#include "clock/windows/time_check_dialog_window.h"
#include "clock/windows/time_guard_host.h"
#include "clock/windows/time_guard_ports.h"
#include "clock/windows/time_zone.h"
#include "clock/windows/wall_clock.h"
#include "win32kit/com_ptr.h"

namespace tockly::win {

// Thrown while the program is put together when a window class or the clock
// window cannot be made: there is no clock to run.
struct StartFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class TocklyProgram {
public:
    // `one_clock` is the lock this process has won; throws StartFailed.
    TocklyProgram(HINSTANCE instance, SingleInstance one_clock);
    TocklyProgram(const TocklyProgram&) = delete;
    TocklyProgram& operator=(const TocklyProgram&) = delete;

    // The message loop, then the first steps of the exit; the exit code.
    int run();

private:
    struct WindowClasses {
        explicit WindowClasses(HINSTANCE instance);
    };
    // A hidden owner keeps the clock off the taskbar.
    struct HiddenOwner {
        explicit HiddenOwner(HINSTANCE instance);
        ~HiddenOwner();
        HiddenOwner(const HiddenOwner&) = delete;
        HiddenOwner& operator=(const HiddenOwner&) = delete;
        HWND hwnd;
    };
    // The clock window is made first, before the settings are read: a second
    // start finds it (see SingleInstance).
    struct Windows {
        explicit Windows(HINSTANCE instance);
        // The exit leaves the clock window and its owner to the end of the
        // process: nothing takes them down before it.
        void let_go();
        HiddenOwner owner;
        ClockWindow clock;
    };
    struct Ports {
        explicit Ports(HWND clock_window);
        Win32ProfileStore profile;
        Win32MessageBoxes boxes;
        Win32FileSystem files;
        Win32Resources resources;
        Win32AnsiCodec codec;
        Win32Mci mci;
        Win32Shell shell;
        Win32WallClock wall_clock;
        Win32Registry registry;
        RegistryAccess registry_access{registry, codec};
        Win32ClockMonitor clock_monitor;
        const ScreenMetrics screen = screen_metrics();
        const TimeFormat time_format = regional_time_format();
    };
    // The notice band's window and its model, made for each other.
    struct NoticeBandParts {
        NoticeBandParts(HINSTANCE instance, const ScreenMetrics& screen, ClockMonitor& clock_monitor);
        NoticeBandWindow window;
        NoticeBand band;
    };
    // What the time guard waits on, and the worker that waits. The worker is
    // last, so that it ends before the ports its jobs use.
    struct TimeGuardNetwork {
        TimeGuardNetwork(HINSTANCE instance, const TestHooks& hooks);
        // Every request under way returns and every later one fails at once.
        void cancel();
        WinHttpClient http;
        Win32EchoService echo;
        std::unique_ptr<ConnectionState> connection;
        Win32TimeZone time_zone;
        Win32MonotonicClock monotonic;
        Win32ClockSetter clock_setter;
        WorkerBackground worker;
    };

    // What stepping aside for full-screen programs and waking the PC work with.
    struct DeskParts {
        DeskParts(HWND clock_window, std::int64_t clock_offset_seconds);
        TickWatchPorts ports() { return {screen, stacking, wake, awake}; }
        Win32FullScreenWatch screen;
        Win32ClockStacking stacking;
        Win32WakeTimer wake;
        Win32KeepAwake awake;
    };

    TimeGuardPorts time_guard_ports();
    StartupResult start_up();
    void connect_parts();
    void place_lunar_control();
    bool asks_to_close(const MSG& msg) const;
    void begin_exit();

    // Held until the exit begins: the user's only clock.
    SingleInstance one_clock_;
    // Before every COM object (the lunar control, the pictures) and after them.
    const win32kit::OleSession ole_;
    const WindowClasses classes_;
    Windows windows_;
    const std::string program_folder_;
    Ports ports_;
    NoticeBandParts notice_;
    const TestHooks hooks_;
    DeskParts desk_;
    // The start-up notice keeps out of a full-screen program's way.
    QuietNotices startup_notices_;
    TimeGuardNetwork network_;
    const WebTimePorts web_time_;
    ClockTimeGuard time_guard_window_;
    TimeGuardStartupCheck startup_network_check_;
    // The globals, the menu's check marks and network items, shared by every model below.
    StartupResult started_;
    ClockTick tick_;
    TickWatch tick_watch_;
    TimeCheckDialogWindow time_check_dialog_;
    TimeGuardSteps time_guard_steps_;
    ShiftedHourlySteps shifted_steps_;
    NoticeBandCaption caption_notice_;
    AlarmDialogWindow alarm_dialog_;
    LunarControlHost lunar_control_;
    ClockCommands commands_;
};

}  // namespace tockly::win
