#include "clock/windows/time_guard_host.h"

namespace tockly::win {

// The menus are built from the shared NetworkItems each time one opens, so
// there is nothing on the window to bring up to date.
void ClockTimeGuard::network_items_changed(const NetworkItems&) {}

void ClockTimeGuard::show_time_check_dialog(const WebReading& reading) {
    if (dialog_) dialog_->Show(reading);
}

void ClockTimeGuard::play_warning_sound(std::string_view path) {
    if (!tick_) return;
    MediaPlayer& player = tick_->player(0);
    player.mmOpen(path, 0);
    player.mmPlay();
}

}  // namespace tockly::win
