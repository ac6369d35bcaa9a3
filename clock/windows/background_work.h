// The worker of the time guard: one thread that runs the jobs of Background
// in turn (the start-up and hourly network checks, the time page, the
// correction's fetch) and hands each result back to the window's thread,
// posted to a message-only window of our own, so the face keeps its seconds
// while a page hangs.
//
// The threading rule. On the worker runs only the work half of a job, and it
// may touch only what it holds by value and the waiting ports: the
// connection state, the echo service, the HTTP client, the time zone, the
// monotonic and the wall clock. Those are made for any thread. It never
// touches the globals, the settings file, a window, a model or the players;
// the result half, which runs on the window's thread, does that. Nothing but
// the program's exit (stop) may end a job early: it cancels the network
// first, which makes the waiting return at once.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "clock/model/background.h"

namespace tockly::win {

class WorkerBackground : public Background {
public:
    explicit WorkerBackground(HINSTANCE instance);
    ~WorkerBackground() override;
    WorkerBackground(const WorkerBackground&) = delete;
    WorkerBackground& operator=(const WorkerBackground&) = delete;

    bool run(Work work) override;
    bool queue(Work work) override;

    // For the exit, on the window's thread: drops the jobs not yet begun and
    // the results not yet taken, waits for the job under way (cancel its
    // network first) and refuses every later one.
    void stop();

private:
    bool add(Work work, bool only_when_idle);
    void work_through_jobs();
    void hand_back(Result result);
    static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND window_ = nullptr;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Work> jobs_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace tockly::win
