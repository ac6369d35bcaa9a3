#include "duishi.h"

#include "clock_files.h"
#include "settings_keys.h"

namespace tockly {

void DuiShi::Show(const std::optional<WebReading>& reading) {
    if (reading) first_reading_ = reading;
    if (!loaded_) {
        if (!ports_.view.load()) return;
        loaded_ = true;
        ++generation_;
        correcting_ = false;
        Form_Load();
    }
    ports_.view.show();
}

void DuiShi::Form_Load() {
    auto_correct_setting_ = DuQuINI(ports_.settings, ini::jianhu::section, ini::jianhu::jianhuzd, ports_.settings_path);
    check1_ = flag_on_only_for_one(auto_correct_setting_);
    ports_.view.set_check(check1_);
    frame_no_ = 0;
    last_correction_.reset();
    ports_.view.make_topmost();
    ports_.view.make_layered_colour_key(duishi::colour_key);

    // Just beyond the right edge of the screen, the bottom edge on the top of
    // a bottom taskbar.
    const ScreenMetrics screen = ports_.view.screen();
    screen_width_ = screen.width_twips;
    left_ = screen.width_twips;
    top_ = screen.height_twips - duishi::window_height - RenWuLanGaoDu(screen);
    ports_.view.set_bounds_twips(left_, top_, duishi::window_width, duishi::window_height);

    set_timer(DuiShiTimer::Timer1_animation, true);
    set_timer(DuiShiTimer::Timer3_slide_out, false);
    set_timer(DuiShiTimer::Timer2_slide_in, true);
}

void DuiShi::Timer1_Timer() {
    if (!loaded_) return;
    frame_no_ = frame_no_ == 1 ? 2 : 1;
    // The shared temporary picture file is loaded at once, before anything
    // else can extract another picture over it.
    const auto number = static_cast<std::int16_t>(duishi::first_frame_resource - 1 + frame_no_);
    ports_.view.show_picture(ShiFangZiYuan(ports_.resources, ports_.files, number, "gif"));
}

void DuiShi::Timer2_Timer() {
    if (!loaded_ || !timers_[static_cast<int>(DuiShiTimer::Timer2_slide_in)]) return;
    const int target = screen_width_ - duishi::window_width;
    if (left_ >= target) {
        left_ -= duishi::slide_in_step;
        ports_.view.move_left_twips(left_);
        return;
    }
    set_timer(DuiShiTimer::Timer2_slide_in, false);
    if (auto_correct_setting_ == "1") correct();
}

void DuiShi::Timer3_Timer() {
    if (!loaded_ || !timers_[static_cast<int>(DuiShiTimer::Timer3_slide_out)]) return;
    if (left_ < screen_width_) {
        left_ += duishi::slide_out_step;
        ports_.view.move_left_twips(left_);
        return;
    }
    set_timer(DuiShiTimer::Timer3_slide_out, false);
    Unload();
}

void DuiShi::Command1_Click() {
    if (loaded_) correct();
}

void DuiShi::correct() {
    // One correction at a time: a second click while the page is fetched
    // adds nothing.
    if (correcting_) return;
    correcting_ = true;
    if (ports_.background) {
        const WebTimePorts web = ports_.web;
        const unsigned generation = generation_;
        const bool started = ports_.background->run([this, web, generation]() -> std::function<void()> {
            std::optional<WebReading> now;
            try {
                now = read_web_time(web);
            } catch (...) {
            }
            return [this, now, generation] {
                if (loaded_ && generation == generation_) finish_correction(now);
            };
        });
        if (started) return;
    }
    std::optional<WebReading> now;
    try {
        now = read_web_time(ports_.web);
    } catch (...) {
    }
    finish_correction(now);
}

void DuiShi::finish_correction(const std::optional<WebReading>& now) {
    correcting_ = false;
    try {
        last_correction_ = apply_correction(ports_.web, ports_.setter, now, first_reading_);
    } catch (...) {
        last_correction_ = CorrectionOutcome::no_page;
    }
    if (last_correction_ == CorrectionOutcome::corrected && auto_correct_setting_ == "0")
        ports_.settings.boxes.show(duishi::done_text, duishi::done_title, MessageIcon::information);
    // The message box lets the dialog's own events run; a click on the
    // picture may have closed it meanwhile.
    if (!loaded_) return;
    // Sliding out ends any slide-in still under way: a click on "校正"
    // during the slide-in must not lead to a second, automatic correction.
    set_timer(DuiShiTimer::Timer2_slide_in, false);
    set_timer(DuiShiTimer::Timer3_slide_out, true);
}

void DuiShi::Image1_Click() {
    if (loaded_) Unload();
}

void DuiShi::Check1_Click(bool now_checked) {
    if (!loaded_) return;
    check1_ = now_checked;
    // Takes effect from the next time the dialog loads.
    XieRuINI(ports_.settings, ini::jianhu::section, ini::jianhu::jianhuzd, now_checked ? "1" : "0",
             ports_.settings_path);
}

bool DuiShi::timer_on(DuiShiTimer timer) const { return timers_[static_cast<int>(timer)]; }

void DuiShi::set_timer(DuiShiTimer timer, bool on) {
    timers_[static_cast<int>(timer)] = on;
    ports_.view.set_timer(timer, on);
}

void DuiShi::Unload() {
    for (bool& on : timers_) on = false;
    loaded_ = false;
    ports_.view.unload();
}

}  // namespace tockly
