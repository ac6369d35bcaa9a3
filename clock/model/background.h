// Slow work away from the window: the network check and the time page wait
// on the network for seconds, and the face must keep its seconds meanwhile.
#pragma once

#include <functional>

namespace tockly {

// Runs `work` elsewhere; what `work` returns is then done with its result on
// the window's own thread. Only one job at a time.
class Background {
public:
    virtual ~Background() = default;
    // False (and nothing started) while an earlier job is still under way.
    virtual bool run(std::function<std::function<void()>()> work) = 0;
};

}  // namespace tockly
