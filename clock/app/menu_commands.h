// The clock's commands: the two popup menus, the toggles and what they write,
// the time guard and start-with-Windows items, the help text, the alarm list,
// the lunar texts of the day label and the exit sequence.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "clock_state.h"
#include "registry.h"
#include "settings_file.h"
#include "startup.h"

namespace tockly {

enum class MenuId {
    YJCD, MaTiSheng, ZhengDian, BanDian, GeXian1, XS_NianYue, XS_RiQi, XS_ShiJian, XS_XingQi, fenge4,
    NaoZhong, ShiJianJianHu, KaiJiQiDong, GeXian2, KaoBian, ToRenWu, GeXian3, GuanBiLingSheng, Help,
    Vornhall, GuanBiRuanJian, TuiChu,
    TuoPan, ShowNaoZhong, NaoLingSheZhi,
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
    {MenuId::YJCD, "YJCD", "右键菜单", 0, false},
    {MenuId::MaTiSheng, "MaTiSheng", "马蹄声响", 1, true},
    {MenuId::ZhengDian, "ZhengDian", "正点报时", 1, true},
    {MenuId::BanDian, "BanDian", "半点报时", 1, true},
    {MenuId::GeXian1, "GeXian1", "-", 1, false},
    {MenuId::XS_NianYue, "XS_NianYue", "显示年月", 1, true},
    {MenuId::XS_RiQi, "XS_RiQi", "显示日期", 1, true},
    {MenuId::XS_ShiJian, "XS_ShiJian", "显示时间", 1, true},
    {MenuId::XS_XingQi, "XS_XingQi", "显示星期", 1, true},
    {MenuId::fenge4, "fenge4", "-", 1, false},
    {MenuId::NaoZhong, "NaoZhong", "闹钟设置", 1, false},
    {MenuId::ShiJianJianHu, "ShiJianJianHu", "时间监护", 1, true},
    {MenuId::KaiJiQiDong, "KaiJiQiDong", "自启闹钟", 1, true},
    {MenuId::GeXian2, "GeXian2", "-", 1, false},
    {MenuId::KaoBian, "KaoBian", "靠右隐藏", 1, false},
    {MenuId::ToRenWu, "ToRenWu", "缩小闹钟", 1, false},
    {MenuId::GeXian3, "GeXian3", "-", 1, false},
    {MenuId::GuanBiLingSheng, "GuanBiLingSheng", "关闭铃声", 1, false},
    {MenuId::Help, "Help", "帮    助", 1, false},
    {MenuId::Vornhall, "Vornhall", "Vornhall", 1, false},
    {MenuId::GuanBiRuanJian, "GuanBiRuanJian", "关闭软件", 1, false},
    {MenuId::TuiChu, "TuiChu", "退    出", 2, false},
    {MenuId::TuoPan, "TuoPan", "托盘", 0, false},
    {MenuId::ShowNaoZhong, "ShowNaoZhong", "显示闹钟", 1, false},
    {MenuId::NaoLingSheZhi, "NaoLingSheZhi", "闹铃设置", 1, false},
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

// The executable's full path as the Run value holds it: ChengXuLuJing & name & ".exe".
std::string autostart_command(const ClockGlobals& g, std::string_view executable_name_without_extension);

// The help box: title and its 21 lines joined by CR LF.
inline constexpr std::string_view help_title = "帮  助";
std::string help_text(std::string_view first_address, std::string_view second_address);

// Label3's list of the alarms in use.
std::string alarm_list_text(const ClockGlobals& g);

// The lunar texts of Label5 (from the hosted control's methods).
struct LunarTexts {
    std::string year, month, day, animal, constellation;
};
std::string lunar_tooltip(const LunarTexts& t);
inline constexpr std::string_view lunar_message_title = "农历信息";
std::string lunar_message(const LunarTexts& t);
// What Label5 says when the lunar control could not be created.
inline constexpr std::string_view lunar_unavailable = "农历日历不可用：找不到 Lunetra.ocx";

// TuiChu: the goodbye notice and Timer2, which ends the program on its sixth
// tick should the notice not have ended it already.
inline constexpr std::string_view goodbye_text = "Tockly退出啦，再见";
inline constexpr int exit_timer_interval_ms = 500;
class ExitSequence {
public:
    // Timer2's tick; true when the program must end now.
    bool on_timer2() { return ++TuiChuJiShu > 5; }
    int ticks() const { return TuiChuJiShu; }

private:
    int TuiChuJiShu = 0;
};

}  // namespace tockly
