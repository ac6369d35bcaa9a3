#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "tests/host/clock/fakes.h"
#include "clock/model/menu_commands.h"
#include "clock/model/tick.h"

namespace tockly {
namespace {

using namespace test;
using Lines = std::vector<std::string>;

const std::string kDir = "C:\\Tockly\\";
const std::string kTicking = kDir + "Voice\\Mati\\fatiao3.wav";
const std::string kHour = kDir + "Voice\\ZhengDian\\正点.wav";
const std::string kHalf = kDir + "Voice\\ZhengDian\\半点.wav";

// A path as the commands carry it.
std::string q(const std::string& path) { return "\"" + path + "\""; }
std::string open_of(const std::string& path, const char* type) {
    return "Open " + q(path) + " ALIAS " + q(path) + " TYPE " + type;
}
std::string ring(const std::string& file) { return kDir + "Voice\\NaoLing\\" + file; }

class RecordingSteps : public HourlySteps {
public:
    std::vector<std::string>* log = nullptr;
    std::vector<float> minute_angles;
    void network_check(const TickMoment& m) override {
        minute_angles.push_back(m.angles.M);
        if (log) log->push_back("network");
    }
    void time_guard(const TickMoment&) override {
        if (log) log->push_back("guard");
    }
};

struct Rig : TickFakes {
    RecordingFace face;
    ClockGlobals g;
    MenuChecks checks;
    FakeProfile profile;
    ClockTick tick{with_settings(ports(face)), g, checks};

    TickPorts with_settings(TickPorts p) {
        p.settings = &profile;
        return p;
    }
    std::string stored(std::string_view section, std::string_view key) {
        return profile.read(section, key, g.settings_path()).value;
    }

