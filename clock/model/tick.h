// The one-second tick of the clock window (tick_timer): the gate that lets each
// second through once, the hands, the alarms, the chimes, the scheduled
// shutdown and start, the labels and the ticking sound, in that order.
//
// Two things differ from a plain 1000 ms timer that compares second numbers:
// the window re-arms tick_timer every tick so that it falls just after the next
// second boundary (next_interval_ms), and a tick that finds seconds skipped
// since the last handled one (a blocking step, a busy machine) first runs the
// alarm, shutdown and start checks for each skipped second, so nothing set
// for those seconds is lost.
//
// A longer jump forward (a sleep, a hibernation, the clock set on) is not
// replayed: ringing an alarm or shutting down hours late would only surprise
// the user. The alarms and the scheduled start that fell inside it are listed
// in one notice instead; the shutdown simply waits for its next day.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "clock/model/alarm_schedule.h"
#include "clock/model/snooze.h"
#include "clock/model/clock_state.h"
#include "clock/model/face.h"
#include "clock/support/local_time.h"
#include "clock/support/media_player.h"
#include "clock/support/ports.h"
#include "clock/support/shell_port.h"
#include "clock/model/notice_band_model.h"
#include "clock/support/time_text.h"

namespace tockly {

namespace tick {
// The angle steps as the face has always used them: not quite pi/6 and pi/30.
inline constexpr double hour_step = 0.5236;
inline constexpr double minute_step = 0.1047;
inline constexpr double hour_hand_length = 0.4;
inline constexpr double minute_hand_length = 0.5;
inline constexpr double second_hand_length = 0.7;
inline constexpr unsigned second_hand_colour = 0x800000;  // dark blue
// The angles of minute 0 and minute 30 at second 0, compared as Singles.
inline constexpr float minute_angle_at_hour = 7.8525f;
inline constexpr float minute_angle_at_half_hour = 4.7115f;
inline constexpr float second_angle_at_zero = 39.27f;
// Seconds skipped since the last handled one that are still caught up; a
// longer jump (sleep, a clock change) replays nothing.
inline constexpr int max_replayed_seconds = 60;
// How long after a second boundary the tick aims to fall.
inline constexpr int boundary_margin_ms = 20;
inline constexpr int shutdown_countdown_seconds = 20;

// The notice of a jump: a heading, then "time notice" entries in the order
// they fell, cut short so that the band stays one line.
inline constexpr std::string_view missed_heading = "错过的闹铃：";
inline constexpr std::string_view missed_separator = "；";
inline constexpr std::string_view missed_start_label = "定时启动";
inline constexpr std::size_t missed_entries_shown = 3;
inline constexpr std::size_t missed_notice_characters = 8;
// What passed while the clock was closed is listed this far back at most.
inline constexpr std::int64_t missed_while_closed_seconds = 86400;

inline constexpr std::string_view hour_chime_file = "正点.wav";
inline constexpr std::string_view half_hour_chime_file = "半点.wav";
}  // namespace tick

struct HandAngles {
    double H = 0;  // hour hand, double
    float M = 0;   // minute hand, stored as a Single
    float S = 0;   // second hand, stored as a Single
};

HandAngles hand_angles(int hour, int minute, int second);
// Lines 0 (hour), 13 (minute) and 14 (second) of the face for those angles.
std::array<FaceLine, 3> hand_lines(const HandAngles& a);
std::string hourly_chime_text(int hour);
// The text of the notice that lists what a forward jump skipped; entries
// beyond the first few are only counted.
std::string missed_events_text(const std::vector<std::string>& entries);

// Milliseconds from a reading with this millisecond to just after the next
// second boundary.
int tick_delay_ms(int millisecond);

// What a handled second looked like, for the hourly steps.
struct TickMoment {
    LocalTime now;
    int time_of_day = 0;  // the time of day in seconds, read at the tick's start
    HandAngles angles;
};

// Steps 7 (hourly network check) and 8 (time guard) of the tick. Both are
// called on every handled second, after the hands and before the alarms;
// each decides from moment.angles.M whether its minute has come.
class HourlySteps {
public:
    virtual ~HourlySteps() = default;
    virtual void network_check(const TickMoment& moment) = 0;
    virtual void time_guard(const TickMoment& moment) = 0;
};

// What rides on the tick besides the face and the timed events: stepping
// aside for a full-screen program, the PC's wake timer.
class SecondWatch {
public:
    virtual ~SecondWatch() = default;
    // Before the timed events of a handled second; true keeps the chimes,
    // the hourly notice and the ticking quiet for it (alarms still ring).
    virtual bool quiet(const TickMoment& moment) = 0;
    // After everything else of the second.
    virtual void after(const TickMoment& moment) = 0;
};

// The face as the tick draws it.
class TickFace {
public:
    virtual ~TickFace() = default;
    virtual void show_hands(const std::array<FaceLine, 3>& hour_minute_second) = 0;
    virtual void show_texts(const FaceTexts& texts) = 0;
    // Draws the hub over the hands; the face is complete after this.
    virtual void draw_hub() = 0;
};

struct TickPorts {
    WallClock& clock;
    MciPort& mci;
    FileSystem& files;
    AnsiCodec& codec;
    Notices& notices;
    Shell& shell;
    TickFace& face;
    TimeFormat time_format;
    // Where the pending snooze and the last-run time are kept; none: nowhere.
    ProfileStore* settings = nullptr;
};

// The alarm that rings now, until its sound ends, the user stops it or puts it off.
struct RingingAlarm {
    int row = 0;
    int snoozes = 0;  // how many times this ring has been put off before
};

class ClockTick {
public:
    // The globals and check marks are shared with the menu and the settings
    // dialog; the tick always uses what they hold now.
    ClockTick(TickPorts ports, ClockGlobals& globals, MenuChecks& checks)
        : ports_(ports), g_(globals), checks_(checks) {}

