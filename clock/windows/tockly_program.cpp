#include "clock/windows/tockly_program.h"

#include "clock/support/settings_keys.h"
#include "clock/model/menu_commands.h"
#include "clock/support/settings_file.h"
#include "win32kit/module_file.h"
#include "win32kit/text_codec.h"

namespace tockly::win {

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

std::string folder_with_backslash() { return win32kit::narrow(win32kit::module_folder()); }

// A window of no use but to own the clock. Not a "STATIC" one: with common
// controls 6 in the manifest that class would load comctl32 at every start.
constexpr const wchar_t* hidden_owner_class = L"TocklyOwner";

bool register_hidden_owner_class(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = hidden_owner_class;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

TocklyProgram::WindowClasses::WindowClasses(HINSTANCE instance) {
    if (!register_hidden_owner_class(instance) || !ClockWindow::register_class(instance) ||
        !NoticeBandWindow::register_class(instance) || !TimeCheckDialogWindow::register_class(instance))
        throw StartFailed("a window class could not be registered");
}

TocklyProgram::HiddenOwner::HiddenOwner(HINSTANCE instance)
    : hwnd(CreateWindowExW(0, hidden_owner_class, L"Tockly", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr)) {}

TocklyProgram::HiddenOwner::~HiddenOwner() {
    if (hwnd) DestroyWindow(hwnd);
}

TocklyProgram::Windows::Windows(HINSTANCE instance) : owner(instance) {
    if (!clock.create(instance, owner.hwnd)) throw StartFailed("the clock window could not be created");
}

void TocklyProgram::Windows::let_go() {
    // Any way the window closes, the tray icon goes with it.
    clock.remove_tray_icon();
    // The window's last messages no longer reach the clock's object, which
    // ends before the window does.
    SetWindowLongPtrW(clock.hwnd(), GWLP_USERDATA, 0);
    // Destroying the owner would take the clock window down with it.
    owner.hwnd = nullptr;
}

TocklyProgram::Ports::Ports(HWND clock_window) : shell(clock_window), clock_monitor(clock_window) {}

TocklyProgram::NoticeBandParts::NoticeBandParts(HINSTANCE instance, const ScreenMetrics& screen,
                                                ClockMonitor& clock_monitor)
    : window(instance, screen), band(window, screen) {
    // The one notice window, created on first use by its model.
    window.attach(band);
    band.set_clock_monitor(&clock_monitor);
}

TocklyProgram::DeskParts::DeskParts(HWND clock_window, std::int64_t clock_offset_seconds)
    : screen(clock_window), stacking(clock_window), wake(clock_offset_seconds) {}

TocklyProgram::TimeGuardNetwork::TimeGuardNetwork(HINSTANCE instance, const TestHooks& hooks)
    : connection(make_connection_state(hooks, http)), worker(instance) {}

void TocklyProgram::TimeGuardNetwork::cancel() {
    http.cancel();
    echo.cancel();
}

TocklyProgram::TocklyProgram(HINSTANCE instance, SingleInstance one_clock)
    : one_clock_(std::move(one_clock)),
      classes_(instance),
      windows_(instance),
      program_folder_(folder_with_backslash()),
      ports_(windows_.clock.hwnd()),
      notice_(instance, ports_.screen, ports_.clock_monitor),
      hooks_(read_test_hooks()),
      desk_(windows_.clock.hwnd(), hooks_.wall_clock_offset_seconds),
      startup_notices_(notice_.band, desk_.screen),
      network_(instance, hooks_),
      web_time_{network_.http, network_.time_zone, network_.monotonic, ports_.time_format},
      startup_network_check_(time_guard_ports()),
      started_(start_up()),
      tick_({ports_.wall_clock, ports_.mci, ports_.files, ports_.codec, notice_.band, ports_.shell, windows_.clock,
             ports_.time_format, &ports_.profile},
            started_.globals, started_.checks),
      tick_watch_(desk_.ports(), tick_, started_.globals),
      time_check_dialog_(instance, windows_.owner.hwnd,
                         {ports_.profile, ports_.resources, ports_.files, web_time_, network_.clock_setter,
                          started_.globals.settings_path(), &network_.worker}),
      time_guard_steps_(time_guard_ports(), started_.globals, started_.checks, started_.network_items),
      shifted_steps_(time_guard_steps_, hooks_.clock_offset_seconds),
      caption_notice_(notice_.band),
      alarm_dialog_(instance,
                    {ports_.profile, ports_.boxes, ports_.resources, ports_.files, windows_.clock, caption_notice_,
                     ports_.time_format, ports_.screen},
                    started_.globals),
      commands_({{ports_.profile, ports_.boxes}, ports_.registry_access, ports_.boxes, ports_.shell, notice_.band,
                 windows_.clock, alarm_dialog_, tick_, lunar_control_},
                started_.globals, started_.checks, started_.network_items,
                autostart_command(started_.globals, executable_name())) {
    connect_parts();
}

// The time guard's ports: the network check of start-up and of minute 4,
// the time page at minute 5 and the dialog; the waiting is the worker's.
TimeGuardPorts TocklyProgram::time_guard_ports() {
    TimeGuardPorts ports{*network_.connection, network_.echo,    {ports_.profile, ports_.boxes},
                         web_time_,            ports_.wall_clock, ports_.resources,
                         ports_.files,         time_guard_window_};
    ports.background = &network_.worker;
    return ports;
}

StartupResult TocklyProgram::start_up() {
    // Every change of the settings file replaces it whole; a copy that a
    // crash left half-written goes before anything reads the file.
    remove_leftover_replacement(program_folder_ + std::string(ini::file_name));
    windows_.clock.set_texts(texts_of_now(ports_.time_format));
    return load_clock({ports_.profile, ports_.boxes, ports_.files, ports_.resources, windows_.clock, startup_notices_,
                       ports_.time_format, ports_.screen, &startup_network_check_, &ports_.registry_access},
                      program_folder_);
}

void TocklyProgram::connect_parts() {
    // The face first: the network check goes on meanwhile, and the lunar
    // control is never seen.
    UpdateWindow(windows_.clock.hwnd());
    time_guard_window_.attach(time_check_dialog_, tick_);
    startup_network_check_.answer_to(time_guard_steps_);
    tick_.set_hourly_steps(&shifted_steps_);
    tick_.set_second_watch(&tick_watch_);
    windows_.clock.start_tick_timer(tick_);
    place_lunar_control();
    windows_.clock.set_commands(&commands_);
    notice_.band.set_click_listener(&commands_);
    // Said once, with the clock already running behind the box.
    tell_if_settings_cannot_be_saved(ports_.files, ports_.boxes, started_.globals.settings_path());
}

void TocklyProgram::place_lunar_control() {
    // Right of the face, where it is never seen; made when first asked.
    const TwipsScale scale = ports_.screen.scale();
    const RECT place{scale.to_px(3090), scale.to_px(60), scale.to_px(3090 + 4350), scale.to_px(60 + 3525)};
    lunar_control_.create_on_first_use(windows_.clock.hwnd(), place, started_.globals.program_folder);
}

int TocklyProgram::run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (asks_to_close(msg)) {
            windows_.let_go();
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    begin_exit();
    return 0;
}

// A close request posted to the clock (by another program, a task manager)
// ends the program without taking the face down first: hiding a window that
// a window manager looks after may wait for it (Wine waits up to two seconds
// where none answers), and the end of the process takes the window with it.
bool TocklyProgram::asks_to_close(const MSG& msg) const {
    return msg.message == WM_CLOSE && msg.hwnd == windows_.clock.hwnd();
}

void TocklyProgram::begin_exit() {
    // A start from now on becomes the user's clock: this one is on its way out.
    one_clock_.release();
    // Nothing waits for a page or an echo: the requests under way return at
    // once and the worker ends with them.
    network_.cancel();
    network_.worker.stop();
}

}  // namespace tockly::win