    Rig() {
        g.program_folder = kDir;
        g.ticking_sound = "fatiao3.wav";
        for (const auto& f : {kTicking, kHour, kHalf, ring("a.mp3"), ring("b.mp3"), ring("c.mp3")})
            files.files[f] = "sound";
        // Most cases look at one step: ticking and chimes are switched on where wanted.
        checks.ticking = false;
        checks.hour_chime = false;
        checks.half_hour_chime = false;
        mci.device_answers = true;
    }
    void alarm(int row, std::string time, std::string sound, std::string notice) {
        g.alarms[static_cast<std::size_t>(row)] = {std::move(time), std::move(sound), std::move(notice)};
        g.alarm_count = static_cast<std::int16_t>(std::max<int>(g.alarm_count, row + 1));
    }
    void tick_on(int y, unsigned mo, unsigned d, int h, int m, int s) {
        clock.current = local_time_at(LocalTime{y, mo, d, 1, 0, 0, 0, 0}.local_seconds() + h * 3600 + m * 60 + s);
        clock.current.millisecond = 5;
        tick.on_tick_timer();
    }
    void tick_at(int h, int m, int s, int ms = 5) {
        clock.set(h, m, s, ms);
        tick.on_tick_timer();
    }
    std::vector<std::string> notice_texts() const {
        std::vector<std::string> out;
        for (const auto& n : notices.shown) out.push_back(n.text);
        return out;
    }
    // The files player commands opened and played, in order (unquoted).
    Lines played() const {
        Lines out;
        for (const auto& c : mci.sent) {
            if (c.rfind("Play \"", 0) != 0) continue;
            const auto close = c.find('"', 6);
            out.push_back(c.substr(6, close - 6) + c.substr(close + 1));
        }
        return out;
    }
};

TEST(ClockTick, HandAnglesUseTheFaceConstants) {
    const struct { int h, m, s; double H; float M, S; FacePoint hour_end; } cases[] = {
        {3, 0, 0, 6.2832, 7.8525f, 39.27f, {0.4, 0}},
        {12, 0, 0, 1.5708, 7.8525f, 39.27f, {0, 0.4}},
        {0, 0, 0, 7.854, 7.8525f, 39.27f, {0, 0.4}},
        {9, 0, 0, 3.1416, 7.8525f, 39.27f, {-0.4, 0}},
        {18, 30, 0, -1.8326, 4.7115f, 39.27f, {-0.4 * 0.2588, -0.4 * 0.9659}},
    };
    for (const auto& c : cases) {
        const HandAngles a = hand_angles(c.h, c.m, c.s);
        const std::string at = std::to_string(c.h) + ":" + std::to_string(c.m) + ":" + std::to_string(c.s);
        EXPECT_NEAR(a.H, c.H, 1e-9) << at;
        EXPECT_EQ(a.M, c.M) << at;
        EXPECT_EQ(a.S, c.S) << at;
        const auto lines = hand_lines(a);
        EXPECT_NEAR(lines[0].to.x, c.hour_end.x, 1e-3) << at;
        EXPECT_NEAR(lines[0].to.y, c.hour_end.y, 1e-3) << at;
    }
}

TEST(ClockTick, HandsHaveTheirLengthsWidthsAndColours) {
    // At 03:15:45 the hour hand points about to 3, the minute hand to 3, the second hand to 9.
    const auto lines = hand_lines(hand_angles(3, 15, 45));
    const struct { const char* name; double x, y; int width; unsigned colour; } cases[] = {
        {"hour", 0.3966, -0.0522, 3, 0x80000008},
        {"minute", 0.4984, -0.0398, 2, 0x80000008},
        {"second", -0.7, 0.0, 1, 0x800000},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[i].from.x, 0) << cases[i].name;
        EXPECT_EQ(lines[i].from.y, 0) << cases[i].name;
        EXPECT_NEAR(lines[i].to.x, cases[i].x, 1e-3) << cases[i].name;
        EXPECT_NEAR(lines[i].to.y, cases[i].y, 1e-3) << cases[i].name;
        EXPECT_EQ(lines[i].width_px, cases[i].width) << cases[i].name;
        EXPECT_EQ(lines[i].colour, cases[i].colour) << cases[i].name;
    }
}

TEST(ClockTick, ChimesOnTheHourAndHalfHourOnly) {
    const struct { int h, m, s; bool on_hour, on_half; Lines notices; Lines played; } cases[] = {
        {12, 0, 0, true, true, {"现在时间：12点整"}, {kHour}},
        {0, 0, 0, true, true, {"现在时间：0点整"}, {kHour}},
        {9, 0, 0, true, true, {"现在时间：9点整"}, {kHour}},
        {23, 0, 0, true, true, {"现在时间：23点整"}, {kHour}},
        {12, 0, 1, true, true, {}, {}},
        {12, 1, 0, true, true, {}, {}},
        {11, 59, 59, true, true, {}, {}},
        {12, 30, 0, true, true, {}, {kHalf}},
        {12, 30, 1, true, true, {}, {}},
        {12, 0, 0, false, true, {}, {}},
        {12, 30, 0, true, false, {}, {}},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.checks.hour_chime = c.on_hour;
        rig.checks.half_hour_chime = c.on_half;
        rig.tick_at(c.h, c.m, c.s);
        const std::string at = std::to_string(c.h) + ":" + std::to_string(c.m) + ":" + std::to_string(c.s) +
                               (c.on_hour ? " hourly" : "") + (c.on_half ? " half" : "");
        EXPECT_EQ(rig.notice_texts(), c.notices) << at;
        EXPECT_EQ(rig.played(), c.played) << at;
        for (const auto& n : rig.notices.shown) EXPECT_EQ(n, (RecordingNotices::Shown{300, 3000, 500, n.text})) << at;
        if (!c.played.empty()) {
            EXPECT_EQ(rig.mci.sent.front(), open_of(c.played[0], "Waveaudio")) << at;
        }
    }
}

TEST(ClockTick, OverAWholeDayEachChimeComesOncePerHour) {
    Rig rig;
    rig.checks.hour_chime = rig.checks.half_hour_chime = true;
    rig.clock.set(0, 0, 0);
    for (int i = 0; i < 86400; ++i) {
        rig.tick.on_tick_timer();
        rig.clock.advance(1);
    }
    int hour = 0, half = 0;
    for (const auto& p : rig.played()) (p == kHour ? hour : half) += 1;
    EXPECT_EQ(hour, 24);
    EXPECT_EQ(half, 24);
    EXPECT_EQ(rig.notices.shown.size(), 24u);
    EXPECT_EQ(rig.face.hubs, 86400) << "every second handled once";
}

TEST(ClockTick, ASkippedHourTickDoesNotChimeLater) {
    Rig rig;
    rig.tick_at(11, 59, 59);
    rig.tick_at(12, 0, 1);
    EXPECT_TRUE(rig.notices.shown.empty());
    EXPECT_TRUE(rig.played().empty());
}

TEST(ClockTick, TwoTicksInOneSecondDoNothingTheSecondTime) {
    Rig rig;
    rig.checks.ticking = true;
    rig.alarm(0, "10:00:05", "a.mp3", "wake");
    rig.tick_at(10, 0, 5, 100);
    const auto sent = rig.mci.sent;
    const auto face = rig.face;
    rig.tick_at(10, 0, 5, 900);
    EXPECT_EQ(rig.mci.sent, sent);
    EXPECT_EQ(rig.notices.shown.size(), 1u);
    EXPECT_EQ(rig.face.hands_shown, face.hands_shown);
    EXPECT_EQ(rig.face.texts_shown, face.texts_shown);
    EXPECT_EQ(rig.face.hubs, face.hubs);
    EXPECT_EQ(rig.tick.last_second(), 5);
}

TEST(ClockTick, TheFirstTickIsHandledEvenOnSecondZero) {
    Rig rig;
    rig.alarm(0, "7:30:00", "a.mp3", "wake");
    rig.tick_at(7, 30, 0);
    EXPECT_EQ(rig.notice_texts(), Lines{"wake"});
}

TEST(ClockTick, AlarmsFireInRowOrderAndTheLastRingKeepsPlaying) {
    Rig rig;
    rig.alarm(0, "7:30:00", "a.mp3", "first");
    rig.alarm(1, "07:30", "b.mp3", "second");
    rig.alarm(2, "7:31:00", "c.mp3", "later");
    rig.tick_at(7, 30, 0);
    EXPECT_EQ(rig.notices.shown, (std::vector<RecordingNotices::Shown>{{300, 7000, 500, "first"},
                                                                       {300, 7000, 500, "second"}}));
    EXPECT_EQ(rig.mci.actions(), (Lines{open_of(ring("a.mp3"), "mpegvideo"), "Play " + q(ring("a.mp3")),
                                        "Close " + q(ring("a.mp3")), open_of(ring("b.mp3"), "mpegvideo"),
                                        "Play " + q(ring("b.mp3"))}));
}

TEST(ClockTick, AlarmRowCases) {
    const struct { const char* name; AlarmRow row; Lines notices; Lines played; } cases[] = {
        {"empty notice rings without a notice", {"7:30:00", "a.mp3", ""}, {}, {ring("a.mp3")}},
        {"blank notice rings without a notice", {"7:30:00", "a.mp3", "   "}, {}, {ring("a.mp3")}},
        {"notice shown untrimmed", {"7:30:00", "a.mp3", " up "}, {" up "}, {ring("a.mp3")}},
        {"missing sound still shows the notice", {"7:30:00", "gone.mp3", "up"}, {"up"}, {}},
        {"time that does not convert", {"7:30:99", "a.mp3", "up"}, {}, {}},
        {"garbage time", {"soon", "a.mp3", "up"}, {}, {}},
        {"empty time", {"", "a.mp3", "up"}, {}, {}},
        {"another second", {"7:30:01", "a.mp3", "up"}, {}, {}},
        {"regional form with AM marker", {"上午 7:30:00", "a.mp3", "up"}, {"up"}, {ring("a.mp3")}},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.alarm(0, c.row.time, c.row.sound, c.row.notice);
        rig.tick_at(7, 30, 0);
        EXPECT_EQ(rig.notice_texts(), c.notices) << c.name;
        EXPECT_EQ(rig.played(), c.played) << c.name;
    }
}

TEST(ClockTick, OnlyRowsInUseRing) {
    Rig rig;
    rig.alarm(0, "7:30:00", "a.mp3", "row 0");
    rig.alarm(1, "7:30:00", "b.mp3", "row 1");
    rig.g.alarm_count = 1;
    rig.tick_at(7, 30, 0);
    EXPECT_EQ(rig.notice_texts(), Lines{"row 0"});
}

TEST(ClockTick, SkippedSecondsAreCaughtUpInOrder) {
    const struct { const char* name; int from[3]; int to[3]; Lines notices; } cases[] = {
        {"three skipped", {7, 29, 58}, {7, 30, 2}, {"7:29:59", "7:30:00", "7:30:01", "7:30:02"}},
        {"one skipped", {7, 29, 59}, {7, 30, 1}, {"7:30:00", "7:30:01"}},
        {"sixty skipped", {7, 29, 0}, {7, 30, 1}, {"7:29:30", "7:29:59", "7:30:00", "7:30:01"}},
        {"sixty-one skipped: a jump", {7, 28, 59}, {7, 30, 1},
         {"错过的闹铃：7:29:30 7:29:30；7:29:59 7:29:59；7:30:00 7:30:00", "7:30:01"}},
        {"same second number a minute on", {7, 29, 30}, {7, 30, 30}, {"7:29:59", "7:30:00", "7:30:01", "7:30:02", "7:30:30"}},
        {"clock set back", {7, 30, 5}, {7, 29, 59}, {"7:29:59"}},
        {"an hour on", {6, 30, 1}, {7, 30, 1}, {"错过的闹铃：7:29:30 7:29:30；7:29:59 7:29:59；7:30:00 7:30:00", "7:30:01"}},
    };
    for (const auto& c : cases) {
        Rig rig;
        int row = 0;
        for (const char* t : {"7:29:30", "7:29:59", "7:30:00", "7:30:01", "7:30:02", "7:30:30"})
            rig.alarm(row++, t, "a.mp3", t);
        rig.tick_at(c.from[0], c.from[1], c.from[2]);
        rig.notices.shown.clear();
        rig.tick_at(c.to[0], c.to[1], c.to[2]);
        EXPECT_EQ(rig.notice_texts(), c.notices) << c.name;
        EXPECT_EQ(rig.face.hubs, 2) << c.name << ": the face is drawn once per tick";
    }
}

// Three alarms between 7:30 and 8:00, the shutdown at 7:45 and the start
// at 7:20: a morning a jump or a closed clock can pass over.
void with_a_morning(Rig& rig) {
    rig.alarm(0, "7:30:00", "a.mp3", "起床");
    rig.alarm(1, "8:00:00", "b.mp3", "开会");
    rig.alarm(2, "7:45:00", "c.mp3", "关机前提醒很长很长很长");
    rig.g.shutdown_time = "7:45:00";
    rig.g.start_time = "7:20:00";
    rig.g.start_target = "C:\\Windows\\notepad.exe";
}

TEST(ClockTick, ForwardJumpsListWhatTheyMissedAndBackwardJumpsTickOn) {
    // "jump" is the time the clock moved beyond the one second between two ticks.
    const std::string bat = kDir + "CloseWindos.bat";
    const std::string missed_day = "错过的闹铃：7:20:00 定时启动；7:30:00 起床；7:45:00 关机前提醒很长很… 等5项";
    const struct { const char* name; int from[3]; int jump; Lines notices; Lines rings; Lines opened; } cases[] = {
        {"30 s over an alarm: caught up", {7, 29, 40}, 30, {"起床"}, {ring("a.mp3")}, {}},
        {"30 s over the shutdown: caught up", {7, 44, 40}, 30, {"关机前提醒很长很长很长"}, {ring("c.mp3")}, {bat}},
        {"61 s over an alarm: listed, silent", {7, 29, 0}, 61, {"错过的闹铃：7:30:00 起床"}, {}, {}},
        {"61 s over the shutdown: it waits", {7, 44, 0}, 61, {"错过的闹铃：7:45:00 关机前提醒很长很…"}, {}, {}},
        {"61 s over nothing: no notice", {7, 31, 0}, 61, {}, {}, {}},
        {"2 h: start and alarms listed in order",
         {7, 10, 0}, 7200, {"错过的闹铃：7:20:00 定时启动；7:30:00 起床；7:45:00 关机前提醒很长很… 等4项"}, {}, {}},
        {"2 h landing on an alarm: it rings", {5, 59, 59}, 7200,
         {"错过的闹铃：7:20:00 定时启动；7:30:00 起床；7:45:00 关机前提醒很长很…", "开会"}, {ring("b.mp3")}, {}},
        {"a day: each once", {7, 10, 0}, 86400, {missed_day}, {}, {}},
        {"10 min back: nothing", {7, 35, 0}, -601, {}, {}, {}},
    };
    for (const auto& c : cases) {
        Rig rig;
        with_a_morning(rig);
        rig.alarm(3, "23:00:00", "a.mp3", "");
        rig.tick_at(c.from[0], c.from[1], c.from[2]);
        rig.notices.shown.clear();
        rig.mci.sent.clear();
        rig.clock.advance(1 + c.jump);
        rig.tick.on_tick_timer();
        EXPECT_EQ(rig.notice_texts(), c.notices) << c.name;
        EXPECT_EQ(rig.played(), c.rings) << c.name;
        Lines opened;
        for (const auto& o : rig.shell.opened) opened.push_back(o.file);
        EXPECT_EQ(opened, c.opened) << c.name;
        EXPECT_EQ(rig.face.hubs, 2) << c.name << ": the face is drawn for the new second";
    }
}

TEST(ClockTick, AlarmsRingOnlyOnTheDaysTheirRuleHolds) {
    const struct { const char* name; int y; unsigned m, d; Lines played; } cases[] = {
        {"国庆节, a Thursday", 2026, 10, 1, {}},
        {"make-up Saturday", 2026, 10, 10, {ring("a.mp3"), ring("c.mp3")}},
        {"中秋, a Friday off", 2026, 9, 25, {ring("b.mp3")}},
        {"plain Monday", 2026, 9, 28, {ring("a.mp3")}},
        {"plain Saturday", 2026, 10, 17, {ring("c.mp3")}},
        {"unpublished 2027: statutory 除夕", 2027, 2, 5, {}},
        {"after 2090 every alarm rings", 2091, 1, 1, {ring("a.mp3"), ring("b.mp3"), ring("c.mp3")}},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.alarm(0, "7:00:00", "a.mp3", "");
        rig.alarm(1, "7:00:00", "b.mp3", "");
        rig.alarm(2, "7:00:00", "c.mp3", "");
        rig.g.alarms[0].rule = "workday";
        rig.g.alarms[1].rule = "lunar:08-15";
        rig.g.alarms[2].rule = "week:6";
        rig.tick_on(c.y, c.m, c.d, 7, 0, 0);
        EXPECT_EQ(rig.played(), c.played) << c.name;
    }
}

TEST(ClockTick, ARuleChangedBySavingCountsFromTheNextTick) {
    Rig rig;
    rig.alarm(0, "7:00:00", "a.mp3", "");
    rig.g.alarms[0].rule = "workday";
    rig.tick_on(2026, 10, 1, 6, 59, 59);
    rig.g.alarms[0].rule = "daily";
    ++rig.g.alarms_version;  // as the dialog's save does
    rig.tick_on(2026, 10, 1, 7, 0, 0);
    EXPECT_EQ(rig.played(), Lines{ring("a.mp3")});
    rig.mci.sent.clear();
    rig.g.alarms[0].rule = "once:2026-10-01";
    ++rig.g.alarms_version;
    rig.tick_on(2026, 10, 2, 7, 0, 0);
    EXPECT_TRUE(rig.played().empty());
}

TEST(ClockTick, AJumpListsOnlyTheAlarmsWhoseRuleHeldOnTheDaysItSkipped) {
    Rig rig;
    rig.alarm(0, "7:30:00", "a.mp3", "上班");
    rig.alarm(1, "7:45:00", "b.mp3", "每天");
    rig.alarm(2, "7:50:00", "c.mp3", "周六");
    rig.g.alarms[0].rule = "workday";
    rig.g.alarms[2].rule = "week:6";
    rig.tick_on(2026, 9, 30, 20, 0, 0);  // Wednesday evening, the PC sleeps over 1-2 October
    rig.notices.shown.clear();
    rig.tick_on(2026, 10, 2, 8, 0, 0);
    EXPECT_EQ(rig.notice_texts(), Lines{"错过的闹铃：7:45:00 每天"});
    rig.notices.shown.clear();
    rig.tick_on(2026, 10, 10, 8, 0, 0);  // and on to the make-up Saturday
    // In the order they fell: Saturday 3 October's two, then Thursday 8 October's working day.
    EXPECT_EQ(rig.notice_texts(), Lines{"错过的闹铃：7:45:00 每天；7:50:00 周六；7:30:00 上班"});
}

TEST(ClockTick, TheHolidayFileIsReadOnceAndAnUnpublishedYearIsSaidOnce) {
    const std::string file = kDir + "节假日.txt";
    {
        Rig rig;
        rig.files.files[file] = "2027-02-20 班 春节\n2027-02-2x 休\n";
        rig.alarm(0, "7:00:00", "a.mp3", "");
        rig.g.alarms[0].rule = "workday";
        rig.tick_on(2027, 2, 20, 7, 0, 0);  // a Saturday the user made a working day
        EXPECT_EQ(rig.played(), Lines{ring("a.mp3")});
        EXPECT_EQ(rig.notice_texts(), Lines{"节假日.txt第2行看不懂，已跳过：2027-02-2x 休"});
    }
    Rig rig;
    rig.alarm(0, "7:00:00", "a.mp3", "");
    rig.g.alarms[0].rule = "workday";
    rig.tick_on(2026, 12, 31, 7, 0, 0);
    EXPECT_EQ(rig.notice_texts(), Lines{}) << "the next ring is still in 2026";
    rig.tick_on(2027, 1, 4, 6, 0, 0);
    EXPECT_EQ(rig.notice_texts().front(), unpublished_year_text(2027));
    rig.tick_on(2027, 1, 5, 6, 0, 0);
    rig.tick_on(2027, 1, 6, 6, 0, 0);
    const Lines said = rig.notice_texts();
    EXPECT_EQ(std::count(said.begin(), said.end(), unpublished_year_text(2027)), 1) << "said once";
    EXPECT_NE(unpublished_year_text(2027).find("2027年的节假日安排还没有公布"), std::string::npos);
}

TEST(ClockTick, AfterTheClockIsSetBackAnAlarmRingsAgainWhenItsTimeComesRound) {
    Rig rig;
    rig.alarm(0, "7:30:00", "a.mp3", "起床");
    for (rig.clock.set(7, 29, 58); rig.clock.current.seconds_of_day() <= 7 * 3600 + 30 * 60 + 2; rig.clock.advance(1))
        rig.tick.on_tick_timer();
    rig.clock.advance(-600);
    for (int i = 0; i < 600; ++i, rig.clock.advance(1)) rig.tick.on_tick_timer();
    EXPECT_EQ(rig.notice_texts(), (Lines{"起床", "起床"}));
}

TEST(ClockTick, MissedNoticeStaysShort) {
    EXPECT_EQ(missed_events_text({"7:30:00 起床"}), "错过的闹铃：7:30:00 起床");
    EXPECT_EQ(missed_events_text({"1", "2", "3"}), "错过的闹铃：1；2；3");
    EXPECT_EQ(missed_events_text({"1", "2", "3", "4"}), "错过的闹铃：1；2；3 等4项");
}

TEST(ClockTick, CatchingUpCrossesMidnightAndRunsShutdownAndStart) {
    Rig rig;
    rig.alarm(0, "0:00:00", "a.mp3", "midnight");
    rig.g.shutdown_time = "23:59:59";
    rig.g.start_time = "0:00:01";
    rig.g.start_target = "C:\\Windows\\notepad.exe";
    rig.clock.set(23, 59, 58);
    rig.tick.on_tick_timer();
    rig.clock.advance(4);
    rig.tick.on_tick_timer();
    ASSERT_EQ(rig.shell.opened.size(), 2u);
    EXPECT_EQ(rig.shell.opened[0].file, kDir + "CloseWindos.bat");
    EXPECT_EQ(rig.shell.opened[1].file, "C:\\Windows\\notepad.exe");
    EXPECT_EQ(rig.notice_texts(), (Lines{"midnight", "定时启动项目已经启动！"}));
    EXPECT_EQ(rig.face.texts.day, "10") << "the labels show the new day";
}

TEST(ClockTick, ScheduledShutdownWritesTheBatchAndStartsIt) {
    Rig rig;
    rig.g.shutdown_time = "22:00:00";
    rig.tick_at(21, 59, 59);
    EXPECT_TRUE(rig.shell.opened.empty());
    rig.tick_at(22, 0, 0);
    EXPECT_EQ(rig.files.files[kDir + "CloseWindos.bat"],
              "ansi:shutdown.exe -s -c \"您的计算机即将关闭，倒计时已经被启动！\" -t 20\r\nDel %0\r\n");
    ASSERT_EQ(rig.shell.opened.size(), 1u);
    const ShellOpen& o = rig.shell.opened[0];
    EXPECT_FALSE(o.owned_by_clock);
    EXPECT_EQ(o.verb, "");
    EXPECT_EQ(o.file, kDir + "CloseWindos.bat");
    EXPECT_EQ(o.parameters, "");
    EXPECT_EQ(o.folder, kDir);
    EXPECT_EQ(o.show_command, 5);
    rig.tick_at(22, 0, 1);
    EXPECT_EQ(rig.shell.opened.size(), 1u);
}

TEST(ClockTick, ABatchThatCannotBeWrittenStartsNothingAndTheTickGoesOn) {
    Rig rig;
    rig.g.shutdown_time = "22:00:00";
    rig.files.read_only = true;
    rig.tick_at(22, 0, 0);
    EXPECT_TRUE(rig.shell.opened.empty());
    EXPECT_EQ(rig.face.texts.time, "22:00:00");
}

TEST(ClockTick, ScheduledStartCases) {
    const struct { const char* name; std::string time, target; int h, m, s; bool opens; } cases[] = {
        {"at its time", "9:00:00", "C:\\Windows\\notepad.exe", 9, 0, 0, true},
        {"a second later", "9:00:00", "C:\\Windows\\notepad.exe", 9, 0, 1, false},
        {"empty target", "9:00:00", "", 9, 0, 0, false},
        {"empty time", "", "C:\\Windows\\notepad.exe", 0, 0, 0, false},
        {"time that does not convert", "9:00:61", "C:\\Windows\\notepad.exe", 9, 0, 0, false},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.g.start_time = c.time;
        rig.g.start_target = c.target;
        rig.tick_at(c.h, c.m, c.s);
        if (!c.opens) {
            EXPECT_TRUE(rig.shell.opened.empty()) << c.name;
            EXPECT_TRUE(rig.notices.shown.empty()) << c.name << ": not even the notice";
            continue;
        }
        ASSERT_EQ(rig.shell.opened.size(), 1u) << c.name;
        const ShellOpen& o = rig.shell.opened[0];
        EXPECT_TRUE(o.owned_by_clock);
        EXPECT_EQ(o.verb, "open");
        EXPECT_EQ(o.file, c.target);
        EXPECT_EQ(o.parameters, "");
        EXPECT_EQ(o.folder, kDir);
        EXPECT_EQ(o.show_command, 5);
        EXPECT_EQ(rig.notices.shown,
                  (std::vector<RecordingNotices::Shown>{{300, 5000, 500, "定时启动项目已经启动！"}}));
    }
}

TEST(ClockTick, AFailingStepNeverStopsTheNext) {
    Rig rig;
    rig.checks.ticking = true;
    rig.checks.hour_chime = true;
    rig.alarm(0, "12:00:00", "a.mp3", "lunch");
    rig.g.start_time = "12:00:00";
    rig.g.start_target = "C:\\x.exe";
    rig.notices.fail = true;
    rig.shell.fail = true;
    rig.tick_at(12, 0, 0);
    EXPECT_EQ(rig.played(), (Lines{ring("a.mp3"), kHour, kTicking}));
    EXPECT_EQ(rig.face.texts.time, "12:00:00");
    EXPECT_EQ(rig.face.hubs, 1);
}

TEST(ClockTick, LabelsHaveNoLeadingZeros) {
    Rig rig;
    rig.tick_at(9, 5, 7);
    EXPECT_EQ(rig.face.texts.time, "9:05:07");
    EXPECT_EQ(rig.face.texts.weekday, "星期六");
    EXPECT_EQ(rig.face.texts.year_month, "2026-5");
    EXPECT_EQ(rig.face.texts.day, "9");
}

TEST(ClockTick, TheTickingSoundKeepsItsDeviceOpenAndReplaysIt) {
    const std::string kWood = kDir + "Voice\\Mati\\tick_wood.wav";
    const std::string open = open_of(kTicking, "Waveaudio"), play = "Play " + q(kTicking),
                      replay = "Play " + q(kTicking) + " from 0";
    // Three handled seconds; `between` runs before the third.
    const struct { const char* name; bool on; bool file; std::function<void(Rig&)> between; Lines actions; } cases[] = {
        {"on: one open, then plays from the start", true, true, nullptr, {open, play, replay, replay}},
        {"off", false, true, nullptr, {}},
        {"file missing", true, false, nullptr, {}},
        {"a refused play reopens the device", true, true, [&](Rig& r) { r.mci.refused = {replay}; },
         {open, play, replay, replay, "Close " + q(kTicking), open, play}},
        {"another file closes the old one", true, true, [&](Rig& r) { r.g.ticking_sound = "tick_wood.wav"; },
         {open, play, replay, "Close " + q(kTicking), open_of(kWood, "Waveaudio"), "Play " + q(kWood)}},
        {"the warning sound on the same player", true, true,
         [&](Rig& r) { r.tick.player(0).mmOpen(kHour, 0); },
         {open, play, replay, "Close " + q(kTicking), open_of(kHour, "Waveaudio"), "Close " + q(kHour), open, play}},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.files.files[kWood] = "sound";
        rig.checks.ticking = c.on;
        if (!c.file) rig.files.files.erase(kTicking);
        rig.tick_at(10, 0, 1);
        rig.tick_at(10, 0, 2);
        if (c.between) c.between(rig);
        rig.tick_at(10, 0, 3);
        EXPECT_EQ(rig.mci.actions(), c.actions) << c.name;
    }
}

TEST(ClockTick, HourlyStepsRunAfterTheHandsAndBeforeTheAlarms) {
    Rig rig;
    std::vector<std::string> log;
    RecordingSteps steps;
    steps.log = &log;
    rig.notices.log = &log;
    rig.tick.set_hourly_steps(&steps);
    rig.alarm(0, "8:04:00", "a.mp3", "alarm");
    rig.tick_at(8, 4, 0);
    rig.tick_at(8, 4, 0, 700);
    EXPECT_EQ(log, (Lines{"network", "guard", "notice"}));
    ASSERT_EQ(steps.minute_angles.size(), 1u);
    EXPECT_EQ(steps.minute_angles[0], 7.4337f) << "minute 4 second 0 as a Single";
}

TEST(ClockTick, TimerDelayAimsJustPastTheNextSecond) {
    const struct { int ms; int delay; } cases[] = {{0, 1020}, {5, 1015}, {500, 520}, {980, 40}, {999, 21}};
    for (const auto& c : cases) EXPECT_EQ(tick_delay_ms(c.ms), c.delay) << c.ms;
    Rig rig;
    rig.clock.set(1, 2, 3, 730);
    EXPECT_EQ(rig.tick.next_interval_ms(), 290);
}

TEST(ClockTick, ReArmedTimerHandlesEverySecondDespiteJitter) {
    // A timer that fires late by up to 40 ms and a tick that takes up to 300 ms:
    // re-armed from the clock each time, every second is still seen by a tick.
    Rig rig;
    std::mt19937 random(4);
    std::uniform_int_distribution<int> late(0, 40), work(0, 300);
    const std::int64_t start_ms = LocalTime{2026, 5, 9, 6, 8, 0, 0, 0}.local_seconds() * 1000;
    std::int64_t now_ms = start_ms + 123;
    const auto set_clock = [&] {
        rig.clock.current = local_time_at(now_ms / 1000);
        rig.clock.current.millisecond = static_cast<int>(now_ms % 1000);
    };
    int ticks = 0;
    while (now_ms < start_ms + 3600 * 1000) {
        set_clock();
        rig.tick.on_tick_timer();
        ++ticks;
        now_ms += work(random);
        set_clock();
        now_ms += rig.tick.next_interval_ms() + late(random);
    }
    EXPECT_EQ(rig.face.hubs, 3600) << "handled seconds in an hour (" << ticks << " ticks)";
}

}  // namespace
}  // namespace tockly

