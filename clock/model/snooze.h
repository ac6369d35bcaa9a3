// Putting a ringing alarm off: the menu item "N 分钟后再响" beside 关闭铃声
// and a click on the ringing alarm's notice band. The pending snooze and the
// time the clock last ran are kept in the settings file (keys zaixiang and
// yunxing), so a restart neither loses a snooze nor lets one ring late.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "clock/model/clock_state.h"
#include "clock/support/ports.h"
#include "clock/support/time_text.h"

namespace tockly {

namespace snooze_design {
inline constexpr int default_minutes = 5;
inline constexpr int min_minutes = 1;
inline constexpr int max_minutes = 60;
inline constexpr int default_max_count = 3;
inline constexpr int max_max_count = 10;
inline constexpr std::string_view caption_tail = " 分钟后再响";
inline constexpr std::string_view list_heading = "再响：";
inline constexpr std::string_view missed_list_heading = "错过：";
}  // namespace snooze_design

// The menu item's caption for that many minutes: "5 分钟后再响".
std::string snooze_caption(int minutes);

// The stored values as the clock uses them: a missing or unreadable value
// gives the default, one out of range the nearest allowed.
int snooze_minutes_from(std::string_view stored);
int snooze_max_count_from(std::string_view stored);

// A local time as stored, "YYYY-MM-DD HH:MM:SS", and back (nothing for a
// text that is not one).
std::string stamp_text(std::int64_t local_seconds);
std::optional<std::int64_t> stamp_from(std::string_view text);

// The pending snooze as stored ("row,YYYY-MM-DD HH:MM:SS,count"; empty for
// none) and back; a text the clock cannot read is no snooze.
std::string pending_snooze_text(const std::optional<PendingSnooze>& snooze);
std::optional<PendingSnooze> pending_snooze_from(std::string_view text);

// Reads the snooze settings, the pending snooze and the last-run time into g.
void load_snooze_settings(ProfileStore& profile, ClockGlobals& g);

// The alarm list's line for a pending snooze.
std::string pending_snooze_line(const ClockGlobals& g, const PendingSnooze& snooze, const TimeFormat& format);

}  // namespace tockly
