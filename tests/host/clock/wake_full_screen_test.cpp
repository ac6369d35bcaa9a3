#include <gtest/gtest.h>

#include "tests/host/clock/alarm_dialog_fakes.h"
#include "tests/host/clock/fakes.h"
#include "clock/model/alarm_schedule.h"
#include "clock/model/full_screen.h"
#include "clock/model/wake_plan.h"

namespace tockly {
namespace {

using namespace test;

std::int64_t at(int y, unsigned m, unsigned d, int h, int mi, int s = 0) {
    return LocalTime{y, m, d, 1, h, mi, s, 0}.local_seconds();
}
LocalTime now_at(int y, unsigned m, unsigned d, int h, int mi, int s = 0) { return local_time_at(at(y, m, d, h, mi, s)); }

struct Alarm {
    const char* time;
    const char* rule;
};

ClockGlobals globals_with(std::initializer_list<Alarm> alarms) {
    ClockGlobals g;
    for (const Alarm& a : alarms) g.alarms[static_cast<std::size_t>(g.alarm_count++)] = {a.time, "a.mp3", "", a.rule};
    return g;
}

TEST(NextDueRing, TheEarliestRingOfTheRowsOrThePendingSnooze) {
    const struct {
        const char* name;
        std::initializer_list<Alarm> alarms;
        LocalTime now;
        std::optional<std::int64_t> snooze, expected;
    } cases[] = {
        {"across midnight", {{"7:00:00", ""}}, now_at(2026, 5, 8, 23, 30), {}, at(2026, 5, 9, 7, 0)},
        {"ringing now: the next day", {{"7:00:00", ""}}, now_at(2026, 5, 9, 7, 0), {}, at(2026, 5, 10, 7, 0)},
        {"the earlier of two", {{"8:00:00", ""}, {"6:30:00", ""}}, now_at(2026, 5, 9, 1, 0), {}, at(2026, 5, 9, 6, 30)},
        {"workday over 国庆", {{"7:00:00", "workday"}}, now_at(2026, 9, 30, 8, 0), {}, at(2026, 10, 8, 7, 0)},
        {"workday on the make-up Saturday", {{"7:00:00", "workday"}}, now_at(2026, 10, 9, 8, 0), {}, at(2026, 10, 10, 7, 0)},
        {"a once in the past", {{"7:00:00", "once:2026-05-01"}}, now_at(2026, 5, 9, 1, 0), {}, {}},
        {"a snooze before the alarm", {{"7:00:00", ""}}, now_at(2026, 5, 9, 6, 50), at(2026, 5, 9, 6, 55), at(2026, 5, 9, 6, 55)},
        {"a snooze already past", {{"7:00:00", ""}}, now_at(2026, 5, 9, 6, 50), at(2026, 5, 9, 6, 45), at(2026, 5, 9, 7, 0)},
        {"a snooze and no alarm", {}, now_at(2026, 5, 9, 23, 58), at(2026, 5, 10, 0, 3), at(2026, 5, 10, 0, 3)},
    };
    for (const auto& c : cases) {
        ClockGlobals g = globals_with(c.alarms);
        if (c.snooze) g.pending_snooze = PendingSnooze{0, *c.snooze, 1};
        EXPECT_EQ(next_due_ring(g, c.now, TimeFormat{}), c.expected) << c.name;
    }
}

class RecordingWakeTimer : public WakeTimer {
public:
    std::vector<std::string> calls;
    bool set(std::int64_t local_seconds) override {
        const LocalTime t = local_time_at(local_seconds);
        calls.push_back("set " + std::to_string(t.month) + "-" + std::to_string(t.day) + " " +
                        std::to_string(t.seconds_of_day()));
        return true;
    }
    void cancel() override { calls.push_back("cancel"); }
};

std::string set_call(unsigned m, unsigned d, int h, int mi) {
    return "set " + std::to_string(m) + "-" + std::to_string(d) + " " +
           std::to_string(h * 3600 + mi * 60 - wake::lead_seconds);
}

TEST(WakePlan, SetsTheTimerAheadOfTheNextRingAndOnlyWhenSomethingChanged) {
    RecordingWakeTimer timer;
    WakePlan plan(timer);
    ClockGlobals g = globals_with({{"7:00:00", "workday"}});
    const TimeFormat f;
    std::vector<std::string> expected;

    plan.on_second(g, now_at(2026, 10, 9, 22, 0, 0), f);
    expected.push_back("cancel");  // off: whatever was set goes
    g.wake_for_alarms = true;
    plan.on_second(g, now_at(2026, 10, 9, 22, 0, 1), f);
    expected.push_back(set_call(10, 10, 7, 0));  // the make-up Saturday
    plan.on_second(g, now_at(2026, 10, 9, 22, 0, 2), f);  // nothing new
    g.alarms[0].time = "6:30:00";
    ++g.alarms_version;  // as the dialog's save does
    plan.on_second(g, now_at(2026, 10, 9, 22, 0, 3), f);
    expected.push_back(set_call(10, 10, 6, 30));
    g.pending_snooze = PendingSnooze{0, at(2026, 10, 9, 22, 5), 1};
    plan.on_second(g, now_at(2026, 10, 9, 22, 0, 4), f);
    expected.push_back(set_call(10, 9, 22, 5));  // a pending snooze comes first
    g.pending_snooze.reset();
    plan.on_second(g, now_at(2026, 10, 9, 22, 0, 5), f);
    expected.push_back(set_call(10, 10, 6, 30));
    plan.on_second(g, now_at(2026, 10, 9, 23, 0, 0), f);  // the clock was set on
    expected.push_back(set_call(10, 10, 6, 30));
    plan.on_second(g, now_at(2026, 10, 10, 6, 30, 0), f);  // its ring came: the next one
    expected.push_back(set_call(10, 12, 6, 30));
    g.wake_for_alarms = false;
    plan.on_second(g, now_at(2026, 10, 10, 6, 30, 1), f);
    expected.push_back("cancel");
    EXPECT_EQ(timer.calls, expected);
    EXPECT_FALSE(plan.planned_ring());
}

class RecordingKeepAwake : public KeepAwake {
public:
    std::vector<bool> calls;
    void keep_awake(bool on) override { calls.push_back(on); }
};

TEST(RingAwake, KeepsThePcAwakeFromTheRingUntilItEnds) {
    RecordingKeepAwake port;
    RingAwake awake(port);
    bool playing = true;
    const auto ringing = [&] { return playing; };
    awake.on_second(0, [] { return ADD_FAILURE() << "no ring, no question to the player", false; });
    awake.on_second(1, ringing);
    awake.on_second(1, ringing);
    awake.on_second(2, ringing);  // a second alarm while the first rings
    EXPECT_EQ(port.calls, std::vector<bool>{true});
    playing = false;
    awake.on_second(2, ringing);
    awake.on_second(2, ringing);
    EXPECT_EQ(port.calls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(awake.awake());
}

TEST(FullScreen, WhatCountsAsAProgramCoveringTheMonitor) {
    const PixelBox monitor{1920, 0, 3840, 1080};  // the clock's monitor, right of the primary
    const struct {
        const char* name;
        FrontWindow front;
        bool covers;
    } cases[] = {
        {"a video player", {"MPC", {1920, 0, 3840, 1080}}, true},
        {"a game larger than the monitor", {"Game", {1910, -10, 3850, 1090}}, true},
        {"a maximised window leaves the taskbar", {"Notepad", {1920, 0, 3840, 1040}}, false},
        {"full screen on the other monitor", {"MPC", {0, 0, 1920, 1080}}, false},
        {"the desktop", {"Progman", {0, 0, 3840, 1080}}, false},
        {"the system's desktop window", {"#32769", {0, 0, 3840, 1080}}, false},
        {"the desktop's icons", {"WorkerW", {0, 0, 3840, 1080}}, false},
        {"the taskbar", {"Shell_TrayWnd", {0, 0, 3840, 1080}}, false},
        {"hidden", {"MPC", {1920, 0, 3840, 1080}, false}, false},
        {"minimised", {"MPC", {1920, 0, 3840, 1080}, true, true}, false},
        {"the clock's own", {"TocklyTiShiChuang", {1920, 0, 3840, 1080}, true, false, true}, false},
    };
    for (const auto& c : cases) EXPECT_EQ(covers_monitor(c.front, monitor), c.covers) << c.name;
}

class FakeScreen : public FullScreenWatch {
public:
    std::optional<FrontWindow> front;
    UserState state = UserState::accepts_notices;
    std::optional<FrontWindow> front_window() override { return front; }
    PixelBox clock_monitor() override { return {0, 0, 1024, 768}; }
    UserState user_state() override { return state; }
    void full_screen(bool on) { front = FrontWindow{"MPC", on ? PixelBox{0, 0, 1024, 768} : PixelBox{0, 0, 800, 600}}; }
};

class FakeStacking : public ClockStacking {
public:
    bool on_top = true;
    std::vector<std::string> calls;
    bool topmost() override { return on_top; }
    void step_behind_front() override {
        on_top = false;
        calls.push_back("behind");
    }
    void make_topmost() override {
        on_top = true;
        calls.push_back("topmost");
    }
};

TEST(FullScreen, TheClockStepsAsideAndComesBackWhereItWas) {
    FakeScreen screen;
    FakeStacking stacking;
    FullScreenGuard guard(screen, stacking);
    screen.full_screen(false);
    EXPECT_FALSE(guard.on_second(false));
    screen.full_screen(true);
    EXPECT_TRUE(guard.on_second(false));
    EXPECT_TRUE(guard.on_second(false));
    screen.full_screen(false);
    EXPECT_FALSE(guard.on_second(false));
    // Behind the program every second it is in front, as other windows move.
    EXPECT_EQ(stacking.calls, (std::vector<std::string>{"behind", "behind", "topmost"}));

    // The system's own word counts as well; a clock that was not top-most stays so.
    stacking.calls.clear();
    stacking.on_top = false;
    screen.state = UserState::presentation;
    EXPECT_TRUE(guard.on_second(false));
    screen.state = UserState::accepts_notices;
    EXPECT_FALSE(guard.on_second(false));
    EXPECT_EQ(stacking.calls, std::vector<std::string>{"behind"});

    // The setting keeps it on top, still quiet; unticked meanwhile, it steps aside.
    stacking.calls.clear();
    stacking.on_top = true;
    screen.full_screen(true);
    EXPECT_TRUE(guard.on_second(true));
    EXPECT_TRUE(stacking.calls.empty());
    EXPECT_TRUE(guard.on_second(false));
    EXPECT_TRUE(guard.on_second(true));
    EXPECT_EQ(stacking.calls, (std::vector<std::string>{"behind", "topmost"}));
}

TEST(FullScreen, NoStartUpNoticeInFrontOfAFullScreenProgram) {
    FakeScreen screen;
    RecordingNotices band;
    QuietNotices notices(band, screen);
    screen.full_screen(true);
    notices.show_notice(300, 3000, 500, "Tockly打开成功");
    screen.full_screen(false);
    notices.show_notice(300, 3000, 500, "Tockly打开成功");
    ASSERT_EQ(band.shown.size(), 1u);
}

TEST(WakeAndFullScreenSettings, StartUpReadsThemAndTheDialogWritesThemAtOnce) {
    AlarmDialogRig rig;
    AlarmDialog dialog = rig.loaded();
    EXPECT_FALSE(dialog.checked(Check::wake)) << "off by default";
    EXPECT_FALSE(dialog.checked(Check::on_top_over_full_screen));
    dialog.check_clicked(Check::wake, true);
    dialog.check_clicked(Check::on_top_over_full_screen, true);
    dialog.check_clicked(Check::on_top_over_full_screen, false);
    EXPECT_TRUE(rig.globals.wake_for_alarms);
    EXPECT_FALSE(rig.globals.on_top_over_full_screen);
    EXPECT_EQ(rig.stored("HuanXing", "HuanXingDianNao"), "1");
    EXPECT_EQ(rig.stored("QuanPing", "QuanPingZhiDing"), "0");

    // Start-up: only "1" switches either on, so a file without them wakes nothing.
    StartupFakes fakes;
    const std::string ini = "C:\\Tockly\\Software_information.ini";
    fakes.files.files[ini] = "[mts]\r\n";
    fakes.profile.set(ini, "HuanXing", "HuanXingDianNao", "1");
    fakes.profile.set(ini, "QuanPing", "QuanPingZhiDing", "yes");
    const StartupResult r = load_clock(fakes.ports(ScreenMetrics{}), "C:\\Tockly\\");
    EXPECT_TRUE(r.globals.wake_for_alarms);
    EXPECT_FALSE(r.globals.on_top_over_full_screen);
}

}  // namespace
}  // namespace tockly
