#include "clock/model/wake_plan.h"

#include <algorithm>

#include "clock/model/alarm_schedule.h"
#include "clock/support/settings_file.h"

namespace tockly {

std::optional<std::int64_t> next_ring(const ClockGlobals& g, const LocalTime& now, const TimeFormat& format,
                                      std::optional<std::int64_t> pending_snooze) {
    const std::int64_t now_s = now.local_seconds();
    std::optional<std::int64_t> next;
    const auto consider = [&](std::int64_t at) {
        if (at > now_s && (!next || at < *next)) next = at;
    };
    if (pending_snooze) consider(*pending_snooze);
    const int rows = std::clamp<int>(g.alarm_count, 0, static_cast<int>(g.alarms.size()));
    for (int i = 0; i < rows; ++i) {
        const auto day = next_ring_day(g, i, now, format);
        const auto time = parse_time_of_day(g.alarms[static_cast<std::size_t>(i)].time, format);
        if (day && time) consider(static_cast<std::int64_t>(day->time_since_epoch().count()) * 86400 + *time);
    }
    return next;
}

bool WakePlan::due_again(const Key& key, std::int64_t now) const {
    if (key_ != key || !last_second_) return true;
    // A step back, or forward by more than the tick catches up: the clock was set.
    if (now < *last_second_ || now - *last_second_ > 61) return true;
    return ring_ && now >= *ring_;
}

void WakePlan::on_second(const ClockGlobals& g, const LocalTime& now, const TimeFormat& format,
                         std::optional<std::int64_t> pending_snooze) {
    const std::int64_t now_s = now.local_seconds();
    const Key key{g.wake_for_alarms, g.alarms_version, pending_snooze, now_s / 86400};
    const bool again = due_again(key, now_s);
    key_ = key;
    last_second_ = now_s;
    if (!again) return;
    ring_ = key.on ? next_ring(g, now, format, pending_snooze) : std::nullopt;
    // Off, or nothing left to ring for: no wake-up nobody asked for.
    if (ring_) timer_.set(*ring_ - wake::lead_seconds);
    else timer_.cancel();
}

void RingAwake::on_second(int rings_started, const std::function<bool()>& ringing) {
    if (rings_started != rings_seen_) {
        rings_seen_ = rings_started;
        if (!awake_) port_.keep_awake(true);
        awake_ = true;
        return;
    }
    if (awake_ && !ringing()) {
        port_.keep_awake(false);
        awake_ = false;
    }
}

}  // namespace tockly
