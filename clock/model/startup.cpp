#include "clock/model/startup.h"

#include <algorithm>

#include "clock/support/clock_files.h"
#include "clock/support/autostart_registry.h"
#include "clock/support/settings_file.h"
#include "clock/support/settings_keys.h"

namespace tockly {

std::string ClockGlobals::settings_path() const {
    return program_folder + std::string(ini::file_name);
}

namespace {

struct Reader {
    SettingsAccess io;
    std::string file;
    std::string raw(std::string_view section, std::string_view key) const {
        return read_setting(io, section, key, file);
    }
    std::string trimmed(std::string_view section, std::string_view key) const {
        return trim_spaces(raw(section, key));
    }
    // Display and sound toggles compare the stored text exactly with "0".
    bool toggle(std::string_view section, std::string_view key) const {
        return flag_on(raw(section, key));
    }
};

}  // namespace

StartupResult load_clock(StartupPorts ports, std::string_view program_folder) {
    StartupResult result;
    ClockGlobals& g = result.globals;
    MenuChecks& checks = result.checks;
    FaceWindow& window = ports.window;

    // Program folder, always ending in one backslash.
    g.program_folder = std::string(program_folder);
    if (g.program_folder.empty() || g.program_folder.back() != '\\') g.program_folder += '\\';
    g.folder_has_no_space = g.program_folder.find(' ') == std::string::npos;

    const Reader read{{ports.profile, ports.boxes}, g.settings_path()};

    // First run: the search must return exactly this name, letter case included.
    const auto found = ports.files.find_name(read.file);
    if (!found || *found != ini::file_name) {
        result.first_run = true;
        ports.boxes.show(clock_design::first_run_text, clock_design::first_run_title, MessageIcon::information);
    } else {
        tidy_settings_file(ports.files, read.file);
    }

    window.set_size_twips(clock_design::width_twips, clock_design::height_twips);
    window.set_caption(clock_design::caption);
    window.set_elliptic_region(clock_design::region);
    window.move_twips(clock_left_twips(ports.screen.width_twips), clock_design::top_twips);
    window.make_topmost();

    checks.ticking = read.toggle(ini::mts::section, ini::mts::matisheng0);
    checks.hour_chime = read.toggle(ini::zdtx::section, ini::zdtx::zhengdian0);
    checks.half_hour_chime = read.toggle(ini::zdtx::section, ini::zdtx::BanDian0);

    // A shutdown time that does not convert is no shutdown time at all.
    const std::string shutdown = read.trimmed(ini::GuanJi::section, ini::GuanJi::GjShiJian);
    if (!shutdown.empty())
        g.shutdown_time = normalise_time_text(shutdown, ports.time_format).value_or("");

    checks.time_guard = read.trimmed(ini::jianhu::section, ini::jianhu::shijianJH) != "0";
    // The start-up network check waits for its answer (up to five echo timeouts).
    if (ports.network_check) {
        ports.network_check->run(g, result.network_items);
    } else {
        g.online = false;
        result.network_items = {false, false};
    }

    // Start with Windows: the check mark shows what the registry holds.
    checks.start_with_windows = ports.registry && autostart::is_on(*ports.registry);

    const struct {
        std::string_view key;
        bool MenuChecks::*check;
        FaceLabel label;
    } display[] = {
        {ini::XianShi::XS_NianYue0, &MenuChecks::show_year_month, FaceLabel::year_month},
        {ini::XianShi::XS_RiQi0, &MenuChecks::show_day, FaceLabel::day},
        {ini::XianShi::XS_ShiJian0, &MenuChecks::show_time, FaceLabel::time},
        {ini::XianShi::XS_XingQi0, &MenuChecks::show_weekday, FaceLabel::weekday},
    };
    for (const auto& d : display) {
        const bool on = read.toggle(ini::XianShi::section, d.key);
        checks.*d.check = on;
        window.set_label_visible(d.label, on);
    }

    // Skin: the built-in face, one of the four built-in names, or a file of Voice\pifu.
    g.skin_path = read.trimmed(ini::PiFu::section, ini::PiFu::pifu0);
    if (g.skin_path.empty()) {
        window.load_skin(extract_resource(ports.resources, ports.files,
                                       clock_design::built_in_skin_first_resource, "gif"));
    } else {
        const auto* named = std::find(std::begin(clock_design::built_in_skin_names),
                                      std::end(clock_design::built_in_skin_names), g.skin_path);
        if (named != std::end(clock_design::built_in_skin_names)) {
            const auto number = static_cast<std::int16_t>(
                clock_design::built_in_skin_first_resource + (named - std::begin(clock_design::built_in_skin_names)));
            g.skin_path = extract_resource(ports.resources, ports.files, number, "gif");
        } else {
            g.skin_path = g.program_folder + std::string(voice::skin_folder) + g.skin_path;
        }
        if (ports.files.find_name(g.skin_path)) window.load_skin(g.skin_path);
    }

    g.ticking_sound = read.trimmed(ini::mts::section, ini::mts::fatiaosheng0);
    if (g.ticking_sound.empty()) g.ticking_sound = voice::default_ticking;

    // Alarm rows: a count above ten reads ten rows, a negative or non-numeric one none.
    const int count = numeric_value(read.raw(ini::naoling::section, ini::naoling::naolingshu0));
    g.alarm_count = static_cast<std::int16_t>(std::clamp(count, 0, ini::naoling::max_rows));
    for (int i = 0; i < g.alarm_count; ++i) {
        AlarmRow& row = g.alarms[i];
        row.time = read.trimmed(ini::naoling::section, ini::naoling::time_key(i));
        row.sound = read.trimmed(ini::naoling::section, ini::naoling::sound_key(i));
        row.notice = read.trimmed(ini::naoling::section, ini::naoling::notice_key(i));
        row.rule = read.trimmed(ini::naoling::section, ini::naoling::rule_key(i));
    }

    window.make_layered_colour_key(clock_design::colour_key);

    g.start_time = read.trimmed(ini::QiDong::section, ini::QiDong::QDShiJian);
    g.start_target = read.trimmed(ini::QiDong::section, ini::QiDong::QDneirong);

    // A space in the program's path silences every sound (MCI strings carry
    // paths unquoted), so that start-up says so and stays longer.
    if (g.folder_has_no_space)
        ports.notices.show_notice(100, 1000, 300, notice_design::started_text);
    else
        ports.notices.show_notice(100, 5000, 300, notice_design::space_in_path_text);

    result.start_in_tray = read.raw(ini::ToMin::section, ini::ToMin::tomin) == "0";
    if (result.start_in_tray) {
        window.show_tray_icon(clock_design::tray_tooltip);
        window.hide();
    } else {
        window.remove_tray_icon();
        window.show();
    }
    return result;
}

}  // namespace tockly
