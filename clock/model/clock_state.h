// The clock program's shared globals: filled at start-up, read by the tick,
// rewritten by the settings dialog.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lunar/core/working_days.h"

namespace tockly {

struct AlarmRow {
    std::string time;    // the time text as stored (regional long-time form)
    std::string sound;   // file name in Voice\NaoLing
    std::string notice;  // the notice text
    std::string rule;    // when it repeats, as stored ("workday", "lunar:08-15"); empty: daily
};

// A ring the user put off ("N 分钟后再响"): it rings again at `due`.
struct PendingSnooze {
    int row = 0;
    std::int64_t due = 0;  // local seconds (LocalTime::local_seconds)
    int count = 1;         // how many times this ring has been put off so far
    friend bool operator==(const PendingSnooze&, const PendingSnooze&) = default;
};

struct SnoozeSettings {
    int minutes = 5;    // 1..60
    int max_count = 3;  // how many times one ring may be put off
};

struct ClockGlobals {
    std::string program_folder;      // program folder, always ending in a backslash
    std::string shutdown_time;      // scheduled shutdown time text, empty: none
    bool online = false;          // network reachable at the last check
    std::string skin_path;         // skin picture path, empty for the default face
    std::string ticking_sound;        // ticking sound file name in Voice\Mati
    std::int16_t alarm_count = 0;    // alarm rows in use
    std::array<AlarmRow, 10> alarms{};
    std::string start_time;      // scheduled start time text, empty: none
    std::string start_target;      // what is opened at that time
    // 唤醒电脑响铃: a wake timer is kept set for the next alarm.
    bool wake_for_alarms = false;
    // Stays top-most even while a full-screen program is in front.
    bool on_top_over_full_screen = false;
    // China's working days for the alarms' rules: the built-in arrangements
    // and the user's 节假日.txt beside the program.
    lunar::WorkCalendar work_calendar;
    // Counts every change of the alarm rows, so the tick works the alarms'
    // days out again only after one.
    int alarms_version = 0;
    SnoozeSettings snooze;
    std::optional<PendingSnooze> pending_snooze;
    // When the clock last ran (local seconds), as the settings file had it at
    // start; none for a first run or a file from an older program.
    std::optional<std::int64_t> last_run;
    // What passed unheard (while the clock was closed or the PC slept), as
    // "time notice" entries; the alarm list shows them once.
    std::vector<std::string> missed_entries;

    std::string settings_path() const;
};

// The check marks of the clock's menu items that start-up sets.
struct MenuChecks {
    bool ticking = true;
    bool hour_chime = true;
    bool half_hour_chime = true;
    bool time_guard = true;
    bool show_year_month = true;
    bool show_day = true;
    bool show_time = true;
    bool show_weekday = true;
    bool start_with_windows = false;
};

// Whether the two network-dependent menu items can be chosen: the time guard
// and the maker's web page. A network check that finds no network disables
// both (their check marks stay); a later check that finds it enables them.
struct NetworkItems {
    bool time_guard = true;
    bool home_page = true;
};

}  // namespace tockly
