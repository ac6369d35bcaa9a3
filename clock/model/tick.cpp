#include "clock/model/tick.h"

#include <algorithm>
#include <cmath>

#include "clock/support/clock_files.h"
#include "clock/support/settings_file.h"
#include "clock/support/settings_keys.h"

namespace tockly {

HandAngles hand_angles(int hour, int minute, int second) {
    HandAngles a;
    a.H = (15 - (hour + minute / 60.0)) * tick::hour_step;
    a.M = static_cast<float>((75 - (minute + second / 60.0)) * tick::minute_step);
    a.S = static_cast<float>((75 - second / 5.0) * tick::hour_step);
    return a;
}

std::array<FaceLine, 3> hand_lines(const HandAngles& a) {
    const auto hand = [](double angle, double length, int width, unsigned colour) {
        FaceLine line;
        line.from = {0, 0};
        line.to = {std::cos(angle) * length, std::sin(angle) * length};
        line.width_px = width;
        line.colour = colour;
        return line;
    };
    return {hand(a.H, tick::hour_hand_length, 3, ole_window_text),
            hand(a.M, tick::minute_hand_length, 2, ole_window_text),
            hand(a.S, tick::second_hand_length, 1, tick::second_hand_colour)};
}

std::string hourly_chime_text(int hour) { return "现在时间：" + std::to_string(hour) + "点整"; }

namespace {

// At most `count` characters (not bytes) of a UTF-8 text, with an ellipsis if cut.
std::string first_characters(const std::string& text, std::size_t count) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters++ == count) return text.substr(0, i) + "…";
    }
    return text;
}

}  // namespace

std::string missed_events_text(const std::vector<std::string>& entries) {
    std::string text(tick::missed_heading);
    for (std::size_t i = 0; i < entries.size() && i < tick::missed_entries_shown; ++i) {
        if (i > 0) text += tick::missed_separator;
        text += entries[i];
    }
    if (entries.size() > tick::missed_entries_shown) text += " 等" + std::to_string(entries.size()) + "项";
    return text;
}

int tick_delay_ms(int millisecond) {
    return std::clamp(1000 - millisecond, 1, 1000) + tick::boundary_margin_ms;
}

MediaPlayer& ClockTick::player(int index) {
    auto& player = players_.at(static_cast<std::size_t>(index));
    if (!player) player = std::make_unique<MediaPlayer>(ports_.mci, ports_.files);
    return *player;
}

int ClockTick::next_interval_ms() { return tick_delay_ms(ports_.clock.now().millisecond); }

// Every step of the tick stands alone: whatever fails in one, the next runs.
template <typename Step>
void ClockTick::step(Step&& run) {
    try {
        run();
    } catch (...) {
    }
}

bool ClockTick::at(const std::string& time_text, int time_of_day) const {
    if (trim_spaces(time_text).empty()) return false;
    const auto t = parse_time_of_day(time_text, ports_.time_format);
    return t && *t == time_of_day;
}

void ClockTick::on_tick_timer() {
    const LocalTime now = ports_.clock.now();
    const std::int64_t stamp = now.local_seconds();

    // The gate: each second once. A jump backwards counts as a new second.
    if (last_handled_ && *last_handled_ == stamp) return;
    std::int64_t skipped = 0;
    const bool first_tick = !last_handled_;
    const bool jumped = last_handled_ && stamp - *last_handled_ - 1 > tick::max_replayed_seconds;
    const std::int64_t jump_from = last_handled_ ? *last_handled_ + 1 : stamp;
    if (last_handled_ && stamp > *last_handled_ && !jumped) skipped = stamp - *last_handled_ - 1;
    const std::int64_t first_skipped = stamp - skipped;
    last_handled_ = stamp;
    last_second_ = now.second;

    moment_.now = now;
    moment_.time_of_day = now.seconds_of_day();
    moment_.angles = hand_angles(now.hour, now.minute, now.second);
    const int t = moment_.time_of_day;

    step([&] { ports_.face.show_hands(hand_lines(moment_.angles)); });
    quiet_ = false;
    if (watch_) step([&] { quiet_ = watch_->quiet(moment_); });
    if (hourly_) {
        step([&] { hourly_->network_check(moment_); });
        step([&] { hourly_->time_guard(moment_); });
    }

    step([&] { refresh_alarm_days(now); });
    if (first_tick) step([&] { report_missed_while_closed(stamp); });
    if (jumped) step([&] { report_missed(jump_from, stamp - 1); });
    // Seconds no tick saw get their timed events now, in order, before this one.
    for (std::int64_t s = first_skipped; s < stamp; ++s) {
        const int skipped_time = local_time_at(s).seconds_of_day();
        step([&] { alarms(s); });
        step([&] { snooze_due(s); });
        step([&] { shutdown(skipped_time); });
        step([&] { scheduled_start(skipped_time); });
    }

    step([&] { alarms(stamp); });
    step([&] { snooze_due(stamp); });
    step([&] { remember_run(stamp, false); });
    step([&] { chimes(now); });
    step([&] { shutdown(t); });
    step([&] { scheduled_start(t); });

    const FaceTexts texts = face_texts(now.year, now.month, now.day, now.weekday,
                                       format_time_of_day(t, ports_.time_format));
    step([&] { ticking(); });
    step([&] { ports_.face.show_texts(texts); });
    step([&] { ports_.face.draw_hub(); });
    if (watch_) step([&] { watch_->after(moment_); });
}

