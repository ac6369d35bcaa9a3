#include <gtest/gtest.h>

#include <set>

#include "tests/host/clock/fakes.h"
#include "clock/model/menu_commands.h"
#include "clock/model/window_behaviour.h"
#include "lunar/core/ole_date.h"

namespace tockly {
namespace {

using test::FakeBoxes;
using test::FakeProfile;

const std::string kIni = "C:\\Tockly\\Software_information.ini";

// The captions themselves are read off the real menus by the end-to-end
// menu checks; here, what a slip in the table would break.
TEST(MenuTree, EveryItemIsFoundByItsIdAndNestsUnderAPopup) {
    std::set<std::string_view> names;
    int previous_depth = -1;
    for (const auto& e : menu_tree) {
        EXPECT_EQ(&menu_entry(e.id), &e) << e.name << " is found by its id";
        EXPECT_TRUE(names.insert(e.name).second) << e.name << " appears once";
        EXPECT_LE(e.depth, previous_depth + 1) << e.name << " has a parent";
        EXPECT_EQ(e.caption == "-", e.name.starts_with("GeXian") || e.name.starts_with("fenge")) << e.name;
        previous_depth = e.depth;
    }
    EXPECT_EQ(menu_tree.front().depth, 0);
    EXPECT_EQ(menu_entry(MenuId::exit).depth, 2) << "退出 sits in the 关闭软件 sub-menu";
    EXPECT_EQ(menu_entry(MenuId::tray_menu).depth, 0) << "the tray menu is a popup of its own";
}

TEST(MenuTree, TheItemsCheckedInTheDesignAreTheOnesWithACheckMark) {
    for (const auto& e : menu_tree) {
        const bool has_mark = toggle_item(e.id) || e.id == MenuId::time_guard || e.id == MenuId::start_with_windows;
        EXPECT_EQ(e.checked_in_design, has_mark) << e.name;
    }
}

TEST(Toggles, EachFlipsItsMarkAndWritesItsKeyAtOnce) {
    const struct { MenuId id; const char* written_off; const char* written_on; } cases[] = {
        {MenuId::ticking, "mts/matisheng0=0", "mts/matisheng0=1"},
        {MenuId::hour_chime, "zdtx/zhengdian0=0", "zdtx/zhengdian0=1"},
        {MenuId::half_hour_chime, "zdtx/BanDian0=0", "zdtx/BanDian0=1"},
        {MenuId::show_year_month, "XianShi/XS_NianYue0=0", "XianShi/XS_NianYue0=1"},
        {MenuId::show_day, "XianShi/XS_RiQi0=0", "XianShi/XS_RiQi0=1"},
        {MenuId::show_time, "XianShi/XS_ShiJian0=0", "XianShi/XS_ShiJian0=1"},
        {MenuId::show_weekday, "XianShi/XS_XingQi0=0", "XianShi/XS_XingQi0=1"},
    };
    for (const auto& c : cases) {
        FakeProfile profile;
        FakeBoxes boxes;
        MenuChecks checks;
        const ToggleItem* item = toggle_item(c.id);
        ASSERT_NE(item, nullptr) << menu_entry(c.id).name;
        EXPECT_FALSE(toggle(*item, checks, {profile, boxes}, kIni)) << menu_entry(c.id).name;
        EXPECT_FALSE(checks.*item->check);
        EXPECT_TRUE(toggle(*item, checks, {profile, boxes}, kIni));
        ASSERT_EQ(profile.writes.size(), 2u);
        EXPECT_EQ(profile.writes[0], c.written_off);
        EXPECT_EQ(profile.writes[1], c.written_on);
    }
    EXPECT_EQ(*toggle_item(MenuId::show_time)->label, FaceLabel::time);
    EXPECT_FALSE(toggle_item(MenuId::ticking)->label);
    EXPECT_EQ(toggle_item(MenuId::time_guard), nullptr);
}

TEST(Toggles, TimeGuardOffWritesTwoKeysOnWritesOne) {
    FakeProfile profile;
    FakeBoxes boxes;
    MenuChecks checks;
    EXPECT_FALSE(toggle_time_guard(checks, {profile, boxes}, kIni));
    EXPECT_EQ(profile.writes, (std::vector<std::string>{"jianhu/shijianJH=0", "jianhu/jianhuzd=0"}));
    EXPECT_EQ(profile.changes, 1) << "both keys in one change";
    profile.writes.clear();
    EXPECT_TRUE(toggle_time_guard(checks, {profile, boxes}, kIni));
    EXPECT_EQ(profile.writes, (std::vector<std::string>{"jianhu/shijianJH=1"}));
}

TEST(AlarmList, ListsTheRowsInUseWithTheirRuleAndNextRing) {
    ClockGlobals g;
    g.alarm_count = 5;
    g.alarms[0] = {"7:30:00", "alarm_bell.mp3", "起床", "workday"};
    g.alarms[1] = {"12:00:00", "alarm_chirp.mp3", "午饭"};
    g.alarms[2] = {"9:00:00", "a.mp3", "中秋", "lunar:08-15"};
    g.alarms[3] = {"6:00:00", "a.mp3", "一次", "once:2026-09-30"};
    g.alarms[4] = {"6:00:00", "a.mp3", "每月", "monthly"};
    g.alarms[5] = {"13:00:00", "x.mp3", "not in use"};
    LocalTime now;  // Wednesday 2026-09-30 08:00, before 国庆节
    now.year = 2026, now.month = 9, now.day = 30, now.weekday = 3, now.hour = 8;
    EXPECT_EQ(alarm_list_text(g, now, TimeFormat{}),
              "总共有闹铃时间5个，分别如下：\r\n"
              "7:30:00  alarm_bell.mp3  起床  【工作日，下次 2026-10-08】\r\n"
              "12:00:00  alarm_chirp.mp3  午饭  【每天，下次 2026-09-30】\r\n"
              "9:00:00  a.mp3  中秋  【每年农历八月十五，下次 2027-09-15】\r\n"
              "6:00:00  a.mp3  一次  【仅一次 2026-09-30，不再响铃】\r\n"
              "6:00:00  a.mp3  每月  【每天（看不懂“monthly”），下次 2026-10-01】\r\n");
    g.alarm_count = 0;
    EXPECT_EQ(alarm_list_text(g, now, TimeFormat{}), "总共有闹铃时间0个，分别如下：\r\n");
}

TEST(HelpText, TwentyOneLinesByteForByte) {
    const std::string text = help_text("http://a.example/", "http://b.example/");
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0], "               纯绿色《Tockly》");
    EXPECT_EQ(lines[2], "网站http://a.example/ 或 http://b.example/");
    EXPECT_EQ(lines[3], std::string(50, ' '));
    EXPECT_EQ(lines[6], "夹是Voice?在这个文件夹中包括以下四个文件夹:");
    EXPECT_EQ(lines[7], "   mati     ―――→ Tockly的秒针声音文件（WAV类型）");
    EXPECT_EQ(lines[11], std::string(52, ' '));
    EXPECT_EQ(lines[14], "中选择了?");
    EXPECT_EQ(lines[15], std::string(51, ' '));
    EXPECT_EQ(lines[17], "                               Vornhall");
    EXPECT_EQ(lines[18], std::string(26, ' ') + "http://a.example/");
    EXPECT_EQ(lines[19], std::string(22, ' ') + "或  http://b.example/");
    EXPECT_EQ(lines[20], "                               2011年12月31日");
    EXPECT_NE(text.substr(text.size() - 2), "\r\n") << "no line break after the last line";
    EXPECT_EQ(help_title, "帮  助");
}

