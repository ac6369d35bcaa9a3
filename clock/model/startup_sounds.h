// What the start-up notice says about the sounds: that the clock started,
// or which sound it will not be able to play. Paths reach MCI quoted, so a
// folder's name no longer silences anything; only a file that is not there does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clock/model/clock_state.h"
#include "clock/support/ports.h"

namespace tockly {

// The sound files the loaded settings will play that are not there, relative
// to the program folder: the ticking sound (when ticking is on), the hour and
// half-hour chimes (when on), then the sound of each alarm row in use.
std::vector<std::string> missing_sounds(FileSystem& files, const ClockGlobals& globals, const MenuChecks& checks);

struct StartupNotice {
    std::int32_t in_ms = 0, stay_ms = 0, out_ms = 0;
    std::string text;
};

// "Tockly打开成功" for a second, or for five the first missing sound by name.
StartupNotice startup_notice(const std::vector<std::string>& missing);

}  // namespace tockly
