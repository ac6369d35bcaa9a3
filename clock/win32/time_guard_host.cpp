#include "time_guard_host.h"

namespace tockly::win {

void ClockTimeGuard::network_items_changed([[maybe_unused]] const NetworkItems& items) {
#ifdef TOCKLY_TEST_HOOKS
    const UINT_PTR value = network_items_present | (items.ShiJianJianHu ? network_item_ShiJianJianHu : 0) |
                           (items.Vornhall ? network_item_Vornhall : 0);
    SetPropW(clock_window_, network_items_property, reinterpret_cast<HANDLE>(value));
#endif
}

void ClockTimeGuard::show_time_check_dialog(const WebReading& reading) {
    if (dialog_) dialog_->Show(reading);
}

void ClockTimeGuard::play_warning_sound(std::string_view path) {
    if (!tick_) return;
    Mmedia& player = tick_->BoFangQi(0);
    player.mmOpen(path, 0);
    player.mmPlay();
}

}  // namespace tockly::win