    void set_hourly_steps(HourlySteps* steps) { hourly_ = steps; }
    void set_second_watch(SecondWatch* watch) { watch_ = watch; }

    // tick_timer's event.
    void on_tick_timer();
    // The interval to arm tick_timer with after a tick, read from the clock now.
    int next_interval_ms();

    // The players, created on first use: 0 ticking and warning sound, 1 alarm
    // ring, 2 chimes.
    MediaPlayer& player(int index);

    // The second (0..59) handled last, as the window has always kept it.
    int last_second() const { return last_second_; }
    const TickMoment& moment() const { return moment_; }
    // How many alarm rings the tick has started, for whoever follows them.
    int rings_started() const { return rings_started_; }
    // For what the menu shows about the alarms (their next ring).
    LocalTime read_clock() { return ports_.clock.now(); }
    const TimeFormat& time_format() const { return ports_.time_format; }

    // Whether an alarm's sound is still playing.
    bool ringing();
    // Whether the ringing alarm may be put off once more.
    bool can_snooze();
    // Puts the ringing alarm off by the snooze minutes; false when it may not.
    bool snooze();
    // 关闭铃声: the ring stops and a pending snooze is cancelled.
    void stop_ringing();

private:
    template <typename Step>
    void step(Step&& run);
    // Reads 节假日.txt on the first tick and works the alarms' days out again
    // when the date or the rows changed.
    void refresh_alarm_days(const LocalTime& now);
    void chimes(const LocalTime& now);
    void ticking();
    // The alarms whose time is this local second and whose rule holds on its day.
    void alarms(std::int64_t local_second);
    void shutdown(int time_of_day);
    void scheduled_start(int time_of_day);
    bool at(const std::string& time_text, int time_of_day) const;
    // Lists the alarms and the scheduled start whose time fell in the local
    // seconds first..last, each once, in one notice.
    void report_missed(std::int64_t first, std::int64_t last);
    // At the first tick: what passed since the clock last ran.
    void report_missed_while_closed(std::int64_t now);
    std::vector<std::pair<std::int64_t, std::string>> missed_between(std::int64_t first, std::int64_t last);
    void ring(int row, int snoozes, std::int64_t local_second);
    void snooze_due(std::int64_t local_second);
    void store_pending_snooze();
    // The last-run time, at most once a minute after the run's first minute,
    // and at once when something rang or was listed as missed.
    void remember_run(std::int64_t local_second, bool now);

    TickPorts ports_;
    ClockGlobals& g_;
    MenuChecks& checks_;
    HourlySteps* hourly_ = nullptr;
    SecondWatch* watch_ = nullptr;
    bool quiet_ = false;
    int rings_started_ = 0;
    AlarmSchedule schedule_;
    bool holiday_file_read_ = false;
    std::set<int> unpublished_years_said_;
    std::array<std::unique_ptr<MediaPlayer>, 3> players_;
    std::optional<std::int64_t> last_handled_;
    std::optional<RingingAlarm> ringing_;
    std::optional<std::int64_t> last_run_minute_;
    std::optional<std::int64_t> started_at_;  // the first handled second
    int last_second_ = 0;
    TickMoment moment_;
};

}  // namespace tockly
