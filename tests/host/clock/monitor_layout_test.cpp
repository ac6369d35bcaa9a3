#include <gtest/gtest.h>

#include "clock/model/window_behaviour.h"

namespace tockly {
namespace {

// 1024 x 768 monitors at 15 twips a pixel.
const TwipsRect kPrimary{0, 0, 15360, 11520};
const MonitorLayout kSideBySide{{kPrimary, {15360, 0, 30720, 11520}}};
const MonitorLayout kStacked{{kPrimary, {0, 11520, 15360, 23040}}};
// 1280 x 960, reaching above the primary's top.
const MonitorLayout kLeftOfPrimary{{kPrimary, {-19200, -1200, 0, 13200}}};
// The right monitor starts 5000 twips down: the primary's top-right corner has nothing beside it.
const MonitorLayout kRightLower{{kPrimary, {15360, 5000, 30720, 16520}}};

enum class Act { park, label_drag, background_drag, unpark };

TEST(MonitorLayouts, WindowRulesUseTheMonitorHoldingTheWindow) {
    const struct { const char* name; const MonitorLayout* layout; Act act; int left, top; int want_left, want_top; bool parked; } cases[] = {
        {"side by side: KaoBian parks at the right monitor's edge", &kSideBySide, Act::park, 12290, -350, 30600, 0, true},
        {"side by side: over the shared edge is no park", &kSideBySide, Act::label_drag, 13000, 500, 13000, 500, false},
        {"side by side: past the right monitor's edge parks", &kSideBySide, Act::label_drag, 28000, 500, 30600, 500, true},
        {"side by side: back over the shared edge is not pulled in", &kSideBySide, Act::background_drag, 14000, 500, 14000, 500, false},
        {"side by side: unparks to the right monitor's column", &kSideBySide, Act::unpark, 30600, 500, 27650, 500, false},
        {"side by side: a window on no monitor goes to the nearest", &kSideBySide, Act::label_drag, 40000, 500, 30600, 500, true},
        {"stacked: down over the shared edge stays", &kStacked, Act::background_drag, 5000, 9000, 5000, 9000, false},
        {"stacked: KaoBian on the lower monitor", &kStacked, Act::park, 5000, 20000, 15240, 19635, true},
        {"stacked: below the lower monitor comes up", &kStacked, Act::background_drag, 5000, 21000, 5000, 19635, false},
        {"left of the primary: past its left edge comes in", &kLeftOfPrimary, Act::background_drag, -20000, 100, -19200, 100, false},
        {"left of the primary: KaoBian parks at the primary's edge", &kLeftOfPrimary, Act::park, -10000, -1000, 15240, 0, true},
        {"left of the primary: over the shared edge is no park", &kLeftOfPrimary, Act::label_drag, -2000, 500, -2000, 500, false},
        {"left of the primary: above its top stays, as on one monitor", &kLeftOfPrimary, Act::background_drag, -2000, -3000, -2000, -3000, false},
        {"right monitor lower: the face's height has no neighbour", &kRightLower, Act::park, 12290, -350, 15240, 0, true},
        {"right monitor lower: lower down it has one", &kRightLower, Act::park, 12290, 6000, 30600, 6000, true},
    };
    for (const auto& c : cases) {
        WindowBehaviour w;
        const WindowRect before{c.left, c.top, 3120, 3405};
        WindowRect got;
        switch (c.act) {
        case Act::park: got = w.park(before, *c.layout); break;
        case Act::label_drag: got = w.after_label_drag(before, *c.layout); break;
        case Act::background_drag: got = w.after_background_drag(before, *c.layout); break;
        case Act::unpark:
            w.park(before, *c.layout);
            got = w.on_mouse_move(before, *c.layout);
            break;
        }
        EXPECT_EQ(got.left, c.want_left) << c.name;
        EXPECT_EQ(got.top, c.want_top) << c.name;
        EXPECT_EQ(w.parked(), c.parked) << c.name;
    }
}

}  // namespace
}  // namespace tockly
