// The one-clock lock as the next start sees it: held by the running clock,
// free once its exit has begun, and free again when the clock that held it
// ended without letting go (killed) while its handle lingers.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "clock/windows/single_instance.h"

namespace tockly {
namespace {

using namespace std::chrono_literals;

// A start on a thread of its own, as another process would be: true when
// it may be the clock.
bool next_start_is_the_clock() {
    bool clock = false;
    std::thread([&] {
        win::SingleInstance lock;
        clock = lock.acquire_or_hand_over(0ms);
        lock.release();
    }).join();
    return clock;
}

TEST(SingleInstance, TheNextStartIsTheClockOnlyOnceTheLockIsFree) {
    win::SingleInstance running;
    ASSERT_TRUE(running.acquire_or_hand_over(0ms));
    EXPECT_FALSE(next_start_is_the_clock()) << "held by the running clock";
    running.release();
    EXPECT_TRUE(next_start_is_the_clock()) << "let go when the exit begins";
}

TEST(SingleInstance, AClockThatEndedWithoutLettingGoDoesNotTurnTheNextStartAway) {
    // Its thread is gone, its handle (what is left of a killed process) is not.
    std::unique_ptr<win::SingleInstance> killed;
    std::thread([&] {
        killed = std::make_unique<win::SingleInstance>();
        ASSERT_TRUE(killed->acquire_or_hand_over(0ms));
    }).join();
    ASSERT_TRUE(killed);
    EXPECT_TRUE(next_start_is_the_clock());
}

}  // namespace
}  // namespace tockly
