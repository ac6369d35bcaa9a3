#include "clock/model/startup_sounds.h"

#include "clock/model/notice_band_model.h"
#include "clock/model/tick.h"
#include "clock/support/settings_file.h"
#include "clock/support/settings_keys.h"

namespace tockly {

std::vector<std::string> missing_sounds(FileSystem& files, const ClockGlobals& globals, const MenuChecks& checks) {
    std::vector<std::string> wanted;
    if (checks.ticking) wanted.push_back(std::string(voice::ticking_folder) + globals.ticking_sound);
    if (checks.hour_chime) wanted.push_back(std::string(voice::chime_folder) + std::string(tick::hour_chime_file));
    if (checks.half_hour_chime)
        wanted.push_back(std::string(voice::chime_folder) + std::string(tick::half_hour_chime_file));
    for (int i = 0; i < globals.alarm_count && i < static_cast<int>(globals.alarms.size()); ++i) {
        const AlarmRow& row = globals.alarms[static_cast<std::size_t>(i)];
        // A row without a time never rings, and one without a sound rings silently by choice.
        if (trim_spaces(row.time).empty() || trim_spaces(row.sound).empty()) continue;
        wanted.push_back(std::string(voice::alarm_folder) + row.sound);
    }
    std::vector<std::string> missing;
    for (std::string& sound : wanted)
        if (!files.find_name(globals.program_folder + sound)) missing.push_back(std::move(sound));
    return missing;
}

StartupNotice startup_notice(const std::vector<std::string>& missing) {
    if (missing.empty()) return {100, 1000, 300, std::string(notice_design::started_text)};
    std::string text = std::string(notice_design::missing_sound_text) + "“" + missing.front() + "”";
    if (missing.size() > 1) text += "等" + std::to_string(missing.size()) + "个";
    text += notice_design::missing_sound_tail;
    return {100, 5000, 300, text};
}

}  // namespace tockly
