#include "clock/model/wake_plan.h"

#include "clock/model/alarm_schedule.h"

namespace tockly {

bool WakePlan::due_again(const Key& key, std::int64_t now) const {
    if (key_ != key || !last_second_) return true;
    // A step back, or forward by more than the tick catches up: the clock was set.
    if (now < *last_second_ || now - *last_second_ > 61) return true;
    return ring_ && now >= *ring_;
}

void WakePlan::on_second(const ClockGlobals& g, const LocalTime& now, const TimeFormat& format) {
    const std::int64_t now_s = now.local_seconds();
    const std::optional<std::int64_t> snooze =
        g.pending_snooze ? std::optional(g.pending_snooze->due) : std::nullopt;
    const Key key{g.wake_for_alarms, g.alarms_version, snooze, now_s / 86400};
    const bool again = due_again(key, now_s);
    key_ = key;
    last_second_ = now_s;
    if (!again) return;
    ring_ = key.on ? next_due_ring(g, now, format) : std::nullopt;
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
