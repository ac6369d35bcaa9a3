// The power ports on Windows: a waitable timer with resume for waking the PC,
// and the thread's execution state for keeping it awake while an alarm rings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "clock/support/local_time.h"
#include "clock/support/power_port.h"
#include "win32kit/handles.h"

namespace tockly::win {

// The UTC time of a local time counted as LocalTime::local_seconds, by the
// time-zone rules of that day (summer time included).
std::optional<FILETIME> utc_of_local_seconds(std::int64_t local_seconds);

class Win32WakeTimer : public WakeTimer {
public:
    // `clock_offset_seconds` is the test builds' shift of the clock's time
    // (see test_hooks.h), taken off again so the PC wakes at the real time.
    explicit Win32WakeTimer(std::int64_t clock_offset_seconds = 0);
    bool set(std::int64_t local_seconds) override;
    void cancel() override;
    // The due time last handed to the system (UTC), none while cancelled.
    std::optional<FILETIME> due() const { return due_; }

private:
    win32kit::unique_handle timer_;
    std::int64_t offset_;
    std::optional<FILETIME> due_;
};

class Win32KeepAwake : public KeepAwake {
public:
    void keep_awake(bool on) override;
};

}  // namespace tockly::win
