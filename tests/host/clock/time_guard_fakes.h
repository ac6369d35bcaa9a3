// Fakes behind the time guard's ports: connection state, echo, HTTP, the
// wall clock and the clock setter, the dialog's window and the clock window.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "clock/model/background.h"
#include "clock/model/time_check_dialog_model.h"
#include "tests/host/clock/fakes.h"
#include "clock/support/network_check.h"
#include "clock/model/time_guard.h"
#include "clock/support/web_time.h"

namespace tockly::test {

class FakeConnection : public ConnectionState {
public:
    bool is_online = true;
    int asked = 0;
    bool online() override {
        ++asked;
        return is_online;
    }
};

// Addresses are test strings of the form a.b.c.d; the fake parses them
// strictly and answers with the status set for the address (timeout when none).
class FakeEcho : public EchoService {
public:
    std::map<std::string, std::int32_t> status_of;  // dotted text -> reply status
    bool sockets_start = true;
    int started = 0, stopped = 0;
    struct Sent { std::string address; std::string payload; int timeout_ms; };
    std::vector<Sent> sent;

    static std::string dotted(std::uint32_t a) {
        return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." +
               std::to_string((a >> 8) & 255) + "." + std::to_string(a & 255);
    }
    bool start_sockets() override {
        ++started;
        return sockets_start;
    }
    void stop_sockets() override { ++stopped; }
    std::optional<std::uint32_t> address_of(std::string_view text) override {
        std::uint32_t value = 0;
        int parts = 0;
        std::size_t i = 0;
        while (parts < 4) {
            if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
            unsigned part = 0;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') part = part * 10 + (text[i++] - '0');
            if (part > 255) return std::nullopt;
            value = value << 8 | part;
            if (++parts < 4) {
                if (i >= text.size() || text[i] != '.') return std::nullopt;
                ++i;
            }
        }
        if (i != text.size()) return std::nullopt;
        return value;
    }
    std::int32_t echo(std::uint32_t address, std::string_view payload, int timeout_ms) override {
        const std::string text = dotted(address);
        sent.push_back({text, std::string(payload), timeout_ms});
        const auto it = status_of.find(text);
        return it == status_of.end() ? network::status_timeout : it->second;
    }
    std::vector<std::string> addresses_sent() const {
        std::vector<std::string> out;
        for (const auto& s : sent) out.push_back(s.address);
        return out;
    }
};

// Answers from `queue` first (one reply each), then always with `response`.
class FakeHttp : public HttpClient {
public:
    HttpResponse response{true, 200, ""};
    std::deque<HttpResponse> queue;
    std::vector<HttpRequest> requests;
    void serve(std::string body, int status = 200) { response = {true, status, std::move(body)}; }
    HttpResponse get(const HttpRequest& request) override {
        requests.push_back(request);
        if (queue.empty()) return response;
        HttpResponse next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

// China Standard Time: UTC+8 all year.
class FakeTimeZone : public TimeZone {
public:
    std::optional<LocalTime> local_from_utc(std::int64_t unix_seconds) override {
        // Local seconds count from 1970-01-01 as Unix seconds do.
        return local_time_at(unix_seconds + 8 * 3600);
    }
};

class FakeMonotonic : public MonotonicClock {
public:
    std::int64_t ms = 1000000;
    std::int64_t now_ms() override { return ms; }
};

// Keeps each job until the test lets it run, first the work, then (later)
// what it hands back to the window. `busy` stands for a job of someone else
// still under way: run() refuses, queue() waits behind it.
class FakeBackground : public Background {
public:
    std::vector<Work> jobs;
    bool busy = false;
    bool gone = false;  // the worker has stopped: everything is refused
    bool run(Work work) override {
        if (busy || gone || !jobs.empty()) return false;
        jobs.push_back(std::move(work));
        return true;
    }
    bool queue(Work work) override {
        if (gone) return false;
        jobs.push_back(std::move(work));
        return true;
    }
    // Runs every waiting job to the end; returns how many ran.
    int finish_all() {
        busy = false;
        int n = 0;
        while (!jobs.empty()) {
            auto work = std::move(jobs.front());
            jobs.erase(jobs.begin());
            work()();
            ++n;
        }
        return n;
    }
};

// The local time page the tests' readings come from.
inline constexpr std::string_view kTimePageUrl = "http://127.0.0.1:18080/time";

// The build date the fakes' times (May 2026) are believable against.
inline constexpr CalendarDate test_build_date{2026, 1, 1};

inline WebTimePorts web_ports(HttpClient& http, TimeZone& zone, MonotonicClock& monotonic,
                              std::vector<std::string> urls) {
    return WebTimePorts{http, zone, monotonic, TimeFormat{}, std::move(urls), test_build_date};
}

// The settings, files and time page behind the time guard and its dialog.
struct WebFakes {
    FakeProfile profile;
    FakeBoxes boxes;
    FakeResources resources;
    FakeFiles files;
    FakeHttp http;
    FakeTimeZone zone;
    FakeMonotonic monotonic;

    WebTimePorts web(std::vector<std::string> urls) { return web_ports(http, zone, monotonic, std::move(urls)); }
};

class FakeWallClock : public WallClock {
public:
    LocalTime time = local_time_at(LocalTime{2026, 5, 9, 6, 14, 5, 0}.local_seconds());
    LocalTime now() override { return time; }
    void set(int year, unsigned month, unsigned day, int hour, int minute, int second) {
        time = local_time_at(LocalTime{year, month, day, 1, hour, minute, second}.local_seconds());
    }
};

// Records what the correction sets, in order; refuses when told to.
class FakeSetter : public ClockSetter {
public:
    bool refuse_time = false, refuse_date = false;
    std::vector<std::string> calls;
    bool set_time_of_day(int seconds) override {
        calls.push_back("time " + std::to_string(seconds));
        return !refuse_time;
    }
    bool set_date(int year, unsigned month, unsigned day) override {
        calls.push_back("date " + std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day));
        return !refuse_date;
    }
};

class RecordingTimeCheckView : public TimeCheckView {
public:
    ScreenMetrics metrics;  // 1024 x 768 at 15 twips per pixel, no taskbar
    bool loaded = false, visible = false, topmost = false, layered = false, check = false;
    bool refuse_load = false;
    int loads = 0, unloads = 0, moves = 0;
    int left = 0, top = 0, width = 0, height = 0;
    unsigned colour_key = 0;
    std::vector<std::string> pictures;
    bool timers[3] = {false, false, false};

