// Waking a sleeping PC for the alarms (唤醒电脑响铃): the moment the wake
// timer is set for, when it is set again, and the system kept awake while
// an alarm rings.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "clock/model/clock_state.h"
#include "clock/support/local_time.h"
#include "clock/support/power_port.h"
#include "clock/support/time_text.h"

namespace tockly {

namespace wake {
// The PC wakes this long before the ring. Windows takes some seconds after a
// wake before the clock's tick runs again, and a second the tick never saw
// rings nothing (it is listed as missed); two minutes after a wake by timer
// Windows sleeps again unless asked not to, so the lead stays well below that.
inline constexpr int lead_seconds = 60;
}  // namespace wake

// Keeps the wake timer set for the next ring while the setting is on and
// cancelled while it is off. Runs on every handled second but works the
// next ring (next_due_ring: the rows' rules and a pending snooze) out again
// only when the rows, the setting, the snooze or the
// date changed, the clock was set or jumped, or the planned ring has come.
class WakePlan {
public:
    explicit WakePlan(WakeTimer& timer) : timer_(timer) {}
    void on_second(const ClockGlobals& g, const LocalTime& now, const TimeFormat& format);
    // The ring the timer wakes the PC for; none while nothing is set.
    std::optional<std::int64_t> planned_ring() const { return ring_; }

private:
    struct Key {
        bool on = false;
        int alarms_version = 0;
        std::optional<std::int64_t> snooze;
        std::int64_t day = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    bool due_again(const Key& key, std::int64_t now) const;

    WakeTimer& timer_;
    std::optional<Key> key_;
    std::optional<std::int64_t> last_second_;
    std::optional<std::int64_t> ring_;
};

// Keeps the system and the display on from the second an alarm starts
// ringing until its ring ends (played out, or stopped with 关闭铃声).
class RingAwake {
public:
    explicit RingAwake(KeepAwake& port) : port_(port) {}
    // On every handled second: how many rings the tick has started so far,
    // and whether the ring still plays (asked only while one may).
    void on_second(int rings_started, const std::function<bool()>& ringing);
    bool awake() const { return awake_; }

private:
    KeepAwake& port_;
    int rings_seen_ = 0;
    bool awake_ = false;
};

}  // namespace tockly
