// The clock window's side of the time guard: the network check at start-up
// and at minute 4 of every hour, and at minute 5 the comparison of the PC
// clock with the time page, which opens the time-check dialog with its
// warning sound when they are more than 600 seconds apart. This side never
// changes the PC clock itself.
//
// The network checks and the fetch of the time page wait on the network for
// seconds. They keep their places in start-up and in the tick, but the
// waiting runs away from the window (Background) and only the result comes
// back to it, so the face shows first and keeps its seconds meanwhile.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "clock/model/background.h"
#include "clock/model/clock_state.h"
#include "clock/support/local_time.h"
#include "clock/support/network_check.h"
#include "clock/support/ports.h"
#include "clock/model/startup.h"
#include "clock/model/tick.h"
#include "clock/support/web_time.h"

namespace tockly {

namespace time_guard {
// The minute-hand angle as a Single at minute 4 and minute 5, second 0.
inline constexpr float network_check_angle = 7.4337f;
inline constexpr float time_guard_angle = 7.329f;
inline constexpr std::int16_t warning_sound_resource = 401;
}  // namespace time_guard

// What the clock window does for the time guard.
class TimeGuardWindow {
public:
    virtual ~TimeGuardWindow() = default;
    virtual void network_items_changed(const NetworkItems& items) = 0;
    // Shows the single time-check dialog without waiting for it; `reading`
    // is the web time the check found, which the correction must agree with.
    virtual void show_time_check_dialog(const WebReading& reading) = 0;
    // Player 0 opens the file (window handle 0) and plays it.
    virtual void play_warning_sound(std::string_view path) = 0;
};

struct TimeGuardPorts {
    ConnectionState& connection;
    EchoService& echo;
    SettingsAccess settings;  // the network check reads IPtoping at each run
    WebTimePorts web;
    WallClock& clock;
    Resources& resources;
    FileSystem& files;
    TimeGuardWindow& window;
    BuiltInAddresses addresses{};
    // Where the network checks and the time page wait; none: they wait
    // right where they are asked for.
    Background* background = nullptr;
};

// The network check of start-up and of the hourly step: sets online and
// the two items. Returns the check's result.
bool run_network_check(const TimeGuardPorts& ports, ClockGlobals& globals, NetworkItems& items);

// The waiting half of the network check: the connection state and the
// echo requests to `addresses`, touching nothing of the window's.
bool network_usable(ConnectionState& connection, EchoService& echo, const std::vector<std::string>& addresses);

// What the check's verdict leads to on the window: the dialog and the
// warning sound when the PC clock is wrong.
void act_on_check(const TimeGuardPorts& ports, const ClockCheck& check);

// The time-guard comparison itself, without the minute test.
ClockVerdict run_time_guard(const TimeGuardPorts& ports);

// The tick's hourly steps of the time guard.
class TimeGuardSteps : public HourlySteps {
public:
    TimeGuardSteps(TimeGuardPorts ports, ClockGlobals& globals, MenuChecks& checks, NetworkItems& items)
        : ports_(std::move(ports)), g_(globals), checks_(checks), items_(items) {}

    // Minute 4, second 0: the hourly network check.
    void network_check(const TickMoment& moment) override;
    // Minute 5, second 0: the time guard, when it is switched on and the last
    // network check found the network usable.
    void time_guard(const TickMoment& moment) override;
    // A network check's answer: sets online and the two items.
    void network_checked(bool usable);

private:
    TimeGuardPorts ports_;
    ClockGlobals& g_;
    MenuChecks& checks_;
    NetworkItems& items_;
};

// The network check of start-up. Without a worker it waits right here. With
// one it does not hold start-up (and the first face) up: the network counts
// as unusable until the answer comes, and the answer goes to the hourly
// steps, which look after the globals from then on.
class TimeGuardStartupCheck : public StartupNetworkCheck {
public:
    explicit TimeGuardStartupCheck(TimeGuardPorts ports) : ports_(std::move(ports)) {}
    void run(ClockGlobals& globals, NetworkItems& items) override;
    // Where the answer goes; one that came before is handed on at once.
    void answer_to(TimeGuardSteps& steps);

private:
    void answered(bool usable);

    TimeGuardPorts ports_;
    TimeGuardSteps* steps_ = nullptr;
    std::optional<bool> early_answer_;
};

}  // namespace tockly