TEST(LunarTexts, TooltipAndMessage) {
    const LunarTexts t{"农历丙午年", "十月", "十八", "马", "射手座"};
    EXPECT_EQ(lunar_tooltip(t), "农历：【马】农历丙午年十月十八【射手座】");
    EXPECT_EQ(lunar_message(t), "农历：农历丙午年十月十八\r\n属相：马\r\n星座：射手座");
}

TEST(LunarTexts, TheDaysOfTheHolidayArrangementSayRestOrWork) {
    using namespace std::chrono;
    ClockGlobals g;
    // The user's 节假日.txt counts too: a year the table does not have.
    g.work_calendar = lunar::WorkCalendar({{sys_days{2027y / 2 / 20}, true, ""}, {sys_days{2027y / 2 / 11}, false, "春节"}});
    struct Case {
        year_month_day day;
        const char* mark;
    };
    for (const Case& c : std::vector<Case>{
             {2026y / 10 / 1, "休 国庆节"},
             {2026y / 10 / 10, "班 国庆节"},  // the Saturday worked for it
             {2026y / 10 / 8, ""},
             {2027y / 2 / 11, "休 春节"},
             {2027y / 2 / 20, "班"},
             {1999y / 10 / 1, ""},  // before the table: not known
         }) {
        SCOPED_TRACE(lunar::IsoDateText(c.day));
        EXPECT_EQ(day_mark_text(g, sys_days{c.day}), c.mark);
    }
    const LunarTexts t{"农历丙午年", "八月", "廿一", "马", "天秤座"};
    EXPECT_EQ(lunar_tooltip(t, "休 国庆节"), "农历：【马】农历丙午年八月廿一【天秤座】【休 国庆节】");
    EXPECT_EQ(lunar_message(t, "班 国庆节"),
              "农历：农历丙午年八月廿一\r\n属相：马\r\n星座：天秤座\r\n节假日：班 国庆节");
}

