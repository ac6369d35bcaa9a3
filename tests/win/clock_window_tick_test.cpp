// The clock window runs the tick at once when the system says the time
// changed or the machine woke up, instead of waiting for its timer.
#include <gtest/gtest.h>

#include "tests/host/clock/fakes.h"
#include "clock/windows/clock_window.h"

namespace tockly {
namespace {

using namespace test;

TEST(ClockWindowTick, TimeChangeAndResumeRunTheTickAtOnce) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    win::ClockWindow::register_class(instance);
    win::ClockWindow form;
    ASSERT_TRUE(form.create(instance, nullptr));
    TickFakes fakes;
    ClockGlobals g;
    MenuChecks checks;
    checks.ticking = checks.hour_chime = checks.half_hour_chime = false;
    ClockTick tick(fakes.ports(form), g, checks);
    form.start_tick_timer(tick);

    // No message is pumped here, so only the handler itself can run the tick.
    const struct { const char* name; UINT msg; WPARAM wp; int second; bool runs; } cases[] = {
        {"time change", WM_TIMECHANGE, 0, 5, true},
        {"resume by the user", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 9, true},
        {"resume on its own", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 14, true},
        {"going to sleep", WM_POWERBROADCAST, PBT_APMSUSPEND, 20, false},
    };
    int last_second = tick.moment().now.second;
    for (const auto& c : cases) {
        fakes.clock.set(7, 0, c.second);
        SendMessageW(form.hwnd(), c.msg, c.wp, 0);
        if (c.runs) last_second = c.second;
        EXPECT_EQ(tick.moment().now.second, last_second) << c.name;
    }
    DestroyWindow(form.hwnd());
    // The window's destruction posted WM_QUIT; take it off this thread's queue.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace
}  // namespace tockly
