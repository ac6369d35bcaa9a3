// The clock's commands: the two popup menus, the toggles and what they write,
// the time guard and start-with-Windows items, the help text, the alarm list,
// the lunar texts of the day label and the exit sequence.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "clock/model/clock_state.h"
#include "clock/support/local_time.h"
#include "clock/support/time_text.h"
#include "clock/support/autostart_registry.h"
#include "clock/support/settings_file.h"
#include "clock/model/startup.h"

namespace tockly {

enum class MenuId {
    context_menu, ticking, hour_chime, half_hour_chime, separator1, show_year_month, show_day, show_time,
    show_weekday, separator4, alarm_settings, time_guard, start_with_windows, separator2, park_right, to_tray,
    separator3, stop_ringing, help, home_page, close_program, exit,
    tray_menu, show_clock, tray_alarm_settings,
};

struct MenuEntry {
    MenuId id;
    std::string_view name;
    std::string_view caption;  // "-" is a separator
    int depth;                 // 0: the popup itself, 1: its items, 2: a sub-menu's items
    bool checked_in_design;
};

// Both popups in the order they are built: each popup's entry, then its items.
inline constexpr std::array<MenuEntry, 25> menu_tree{{
    {MenuId::context_menu, "YJCD", "右键菜单", 0, false},
    {MenuId::ticking, "MaTiSheng", "马蹄声响", 1, true},
    {MenuId::hour_chime, "ZhengDian", "正点报时", 1, true},
    {MenuId::half_hour_chime, "BanDian", "半点报时", 1, true},
    {MenuId::separator1, "GeXian1", "-", 1, false},
    {MenuId::show_year_month, "XS_NianYue", "显示年月", 1, true},
    {MenuId::show_day, "XS_RiQi", "显示日期", 1, true},
    {MenuId::show_time, "XS_ShiJian", "显示时间", 1, true},
    {MenuId::show_weekday, "XS_XingQi", "显示星期", 1, true},
    {MenuId::separator4, "fenge4", "-", 1, false},
    {MenuId::alarm_settings, "NaoZhong", "闹钟设置", 1, false},
    {MenuId::time_guard, "ShiJianJianHu", "时间监护", 1, true},
    {MenuId::start_with_windows, "KaiJiQiDong", "自启闹钟", 1, true},
    {MenuId::separator2, "GeXian2", "-", 1, false},
    {MenuId::park_right, "KaoBian", "靠右隐藏", 1, false},
    {MenuId::to_tray, "ToRenWu", "缩小闹钟", 1, false},
    {MenuId::separator3, "GeXian3", "-", 1, false},
    {MenuId::stop_ringing, "GuanBiLingSheng", "关闭铃声", 1, false},
    {MenuId::help, "Help", "帮    助", 1, false},
    {MenuId::home_page, "Vornhall", "Vornhall", 1, false},
    {MenuId::close_program, "GuanBiRuanJian", "关闭软件", 1, false},
    {MenuId::exit, "TuiChu", "退    出", 2, false},
    {MenuId::tray_menu, "TuoPan", "托盘", 0, false},
    {MenuId::show_clock, "ShowNaoZhong", "显示闹钟", 1, false},
    {MenuId::tray_alarm_settings, "NaoLingSheZhi", "闹铃设置", 1, false},
}};

const MenuEntry& menu_entry(MenuId id);

// The seven plain toggles: their key and the label they show or hide.
struct ToggleItem {
    MenuId id;
    std::string_view section;
    std::string_view key;
    bool MenuChecks::*check;
    std::optional<FaceLabel> label;
};
const ToggleItem* toggle_item(MenuId id);
std::span<const ToggleItem> toggle_items();

// Flips the item's check mark and writes "1" or "0" at once. Returns the new state.
bool toggle(const ToggleItem& item, MenuChecks& checks, SettingsAccess io, const std::string& settings_file);

// ShiJianJianHu: switching off writes shijianJH = "0" and jianhuzd = "0",
// switching on only shijianJH = "1". Returns the new state.
bool toggle_time_guard(MenuChecks& checks, SettingsAccess io, const std::string& settings_file);

// KaiJiQiDong: the check mark follows the user's choice; the registry is
// written after it. Returns the new state.
bool toggle_autostart(MenuChecks& checks, RegistryAccess registry, const std::string& executable_path);

// The executable's full path as the Run value holds it: program_folder & name & ".exe".
std::string autostart_command(const ClockGlobals& g, std::string_view executable_name_without_extension);

// The help box: title and its 21 lines joined by CR LF.
inline constexpr std::string_view help_title = "帮  助";
std::string help_text(std::string_view first_address, std::string_view second_address);

// alarm_spot's list of the alarms in use, each with its repeat rule and the
// day it rings next.
std::string alarm_list_text(const ClockGlobals& g, const LocalTime& now, const TimeFormat& format);

// The lunar texts of day_label (from the hosted control's methods).
struct LunarTexts {
    std::string year, month, day, animal, constellation;
};
// `day_mark` is the day's 休/班 and its holiday (day_mark_text), "" for an
// ordinary day, which the texts then show as they always have.
std::string lunar_tooltip(const LunarTexts& t, std::string_view day_mark = {});
inline constexpr std::string_view lunar_message_title = "农历信息";
std::string lunar_message(const LunarTexts& t, std::string_view day_mark = {});
// "休 国庆节" or "班 国庆节" for a day of the holiday arrangement, by the
// clock's working-day calendar (the user's 节假日.txt included); "" otherwise.
std::string day_mark_text(const ClockGlobals& g, std::chrono::sys_days day);
// What day_label says when the lunar control could not be created.
inline constexpr std::string_view lunar_unavailable = "农历日历不可用：找不到 Lunetra.ocx";

// TuiChu: the goodbye notice and exit_timer, which ends the program on its sixth
// tick should the notice not have ended it already.
inline constexpr std::string_view goodbye_text = "Tockly退出啦，再见";
inline constexpr int exit_timer_interval_ms = 500;
class ExitSequence {
public:
    // exit_timer's tick; true when the program must end now.
    bool on_exit_timer() { return ++exit_ticks > 5; }
    int ticks() const { return exit_ticks; }

private:
    int exit_ticks = 0;
};

}  // namespace tockly
