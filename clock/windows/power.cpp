#include "clock/windows/power.h"

namespace tockly::win {

std::optional<FILETIME> utc_of_local_seconds(std::int64_t local_seconds) {
    const LocalTime t = local_time_at(local_seconds);
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(t.year);
    local.wMonth = static_cast<WORD>(t.month);
    local.wDay = static_cast<WORD>(t.day);
    local.wHour = static_cast<WORD>(t.hour);
    local.wMinute = static_cast<WORD>(t.minute);
    local.wSecond = static_cast<WORD>(t.second);
    SYSTEMTIME utc{};
    FILETIME due{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &due))
        return std::nullopt;
    return due;
}

Win32WakeTimer::Win32WakeTimer(std::int64_t clock_offset_seconds)
    // A manual-reset timer nobody waits on: only its wake matters.
    : timer_(CreateWaitableTimerW(nullptr, TRUE, nullptr)), offset_(clock_offset_seconds) {}

bool Win32WakeTimer::set(std::int64_t local_seconds) {
    const auto due = utc_of_local_seconds(local_seconds - offset_);
    if (!timer_ || !due) return false;
    // A positive due time is an absolute UTC time; fResume wakes the PC for it.
    LARGE_INTEGER at{};
    at.LowPart = due->dwLowDateTime;
    at.HighPart = static_cast<LONG>(due->dwHighDateTime);
    if (!SetWaitableTimer(timer_.get(), &at, 0, nullptr, nullptr, TRUE)) return false;
    due_ = due;
    return true;
}

void Win32WakeTimer::cancel() {
    if (timer_) CancelWaitableTimer(timer_.get());
    due_.reset();
}

void Win32KeepAwake::keep_awake(bool on) {
    SetThreadExecutionState(on ? ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED | ES_CONTINUOUS : ES_CONTINUOUS);
}

}  // namespace tockly::win
