#include "clock/model/time_guard.h"

#include <utility>

#include "clock/support/clock_files.h"

namespace tockly {

namespace {

void publish(const TimeGuardPorts& ports, ClockGlobals& globals, NetworkItems& items, bool usable) {
    globals.online = usable;
    items.time_guard = usable;
    items.home_page = usable;
    ports.window.network_items_changed(items);
}

NetworkPorts network_ports(const TimeGuardPorts& ports, const ClockGlobals& globals) {
    return {ports.connection, ports.echo, ports.settings, globals.settings_path(), ports.addresses};
}

// The network check with its waiting on the worker: the settings file is read
// here, on the window's side; `answer` gets the verdict back there.
bool check_network_on_worker(const TimeGuardPorts& ports, const ClockGlobals& globals, bool only_when_idle,
                             std::function<void(bool)> answer) {
    const std::vector<std::string> addresses = ping_addresses(network_ports(ports, globals));
    ConnectionState& connection = ports.connection;
    EchoService& echo = ports.echo;
    Background::Work work = [&connection, &echo, addresses, answer = std::move(answer)]() -> Background::Result {
        const bool usable = network_usable(connection, echo, addresses);
        return [answer, usable] { answer(usable); };
    };
    return only_when_idle ? ports.background->run(std::move(work)) : ports.background->queue(std::move(work));
}

}  // namespace

bool network_usable(ConnectionState& connection, EchoService& echo, const std::vector<std::string>& addresses) {
    if (!IsConnected(connection)) return false;
    for (const std::string& address : addresses)
        if (PingAddress(echo, address)) return true;
    return false;
}

bool run_network_check(const TimeGuardPorts& ports, ClockGlobals& globals, NetworkItems& items) {
    bool connected = false;  // the system's own state; nobody uses it further
    const bool usable = CheckNetwork(network_ports(ports, globals), connected);
    publish(ports, globals, items, usable);
    return usable;
}

void act_on_check(const TimeGuardPorts& ports, const ClockCheck& check) {
    if (check.verdict != ClockVerdict::wrong || !check.reading) return;
    ports.window.show_time_check_dialog(*check.reading);
    // A sound that cannot be extracted or opened stays silent; the dialog is shown.
    ports.window.play_warning_sound(
        extract_resource(ports.resources, ports.files, time_guard::warning_sound_resource, "wav"));
}

ClockVerdict run_time_guard(const TimeGuardPorts& ports) {
    const ClockCheck check = check_clock(ports.web, ports.clock);
    act_on_check(ports, check);
    return check.verdict;
}

void TimeGuardSteps::network_checked(bool usable) { publish(ports_, g_, items_, usable); }

void TimeGuardSteps::network_check(const TickMoment& moment) {
    if (moment.angles.M != time_guard::network_check_angle) return;
    if (!ports_.background) {
        run_network_check(ports_, g_, items_);
        return;
    }
    // A check still waiting from an hour ago: this one is left out.
    check_network_on_worker(ports_, g_, true, [this](bool usable) { network_checked(usable); });
}

void TimeGuardSteps::time_guard(const TickMoment& moment) {
    if (!checks_.time_guard || !g_.online || moment.angles.M != time_guard::time_guard_angle) return;
    if (!ports_.background) {
        run_time_guard(ports_);
        return;
    }
    const WebTimePorts web = ports_.web;
    WallClock& clock = ports_.clock;
    ports_.background->run([this, web, &clock]() -> Background::Result {
        const ClockCheck check = check_clock(web, clock);
        return [this, check] { act_on_check(ports_, check); };
    });
}

void TimeGuardStartupCheck::run(ClockGlobals& globals, NetworkItems& items) {
    if (ports_.background) {
        const bool queued =
            check_network_on_worker(ports_, globals, false, [this](bool usable) { answered(usable); });
        if (queued) {
            globals.online = false;
            items = {false, false};
            return;
        }
    }
    // No worker to wait on: the check waits right here.
    run_network_check(ports_, globals, items);
}

void TimeGuardStartupCheck::answer_to(TimeGuardSteps& steps) {
    steps_ = &steps;
    if (early_answer_) steps.network_checked(*std::exchange(early_answer_, std::nullopt));
}

void TimeGuardStartupCheck::answered(bool usable) {
    if (steps_)
        steps_->network_checked(usable);
    else
        early_answer_ = usable;
}

}  // namespace tockly
