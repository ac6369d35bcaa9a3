#include "startup.h"

#include <algorithm>

#include "clock_files.h"
#include "registry.h"
#include "settings_file.h"
#include "settings_keys.h"

namespace tockly {

std::string ClockGlobals::settings_path() const {
    return ChengXuLuJing + std::string(ini::file_name);
}

namespace {

struct Reader {
    SettingsAccess io;
    std::string file;
    std::string raw(std::string_view section, std::string_view key) const {
        return DuQuINI(io, section, key, file);
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

StartupResult Form_Load(StartupPorts ports, std::string_view program_folder) {
    StartupResult result;
    ClockGlobals& g = result.globals;
    MenuChecks& checks = result.checks;
    FaceWindow& window = ports.window;

    // Program folder, always ending in one backslash.
    g.ChengXuLuJing = std::string(program_folder);
    if (g.ChengXuLuJing.empty() || g.ChengXuLuJing.back() != '\\') g.ChengXuLuJing += '\\';
    g.LuJingWuKongGe = g.ChengXuLuJing.find(' ') == std::string::npos;

    const Reader read{{ports.profile, ports.boxes}, g.settings_path()};

    // First run: the search must return exactly this name, letter case included.
    const auto found = ports.files.find_name(read.file);
    if (!found || *found != ini::file_name) {
        result.first_run = true;
        ports.boxes.show(form1::first_run_text, form1::first_run_title, MessageIcon::information);
    } else {
        ZhengLiINI(ports.files, read.file);
    }

    window.set_size_twips(form1::width_twips, form1::height_twips);
    window.set_caption(form1::caption);
    window.set_elliptic_region(form1::region);
    window.move_twips(clock_left_twips(ports.screen.width_twips), form1::top_twips);
    window.make_topmost();

    checks.MaTiSheng = read.toggle(ini::mts::section, ini::mts::matisheng0);
    checks.ZhengDian = read.toggle(ini::zdtx::section, ini::zdtx::zhengdian0);
    checks.BanDian = read.toggle(ini::zdtx::section, ini::zdtx::BanDian0);

    // A shutdown time that does not convert is no shutdown time at all.
    const std::string shutdown = read.trimmed(ini::GuanJi::section, ini::GuanJi::GjShiJian);
    if (!shutdown.empty())
        g.GuanJiShiJian = normalise_time_text(shutdown, ports.time_format).value_or("");

    checks.ShiJianJianHu = read.trimmed(ini::jianhu::section, ini::jianhu::shijianJH) != "0";
    // The start-up network check waits for its answer (up to five echo timeouts).
    if (ports.network_check) {
        ports.network_check->run(g, result.network_items);
    } else {
        g.LianWang = false;
        result.network_items = {false, false};
    }

    // Start with Windows: the check mark shows what the registry holds.
    checks.KaiJiQiDong = ports.registry && autostart::is_on(*ports.registry);

    const struct {
        std::string_view key;
        bool MenuChecks::*check;
        FaceLabel label;
    } display[] = {
        {ini::XianShi::XS_NianYue0, &MenuChecks::XS_NianYue, FaceLabel::Label4_year_month},
        {ini::XianShi::XS_RiQi0, &MenuChecks::XS_RiQi, FaceLabel::Label5_day},
        {ini::XianShi::XS_ShiJian0, &MenuChecks::XS_ShiJian, FaceLabel::Label1_time},
        {ini::XianShi::XS_XingQi0, &MenuChecks::XS_XingQi, FaceLabel::Label2_weekday},
    };
    for (const auto& d : display) {
        const bool on = read.toggle(ini::XianShi::section, d.key);
        checks.*d.check = on;
        window.set_label_visible(d.label, on);
    }

    // Skin: the built-in face, one of the four built-in names, or a file of Voice\pifu.
    g.PiFuLuJing = read.trimmed(ini::PiFu::section, ini::PiFu::pifu0);
    if (g.PiFuLuJing.empty()) {
        window.load_skin(ShiFangZiYuan(ports.resources, ports.files,
                                       form1::built_in_skin_first_resource, "gif"));
    } else {
        const auto* named = std::find(std::begin(form1::built_in_skin_names),
                                      std::end(form1::built_in_skin_names), g.PiFuLuJing);
        if (named != std::end(form1::built_in_skin_names)) {
            const auto number = static_cast<std::int16_t>(
                form1::built_in_skin_first_resource + (named - std::begin(form1::built_in_skin_names)));
            g.PiFuLuJing = ShiFangZiYuan(ports.resources, ports.files, number, "gif");
        } else {
            g.PiFuLuJing = g.ChengXuLuJing + std::string(voice::pifu) + g.PiFuLuJing;
        }
        if (ports.files.find_name(g.PiFuLuJing)) window.load_skin(g.PiFuLuJing);
    }

    g.FaTiaoSheng = read.trimmed(ini::mts::section, ini::mts::fatiaosheng0);
    if (g.FaTiaoSheng.empty()) g.FaTiaoSheng = voice::default_ticking;

    // Alarm rows: a count above ten reads ten rows, a negative or non-numeric one none.
    const int count = numeric_value(read.raw(ini::naoling::section, ini::naoling::naolingshu0));
    g.NaoLingShu = static_cast<std::int16_t>(std::clamp(count, 0, ini::naoling::max_rows));
    for (int i = 0; i < g.NaoLingShu; ++i) {
        AlarmRow& row = g.NaoLingBiao[i];
        row.time = read.trimmed(ini::naoling::section, ini::naoling::time_key(i));
        row.sound = read.trimmed(ini::naoling::section, ini::naoling::sound_key(i));
        row.notice = read.trimmed(ini::naoling::section, ini::naoling::notice_key(i));
    }

    window.make_layered_colour_key(form1::colour_key);

    g.QiDongShiJian = read.trimmed(ini::QiDong::section, ini::QiDong::QDShiJian);
    g.QiDongNeiRong = read.trimmed(ini::QiDong::section, ini::QiDong::QDneirong);

    // A space in the program's path silences every sound (MCI strings carry
    // paths unquoted), so that start-up says so and stays longer.
    if (g.LuJingWuKongGe)
        ports.notices.TiShi(100, 1000, 300, tishi::started_text);
    else
        ports.notices.TiShi(100, 5000, 300, tishi::space_in_path_text);

    result.start_in_tray = read.raw(ini::ToMin::section, ini::ToMin::tomin) == "0";
    if (result.start_in_tray) {
        window.show_tray_icon(form1::tray_tooltip);
        window.hide();
    } else {
        window.remove_tray_icon();
        window.show();
    }
    return result;
}

}  // namespace tockly
