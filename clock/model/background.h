// Slow work away from the window: the network check and the time page wait
// on the network for seconds, and the face must keep its seconds meanwhile.
//
// A job has two halves. The work runs on the worker and may touch only what
// it holds by value and the waiting ports (connection state, echo, HTTP, time
// zone, monotonic and wall clock); never the globals, the settings file, a
// window or a model. What it returns runs later on the window's thread and
// may touch everything. The worker on Windows is WorkerBackground
// (clock/windows/background_work.h).
#pragma once

#include <functional>

namespace tockly {

class Background {
public:
    using Result = std::function<void()>;
    using Work = std::function<Result()>;

    virtual ~Background() = default;
    // Starts `work` only when the worker is idle; false (and nothing started)
    // while an earlier job is still under way or waiting. For a step that a
    // later one of its kind makes good, such as the hourly checks.
    virtual bool run(Work work) = 0;
    // Runs `work` after every job before it. False only when the worker is
    // gone (the program is ending) or could not be started.
    virtual bool queue(Work work) = 0;
};

}  // namespace tockly
