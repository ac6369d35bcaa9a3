#include "clock/model/startup.h"

#include <algorithm>

#include "clock/model/snooze.h"
#include "clock/model/startup_sounds.h"
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

// The load step, one member for each of its steps, in the order they run.
class StartupSteps {
public:
    StartupSteps(StartupPorts& ports, StartupResult& result, std::string_view program_folder)
        : ports_(ports), result_(result), g_(result.globals), checks_(result.checks), window_(ports.window),
          read_{{ports.profile, ports.boxes}, with_program_folder(program_folder)} {}

    void first_run();
    void window_shape();
    void sound_toggles();
    void shutdown_time();
    void network_check();
    void start_with_windows();
    void display_labels();
    void skin();
    void ticking_sound();
    void alarm_rows();
    void wake_and_full_screen();
    void see_through();
    void scheduled_start_and_notice();
    void tray_or_shown();

private:
    // Program folder, always ending in one backslash; the settings path follows from it.
    std::string with_program_folder(std::string_view folder) {
        g_.program_folder = std::string(folder);
        if (g_.program_folder.empty() || g_.program_folder.back() != '\\') g_.program_folder += '\\';
        return g_.settings_path();
    }
    std::string built_in_skin(std::int16_t resource) {
        return extract_resource(ports_.resources, ports_.files, resource, "gif");
    }

    StartupPorts& ports_;
    StartupResult& result_;
    ClockGlobals& g_;
    MenuChecks& checks_;
    FaceWindow& window_;
    const Reader read_;
};

void StartupSteps::first_run() {
    // The search must return exactly this name, letter case included.
    const auto found = ports_.files.find_name(read_.file);
    if (!found || *found != ini::file_name) {
        result_.first_run = true;
        ports_.boxes.show(clock_design::first_run_text, clock_design::first_run_title, MessageIcon::information);
    } else {
        tidy_settings_file(ports_.files, read_.file);
    }
}

void StartupSteps::window_shape() {
    window_.set_size_twips(clock_design::width_twips, clock_design::height_twips);
    window_.set_caption(clock_design::caption);
    window_.set_elliptic_region(clock_design::region);
    window_.move_twips(clock_left_twips(ports_.screen.width_twips), clock_design::top_twips);
    window_.make_topmost();
}

void StartupSteps::sound_toggles() {
    checks_.ticking = read_.toggle(ini::mts::section, ini::mts::matisheng0);
    checks_.hour_chime = read_.toggle(ini::zdtx::section, ini::zdtx::zhengdian0);
    checks_.half_hour_chime = read_.toggle(ini::zdtx::section, ini::zdtx::BanDian0);
}

void StartupSteps::shutdown_time() {
    // A shutdown time that does not convert is no shutdown time at all.
    const std::string shutdown = read_.trimmed(ini::GuanJi::section, ini::GuanJi::GjShiJian);
    if (!shutdown.empty()) g_.shutdown_time = normalise_time_text(shutdown, ports_.time_format).value_or("");
}

// The time guard's check mark, then its network check.
void StartupSteps::network_check() {
    checks_.time_guard = read_.trimmed(ini::jianhu::section, ini::jianhu::shijianJH) != "0";
    if (ports_.network_check) {
        ports_.network_check->run(g_, result_.network_items);
    } else {
        g_.online = false;
        result_.network_items = {false, false};
    }
}

void StartupSteps::start_with_windows() {
    // The check mark shows what the registry holds.
    checks_.start_with_windows = ports_.registry && autostart::is_on(*ports_.registry);
}

void StartupSteps::display_labels() {
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
        const bool on = read_.toggle(ini::XianShi::section, d.key);
        checks_.*d.check = on;
        window_.set_label_visible(d.label, on);
    }
}

