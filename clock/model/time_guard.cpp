#include "clock/model/time_guard.h"

#include "clock/support/clock_files.h"

namespace tockly {

namespace {

void publish(const TimeGuardPorts& ports, ClockGlobals& globals, NetworkItems& items, bool usable) {
    globals.online = usable;
    items.time_guard = usable;
    items.home_page = usable;
    ports.window.network_items_changed(items);
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
    const NetworkPorts network{ports.connection, ports.echo, ports.settings, globals.settings_path(),
                               ports.addresses};
    const bool usable = CheckNetwork(network, connected);
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

void TimeGuardSteps::apply_network_result(bool usable) { publish(ports_, g_, items_, usable); }

void TimeGuardSteps::network_check(const TickMoment& moment) {
    if (moment.angles.M != time_guard::network_check_angle) return;
    if (!ports_.background) {
        run_network_check(ports_, g_, items_);
        return;
    }
    // The settings file is read here, on the window's side; only the waiting
    // moves away.
    const NetworkPorts network{ports_.connection, ports_.echo, ports_.settings, g_.settings_path(),
                               ports_.addresses};
    const std::vector<std::string> addresses = ping_addresses(network);
    ConnectionState& connection = ports_.connection;
    EchoService& echo = ports_.echo;
    // A check still waiting from an hour ago: this one is left out.
    ports_.background->run([this, &connection, &echo, addresses]() -> std::function<void()> {
        const bool usable = network_usable(connection, echo, addresses);
        return [this, usable] { apply_network_result(usable); };
    });
}

void TimeGuardSteps::time_guard(const TickMoment& moment) {
    if (!checks_.time_guard || !g_.online || moment.angles.M != time_guard::time_guard_angle) return;
    if (!ports_.background) {
        run_time_guard(ports_);
        return;
    }
    const WebTimePorts web = ports_.web;
    WallClock& clock = ports_.clock;
    ports_.background->run([this, web, &clock]() -> std::function<void()> {
        const ClockCheck check = check_clock(web, clock);
        return [this, check] { act_on_check(ports_, check); };
    });
}

}  // namespace tockly