// The hour and the half hour, when the hands stand on them.
void ClockTick::chimes(const LocalTime& now) {
    if (quiet_) return;
    const float M = moment_.angles.M, S = moment_.angles.S;
    const std::string folder = g_.program_folder + std::string(voice::chime_folder);
    step([&] {
        if (checks_.hour_chime && M == tick::minute_angle_at_hour && S == tick::second_angle_at_zero) {
            step([&] { ports_.notices.show_notice(300, 3000, 500, hourly_chime_text(now.hour)); });
            MediaPlayer& chime = player(2);
            chime.mmOpen(folder + std::string(tick::hour_chime_file), 0);
            chime.mmPlay();
        }
    });
    step([&] {
        if (checks_.half_hour_chime && M == tick::minute_angle_at_half_hour && S == tick::second_angle_at_zero) {
            MediaPlayer& chime = player(2);
            chime.mmOpen(folder + std::string(tick::half_hour_chime_file), 0);
            chime.mmPlay();
        }
    });
}

void ClockTick::ticking() {
    if (!checks_.ticking || quiet_) return;
    const std::string path = g_.program_folder + std::string(voice::ticking_folder) + g_.ticking_sound;
    if (!ports_.files.find_name(path)) return;
    player(0).mmReplay(path);
}

void ClockTick::refresh_alarm_days(const LocalTime& now) {
    std::string said;
    if (!holiday_file_read_) {
        holiday_file_read_ = true;
        said = load_holiday_file(ports_.files, ports_.codec, g_);
    }
    if (schedule_.refresh(g_, local_day(now))) {
        const int year = schedule_.unpublished_year();
        if (year != 0 && unpublished_years_said_.insert(year).second)
            said += (said.empty() ? "" : " ") + unpublished_year_text(year);
    }
    if (!said.empty()) ports_.notices.show_notice(300, 10000, 500, said);
}