void StartupSteps::skin() {
    // The built-in face, one of the four built-in names, or a file of Voice\pifu.
    g_.skin_path = read_.trimmed(ini::PiFu::section, ini::PiFu::pifu0);
    if (g_.skin_path.empty()) {
        window_.load_skin(built_in_skin(clock_design::built_in_skin_first_resource));
        return;
    }
    const auto* named = std::find(std::begin(clock_design::built_in_skin_names),
                                  std::end(clock_design::built_in_skin_names), g_.skin_path);
    if (named != std::end(clock_design::built_in_skin_names)) {
        g_.skin_path = built_in_skin(static_cast<std::int16_t>(
            clock_design::built_in_skin_first_resource + (named - std::begin(clock_design::built_in_skin_names))));
    } else {
        g_.skin_path = g_.program_folder + std::string(voice::skin_folder) + g_.skin_path;
    }
    if (ports_.files.find_name(g_.skin_path)) window_.load_skin(g_.skin_path);
}

void StartupSteps::ticking_sound() {
    g_.ticking_sound = read_.trimmed(ini::mts::section, ini::mts::fatiaosheng0);
    if (g_.ticking_sound.empty()) g_.ticking_sound = voice::default_ticking;
}

void StartupSteps::alarm_rows() {
    // A count above ten reads ten rows, a negative or non-numeric one none.
    const int count = numeric_value(read_.raw(ini::naoling::section, ini::naoling::naolingshu0));
    g_.alarm_count = static_cast<std::int16_t>(std::clamp(count, 0, ini::naoling::max_rows));
    for (int i = 0; i < g_.alarm_count; ++i) {
        AlarmRow& row = g_.alarms[i];
        row.time = read_.trimmed(ini::naoling::section, ini::naoling::time_key(i));
        row.sound = read_.trimmed(ini::naoling::section, ini::naoling::sound_key(i));
        row.notice = read_.trimmed(ini::naoling::section, ini::naoling::notice_key(i));
        row.rule = read_.trimmed(ini::naoling::section, ini::naoling::rule_key(i));
    }
    load_snooze_settings(ports_.profile, g_);
}

// Both are off unless the file says exactly "1": an older file changes nothing.
void StartupSteps::wake_and_full_screen() {
    g_.wake_for_alarms = flag_on_only_for_one(read_.trimmed(ini::HuanXing::section, ini::HuanXing::HuanXingDianNao));
    g_.on_top_over_full_screen =
        flag_on_only_for_one(read_.trimmed(ini::QuanPing::section, ini::QuanPing::QuanPingZhiDing));
}

void StartupSteps::see_through() { window_.make_layered_colour_key(clock_design::colour_key); }

void StartupSteps::scheduled_start_and_notice() {
    g_.start_time = read_.trimmed(ini::QiDong::section, ini::QiDong::QDShiJian);
    g_.start_target = read_.trimmed(ini::QiDong::section, ini::QiDong::QDneirong);

    // The notice says the clock started, or names a sound it cannot play.
    const StartupNotice notice = startup_notice(missing_sounds(ports_.files, g_, checks_));
    ports_.notices.show_notice(notice.in_ms, notice.stay_ms, notice.out_ms, notice.text);
}

void StartupSteps::tray_or_shown() {
    result_.start_in_tray = read_.raw(ini::ToMin::section, ini::ToMin::tomin) == "0";
    if (result_.start_in_tray) {
        window_.show_tray_icon(clock_design::tray_tooltip);
        window_.hide();
    } else {
        window_.remove_tray_icon();
        window_.show();
    }
}

}  // namespace

StartupResult load_clock(StartupPorts ports, std::string_view program_folder) {
    StartupResult result;
    StartupSteps step(ports, result, program_folder);
    step.first_run();
    step.window_shape();
    step.sound_toggles();
    step.shutdown_time();
    step.network_check();
    step.start_with_windows();
    step.display_labels();
    step.skin();
    step.ticking_sound();
    step.alarm_rows();
    step.wake_and_full_screen();
    step.see_through();
    step.scheduled_start_and_notice();
    step.tray_or_shown();
    return result;
}

}  // namespace tockly
