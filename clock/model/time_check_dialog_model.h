// TimeCheckDialog, the time-check dialog: slides in from the right edge above the
// taskbar, says the time is wrong, corrects the clock from the time page on
// "校正" (or by itself when automatic correction is on) and slides out. A
// click on the picture closes it at once. The window is reached through
// TimeCheckView, so every step runs, and is tested, without a real window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "clock/model/background.h"
#include "clock/support/ports.h"
#include "clock/support/settings_file.h"
#include "clock/support/time_text.h"
#include "clock/support/web_time.h"

namespace tockly {

namespace time_check_design {
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
inline constexpr ControlDesign because_label{210, 450, 2235, 345};  // "Pokko来是因为"
inline constexpr ControlDesign wrong_time_label{210, 870, 2235, 345};  // "您的时间不准"
inline constexpr ControlDesign correct_button{1830, 1260, 555, 285};
inline constexpr ControlDesign auto_correct_box{1830, 1770, 1065, 210};
inline constexpr ControlDesign close_picture{image_left, image_top, image_width, image_height};

inline constexpr std::string_view because_text = "Pokko来是因为";
inline constexpr std::string_view wrong_time_text = "您的时间不准";
inline constexpr unsigned label_colour = 0x000000FF;  // red
inline constexpr std::string_view label_font = "汉仪水滴体简";
inline constexpr double label_points = 15.75;
inline constexpr std::string_view correct_text = "校正";
inline constexpr unsigned correct_back_colour = 0x0080FF80;  // light green
inline constexpr std::string_view auto_correct_text = "自动校正";
inline constexpr unsigned auto_correct_back_colour = 0x0000FFFF;  // yellow
inline constexpr unsigned auto_correct_text_colour = 0x00FF00FF;  // magenta
inline constexpr std::string_view close_tooltip = "不校正";
inline constexpr std::string_view done_text = "Ok！校正完毕，您的时间现在是正确的。";
inline constexpr std::string_view done_title = "为您对时";
}  // namespace time_check_design

enum class TimeCheckTimer { animation, slide_in, slide_out };

// The dialog's window as the model drives it.
class TimeCheckView {
public:
    virtual ~TimeCheckView() = default;
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
    virtual void set_timer(TimeCheckTimer timer, bool on) = 0;
    virtual void show() = 0;
};

struct TimeCheckPorts {
    TimeCheckView& view;
    SettingsAccess settings;
    std::string settings_path;  // program_folder & "Software_information.ini"
    Resources& resources;
    FileSystem& files;
    WebTimePorts web;
    ClockSetter& setter;
    // Where the correction's fetch waits, queued behind any job of the
    // worker, which hands the reading back to the window; none: it waits
    // right here.
    Background* background = nullptr;
};

class TimeCheckDialog {
public:
    explicit TimeCheckDialog(TimeCheckPorts ports) : ports_(std::move(ports)) {}

    // Shows the dialog, loading it first when it is not loaded. `reading` is
    // the check's web time; the correction sets the clock only to a time
    // that agrees with it.
    void Show(const std::optional<WebReading>& reading = std::nullopt);

    void on_animation_timer();  // animation
    void on_slide_in_timer();  // slide-in
    void on_slide_out_timer();  // slide-out
    void correct_click();
    void close_click();
    void auto_correct_click(bool now_checked);

    bool loaded() const { return loaded_; }
    int left_twips() const { return left_; }
    int top_twips() const { return top_; }
    bool timer_on(TimeCheckTimer timer) const;
    const std::string& AutoCorrectSetting() const { return auto_correct_setting_; }
    int FrameNo() const { return frame_no_; }
    bool auto_correct_checked() const { return auto_correct_; }
    // What the last correction came to (for the window's record and the tests).
    std::optional<CorrectionOutcome> last_correction() const { return last_correction_; }

private:
    void load();
    void correct();
    void finish_correction(const std::optional<WebReading>& now);
    void set_timer(TimeCheckTimer timer, bool on);
    void unload();

    TimeCheckPorts ports_;
    bool loaded_ = false;
    std::string auto_correct_setting_;
    int frame_no_ = 0;
    bool auto_correct_ = false;
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
