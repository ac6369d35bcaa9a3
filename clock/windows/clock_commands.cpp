#include "clock/windows/clock_commands.h"

#include "build_config.h"
#include "clock/support/settings_keys.h"
#include "lunar/core/ole_date.h"

namespace tockly::win {

void ClockCommands::on_menu(MenuId id) {
    if (const ToggleItem* item = toggle_item(id)) {
        const bool on = toggle(*item, checks_, s_.settings, g_.settings_path());
        if (item->label) s_.clock_window.set_label_visible(*item->label, on);
        return;
    }
    switch (id) {
    case MenuId::time_guard: toggle_time_guard(checks_, s_.settings, g_.settings_path()); break;
    case MenuId::start_with_windows: toggle_autostart(checks_, s_.registry, executable_); break;
    case MenuId::alarm_settings:
    case MenuId::tray_alarm_settings: s_.alarm_dialog.open(); break;
    case MenuId::park_right: s_.clock_window.park(); break;
    case MenuId::to_tray: reduce_to_tray(); break;
    case MenuId::show_clock: restore_from_tray(); break;
    case MenuId::stop_ringing: s_.tick.player(1).mmClose(); break;
    case MenuId::help:
        s_.boxes.show(help_text(TOCKLY_HOME_PAGE_URL, TOCKLY_SECOND_PAGE_URL), help_title, MessageIcon::information);
        break;
    case MenuId::home_page: {
        ShellOpen page;
        page.file = TOCKLY_HOME_PAGE_URL;
        // Until the project has a public page the release opens its readme
        // in the program folder.
        if (page.file.find("://") == std::string::npos) page.file = g_.program_folder + page.file;
        page.folder = g_.program_folder;
        page.show_command = show_command_show;
        s_.shell.open(page);  // a failure to open the page is not the clock's concern
        break;
    }
    case MenuId::exit: exit_program(); break;
    default: break;
    }
}

bool ClockCommands::menu_checked(MenuId id) {
    if (const ToggleItem* item = toggle_item(id)) return checks_.*item->check;
    if (id == MenuId::time_guard) return checks_.time_guard;
    if (id == MenuId::start_with_windows) return checks_.start_with_windows;
    return false;
}

bool ClockCommands::menu_enabled(MenuId id) {
    if (id == MenuId::time_guard) return network_.time_guard;
    if (id == MenuId::home_page) return network_.home_page;
    return true;
}

void ClockCommands::on_alarm_spot_click() {
    s_.boxes.show(alarm_list_text(g_, s_.tick.read_clock(), s_.tick.time_format()), "Tockly", MessageIcon::information);
}

std::optional<LunarTexts> ClockCommands::lunar_today() { return s_.lunar_control.texts_for(today_ole_date()); }

std::string ClockCommands::day_mark_today() { return day_mark_text(g_, lunar::OleDateDay(today_ole_date())); }

void ClockCommands::on_day_label_click() {
    const auto texts = lunar_today();
    s_.boxes.show(texts ? lunar_message(*texts, day_mark_today()) : std::string(lunar_unavailable),
                  lunar_message_title, MessageIcon::information);
}

std::string ClockCommands::day_label_tooltip() {
    const auto texts = lunar_today();
    return texts ? lunar_tooltip(*texts, day_mark_today()) : std::string(lunar_unavailable);
}

void ClockCommands::reduce_to_tray() {
    s_.clock_window.show_tray_icon(clock_design::tray_tooltip);
    s_.clock_window.hide();
    write_setting(s_.settings, ini::ToMin::section, ini::ToMin::tomin, "0", g_.settings_path());
}

void ClockCommands::restore_from_tray() {
    write_setting(s_.settings, ini::ToMin::section, ini::ToMin::tomin, "1", g_.settings_path());
    s_.clock_window.remove_tray_icon();
    s_.clock_window.show();
}

void ClockCommands::on_tray_activate() { restore_from_tray(); }

void ClockCommands::on_second_start() {
    // Brought out of the tray as its own menu item brings it, so the next
    // start shows it too; any other second start changes no setting.
    if (s_.clock_window.in_tray()) restore_from_tray();
    s_.clock_window.come_forward();
}

void ClockCommands::exit_program() {
    s_.tick.player(0).mmClose();
    s_.tick.player(1).mmClose();
    // The notice window ends the program once this text has left the screen.
    s_.notices.show_notice(300, 1000, 300, goodbye_text);
    s_.clock_window.remove_tray_icon();
    s_.clock_window.start_exit_timer();
}

void ClockCommands::on_exit_timer() {
    // At the latest on the sixth tick, 3 s after the command.
    if (exit_.on_exit_timer()) ExitProcess(0);
}

}  // namespace tockly::win
