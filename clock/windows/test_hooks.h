// Switches for the end-to-end tests, read from the environment. They exist
// only in the builds that run on the build machines (TOCKLY_TEST_HOOKS); the
// release build has no switches at all and reads no environment.
//
//   TOCKLY_TEST_CLOCK_OFFSET=SECONDS
//       The hourly network check (minute 4) and the time guard (minute 5)
//       decide by the clock shifted by this many seconds, so a test reaches
//       them within seconds instead of an hour. Only those two decisions
//       move: the hands, the alarms and the comparison with the time page
//       keep the real clock.
//   TOCKLY_TEST_WALL_CLOCK_OFFSET=SECONDS
//       The clock reads its time (Win32WallClock) shifted by this many
//       seconds: the hands, the alarms, the chimes and the time guard's
//       comparison all follow it, so a test reaches the top of an hour within
//       seconds. The machine's clock is not touched.
//   TOCKLY_TEST_WALL_CLOCK_OFFSET_FILE=PATH
//       As TOCKLY_TEST_WALL_CLOCK_OFFSET, but the seconds are read from this
//       file, again whenever it changes: a test moves the clock's time while
//       it runs ("the snooze comes back five minutes later"). A missing or
//       unreadable file counts as TOCKLY_TEST_WALL_CLOCK_OFFSET.
//   TOCKLY_TEST_ONLINE_PROBE=http://127.x.x.x:PORT/PATH
//       The system's connection state is taken from this loopback page (online
//       when it answers 200) instead of from the machine's network set-up,
//       which a test cannot change. The echo requests stay real; they go to
//       loopback addresses in these builds and always answer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "clock/support/network_check.h"
#include "clock/support/web_time.h"
#include "clock/model/tick.h"

namespace tockly::win {

struct TestHooks {
    std::int64_t clock_offset_seconds = 0;
    std::int64_t wall_clock_offset_seconds = 0;
    std::optional<std::string> online_probe_url;
};

TestHooks read_test_hooks();

// The seconds the clock's own time is shifted by now (0 in the release).
std::int64_t wall_clock_offset_now();

// The hourly steps seen through the shifted clock; the steps themselves
// still compare the time page with the real clock.
class ShiftedHourlySteps : public HourlySteps {
public:
    ShiftedHourlySteps(HourlySteps& inner, std::int64_t offset_seconds) : inner_(inner), offset_(offset_seconds) {}
    void network_check(const TickMoment& moment) override { inner_.network_check(shifted(moment)); }
    void time_guard(const TickMoment& moment) override { inner_.time_guard(shifted(moment)); }
private:
    TickMoment shifted(const TickMoment& moment) const;
    HourlySteps& inner_;
    std::int64_t offset_;
};

// The connection state the clock uses: the system's own, or in test builds
// the loopback probe when TOCKLY_TEST_ONLINE_PROBE names one, asked through `http`.
std::unique_ptr<ConnectionState> make_connection_state(const TestHooks& hooks, HttpClient& http);

}  // namespace tockly::win
