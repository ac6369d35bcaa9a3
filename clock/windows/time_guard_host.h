// The clock window's side of the time guard on Windows: the two network items,
// the time-check dialog and the warning sound on player 0.
#pragma once

#include <windows.h>

#include "clock/windows/time_check_dialog_window.h"
#include "clock/model/tick.h"
#include "clock/model/time_guard.h"

namespace tockly::win {

class ClockTimeGuard : public TimeGuardWindow {
public:
    // The dialog and the players exist only after start-up.
    void attach(TimeCheckDialogWindow& dialog, ClockTick& tick) {
        dialog_ = &dialog;
        tick_ = &tick;
    }

    void network_items_changed(const NetworkItems& items) override;
    void show_time_check_dialog(const WebReading& reading) override;
    void play_warning_sound(std::string_view path) override;

private:
    TimeCheckDialogWindow* dialog_ = nullptr;
    ClockTick* tick_ = nullptr;
};

}  // namespace tockly::win
