// The time guard's waiting on a worker thread: the network check and the
// time page run there, and only their results come back to the window's
// thread, posted to a message-only window of our own, so the face keeps
// its seconds while a page hangs.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "clock/model/background.h"
#include "clock/support/web_time.h"

namespace tockly::win {

class WorkerBackground : public Background {
public:
    explicit WorkerBackground(HINSTANCE instance);
    // Waits for a job still under way: it holds references to the ports.
    ~WorkerBackground() override;
    WorkerBackground(const WorkerBackground&) = delete;
    WorkerBackground& operator=(const WorkerBackground&) = delete;

    bool run(std::function<std::function<void()>()> work) override;

private:
    static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND window_ = nullptr;
    std::thread worker_;
    std::atomic<bool> busy_{false};
};

// GetTickCount64: milliseconds since the system started.
class Win32MonotonicClock : public MonotonicClock {
public:
    std::int64_t now_ms() override;
};

// The system's time-zone rules for the instant (SystemTimeToTzSpecificLocalTime).
class Win32TimeZone : public TimeZone {
public:
    std::optional<LocalTime> local_from_utc(std::int64_t unix_seconds) override;
};

}  // namespace tockly::win
