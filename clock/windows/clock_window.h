// ClockWindow, the clock window: a round, top-most, see-through face in the
// top-right corner. It renders the face model and forwards events; the rules
// live in the portable start-up and face code.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <string>

#include "clock/windows/dpi_scale.h"
#include "clock/model/face.h"
#include "clock/model/face_layout.h"
#include "win32kit/handles.h"
#include "clock/model/menu_commands.h"
#include "clock/model/window_behaviour.h"
#include "clock/windows/picture.h"
#include "clock/model/startup.h"
#include "clock/model/tick.h"
#include "win32kit/window.h"

namespace tockly::win {

inline constexpr wchar_t clock_window_class_name[] = L"TocklyForm1";
inline constexpr UINT tray_callback_message = WM_APP + 1;
inline constexpr UINT menu_command_base = 1000;  // + MenuId

// What the clock does for the user's menu choices and clicks; ClockWindow only
// turns messages into these calls.
class ClockWindowCommands {
public:
    virtual ~ClockWindowCommands() = default;
    virtual void on_menu(MenuId id) = 0;
    virtual bool menu_checked(MenuId id) = 0;
    virtual bool menu_enabled(MenuId id) = 0;
    // Items that come and go (the snooze while an alarm rings) and captions
    // that carry a setting; the others show as the menu tree has them.
    virtual bool menu_shown(MenuId) { return true; }
    virtual std::string menu_caption(const MenuEntry& entry) { return std::string(entry.caption); }
    virtual void on_alarm_spot_click() = 0;
    virtual void on_day_label_click() = 0;
    virtual std::string day_label_tooltip() = 0;
    virtual void on_tray_activate() = 0;
    // Another start of the clock asked this one to come forward.
    virtual void on_second_start() = 0;
    virtual void on_exit_timer() = 0;
};

class ClockWindow : public FaceWindow, public TickFace, public win32kit::Window<ClockWindow> {
public:
    static bool register_class(HINSTANCE instance);
    bool create(HINSTANCE instance, HWND owner);

    // FaceWindow
    void set_size_twips(int width, int height) override;
    void set_caption(std::string_view caption) override;
    void set_elliptic_region(clock_design::Ellipse pixels) override;
    void move_twips(int left, int top) override;
    void make_topmost() override;
    void set_label_visible(FaceLabel label, bool visible) override;
    bool load_skin(std::string_view path) override;
    void make_layered_colour_key(unsigned colour_key) override;
    void show_tray_icon(std::string_view tooltip) override;
    void remove_tray_icon() override;
    void show() override;
    void hide() override;

    void set_texts(const FaceTexts& texts);

    // TickFace: the hands and labels of a handled second, drawn with the hub.
    void show_hands(const std::array<FaceLine, 3>& hour_minute_second) override;
    void show_texts(const FaceTexts& texts) override;
    void draw_hub() override;

    // Starts tick_timer for the tick; it is re-armed after every tick to fall
    // just after the next second boundary.
    void start_tick_timer(ClockTick& tick);

    void set_commands(ClockWindowCommands* commands) { commands_ = commands; }

    // Out of the tray, unparked, on top, with any box it shows in front.
    void come_forward();
    // Only the tray icon shows the clock.
    bool in_tray() const { return in_tray_; }

    // Parks at the right screen edge (the menu's 靠右隐藏).
    void park();
    // Starts exit_timer, the exit delay (500 ms).
    void start_exit_timer();
    // Shows a popup menu (the face's context menu or the tray's) at a screen point.
    void show_menu(MenuId popup, POINT screen_point, UINT flags);

private:
    friend class win32kit::Window<ClockWindow>;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    // One member per message.
    void on_timer(WPARAM id);
    void on_power_event(WPARAM event);
    void on_paint();
    void on_left_button_down(POINT client);
    void on_double_click(POINT client);
    void on_mouse_move(POINT client);
    LRESULT on_set_cursor(WPARAM wp, LPARAM lp);
    void on_command(WPARAM wp);
    void on_tray_mouse(UINT mouse_message);
    void on_destroy();
    void on_second_start();
    void on_taskbar_created();
    void add_tray_icon();
    void on_resize();
    // Runs the tick now and arms tick_timer for the next second boundary.
    void run_tick();
    // Draws the whole face into the surface; only `changed` (the whole
    // window when null) is sent to the screen.
    void render(const RECT* changed = nullptr);
    void prepare_surface(int width, int height);
    void paint_picture(HDC dc);
    void paint_labels(HDC dc);
    void paint_lines(HDC dc);
    void paint_hub(HDC dc);
    HPEN pen_for(int width, COLORREF colour);
    RECT line_bounds(const FaceLine& line) const;
    void add_changed(const RECT& r);
    void on_dpi_changed(int dpi, const RECT& suggested);
    void apply_region();
    void prepare_face();
    void draw_label(HDC dc, const LabelDesign& design, const std::string& text);
    HFONT font_for(const LabelDesign& design);

    enum class Spot { background, time_label, weekday_label, alarm_spot, year_month_label, day_label, studio_label };
    Spot spot_at(POINT client) const;
    RECT label_rect(const LabelDesign& design) const;
    bool label_shown(FaceLabel label) const;
    WindowRect window_twips() const;
    MonitorLayout monitors() const;
    void place_twips(const WindowRect& r);
    void drag(bool from_label);
    void on_button_up(UINT msg, POINT client);
    void update_day_label_tooltip();

    HINSTANCE instance_ = nullptr;
    // Every pixel length of the face goes through this, fed by the DPI of
    // the monitor the window is on.
    DpiScale scale_;
    bool region_set_ = false;
    bool face_set_up_ = false;
    std::array<FaceLine, face_line_count> lines_{};
    // The face shown: a built-in one by its resource number at 100 %, or the
    // user's own picture; drawn_face_ is it at the size of this DPI.
    int face_resource_ = clock_design::built_in_skin_first_resource;
    Picture skin_;
    // The face picture stays selected into a DC of its own between ticks.
    win32kit::unique_memory_dc picture_dc_;
    std::unique_ptr<win32kit::ScopedSelect> picture_select_;
    HBITMAP picture_in_dc_ = nullptr;
    std::map<std::pair<int, COLORREF>, win32kit::unique_hpen> pens_;
    // What the current tick changed on the face, sent to the screen alone.
    RECT changed_{};
    Picture drawn_face_;
    win32kit::unique_hbitmap surface_;
    win32kit::unique_memory_dc surface_dc_;
    std::unique_ptr<win32kit::ScopedSelect> surface_select_;  // declared last of the three: released first
    int surface_width_ = 0;
    int surface_height_ = 0;
    std::map<FaceLabel, bool> label_visible_;
    std::map<const LabelDesign*, win32kit::unique_hfont> fonts_;
    FaceTexts texts_;
    bool in_tray_ = false;     // reduced to the tray, with its icon or waiting for a taskbar
    bool icon_added_ = false;  // the taskbar took the icon
    std::string tray_tooltip_;
    ClockTick* tick_ = nullptr;
    ClockWindowCommands* commands_ = nullptr;
    WindowBehaviour behaviour_;
    HWND tooltip_ = nullptr;
    bool day_label_tool_ = false;  // the day label's tooltip is registered
};

}  // namespace tockly::win