std::vector<std::pair<std::int64_t, std::string>> ClockTick::missed_between(std::int64_t first, std::int64_t last) {
    // The first second at or after `first` with this time of day, on a day
    // the row's rule holds (all days when `row` is none), if not past `last`.
    const auto fell_at = [&](const std::string& time_text, std::optional<int> row) -> std::optional<std::int64_t> {
        if (trim_spaces(time_text).empty()) return std::nullopt;
        const auto t = parse_time_of_day(time_text, ports_.time_format);
        if (!t) return std::nullopt;
        const std::int64_t first_of_day = ((first % 86400) + 86400) % 86400;
        for (std::int64_t at = first + ((*t - first_of_day) % 86400 + 86400) % 86400; at <= last; at += 86400) {
            if (!row || schedule_.rings_on(g_, *row, local_day(local_time_at(at)))) return at;
        }
        return std::nullopt;
    };
    std::vector<std::pair<std::int64_t, std::string>> missed;
    const auto entry = [&](std::int64_t at, const std::string& label) {
        std::string text = format_time_of_day(local_time_at(at).seconds_of_day(), ports_.time_format);
        if (!label.empty()) {
            text += ' ';
            text += first_characters(label, tick::missed_notice_characters);
        }
        missed.emplace_back(at, std::move(text));
    };
    const int rows = std::clamp<int>(g_.alarm_count, 0, static_cast<int>(g_.alarms.size()));
    for (int i = 0; i < rows; ++i) {
        const AlarmRow& row = g_.alarms[static_cast<std::size_t>(i)];
        if (const auto at = fell_at(row.time, i)) entry(*at, trim_spaces(row.notice));
    }
    if (!g_.start_target.empty())
        if (const auto at = fell_at(g_.start_time, std::nullopt)) entry(*at, std::string(tick::missed_start_label));
    // A snooze that fell due unheard is missed like its alarm, and over.
    if (g_.pending_snooze && g_.pending_snooze->due <= last) {
        const PendingSnooze gone = *g_.pending_snooze;
        g_.pending_snooze.reset();
        step([&] { store_pending_snooze(); });
        if (gone.due >= first && gone.row < rows) entry(gone.due, trim_spaces(g_.alarms[static_cast<std::size_t>(gone.row)].notice));
    }
    std::stable_sort(missed.begin(), missed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return missed;
}

void ClockTick::report_missed(std::int64_t first, std::int64_t last) {
    const auto missed = missed_between(first, last);
    if (missed.empty()) return;
    std::vector<std::string> entries;
    for (const auto& m : missed) entries.push_back(m.second);
    g_.missed_entries.insert(g_.missed_entries.end(), entries.begin(), entries.end());
    // One line of the band holds about one entry: they come one by one.
    std::vector<std::string> in_turn{std::string(tick::missed_heading)};
    in_turn.insert(in_turn.end(), entries.begin(), entries.end());
    ports_.notices.show_notices_in_turn(300, 7000, 500, missed_events_text(entries), in_turn);
    // Listed once: a restart does not list them again.
    step([&] { remember_run(last + 1, true); });
}

void ClockTick::report_missed_while_closed(std::int64_t now) {
    if (!g_.last_run || *g_.last_run >= now) return;
    report_missed(std::max(*g_.last_run + 1, now - tick::missed_while_closed_seconds), now - 1);
}

void ClockTick::ring(int row, int snoozes, std::int64_t local_second) {
    const AlarmRow& r = g_.alarms[static_cast<std::size_t>(row)];
    if (!trim_spaces(r.notice).empty()) step([&] { ports_.notices.show_notice(300, 7000, 500, r.notice); });
    step([&] {
        MediaPlayer& ring = player(1);
        ring.mmClose();
        ring.mmOpen(g_.program_folder + std::string(voice::alarm_folder) + r.sound, 0);
        ring.mmPlay();
        ++rings_started_;
    });
    ringing_ = RingingAlarm{row, snoozes};
    // Heard: after a restart it is not listed as missed.
    step([&] { remember_run(local_second, true); });
}

void ClockTick::snooze_due(std::int64_t local_second) {
    if (!g_.pending_snooze || g_.pending_snooze->due != local_second) return;
    const PendingSnooze due = *g_.pending_snooze;
    g_.pending_snooze.reset();
    step([&] { store_pending_snooze(); });
    if (due.row < std::clamp<int>(g_.alarm_count, 0, static_cast<int>(g_.alarms.size()))) ring(due.row, due.count, local_second);
}

bool ClockTick::ringing() {
    if (!ringing_) return false;
    // The ring has played out: there is nothing left to stop or put off.
    if (player(1).status() == "stopped") ringing_.reset();
    return ringing_.has_value();
}

bool ClockTick::can_snooze() { return ringing() && ringing_->snoozes < g_.snooze.max_count; }

bool ClockTick::snooze() {
    if (!can_snooze()) return false;
    const LocalTime now = ports_.clock.now();
    g_.pending_snooze = PendingSnooze{ringing_->row, now.local_seconds() + g_.snooze.minutes * 60, ringing_->snoozes + 1};
    ringing_.reset();
    player(1).mmClose();
    store_pending_snooze();
    return true;
}

void ClockTick::stop_ringing() {
    player(1).mmClose();
    ringing_.reset();
    if (!g_.pending_snooze) return;
    g_.pending_snooze.reset();
    store_pending_snooze();
}

void ClockTick::store_pending_snooze() {
    // Quietly: a folder that takes no writes has said so once at start.
    if (ports_.settings)
        ports_.settings->write(ini::zaixiang::section, ini::zaixiang::dengdai, pending_snooze_text(g_.pending_snooze),
                               g_.settings_path());
}

void ClockTick::remember_run(std::int64_t local_second, bool now) {
    if (!started_at_) started_at_ = local_second;
    const std::int64_t minute = local_second / 60;
    const bool new_minute = last_run_minute_ != minute;
    last_run_minute_ = minute;
    // The first minute of a run writes nothing on its own: a clock started
    // and closed again at once (a second start, a test) leaves the file as
    // it was. What rang is written at once, so it is never listed as missed.
    if (!ports_.settings || !(now || (new_minute && local_second - *started_at_ >= 60))) return;
    // A clock with nothing to miss keeps its settings file as it was.
    if (g_.alarm_count <= 0 && g_.start_target.empty() && !g_.pending_snooze) return;
    ports_.settings->write(ini::yunxing::section, ini::yunxing::shangci, stamp_text(local_second), g_.settings_path());
}

void ClockTick::alarms(std::int64_t local_second) {
    const LocalTime when = local_time_at(local_second);
    const int rows = std::clamp<int>(g_.alarm_count, 0, static_cast<int>(g_.alarms.size()));
    for (int i = 0; i < rows; ++i) {
        if (!at(g_.alarms[static_cast<std::size_t>(i)].time, when.seconds_of_day())) continue;
        if (!schedule_.rings_on(g_, i, local_day(when))) continue;
        ring(i, 0, local_second);
    }
}

void ClockTick::shutdown(int time_of_day) {
    if (!at(g_.shutdown_time, time_of_day)) return;
    // Without a fresh batch file there is nothing safe to start.
    if (!write_shutdown_batch(ports_.files, ports_.codec, g_.program_folder, tick::shutdown_countdown_seconds)) return;
    ShellOpen open;
    open.owned_by_clock = false;
    open.file = g_.program_folder + std::string(shutdown_batch_name);
    open.folder = g_.program_folder;
    ports_.shell.open(open);
}

void ClockTick::scheduled_start(int time_of_day) {
    if (!at(g_.start_time, time_of_day) || g_.start_target.empty()) return;
    ShellOpen open;
    open.owned_by_clock = true;
    open.verb = "open";
    open.file = g_.start_target;
    open.folder = g_.program_folder;
    step([&] { ports_.shell.open(open); });
    step([&] { ports_.notices.show_notice(300, 5000, 500, notice_design::scheduled_start_text); });
}

}  // namespace tockly
