// The clock window's load step: fills the globals from the settings file,
// shapes and places the window, picks the skin and ends visible or in the
// tray. It is a list of named steps (see load_clock in startup.cpp). The
// window itself is reached through FaceWindow, so the whole sequence runs,
// and is tested, without a real window.
#pragma once

#include <string>
#include <string_view>

#include "clock/model/clock_state.h"
#include "clock/support/ports.h"
#include "clock/support/autostart_registry.h"
#include "clock/support/time_text.h"
#include "clock/model/notice_band_model.h"

namespace tockly {

// Window geometry of the clock (twips, and the region in window pixels).
namespace clock_design {
inline constexpr int width_twips = 3120;
inline constexpr int height_twips = 3405;
inline constexpr int top_twips = -350;
inline constexpr int right_overhang_twips = 50;
struct Ellipse { int left, top, right, bottom; };
inline constexpr Ellipse region{4, 26, 204, 224};
inline constexpr unsigned colour_key = 0xFFFFFF;
inline constexpr const char* caption = "Tockly";
inline constexpr const char* tray_tooltip = "Tockly";
inline constexpr const char* first_run_text =
    "您是第一次使用本软件，软件打开后、您可以“右键点击”钟面打开一个菜单";
inline constexpr const char* first_run_title = "Tockly提示您";
inline constexpr int built_in_skin_count = 4;
inline constexpr std::string_view built_in_skin_names[built_in_skin_count] = {
    "默认皮肤1", "默认皮肤2", "默认皮肤3", "默认皮肤4"};
inline constexpr int built_in_skin_first_resource = 201;
}  // namespace clock_design

// The labels of the face that the display toggles show or hide.
enum class FaceLabel { time, weekday, year_month, day };

class FaceWindow {
public:
    virtual ~FaceWindow() = default;
    virtual void set_size_twips(int width, int height) = 0;
    virtual void set_caption(std::string_view caption) = 0;
    virtual void set_elliptic_region(clock_design::Ellipse pixels) = 0;
    virtual void move_twips(int left, int top) = 0;
    virtual void make_topmost() = 0;
    virtual void set_label_visible(FaceLabel label, bool visible) = 0;
    // Loads a picture file as the face; false keeps the face shown so far.
    virtual bool load_skin(std::string_view path) = 0;
    virtual void make_layered_colour_key(unsigned colour_key) = 0;
    virtual void show_tray_icon(std::string_view tooltip) = 0;
    virtual void remove_tray_icon() = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
};

// The network check of start-up (the time guard's): it sets online and
// whether the items ShiJianJianHu and Vornhall (MenuId::time_guard and
// home_page) can be chosen. A check that waits on a worker sets them to
// unusable here and applies its answer when it comes, so the face does not
// wait for the network.
class StartupNetworkCheck {
public:
    virtual ~StartupNetworkCheck() = default;
    virtual void run(ClockGlobals& globals, NetworkItems& items) = 0;
};

struct StartupPorts {
    ProfileStore& profile;
    MessageBoxes& boxes;
    FileSystem& files;
    Resources& resources;
    FaceWindow& window;
    Notices& notices;  // the start-up notice, shown before the tray step
    TimeFormat time_format;
    ScreenMetrics screen;
    StartupNetworkCheck* network_check = nullptr;  // none: the network counts as unusable
    RegistryAccess* registry = nullptr;            // none: start with Windows shows off
};

struct StartupResult {
    ClockGlobals globals;
    MenuChecks checks;
    NetworkItems network_items;
    bool first_run = false;
    bool start_in_tray = false;
};

// Runs the load step's steps in their order: program folder, first run,
// window shape, sound toggles, shutdown time, network check, start with
// Windows, display labels, skin, ticking sound, alarm rows, the wake and
// full-screen settings, see-through, scheduled start and notice, tray or
// shown. `program_folder` is the executable's folder as the platform gives
// it (with or without a final backslash).
StartupResult load_clock(StartupPorts ports, std::string_view program_folder);

// Left edge of the clock in twips: the face sits in the top-right corner.
inline int clock_left_twips(int screen_width_twips) {
    return screen_width_twips - clock_design::width_twips + clock_design::right_overhang_twips;
}

}  // namespace tockly
