// The clock window's side of the time guard on Windows: the two network items
// (published on the clock window), the time-check dialog and the warning sound
// on player 0.
#pragma once

#include <windows.h>

#include "duishi_window.h"
#include "tick.h"
#include "time_guard.h"

namespace tockly::win {

// In the builds that run here the clock window carries the state of the two
// network items as the window property "TocklyNetworkItems": 0x100, plus 1
// when ShiJianJianHu can be chosen, plus 2 when Vornhall can. The menus read
// the model; the property lets the end-to-end tests see the same state. The
// release keeps no such property.
inline constexpr wchar_t network_items_property[] = L"TocklyNetworkItems";
inline constexpr UINT_PTR network_items_present = 0x100;
inline constexpr UINT_PTR network_item_ShiJianJianHu = 1;
inline constexpr UINT_PTR network_item_Vornhall = 2;

class ClockTimeGuard : public TimeGuardWindow {
public:
    explicit ClockTimeGuard(HWND clock_window) : clock_window_(clock_window) {}
    // The dialog and the players exist only after start-up.
    void attach(DuiShiWindow& dialog, ClockTick& tick) {
        dialog_ = &dialog;
        tick_ = &tick;
    }

    void network_items_changed(const NetworkItems& items) override;
    void show_time_check_dialog(const WebReading& reading) override;
    void play_warning_sound(std::string_view path) override;

private:
    HWND clock_window_;
    DuiShiWindow* dialog_ = nullptr;
    ClockTick* tick_ = nullptr;
};

}  // namespace tockly::win
