// DuiShi, the time-check dialog's window: layered (white is see-through),
// top-most, no border, two red labels, the light-green "校正" button, the
// yellow "自动校正" check box and the animated picture that closes it. It
// renders the DuiShi model and forwards clicks and timer ticks to it.
//
// The picture (Image1) is painted by the dialog itself, below everything
// else, and the labels are transparent: the labels, the button and the check
// box stay whole where they overlap the picture.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "dpi_scale.h"
#include "duishi.h"
#include "handles.h"
#include "picture.h"
#include "file_system.h"
#include "message_boxes.h"
#include "module_resources.h"
#include "window.h"

namespace tockly::win {

using namespace win32kit;

inline constexpr wchar_t duishi_class_name[] = L"TocklyDuiShi";

// Control ids, so a test (or a person with a spy tool) can find them.
enum DuiShiControl : int {
    duishi_Label1_0 = 100,
    duishi_Label1_1 = 101,
    duishi_Command1 = 110,
    duishi_Check1 = 120,
};

struct DuiShiWindowPorts {
    ProfileStore& profile;
    Resources& resources;
    FileSystem& files;
    WebTimePorts web;
    ClockSetter& setter;
    std::string settings_path;
    Background* background = nullptr;
};

class DuiShiWindow : public DuiShiView, public Window<DuiShiWindow> {
public:
    static bool register_class(HINSTANCE instance);
    DuiShiWindow(HINSTANCE instance, HWND owner, DuiShiWindowPorts ports);
    ~DuiShiWindow() override;
    DuiShiWindow(const DuiShiWindow&) = delete;
    DuiShiWindow& operator=(const DuiShiWindow&) = delete;

    // Shows the dialog (modeless), loading it on first use.
    void Show(const std::optional<WebReading>& reading = std::nullopt) { model_.Show(reading); }
    const DuiShi& model() const { return model_; }

    // DuiShiView
    bool load() override;
    void unload() override;
    ScreenMetrics screen() override;
    void make_topmost() override;
    void make_layered_colour_key(unsigned colour_key) override;
    void set_bounds_twips(int left, int top, int width, int height) override;
    void move_left_twips(int left) override;
    void set_check(bool checked) override;
    void show_picture(std::string_view path) override;
    void set_timer(DuiShiTimer timer, bool on) override;
    void show() override;

private:
    friend class Window<DuiShiWindow>;
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    HWND add_control(const wchar_t* cls, std::string_view text, DWORD style, const duishi::ControlDesign& at, int id);
    void draw_button(const DRAWITEMSTRUCT& item);
    void paint();
    RECT image_rect() const;
    bool over_image(POINT client) const;
    int px_x(int twips) const;
    int px_y(int twips) const;

    HINSTANCE instance_;
    HWND owner_;
    HWND command1_ = nullptr, check1_ = nullptr, tooltip_ = nullptr;
    bool image_pressed_ = false;
    HWND label0_ = nullptr, label1_ = nullptr;
    DpiScale scale_;
    Picture drawn_frame_;  // frame_ at this DPI
    HBITMAP drawn_frame_source_ = nullptr;
    int top_px_ = 0;
    Picture frame_;
    unique_hfont label_font_, control_font_;
    unique_hbrush white_, yellow_, green_;
    Win32MessageBoxes boxes_;
    DuiShi model_;
};

}  // namespace tockly::win
