#include "clock/model/notice_band_model.h"

#include <cmath>

#include "clock/support/settings_file.h"

namespace tockly {

void NoticeBand::show_notice(std::int32_t in_time, std::int32_t stop_time, std::int32_t out_time, std::string_view Text) {
    in_time_ = in_time;
    stop_time_ = stop_time;
    out_time_ = out_time;
    // A notice already on screen keeps its phase and counters; only the text
    // and the durations change.
    if (!loaded_) load();
    set_caption(trim_spaces(Text));
    view_.show();
}

void NoticeBand::show_notices_in_turn(std::int32_t in_time, std::int32_t stop_time, std::int32_t out_time,
                                      std::string_view summary, const std::vector<std::string>& in_turn) {
    if (in_turn.empty()) {
        show_notice(in_time, stop_time, out_time, summary);
        return;
    }
    queued_.assign(in_turn.begin() + 1, in_turn.end());
    queued_in_ = in_time;
    queued_stop_ = stop_time;
    queued_out_ = out_time;
    show_notice(in_time, stop_time, out_time, in_turn.front());
}

void NoticeBand::Show() {
    if (!loaded_) load();
    view_.show();
}

void NoticeBand::load() {
    // The band spans the monitor that shows the clock at the moment it comes.
    const TwipsRect area = monitor_ ? monitor_->clock_monitor() : TwipsRect{0, 0, screen_.width_twips, screen_.height_twips};
    NoticeLayout layout;
    layout.left = area.left;
    layout.top = origin_top_ = area.top;
    layout.width = area.width();
    layout.image_left = layout.width - notice_design::image_width_twips;
    loaded_ = true;
    top_ = 0;
    view_.load(layout);
    set_caption(notice_design::design_caption);
    // Rounded half to even, as the platform rounds a real to a whole twip.
    centre_top_ = static_cast<std::int32_t>(
        std::nearbyint(area.height() / 2.0 - layout.height / 2.0));
    leave_distance_ = static_cast<std::int32_t>(std::nearbyint(static_cast<double>(area.height()) - centre_top_));
    enter_ticks_ = stay_ticks_ = leave_ticks_ = 0;
    set_timer(NoticeTimer::slide_in, true);
    set_timer(NoticeTimer::stay, false);
    set_timer(NoticeTimer::slide_out, false);
    set_timer(NoticeTimer::frames, true);
}

void NoticeBand::set_timer(NoticeTimer t, bool on) {
    timers_[static_cast<int>(t)] = on;
    view_.enable_timer(t, on);
}

void NoticeBand::set_caption(std::string_view text) {
    caption_ = std::string(text);
    view_.set_text(caption_);
}

void NoticeBand::on_slide_in_timer() {
    if (!loaded_ || !timer_on(NoticeTimer::slide_in)) return;
    ++enter_ticks_;
    // The divisions are only reached with a positive duration.
    const double steps = in_time_ / 10.0;
    if (steps >= enter_ticks_) {
        top_ += centre_top_ / steps;
        view_.move_top(origin_top_ + top_);
    } else {
        set_timer(NoticeTimer::slide_in, false);
        set_timer(NoticeTimer::stay, true);
    }
}

void NoticeBand::on_stay_timer() {
    if (!loaded_ || !timer_on(NoticeTimer::stay)) return;
    ++stay_ticks_;
    if (stop_time_ / 10.0 < stay_ticks_) {
        set_timer(NoticeTimer::stay, false);
        set_timer(NoticeTimer::slide_out, true);
    }
}

void NoticeBand::on_slide_out_timer() {
    if (!loaded_ || !timer_on(NoticeTimer::slide_out)) return;
    ++leave_ticks_;
    const double steps = out_time_ / 10.0;
    if (steps >= leave_ticks_) {
        top_ += leave_distance_ / steps;
        view_.move_top(origin_top_ + top_);
        return;
    }
    loaded_ = false;
    timers_ = {};
    if (caption_ == notice_design::goodbye_text) {
        view_.end_program();
        return;
    }
    view_.unload();
    if (queued_.empty()) return;
    const std::string next = std::move(queued_.front());
    queued_.pop_front();
    show_notice(queued_in_, queued_stop_, queued_out_, next);
}

void NoticeBand::on_frame_timer() {
    if (!loaded_ || !timer_on(NoticeTimer::frames)) return;
    frame_no_ = frame_no_ == notice_design::frame_count ? 1 : static_cast<std::int16_t>(frame_no_ + 1);
    view_.show_frame(100 + frame_no_);
}

void NoticeBand::on_text_click() {
    if (loaded_ && clicks_) clicks_->on_notice_click(caption_);
}

void NoticeBand::on_image_click() {
    if (!loaded_) return;
    set_timer(NoticeTimer::stay, false);
    set_timer(NoticeTimer::slide_out, true);
}

}  // namespace tockly
