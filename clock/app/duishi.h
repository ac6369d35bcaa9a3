// DuiShi, the time-check dialog: slides in from the right edge above the
// taskbar, says the time is wrong, corrects the clock from the time page on
// "校正" (or by itself when automatic correction is on) and slides out. A
// click on the picture closes it at once. The window is reached through
// DuiShiView, so every step runs, and is tested, without a real window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "background.h"
#include "ports.h"
#include "settings_file.h"
#include "time_text.h"
#include "web_time.h"

namespace tockly {

namespace duishi {
// Design values, lengths in twips.
inline constexpr int image_left = 2250;
inline constexpr int image_top = 0;
inline constexpr int image_width = 1635;
inline constexpr int image_height = 2130;
inline constexpr int window_width = image_left + image_width;  // 3885
inline constexpr int window_height = image_height;
inline constexpr int slide_in_step = 150;
inline constexpr int slide_out_step = 80;
inline constexpr int animation_interval_ms = 500;
inline constexpr int slide_interval_ms = 5;
inline constexpr unsigned colour_key = 0xFFFFFF;
inline constexpr int first_frame_resource = 301;

struct ControlDesign {
    int left, top, width, height;
};
inline constexpr ControlDesign Label1_1{210, 450, 2235, 345};  // "Pokko来是因为"
inline constexpr ControlDesign Label1_0{210, 870, 2235, 345};  // "您的时间不准"
inline constexpr ControlDesign Command1{1830, 1260, 555, 285};
inline constexpr ControlDesign Check1{1830, 1770, 1065, 210};
inline constexpr ControlDesign Image1{image_left, image_top, image_width, image_height};

inline constexpr std::string_view label1_1_text = "Pokko来是因为";
inline constexpr std::string_view label1_0_text = "您的时间不准";
inline constexpr unsigned label_colour = 0x000000FF;  // red
inline constexpr std::string_view label_font = "汉仪水滴体简";
inline constexpr double label_points = 15.75;
inline constexpr std::string_view command1_text = "校正";
inline constexpr unsigned command1_back_colour = 0x0080FF80;  // light green
inline constexpr std::string_view check1_text = "自动校正";
inline constexpr unsigned check1_back_colour = 0x0000FFFF;  // yellow
inline constexpr unsigned check1_text_colour = 0x00FF00FF;  // magenta
inline constexpr std::string_view image1_tooltip = "不校正";
inline constexpr std::string_view done_text = "Ok！校正完毕，您的时间现在是正确的。";
inline constexpr std::string_view done_title = "为您对时";
}  // namespace duishi

enum class DuiShiTimer { Timer1_animation, Timer2_slide_in, Timer3_slide_out };

// The dialog's window as the model drives it.
class DuiShiView {
public:
    virtual ~DuiShiView() = default;
    // Creates the window with its controls (hidden); false when it could not.
    virtual bool load() = 0;
    virtual void unload() = 0;
    virtual ScreenMetrics screen() = 0;
    virtual void make_topmost() = 0;
    virtual void make_layered_colour_key(unsigned colour_key) = 0;
    virtual void set_bounds_twips(int left, int top, int width, int height) = 0;
    virtual void move_left_twips(int left) = 0;
    virtual void set_check(bool checked) = 0;
    virtual void show_picture(std::string_view path) = 0;
    virtual void set_timer(DuiShiTimer timer, bool on) = 0;
    virtual void show() = 0;
};

struct DuiShiPorts {
    DuiShiView& view;
    SettingsAccess settings;
    std::string settings_path;  // ChengXuLuJing & "Software_information.ini"
    Resources& resources;
    FileSystem& files;
    WebTimePorts web;
    ClockSetter& setter;
    // Where the correction's fetch waits (a worker that hands the reading
    // back to the window); none: it waits right here.
    Background* background = nullptr;
};

class DuiShi {
public:
    explicit DuiShi(DuiShiPorts ports) : ports_(std::move(ports)) {}

    // Shows the dialog, loading it first when it is not loaded. `reading` is
    // the check's web time; the correction sets the clock only to a time
    // that agrees with it.
    void Show(const std::optional<WebReading>& reading = std::nullopt);

    void Timer1_Timer();  // animation
    void Timer2_Timer();  // slide-in
    void Timer3_Timer();  // slide-out
    void Command1_Click();
    void Image1_Click();
    void Check1_Click(bool now_checked);

    bool loaded() const { return loaded_; }
    int left_twips() const { return left_; }
    int top_twips() const { return top_; }
    bool timer_on(DuiShiTimer timer) const;
    const std::string& AutoCorrectSetting() const { return auto_correct_setting_; }
    int FrameNo() const { return frame_no_; }
    bool Check1_value() const { return check1_; }
    // What the last correction came to (for the window's record and the tests).
    std::optional<CorrectionOutcome> last_correction() const { return last_correction_; }

private:
    void Form_Load();
    void correct();
    void finish_correction(const std::optional<WebReading>& now);
    void set_timer(DuiShiTimer timer, bool on);
    void Unload();

    DuiShiPorts ports_;
    bool loaded_ = false;
    std::string auto_correct_setting_;
    int frame_no_ = 0;
    bool check1_ = false;
    int left_ = 0;
    int top_ = 0;
    int screen_width_ = 0;
    bool timers_[3] = {false, false, false};
    std::optional<CorrectionOutcome> last_correction_;
    std::optional<WebReading> first_reading_;
    bool correcting_ = false;
    // Counts loads, so a reading that comes back after the dialog was
    // closed (and perhaps opened again) is dropped.
    unsigned generation_ = 0;
};

}  // namespace tockly
