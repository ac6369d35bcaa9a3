// The settings file after a hand edit: any bytes. Runs everything that reads
// it: the start-up tidy of the file, the load step (toggles, numbers, times,
// the skin, sounds and alarm rows), the tick acting on what was loaded
// (alarms, chimes, ticking, the scheduled shutdown and start, the notice of
// what a jump skipped) and the settings dialog's load and save.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "clock/model/alarm_dialog_model.h"
#include "clock/model/startup.h"
#include "clock/model/tick.h"
#include "clock/support/clock_files.h"
#include "clock/support/settings_keys.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/profile_text.h"
#include "tests/host/clock/alarm_dialog_fakes.h"

namespace tockly::fuzz {
namespace {

const std::string folder(test::kAlarmDialogDir);
const std::string settings_file(test::kAlarmDialogIni);

// The tidied text of one start, checked: every line trimmed and ended by CR
// LF, and the text of the second start the same for every start after it.
std::string tidied(std::string_view bytes) {
    const std::string once = tidy_settings_text(bytes);
    const std::string twice = tidy_settings_text(once);
    if (tidy_settings_text(twice) != twice) broken("the tidy does not settle after two starts");
    if (!once.empty() && once.substr(once.size() - 2) != "\r\n") broken("a tidied text that does not end in CR LF");
    for (std::size_t at = 0; (at = once.find('\n', at)) != std::string::npos; ++at)
        if (at == 0 || once[at - 1] != '\r') broken("a tidied line ended by a lone LF");
    if (once.find(" \r\n") != std::string::npos || once.find("\n ") != std::string::npos)
        broken("a tidied line with a space at one end");
    return once;
}

void check_commands(const test::FakeMci& mci) {
    for (const std::string& command : mci.sent)
        if (std::count(command.begin(), command.end(), '"') % 2 != 0) broken("an MCI command with an unmatched quote");
}

StartupResult start(std::string_view bytes, std::string_view text) {
    test::StartupFakes fakes;
    fakes.files.files[settings_file] = std::string(bytes);
    load_profile_text(fakes.profile, settings_file, text);
    StartupResult started = load_clock(fakes.ports(ScreenMetrics{}), folder);
    if (started.globals.alarm_count < 0 || started.globals.alarm_count > ini::naoling::max_rows)
        broken("an alarm count outside 0..10");
    return started;
}

void tick_at(ClockTick& tick, test::FakeClock& clock, const std::string& time_text) {
    if (const auto t = parse_time_of_day(time_text, TimeFormat{})) {
        clock.set(*t / 3600, *t / 60 % 60, *t % 60);
        tick.on_tick_timer();
    }
}

// The seconds the loaded settings name, each ticked, then a day skipped.
void run_ticks(StartupResult started) {
    ClockGlobals& g = started.globals;
    test::TickFakes fakes;
    test::RecordingFace face;
    // Every sound the settings name exists, so its commands are built and sent.
    for (int i = 0; i < g.alarm_count; ++i)
        fakes.files.files[folder + std::string(voice::alarm_folder) + g.alarms[i].sound] = "";
    fakes.files.files[folder + std::string(voice::ticking_folder) + g.ticking_sound] = "";
    fakes.mci.device_answers = true;
    ClockTick tick(fakes.ports(face), g, started.checks);
    fakes.clock.set(0, 0, 0);
    tick.on_tick_timer();
    for (int i = 0; i < g.alarm_count; ++i) tick_at(tick, fakes.clock, g.alarms[i].time);
    tick_at(tick, fakes.clock, g.shutdown_time);
    tick_at(tick, fakes.clock, g.start_time);
    fakes.clock.set(0, 0, 1);
    tick.on_tick_timer();
    fakes.clock.advance(86398);
    tick.on_tick_timer();
    check_commands(fakes.mci);
}

// The dialog's save is settled: loading what it saved and saving again
// writes the same values.
void load_and_save(const ClockGlobals& globals, std::string_view text) {
    test::AlarmDialogRig rig;
    load_profile_text(rig.profile, settings_file, text);
    rig.globals = globals;
    AlarmDialog first = rig.loaded();
    for (int row = 0; row < alarm_dialog_design::row_count; ++row) first.time_box_lost_focus(row);
    first.save();
    const auto saved = rig.profile.values;
    AlarmDialog second = rig.loaded();
    second.save();
    if (rig.profile.values != saved) broken("saving the saved rows again changes them");
}

}  // namespace
}  // namespace tockly::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tockly::fuzz;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = tidied(bytes);
    const tockly::StartupResult started = start(bytes, text);
    run_ticks(started);
    load_and_save(started.globals, text);
    return 0;
}
