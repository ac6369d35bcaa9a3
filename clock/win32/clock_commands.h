// The clock's commands on Windows: the menu items, the two face spots, the
// tray icon and the exit, wired to the portable command models.
#pragma once

#include <windows.h>

#include <string>

#include "clock_state.h"
#include "form1.h"
#include "form2_window.h"
#include "menu_commands.h"
#include "nongli_host.h"
#include "shell_port.h"
#include "tick.h"

namespace tockly::win {

struct CommandServices {
    SettingsAccess settings;
    RegistryAccess registry;
    MessageBoxes& boxes;
    Shell& shell;
    Notices& notices;
    Form1& form1;
    Form2Window& form2;
    ClockTick& tick;
    NongLiHost& nongli;
};

class ClockCommands : public Form1Commands {
public:
    ClockCommands(CommandServices services, ClockGlobals& globals, MenuChecks& checks, NetworkItems& network,
                  std::string executable_path)
        : s_(services), g_(globals), checks_(checks), network_(network), executable_(std::move(executable_path)) {}

    void on_menu(MenuId id) override;
    bool menu_checked(MenuId id) override;
    bool menu_enabled(MenuId id) override;
    void on_label3_click() override;
    void on_label5_click() override;
    std::string label5_tooltip() override;
    void on_tray_activate() override;
    void on_timer2() override;

private:
    void reduce_to_tray();
    void restore_from_tray();
    void exit_program();
    std::optional<LunarTexts> lunar_today();

    CommandServices s_;
    ClockGlobals& g_;
    MenuChecks& checks_;
    NetworkItems& network_;
    std::string executable_;
    ExitSequence exit_;
};

}  // namespace tockly::win
