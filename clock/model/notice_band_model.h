// The notice window NoticeBand: a band as wide as the screen that slides
// down from the top edge to the middle, stays, and slides out through the
// bottom edge. This is its model; the window that renders it lives in
// clock/windows/notice_band_window and forwards its four timers and the picture
// click here.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "clock/model/monitor_layout.h"
#include "clock/support/ports.h"

namespace tockly {

// Whoever shows a notice: show_notice(in_time, stop_time, out_time, text), the three
// durations in milliseconds.
class Notices {
public:
    virtual ~Notices() = default;
    virtual void show_notice(std::int32_t in_time, std::int32_t stop_time, std::int32_t out_time, std::string_view Text) = 0;
    // A list too long for one line of the band: `in_turn` one notice after
    // the other, each with these durations. Whoever can show only one text
    // shows `summary`, the list cut short.
    virtual void show_notices_in_turn(std::int32_t in_time, std::int32_t stop_time, std::int32_t out_time,
                                      std::string_view summary, const std::vector<std::string>& in_turn) {
        (void)in_turn;
        show_notice(in_time, stop_time, out_time, summary);
    }
};

// Whoever the ringing alarm's notice band tells of a click on it.
class NoticeClicks {
public:
    virtual ~NoticeClicks() = default;
    // A click on the band's text while it shows this text.
    virtual void on_notice_click(std::string_view text) = 0;
};

namespace notice_design {
inline constexpr int height_twips = 1125;
inline constexpr int image_width_twips = 1245;
inline constexpr int image_height_twips = 1155;
inline constexpr int phase_interval_ms = 10;      // slide_in..slide_out
inline constexpr int animation_interval_ms = 200;  // frames
inline constexpr int frame_count = 14;
inline constexpr std::string_view design_caption = "Tockly";
inline constexpr std::string_view goodbye_text = "Tockly退出啦，再见";
inline constexpr unsigned colour_key = 0xFFFFFF;
inline constexpr unsigned text_colour = 0xFF0000;      // OLE colour: pure blue
inline constexpr unsigned back_colour = 0x80000005;    // the system's window colour
inline constexpr const char* font = "宋体";
inline constexpr int font_points = 48;
inline constexpr int font_weight = 700;

// The texts of the notices the clock shows.
inline constexpr std::string_view started_text = "Tockly打开成功";
// "Tockly cannot find the sound file “Voice\Mati\x.wav”; it will not sound."
inline constexpr std::string_view missing_sound_text = "Tockly找不到声音文件";
inline constexpr std::string_view missing_sound_tail = "，不会响。";
inline constexpr std::string_view scheduled_start_text = "定时启动项目已经启动！";
}  // namespace notice_design

// Where the load step puts the window and its picture (twips).
struct NoticeLayout {
    int left = 0, top = 0, width = 0, height = notice_design::height_twips;
    int image_left = 0, image_top = 0;
    int image_width = notice_design::image_width_twips, image_height = notice_design::image_height_twips;
};

enum class NoticeTimer { slide_in = 0, stay = 1, slide_out = 2, frames = 3 };

// The on-screen window. load() creates it (borderless, layered with white as
// the colour key, top-most); unload() destroys it; the model outlives it.
class NoticeView {
public:
    virtual ~NoticeView() = default;
    virtual void load(const NoticeLayout& layout) = 0;
    virtual void set_text(std::string_view text) = 0;
    virtual void move_top(double top_twips) = 0;
    virtual void show_frame(int resource_number) = 0;  // GIF 101..114
    virtual void enable_timer(NoticeTimer timer, bool on) = 0;
    virtual void show() = 0;
    virtual void unload() = 0;
    // Ends the whole process at once, without any further closing handlers.
    virtual void end_program() = 0;
};

// The monitor that shows the clock, in twips on the virtual screen.
class ClockMonitor {
public:
    virtual ~ClockMonitor() = default;
    virtual TwipsRect clock_monitor() = 0;
};

class NoticeBand : public Notices {
public:
    NoticeBand(NoticeView& view, ScreenMetrics screen) : view_(view), screen_(screen) {}
    // Without one the band spans the primary screen.
    void set_clock_monitor(ClockMonitor* monitor) { monitor_ = monitor; }

    void show_notice(std::int32_t in_time, std::int32_t stop_time, std::int32_t out_time, std::string_view Text) override;
    void show_notices_in_turn(std::int32_t in_time, std::int32_t stop_time, std::int32_t out_time,
                              std::string_view summary, const std::vector<std::string>& in_turn) override;
    void set_click_listener(NoticeClicks* listener) { clicks_ = listener; }
    // Shown without show_notice (the settings dialog's captions): the design caption
    // with whatever durations the last show_notice left.
    void Show();

    void on_slide_in_timer();
    void on_stay_timer();
    void on_slide_out_timer();
    void on_frame_timer();
    void on_image_click();
    // A click on the band's text: whoever listens hears of it (the ringing
    // alarm is put off); the notice itself goes on.
    void on_text_click();
    // Notices still waiting for their turn.
    std::size_t queued() const { return queued_.size(); }

    bool loaded() const { return loaded_; }
    double top() const { return top_; }
    const std::string& caption() const { return caption_; }
    bool timer_on(NoticeTimer t) const { return timers_[static_cast<int>(t)]; }
    std::int32_t CentreTop() const { return centre_top_; }
    std::int32_t LeaveDistance() const { return leave_distance_; }
    std::int16_t FrameNo() const { return frame_no_; }

private:
    void load();
    void set_timer(NoticeTimer t, bool on);
    void set_caption(std::string_view text);

    NoticeView& view_;
    ScreenMetrics screen_;
    ClockMonitor* monitor_ = nullptr;
    int origin_top_ = 0;  // the band's monitor's top; top_ counts from there
    bool loaded_ = false;
    std::int32_t in_time_ = 0, stop_time_ = 0, out_time_ = 0;
    std::int32_t enter_ticks_ = 0, stay_ticks_ = 0, leave_ticks_ = 0;
    std::int32_t centre_top_ = 0, leave_distance_ = 0;
    std::int16_t frame_no_ = 0;
    double top_ = 0;
    std::string caption_{notice_design::design_caption};
    std::array<bool, 4> timers_{};
    std::deque<std::string> queued_;
    std::int32_t queued_in_ = 0, queued_stop_ = 0, queued_out_ = 0;
    NoticeClicks* clicks_ = nullptr;
};

}  // namespace tockly
