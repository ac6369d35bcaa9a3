#include "tishi.h"

#include <cmath>

#include "settings_file.h"

namespace tockly {

void TiShiChuang::TiShi(std::int32_t InTime, std::int32_t StopTime, std::int32_t OutTime, std::string_view Text) {
    in_time_ = InTime;
    stop_time_ = StopTime;
    out_time_ = OutTime;
    // A notice already on screen keeps its phase and counters; only the text
    // and the durations change.
    if (!loaded_) load();
    set_caption(trim_spaces(Text));
    view_.show();
}

void TiShiChuang::Show() {
    if (!loaded_) load();
    view_.show();
}

void TiShiChuang::load() {
    // The band spans the monitor that shows the clock at the moment it comes.
    const TwipsRect area = monitor_ ? monitor_->clock_monitor() : TwipsRect{0, 0, screen_.width_twips, screen_.height_twips};
    NoticeLayout layout;
    layout.left = area.left;
    layout.top = origin_top_ = area.top;
    layout.width = area.width();
    layout.image_left = layout.width - tishi::image_width_twips;
    loaded_ = true;
    top_ = 0;
    view_.load(layout);
    set_caption(tishi::design_caption);
    // Rounded half to even, as the platform rounds a real to a whole twip.
    centre_top_ = static_cast<std::int32_t>(
        std::nearbyint(area.height() / 2.0 - layout.height / 2.0));
    leave_distance_ = static_cast<std::int32_t>(std::nearbyint(static_cast<double>(area.height()) - centre_top_));
    enter_ticks_ = stay_ticks_ = leave_ticks_ = 0;
    set_timer(NoticeTimer::Timer1, true);
    set_timer(NoticeTimer::Timer2, false);
    set_timer(NoticeTimer::Timer3, false);
    set_timer(NoticeTimer::Timer4, true);
}

void TiShiChuang::set_timer(NoticeTimer t, bool on) {
    timers_[static_cast<int>(t)] = on;
    view_.enable_timer(t, on);
}

void TiShiChuang::set_caption(std::string_view text) {
    caption_ = std::string(text);
    view_.set_text(caption_);
}

void TiShiChuang::on_timer1() {
    if (!loaded_ || !timer_on(NoticeTimer::Timer1)) return;
    ++enter_ticks_;
    // The divisions are only reached with a positive duration.
    const double steps = in_time_ / 10.0;
    if (steps >= enter_ticks_) {
        top_ += centre_top_ / steps;
        view_.move_top(origin_top_ + top_);
    } else {
        set_timer(NoticeTimer::Timer1, false);
        set_timer(NoticeTimer::Timer2, true);
    }
}

void TiShiChuang::on_timer2() {
    if (!loaded_ || !timer_on(NoticeTimer::Timer2)) return;
    ++stay_ticks_;
    if (stop_time_ / 10.0 < stay_ticks_) {
        set_timer(NoticeTimer::Timer2, false);
        set_timer(NoticeTimer::Timer3, true);
    }
}

void TiShiChuang::on_timer3() {
    if (!loaded_ || !timer_on(NoticeTimer::Timer3)) return;
    ++leave_ticks_;
    const double steps = out_time_ / 10.0;
    if (steps >= leave_ticks_) {
        top_ += leave_distance_ / steps;
        view_.move_top(origin_top_ + top_);
        return;
    }
    loaded_ = false;
    timers_ = {};
    if (caption_ == tishi::goodbye_text)
        view_.end_program();
    else
        view_.unload();
}

void TiShiChuang::on_timer4() {
    if (!loaded_ || !timer_on(NoticeTimer::Timer4)) return;
    frame_no_ = frame_no_ == tishi::frame_count ? 1 : static_cast<std::int16_t>(frame_no_ + 1);
    view_.show_frame(100 + frame_no_);
}

void TiShiChuang::on_image_click() {
    if (!loaded_) return;
    set_timer(NoticeTimer::Timer2, false);
    set_timer(NoticeTimer::Timer3, true);
}

}  // namespace tockly
