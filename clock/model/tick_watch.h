// What the clock watches on every handled second besides the face and the
// timed events: it steps aside for a full-screen program, keeps the wake
// timer on the next alarm and keeps the PC awake while an alarm rings.
#pragma once

#include "clock/model/full_screen.h"
#include "clock/model/tick.h"
#include "clock/model/wake_plan.h"

namespace tockly {

struct TickWatchPorts {
    FullScreenWatch& screen;
    ClockStacking& stacking;
    WakeTimer& wake;
    KeepAwake& awake;
};

class TickWatch : public SecondWatch {
public:
    // The globals are the clock's own: the settings dialog changes them.
    TickWatch(TickWatchPorts ports, ClockTick& tick, const ClockGlobals& globals)
        : guard_(ports.screen, ports.stacking), plan_(ports.wake), ring_awake_(ports.awake), tick_(tick), g_(globals) {}

    bool quiet(const TickMoment& moment) override;
    void after(const TickMoment& moment) override;

    const FullScreenGuard& guard() const { return guard_; }
    const WakePlan& plan() const { return plan_; }

private:
    FullScreenGuard guard_;
    WakePlan plan_;
    RingAwake ring_awake_;
    ClockTick& tick_;
    const ClockGlobals& g_;
};

}  // namespace tockly
