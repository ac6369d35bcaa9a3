// TimeCheckDialog, the time-check dialog's window: layered (white is see-through),
// top-most, no border, two red labels, the light-green "校正" button, the
// yellow "自动校正" check box and the animated picture that closes it. It
// renders the TimeCheckDialog model and forwards clicks and timer ticks to it.
//
// The picture (close_picture) is painted by the dialog itself, below everything
// else, and the labels are transparent: the labels, the button and the check
// box stay whole where they overlap the picture.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "clock/windows/dpi_scale.h"
#include "clock/model/time_check_dialog_model.h"
#include "win32kit/handles.h"
#include "clock/windows/picture.h"
#include "clock/windows/screen_metrics.h"
#include "clock/windows/message_boxes.h"
#include "clock/windows/module_resources.h"
#include "win32kit/window.h"

namespace tockly::win {

inline constexpr wchar_t time_check_class_name[] = L"TocklyDuiShi";

// Control ids, so a test (or a person with a spy tool) can find them.
enum TimeCheckControl : int {
    time_check_wrong_time_id = 100,
    time_check_because_id = 101,
    time_check_correct_id = 110,
    time_check_auto_correct_id = 120,
};

struct TimeCheckWindowPorts {
    ProfileStore& profile;
    Resources& resources;
    FileSystem& files;
    WebTimePorts web;
    ClockSetter& setter;
    std::string settings_path;
    Background* background = nullptr;
};

class TimeCheckDialogWindow : public TimeCheckView, public win32kit::Window<TimeCheckDialogWindow> {
public:
    static bool register_class(HINSTANCE instance);
    TimeCheckDialogWindow(HINSTANCE instance, HWND owner, TimeCheckWindowPorts ports);
    ~TimeCheckDialogWindow() override;
    TimeCheckDialogWindow(const TimeCheckDialogWindow&) = delete;
    TimeCheckDialogWindow& operator=(const TimeCheckDialogWindow&) = delete;

    // Shows the dialog (modeless), loading it on first use.
    void Show(const std::optional<WebReading>& reading = std::nullopt) { model_.Show(reading); }
    const TimeCheckDialog& model() const { return model_; }

    // TimeCheckView
    bool load() override;
    void unload() override;
    ScreenMetrics screen() override;
    void make_topmost() override;
    void make_layered_colour_key(unsigned colour_key) override;
    void set_bounds_twips(int left, int top, int width, int height) override;
    void move_left_twips(int left) override;
    void set_check(bool checked) override;
    void show_picture(std::string_view path) override;
    void set_timer(TimeCheckTimer timer, bool on) override;
    void show() override;

private:
    friend class win32kit::Window<TimeCheckDialogWindow>;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void on_timer(WPARAM id);
    void on_command(int id, int code);
    LRESULT on_control_colour(HDC dc, HWND control);
    void on_draw_item(const DRAWITEMSTRUCT& item);
    void on_button_down(POINT at);
    void on_button_up(POINT at);
    bool on_set_cursor(HWND over);
    void add_close_tooltip();
    HWND add_control(const wchar_t* cls, std::string_view text, DWORD style, const time_check_design::ControlDesign& at, int id);
    void draw_button(const DRAWITEMSTRUCT& item);
    void paint();
    RECT image_rect() const;
    bool over_image(POINT client) const;
    int px_x(int twips) const;
    int px_y(int twips) const;

    HINSTANCE instance_;
    HWND owner_;
    HWND correct_button_ = nullptr, auto_correct_ = nullptr, tooltip_ = nullptr;
    bool image_pressed_ = false;
    HWND wrong_time_label_ = nullptr, because_label_ = nullptr;
    DpiScale scale_;
    Picture drawn_frame_;  // frame_ at this DPI
    HBITMAP drawn_frame_source_ = nullptr;
    int top_px_ = 0;
    Picture frame_;
    win32kit::unique_hfont label_font_, control_font_;
    win32kit::unique_hbrush white_, yellow_, green_;
    Win32MessageBoxes boxes_;
    TimeCheckDialog model_;
};

}  // namespace tockly::win
