// The clock's commands on Windows: the menu items, the two face spots, the
// tray icon and the exit, wired to the portable command models.
#pragma once

#include <windows.h>

#include <string>

#include "clock/model/clock_state.h"
#include "clock/windows/clock_window.h"
#include "clock/windows/alarm_dialog_window.h"
#include "clock/model/menu_commands.h"
#include "clock/windows/lunar_control_host.h"
#include "clock/support/shell_port.h"
#include "clock/model/tick.h"

namespace tockly::win {

struct CommandServices {
    SettingsAccess settings;
    RegistryAccess registry;
    MessageBoxes& boxes;
    Shell& shell;
    Notices& notices;
    ClockWindow& clock_window;
    AlarmDialogWindow& alarm_dialog;
    ClockTick& tick;
    LunarControlHost& lunar_control;
};

class ClockCommands : public ClockWindowCommands {
public:
    ClockCommands(CommandServices services, ClockGlobals& globals, MenuChecks& checks, NetworkItems& network,
                  std::string executable_path)
        : s_(services), g_(globals), checks_(checks), network_(network), executable_(std::move(executable_path)) {}

    void on_menu(MenuId id) override;
    bool menu_checked(MenuId id) override;
    bool menu_enabled(MenuId id) override;
    void on_alarm_spot_click() override;
    void on_day_label_click() override;
    std::string day_label_tooltip() override;
    void on_tray_activate() override;
    void on_second_start() override;
    void on_exit_timer() override;

private:
    void reduce_to_tray();
    void restore_from_tray();
    void exit_program();
    std::optional<LunarTexts> lunar_today();
    // Today's 休/班 and holiday, from the clock's own working-day calendar.
    std::string day_mark_today();

    CommandServices s_;
    ClockGlobals& g_;
    MenuChecks& checks_;
    NetworkItems& network_;
    std::string executable_;
    ExitSequence exit_;
};

}  // namespace tockly::win
