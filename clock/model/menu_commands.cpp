#include "clock/model/menu_commands.h"

#include <algorithm>

#include "clock/model/alarm_schedule.h"
#include "clock/support/settings_keys.h"
#include "lunar/core/day_marks.h"
#include "lunar/core/ole_date.h"

namespace tockly {

namespace {

constexpr std::array<ToggleItem, 7> toggles{{
    {MenuId::ticking, ini::mts::section, ini::mts::matisheng0, &MenuChecks::ticking, std::nullopt},
    {MenuId::hour_chime, ini::zdtx::section, ini::zdtx::zhengdian0, &MenuChecks::hour_chime, std::nullopt},
    {MenuId::half_hour_chime, ini::zdtx::section, ini::zdtx::BanDian0, &MenuChecks::half_hour_chime, std::nullopt},
    {MenuId::show_year_month, ini::XianShi::section, ini::XianShi::XS_NianYue0, &MenuChecks::show_year_month,
     FaceLabel::year_month},
    {MenuId::show_day, ini::XianShi::section, ini::XianShi::XS_RiQi0, &MenuChecks::show_day, FaceLabel::day},
    {MenuId::show_time, ini::XianShi::section, ini::XianShi::XS_ShiJian0, &MenuChecks::show_time,
     FaceLabel::time},
    {MenuId::show_weekday, ini::XianShi::section, ini::XianShi::XS_XingQi0, &MenuChecks::show_weekday,
     FaceLabel::weekday},
}};

}  // namespace

const MenuEntry& menu_entry(MenuId id) {
    return *std::find_if(menu_tree.begin(), menu_tree.end(), [&](const MenuEntry& e) { return e.id == id; });
}

std::span<const ToggleItem> toggle_items() { return toggles; }

const ToggleItem* toggle_item(MenuId id) {
    const auto it = std::find_if(toggles.begin(), toggles.end(), [&](const ToggleItem& t) { return t.id == id; });
    return it == toggles.end() ? nullptr : &*it;
}

bool toggle(const ToggleItem& item, MenuChecks& checks, SettingsAccess io, const std::string& settings_file) {
    bool& check = checks.*item.check;
    check = !check;
    write_setting(io, item.section, item.key, check ? "1" : "0", settings_file);
    return check;
}

bool toggle_time_guard(MenuChecks& checks, SettingsAccess io, const std::string& settings_file) {
    checks.time_guard = !checks.time_guard;
    if (checks.time_guard) {
        write_setting(io, ini::jianhu::section, ini::jianhu::shijianJH, "1", settings_file);
    } else {
        // Both keys in one change: the guard never stays off with its automatic correction on.
        SettingsBatch off(io, settings_file);
        off.add(ini::jianhu::section, ini::jianhu::shijianJH, "0");
        off.add(ini::jianhu::section, ini::jianhu::jianhuzd, "0");
        off.commit();
    }
    return checks.time_guard;
}

bool toggle_autostart(MenuChecks& checks, RegistryAccess registry, const std::string& executable_path) {
    checks.start_with_windows = !checks.start_with_windows;
    if (checks.start_with_windows)
        autostart::switch_on(registry, executable_path);
    else
        autostart::switch_off(registry);
    return checks.start_with_windows;
}

std::string autostart_command(const ClockGlobals& g, std::string_view executable_name_without_extension) {
    return g.program_folder + std::string(executable_name_without_extension) + ".exe";
}

std::string help_text(std::string_view first_address, std::string_view second_address) {
    const std::string a1(first_address), a2(second_address);
    const std::array<std::string, 21> lines = {
        "               纯绿色《Tockly》",
        "    本《Tockly》由Vornhall制作，欢迎访问Vornhall的",
        "网站" + a1 + " 或 " + a2,
        std::string(50, ' '),
        "    本软件总共由两个文件和一个文件夹组成，两个文件",
        "分别是：Tockly.exe 、Software_information.ini，文件",
        "夹是Voice?在这个文件夹中包括以下四个文件夹:",
        "   mati     ―――→ Tockly的秒针声音文件（WAV类型）",
        "   NaoLing  ―――→ Tockly的闹铃铃声文件（Mp3类型）",
        "   pifu     ―――→ Tockly的四个皮肤文件（gif类型）",
        "   ZhengDian―――→ Tockly的整点声音文件（WAV类型）",
        std::string(52, ' '),
        "    您在使用的时候只要将您喜欢的将要用于闹铃的Mp3音",
        "乐文件复制到naoling文件夹内，然后就可到“闹铃设置”",
        "中选择了?",
        std::string(51, ' '),
        "    “时间监护”可防止时间被病毒修改(联网时才生效)",
        "                               Vornhall",
        std::string(26, ' ') + a1,
        std::string(22, ' ') + "或  " + a2,
        "                               2011年12月31日",
    };
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::string alarm_list_text(const ClockGlobals& g, const LocalTime& now, const TimeFormat& format) {
    std::string text = "总共有闹铃时间" + std::to_string(g.alarm_count) + "个，分别如下：\r\n";
    const int rows = std::clamp<int>(g.alarm_count, 0, static_cast<int>(g.alarms.size()));
    for (int i = 0; i < rows; ++i) {
        const AlarmRow& r = g.alarms[i];
        std::string when = lunar::RepeatRuleLabel(alarm_rule(r));
        if (!alarm_rule_readable(r)) when += "（看不懂“" + r.rule + "”）";
        const auto next = next_ring_day(g, i, now, format);
        when += next ? "，下次 " + lunar::IsoDateText(std::chrono::year_month_day{*next}) : "，不再响铃";
        text += r.time + "  " + r.sound + "  " + r.notice + "  【" + when + "】\r\n";
    }
    return text;
}

std::string lunar_tooltip(const LunarTexts& t, std::string_view day_mark) {
    std::string text = "农历：【" + t.animal + "】" + t.year + t.month + t.day + "【" + t.constellation + "】";
    if (!day_mark.empty()) text += "【" + std::string(day_mark) + "】";
    return text;
}

std::string lunar_message(const LunarTexts& t, std::string_view day_mark) {
    std::string text = "农历：" + t.year + t.month + t.day + "\r\n属相：" + t.animal + "\r\n星座：" + t.constellation;
    if (!day_mark.empty()) text += "\r\n节假日：" + std::string(day_mark);
    return text;
}

std::string day_mark_text(const ClockGlobals& g, std::chrono::sys_days day) {
    return lunar::DayMarkText(lunar::ShownDayStatus(g.work_calendar, day));
}

}  // namespace tockly
