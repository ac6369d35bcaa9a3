#include "time_guard.h"

#include "clock_files.h"

namespace tockly {

bool run_network_check(const TimeGuardPorts& ports, ClockGlobals& globals, NetworkItems& items) {
    bool connected = false;  // the system's own state; nobody uses it further
    const NetworkPorts network{ports.connection, ports.echo, ports.settings, globals.settings_path(),
                               ports.addresses};
    const bool usable = CheckNetwork(network, connected);
    globals.LianWang = usable;
    items.ShiJianJianHu = usable;
    items.Vornhall = usable;
    ports.window.network_items_changed(items);
    return usable;
}

ClockVerdict run_time_guard(const TimeGuardPorts& ports) {
    const ClockVerdict verdict = check_clock(ports.http, ports.clock, ports.time_format, ports.time_page_url);
    if (verdict != ClockVerdict::wrong) return verdict;
    ports.window.show_time_check_dialog();
    // A sound that cannot be extracted or opened stays silent; the dialog is shown.
    ports.window.play_warning_sound(
        ShiFangZiYuan(ports.resources, ports.files, time_guard::warning_sound_resource, "wav"));
    return verdict;
}

void TimeGuardSteps::network_check(const TickMoment& moment) {
    if (moment.angles.M != time_guard::network_check_angle) return;
    run_network_check(ports_, g_, items_);
}

void TimeGuardSteps::time_guard(const TickMoment& moment) {
    if (!checks_.ShiJianJianHu || !g_.LianWang || moment.angles.M != time_guard::time_guard_angle) return;
    run_time_guard(ports_);
}

}  // namespace tockly
