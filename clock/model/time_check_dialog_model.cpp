#include "clock/model/time_check_dialog_model.h"

#include "clock/support/clock_files.h"
#include "clock/support/settings_keys.h"

namespace tockly {

void TimeCheckDialog::Show(const std::optional<WebReading>& reading) {
    if (reading) first_reading_ = reading;
    if (!loaded_) {
        if (!ports_.view.load()) return;
        loaded_ = true;
        ++generation_;
        correcting_ = false;
        load();
    }
    ports_.view.show();
}

void TimeCheckDialog::load() {
    auto_correct_setting_ = read_setting(ports_.settings, ini::jianhu::section, ini::jianhu::jianhuzd, ports_.settings_path);
    auto_correct_ = flag_on_only_for_one(auto_correct_setting_);
    ports_.view.set_check(auto_correct_);
    frame_no_ = 0;
    last_correction_.reset();
    ports_.view.make_topmost();
    ports_.view.make_layered_colour_key(time_check_design::colour_key);

    // Just beyond the right edge of the screen, the bottom edge on the top of
    // a bottom taskbar.
    const ScreenMetrics screen = ports_.view.screen();
    screen_width_ = screen.width_twips;
    left_ = screen.width_twips;
    top_ = screen.height_twips - time_check_design::window_height - taskbar_height(screen);
    ports_.view.set_bounds_twips(left_, top_, time_check_design::window_width, time_check_design::window_height);

    set_timer(TimeCheckTimer::animation, true);
    set_timer(TimeCheckTimer::slide_out, false);
    set_timer(TimeCheckTimer::slide_in, true);
}

void TimeCheckDialog::on_animation_timer() {
    if (!loaded_) return;
    frame_no_ = frame_no_ == 1 ? 2 : 1;
    // The shared temporary picture file is loaded at once, before anything
    // else can extract another picture over it.
    const auto number = static_cast<std::int16_t>(time_check_design::first_frame_resource - 1 + frame_no_);
    ports_.view.show_picture(extract_resource(ports_.resources, ports_.files, number, "gif"));
}

void TimeCheckDialog::on_slide_in_timer() {
    if (!loaded_ || !timers_[static_cast<int>(TimeCheckTimer::slide_in)]) return;
    const int target = screen_width_ - time_check_design::window_width;
    if (left_ >= target) {
        left_ -= time_check_design::slide_in_step;
        ports_.view.move_left_twips(left_);
        return;
    }
    set_timer(TimeCheckTimer::slide_in, false);
    if (auto_correct_setting_ == "1") correct();
}

void TimeCheckDialog::on_slide_out_timer() {
    if (!loaded_ || !timers_[static_cast<int>(TimeCheckTimer::slide_out)]) return;
    if (left_ < screen_width_) {
        left_ += time_check_design::slide_out_step;
        ports_.view.move_left_twips(left_);
        return;
    }
    set_timer(TimeCheckTimer::slide_out, false);
    unload();
}

void TimeCheckDialog::correct_click() {
    if (loaded_) correct();
}

namespace {

std::optional<WebReading> read_web_time_or_nothing(const WebTimePorts& web) {
    try {
        return read_web_time(web);
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace

void TimeCheckDialog::correct() {
    // One correction at a time: a second click while the page is fetched
    // adds nothing.
    if (correcting_) return;
    correcting_ = true;
    if (!ports_.background) {
        finish_correction(read_web_time_or_nothing(ports_.web));
        return;
    }
    // Behind a check still under way, never on the window's thread: the face
    // keeps its seconds while the page is fetched.
    const WebTimePorts web = ports_.web;
    const unsigned generation = generation_;
    const bool queued = ports_.background->queue([this, web, generation]() -> Background::Result {
        const std::optional<WebReading> now = read_web_time_or_nothing(web);
        return [this, now, generation] {
            if (loaded_ && generation == generation_) finish_correction(now);
        };
    });
    // No worker left (the program is ending): no page, so nothing is set.
    if (!queued) finish_correction(std::nullopt);
}

void TimeCheckDialog::finish_correction(const std::optional<WebReading>& now) {
    correcting_ = false;
    try {
        last_correction_ = apply_correction(ports_.web, ports_.setter, now, first_reading_);
    } catch (...) {
        last_correction_ = CorrectionOutcome::no_page;
    }
    if (last_correction_ == CorrectionOutcome::corrected && auto_correct_setting_ == "0")
        ports_.settings.boxes.show(time_check_design::done_text, time_check_design::done_title, MessageIcon::information);
    // The message box lets the dialog's own events run; a click on the
    // picture may have closed it meanwhile.
    if (!loaded_) return;
    // Sliding out ends any slide-in still under way: a click on "校正"
    // during the slide-in must not lead to a second, automatic correction.
    set_timer(TimeCheckTimer::slide_in, false);
    set_timer(TimeCheckTimer::slide_out, true);
}

void TimeCheckDialog::close_click() {
    if (loaded_) unload();
}

void TimeCheckDialog::auto_correct_click(bool now_checked) {
    if (!loaded_) return;
    auto_correct_ = now_checked;
    // Takes effect from the next time the dialog loads.
    write_setting(ports_.settings, ini::jianhu::section, ini::jianhu::jianhuzd, now_checked ? "1" : "0",
             ports_.settings_path);
}

bool TimeCheckDialog::timer_on(TimeCheckTimer timer) const { return timers_[static_cast<int>(timer)]; }

void TimeCheckDialog::set_timer(TimeCheckTimer timer, bool on) {
    timers_[static_cast<int>(timer)] = on;
    ports_.view.set_timer(timer, on);
}

void TimeCheckDialog::unload() {
    for (bool& on : timers_) on = false;
    loaded_ = false;
    ports_.view.unload();
}

}  // namespace tockly