TEST(ExitSequence, EndsOnTheSixthTimer2Tick) {
    ExitSequence exit;
    for (int i = 1; i <= 5; ++i) EXPECT_FALSE(exit.on_exit_timer()) << "tick " << i;
    EXPECT_TRUE(exit.on_exit_timer());
    EXPECT_EQ(exit.ticks() * exit_timer_interval_ms, 3000);
}

const ScreenTwips kScreen{15360, 11520};  // 1024 x 768

TEST(WindowBehaviour, DragCorrections) {
    const struct { const char* name; WindowRect after_move; bool label; WindowRect expected; bool parked; } cases[] = {
        {"right edge exactly at the screen edge", {15360 - 3120, 500, 3120, 3405}, false, {12240, 500, 3120, 3405}, false},
        {"one twip past the edge parks", {15360 - 3120 + 1, 500, 3120, 3405}, false, {15240, 500, 3120, 3405}, true},
        {"below the bottom comes up", {2000, 9000, 3120, 3405}, false, {2000, 11520 - 3405, 3120, 3405}, false},
        {"above the top stays", {2000, -350, 3120, 3405}, false, {2000, -350, 3120, 3405}, false},
        {"left of the left edge comes in", {-400, 100, 3120, 3405}, false, {0, 100, 3120, 3405}, false},
        {"label drag: no bottom or left correction", {-400, 9000, 3120, 3405}, true, {-400, 9000, 3120, 3405}, false},
        {"label drag past the right edge parks", {14000, 9000, 3120, 3405}, true, {15240, 11520 - 3405, 3120, 3405}, true},
        {"parked above the top moves to 0", {14000, -350, 3120, 3405}, false, {15240, 0, 3120, 3405}, true},
    };
    for (const auto& c : cases) {
        WindowBehaviour w;
        const WindowRect got = c.label ? w.after_label_drag(c.after_move, kScreen) : w.after_background_drag(c.after_move, kScreen);
        EXPECT_EQ(got.left, c.expected.left) << c.name;
        EXPECT_EQ(got.top, c.expected.top) << c.name;
        EXPECT_EQ(w.parked(), c.parked) << c.name;
    }
}

TEST(WindowBehaviour, MouseMovementUnparksToTheStartColumn) {
    WindowBehaviour w;
    WindowRect r = w.park({3000, 700, 3120, 3405}, kScreen);
    EXPECT_EQ(r.left, 15360 - 120);
    r = w.on_mouse_move(r, kScreen);
    EXPECT_EQ(r.left, 15360 - 3120 + 50);
    EXPECT_EQ(r.top, 700);
    EXPECT_FALSE(w.parked());
    EXPECT_EQ(w.on_mouse_move({10, 20, 3120, 3405}, kScreen).left, 10) << "an unparked window stays";
}

TEST(WindowBehaviour, MenuPositions) {
    EXPECT_EQ(menu_point_for_double_click().x, 0);
    EXPECT_EQ(menu_point_for_double_click().y, 0);
    const TwipsPoint p = menu_point_for_label(face_labels::time_label);
    EXPECT_EQ(p.x, 930 + 1095);
    EXPECT_EQ(p.y, 1770);
}

}  // namespace
}  // namespace tockly