namespace tockly {
namespace {

// A watch that keeps every second quiet.
class QuietWatch : public SecondWatch {
public:
    int afters = 0;
    bool quiet(const TickMoment&) override { return true; }
    void after(const TickMoment&) override { ++afters; }
};

TEST(ClockTick, AQuietSecondHasNoChimeNoHourlyNoticeAndNoTickingButTheAlarmRings) {
    Rig rig;
    QuietWatch watch;
    rig.tick.set_second_watch(&watch);
    rig.checks.hour_chime = rig.checks.ticking = true;
    rig.alarm(0, "9:00:00", "a.mp3", "起床");
    rig.tick_at(9, 0, 0);
    EXPECT_EQ(rig.played(), Lines{ring("a.mp3")});
    EXPECT_EQ(rig.notice_texts(), Lines{"起床"});
    EXPECT_EQ(rig.tick.rings_started(), 1);
    EXPECT_EQ(watch.afters, 1);
}

// ---------------------------------------------------------------- snooze --

const std::int64_t kMay9 = LocalTime{2026, 5, 9, 6, 0, 0, 0, 0}.local_seconds();

TEST(Snooze, StoredSettingsReadAsTheClockUsesThem) {
    const struct { const char* stored; int minutes, max_count; } cases[] = {
        {"", 5, 3}, {"abc", 5, 3}, {"7", 7, 7}, {" 12 ", 12, 10}, {"0", 1, 1}, {"-4", 1, 1}, {"61", 60, 10}, {"60", 60, 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(snooze_minutes_from(c.stored), c.minutes) << "'" << c.stored << "'";
        EXPECT_EQ(snooze_max_count_from(c.stored), c.max_count) << "'" << c.stored << "'";
    }
    EXPECT_EQ(snooze_caption(5), "5 分钟后再响");
}

TEST(Snooze, APendingSnoozeIsStoredAndReadBack) {
    const PendingSnooze snooze{2, kMay9 + 7 * 3600 + 35 * 60, 1};
    EXPECT_EQ(pending_snooze_text(snooze), "2,2026-05-09 07:35:00,1");
    EXPECT_EQ(pending_snooze_from("2,2026-05-09 07:35:00,1"), snooze);
    EXPECT_EQ(pending_snooze_text(std::nullopt), "");
    for (const char* bad : {"", "2,2026-05-09 07:35:00", "x,2026-05-09 07:35:00,1", "2,2026-02-31 07:35:00,1",
                            "2,2026-05-09 25:35:00,1", "12,2026-05-09 07:35:00,1", "2,2026-05-09 07:35:00,0"})
        EXPECT_FALSE(pending_snooze_from(bad)) << bad;
    EXPECT_EQ(stamp_from("2026-05-09 07:35:00"), kMay9 + 7 * 3600 + 35 * 60);
    EXPECT_FALSE(stamp_from("2026-05-09 7:35"));
}

TEST(Snooze, ARingPutOffComesBackAfterItsMinutesAsOftenAsAllowed) {
    Rig rig;
    rig.alarm(0, "7:30:00", "a.mp3", "起床");
    rig.g.snooze = {2, 2};
    rig.tick_at(7, 30, 0);
    ASSERT_TRUE(rig.tick.ringing());
    rig.tick_at(7, 30, 10);
    ASSERT_TRUE(rig.tick.snooze());
    EXPECT_FALSE(rig.tick.ringing()) << "the ring stops";
    EXPECT_EQ(rig.stored("zaixiang", "dengdai"), "0,2026-05-09 07:32:10,1") << "a restart keeps it";
    EXPECT_NE(alarm_list_text(rig.g, rig.clock.now(), {}).find("再响：7:32:10  起床  【第1次再响"), std::string::npos);
    rig.notices.shown.clear();
    rig.mci.sent.clear();
    for (int s = 11; s < 130; ++s) rig.tick_at(7, 30 + s / 60, s % 60);  // up to 7:32:09
    EXPECT_TRUE(rig.played().empty());
    rig.tick_at(7, 32, 10);
    EXPECT_EQ(rig.played(), Lines{ring("a.mp3")});
    EXPECT_EQ(rig.notice_texts(), Lines{"起床"});
    EXPECT_EQ(rig.stored("zaixiang", "dengdai"), "") << "rung: nothing pending";
    ASSERT_TRUE(rig.tick.snooze()) << "the second time";
    rig.tick_at(7, 34, 10);
    EXPECT_TRUE(rig.tick.ringing());
    EXPECT_FALSE(rig.tick.can_snooze()) << "two snoozes were allowed";
    EXPECT_FALSE(rig.tick.snooze());
}

TEST(Snooze, StoppingTheRingCancelsAPendingSnoozeAndARingThatEndedCannotBePutOff) {
    Rig rig;
    rig.alarm(0, "7:30:00", "a.mp3", "起床");
    rig.tick_at(7, 30, 0);
    ASSERT_TRUE(rig.tick.snooze());
    rig.tick.stop_ringing();
    EXPECT_FALSE(rig.g.pending_snooze);
    EXPECT_EQ(rig.stored("zaixiang", "dengdai"), "");
    rig.mci.sent.clear();
    for (int s = 1; s < 400; ++s) rig.tick_at(7, 30 + s / 60, s % 60);
    EXPECT_TRUE(rig.played().empty()) << "cancelled";
    rig.tick_at(7, 30, 0);  // the clock set back: it rings again
    rig.mci.answers["Status " + q(ring("a.mp3")) + " mode"] = "stopped";
    EXPECT_FALSE(rig.tick.ringing()) << "played out";
    EXPECT_FALSE(rig.tick.snooze());
}

TEST(Snooze, WhatPassedWhileTheClockWasClosedIsListedAndNothingRingsLate) {
    const std::string shutdown_bat = kDir + "CloseWindos.bat";
    const struct { const char* name; std::optional<const char*> last_run; std::optional<const char*> snooze;
                   Lines notices; Lines played; const char* snooze_after; const char* stored_after; } cases[] = {
        {"no last run: as before", {}, {}, {}, {}, "", ""},
        {"closed over two alarms and the start", "2026-05-09 07:00:00", {},
         {"错过的闹铃：7:20:00 定时启动；7:30:00 起床；7:45:00 关机前提醒很长很…"}, {}, "", "2026-05-09 07:59:50"},
        {"two days closed: the last 24 hours", "2026-05-07 07:00:00", {},
         {"错过的闹铃：8:00:00 开会；7:20:00 定时启动；7:30:00 起床 等4项"}, {}, "", "2026-05-09 07:59:50"},
        {"a snooze due while closed is missed, not rung", "2026-05-09 07:40:00", "0,2026-05-09 07:50:00,1",
         {"错过的闹铃：7:45:00 关机前提醒很长很…；7:50:00 起床"}, {}, "", "2026-05-09 07:59:50"},
        {"a snooze still ahead rings later", "2026-05-09 07:50:00", "0,2026-05-09 07:59:55,1",
         {"起床"}, {ring("a.mp3")}, "", "2026-05-09 07:59:55"},
        {"last run in the future: nothing", "2026-05-09 09:00:00", {}, {}, {}, "", "2026-05-09 09:00:00"},
    };
    for (const auto& c : cases) {
        Rig rig;
        with_a_morning(rig);
        const std::string ini = rig.g.settings_path();
        if (c.last_run) rig.profile.set(ini, "yunxing", "shangci", *c.last_run);
        if (c.snooze) rig.profile.set(ini, "zaixiang", "dengdai", *c.snooze);
        load_snooze_settings(rig.profile, rig.g);
        for (int s = 50; s < 60; ++s) rig.tick_at(7, 59, s);
        EXPECT_EQ(rig.notice_texts(), c.notices) << c.name;
        EXPECT_EQ(rig.played(), c.played) << c.name;
        EXPECT_TRUE(rig.shell.opened.empty()) << c.name << ": no late start, no late shutdown";
        EXPECT_EQ(rig.stored("zaixiang", "dengdai"), c.snooze_after) << c.name;
        EXPECT_EQ(rig.stored("yunxing", "shangci"), c.stored_after) << c.name << ": what was listed or rang is noted";
        const std::string list = alarm_list_text(rig.g, rig.clock.now(), {});
        const bool missed = !c.notices.empty() && c.notices[0].starts_with("错过的闹铃");
        EXPECT_EQ(list.find("错过：") != std::string::npos, missed) << c.name << ": listed until the list is seen\n" << list;
    }
}

TEST(Snooze, TheLastRunIsStoredOnceAMinuteAndWhenAnAlarmRings) {
    Rig rig;
    rig.tick_at(7, 29, 0);
    EXPECT_EQ(rig.profile.changes, 0) << "without alarms the file is left alone";
    rig.alarm(0, "7:30:30", "a.mp3", "");
    ++rig.g.alarms_version;
    for (int s = 1; s < 150; ++s) rig.tick_at(7, 29 + s / 60, s % 60);
    EXPECT_EQ(rig.profile.writes, (Lines{"yunxing/shangci=2026-05-09 07:30:00", "yunxing/shangci=2026-05-09 07:30:30",
                                         "yunxing/shangci=2026-05-09 07:31:00"}));
}

}  // namespace
}  // namespace tockly