    bool load() override {
        if (refuse_load) return false;
        ++loads;
        loaded = true;
        return true;
    }
    void unload() override {
        ++unloads;
        loaded = visible = false;
        for (bool& t : timers) t = false;
    }
    ScreenMetrics screen() override { return metrics; }
    void make_topmost() override { topmost = true; }
    void make_layered_colour_key(unsigned key) override {
        layered = true;
        colour_key = key;
    }
    void set_bounds_twips(int l, int t, int w, int h) override {
        left = l;
        top = t;
        width = w;
        height = h;
    }
    void move_left_twips(int l) override {
        ++moves;
        left = l;
    }
    void set_check(bool checked) override { check = checked; }
    void show_picture(std::string_view path) override { pictures.emplace_back(path); }
    void set_timer(TimeCheckTimer timer, bool on) override { timers[static_cast<int>(timer)] = on; }
    void show() override { visible = true; }
};

class RecordingClockWindow : public TimeGuardWindow {
public:
    std::vector<NetworkItems> item_changes;
    int dialogs = 0;
    std::vector<std::string> sounds;
    void network_items_changed(const NetworkItems& items) override { item_changes.push_back(items); }
    std::vector<WebReading> readings;
    void show_time_check_dialog(const WebReading& reading) override {
        ++dialogs;
        readings.push_back(reading);
    }
    void play_warning_sound(std::string_view path) override { sounds.emplace_back(path); }
};

// A time page body for a local time.
inline std::string page_for(const LocalTime& t) {
    const auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    return "<p>北京时间 [" + std::to_string(t.year) + "-" + two(static_cast<int>(t.month)) + "-" +
           two(static_cast<int>(t.day)) + "] (" + two(t.hour) + ":" + two(t.minute) + ":" + two(t.second) +
           ")</p>";
}

inline std::string page_apart(const LocalTime& pc, std::int64_t seconds) {
    return page_for(local_time_at(pc.local_seconds() + seconds));
}

}  // namespace tockly::test
