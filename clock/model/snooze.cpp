#include "clock/model/snooze.h"

#include <algorithm>
#include <cstdio>

#include "clock/support/local_time.h"
#include "clock/support/settings_file.h"
#include "clock/support/settings_keys.h"

namespace tockly {

namespace {

int bounded(std::string_view stored, int fallback, int low, int high) {
    const std::string text = trim_spaces(stored);
    if (text.empty() || !(text[0] == '-' || (text[0] >= '0' && text[0] <= '9'))) return fallback;
    return std::clamp(numeric_value(text), low, high);
}

}  // namespace

std::string snooze_caption(int minutes) { return std::to_string(minutes) + std::string(snooze_design::caption_tail); }

int snooze_minutes_from(std::string_view stored) {
    return bounded(stored, snooze_design::default_minutes, snooze_design::min_minutes, snooze_design::max_minutes);
}

int snooze_max_count_from(std::string_view stored) {
    return bounded(stored, snooze_design::default_max_count, 1, snooze_design::max_max_count);
}

std::string stamp_text(std::int64_t local_seconds) {
    const LocalTime t = local_time_at(local_seconds);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, static_cast<int>(t.month),
                  static_cast<int>(t.day), t.hour, t.minute, t.second);
    return buffer;
}

std::optional<std::int64_t> stamp_from(std::string_view text) {
    const std::string s = trim_spaces(text);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    char tail = 0;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &se, &tail) != 6) return std::nullopt;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 59 || y < 1900) return std::nullopt;
    LocalTime t{y, static_cast<unsigned>(mo), static_cast<unsigned>(d), 1, h, mi, se, 0};
    const std::int64_t at = t.local_seconds();
    // 31 February and the like are no time.
    if (stamp_text(at) != s) return std::nullopt;
    return at;
}

std::string pending_snooze_text(const std::optional<PendingSnooze>& snooze) {
    if (!snooze) return {};
    return std::to_string(snooze->row) + "," + stamp_text(snooze->due) + "," + std::to_string(snooze->count);
}

std::optional<PendingSnooze> pending_snooze_from(std::string_view text) {
    const std::string s = trim_spaces(text);
    const auto first = s.find(','), last = s.rfind(',');
    if (first == std::string::npos || first == last) return std::nullopt;
    const std::string row = s.substr(0, first), count = s.substr(last + 1);
    const auto due = stamp_from(s.substr(first + 1, last - first - 1));
    const auto digits = [](const std::string& t) {
        return !t.empty() && t.size() <= 2 && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!due || !digits(row) || !digits(count)) return std::nullopt;
    PendingSnooze snooze{std::stoi(row), *due, std::stoi(count)};
    if (snooze.row >= static_cast<int>(ClockGlobals{}.alarms.size()) || snooze.count < 1) return std::nullopt;
    return snooze;
}

void load_snooze_settings(ProfileStore& profile, ClockGlobals& g) {
    const std::string path = g.settings_path();
    const auto read = [&](std::string_view section, std::string_view key) {
        return profile.read(section, key, path).value;
    };
    g.snooze.minutes = snooze_minutes_from(read(ini::zaixiang::section, ini::zaixiang::fenzhong));
    g.snooze.max_count = snooze_max_count_from(read(ini::zaixiang::section, ini::zaixiang::cishu));
    g.pending_snooze = pending_snooze_from(read(ini::zaixiang::section, ini::zaixiang::dengdai));
    // A snooze of a row no longer in use has nothing to ring.
    if (g.pending_snooze && g.pending_snooze->row >= g.alarm_count) g.pending_snooze.reset();
    g.last_run = stamp_from(read(ini::yunxing::section, ini::yunxing::shangci));
}

std::string pending_snooze_line(const ClockGlobals& g, const PendingSnooze& snooze, const TimeFormat& format) {
    const LocalTime due = local_time_at(snooze.due);
    const AlarmRow& row = g.alarms.at(static_cast<std::size_t>(snooze.row));
    return std::string(snooze_design::list_heading) + format_time_of_day(due.seconds_of_day(), format) + "  " +
           row.notice + "  【第" + std::to_string(snooze.count) + "次再响，关闭铃声可取消】\r\n";
}

}  // namespace tockly
