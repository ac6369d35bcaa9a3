// What the clock asks of the PC's power management: a timer that wakes a
// sleeping or hibernating PC, and the system and the display kept on while
// an alarm rings. The Windows adapters live in clock/windows/power.
#pragma once

#include <cstdint>

namespace tockly {

class WakeTimer {
public:
    virtual ~WakeTimer() = default;
    // Wakes the PC at this local time (counted as LocalTime::local_seconds)
    // if it sleeps then and the power options allow wake timers; replaces
    // the time set before. False when the system refused the timer.
    virtual bool set(std::int64_t local_seconds) = 0;
    // No wake at all any more.
    virtual void cancel() = 0;
};

class KeepAwake {
public:
    virtual ~KeepAwake() = default;
    // On: neither the system nor the display goes to sleep until it is off again.
    virtual void keep_awake(bool on) = 0;
};

}  // namespace tockly
