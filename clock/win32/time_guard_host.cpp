#include "time_guard_host.h"

namespace tockly::win {

void ClockTimeGuard::network_items_changed(const NetworkItems& items) {
    const UINT_PTR value = network_items_present | (items.ShiJianJianHu ? network_item_ShiJianJianHu : 0) |
                           (items.Vornhall ? network_item_Vornhall : 0);
    SetPropW(clock_window_, network_items_property, reinterpret_cast<HANDLE>(value));
}

void ClockTimeGuard::show_time_check_dialog() {
    if (dialog_) dialog_->Show();
}

void ClockTimeGuard::play_warning_sound(std::string_view path) {
    if (!tick_) return;
    Mmedia& player = tick_->BoFangQi(0);
    player.mmOpen(path, 0);
    player.mmPlay();
}

}  // namespace tockly::win
