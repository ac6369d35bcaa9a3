#include "clock/model/tick_watch.h"

namespace tockly {

bool TickWatch::quiet(const TickMoment&) { return guard_.on_second(g_.on_top_over_full_screen); }

void TickWatch::after(const TickMoment& moment) {
    // The ring's player (1) is asked only while the PC is kept awake for it.
    ring_awake_.on_second(tick_.rings_started(), [this] { return tick_.player(1).status() == "playing"; });
    plan_.on_second(g_, moment.now, tick_.time_format());
}

}  // namespace tockly
