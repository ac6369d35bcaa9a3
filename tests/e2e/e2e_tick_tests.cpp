// The living clock seen from outside: the ticking sound once per second for
// two minutes with no second missed, an alarm that shows its band and really
// rings, and a face that changes from one second to the next.
//
// Sounds are heard through the capture device that ./tockly sets up (ALSA's
// file plugin over TOCKLY_AUDIO_CAPTURE): every sound stream the clock
// plays becomes a file of its own (the capture path, then the path with
// .0001, .0002, ... appended), in the format the stream was opened with. A
// WAV goes out as it is stored (22050 Hz, mono, 16-bit); an MP3 goes through
// the system mixer (48000 Hz, stereo, 32-bit float).
//
// The capture path cannot be changed from here: the clock's sound device
// reads the Unix environment that Wine hands down unchanged, not the Windows
// environment of this program. So the test takes the streams that appear
// while its clock runs (the e2e programs run one at a time) and removes them
// afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <thread>

#include "e2e_support.h"

namespace tockly::e2e {
namespace {

using namespace std::chrono_literals;

// ------------------------------------------------------------ the capture --

// The capture path as this program reads it (Wine maps / to Z:\).
std::string capture_base() {
    const char* unix_path = std::getenv("TOCKLY_AUDIO_CAPTURE");
    if (!unix_path || !*unix_path || !std::getenv("ALSA_CONFIG_PATH")) return {};
    std::string path = unix_path;
    for (auto& c : path) if (c == '/') c = '\\';
    return path[0] == '\\' ? "Z:" + path : path;
}

struct Stream {
    std::string name;
    std::uint64_t size = 0;
    SYSTEMTIME written{};  // local time of the last write
    int written_second() const { return written.wHour * 3600 + written.wMinute * 60 + written.wSecond; }
};

std::vector<Stream> streams(const std::string& base) {
    std::vector<Stream> out;
    const std::string folder = base.substr(0, base.find_last_of('\\') + 1);
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(wide(base + "*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        Stream s;
        s.name = folder + utf8(data.cFileName);
        s.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        FILETIME local{};
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
        FileTimeToSystemTime(&local, &s.written);
        out.push_back(s);
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return out;
}

// The streams played while a clock ran: those not there before it started.
class NewStreams {
public:
    NewStreams() : base_(capture_base()) {
        for (const auto& s : streams(base_)) before_.insert(s.name);
    }
    ~NewStreams() {
        if (std::getenv("E2E_KEEP_CAPTURE")) return;
        for (const auto& s : get()) DeleteFileW(wide(s.name).c_str());
    }
    bool hearing() const { return !base_.empty(); }
    std::vector<Stream> get() const {
        std::vector<Stream> out;
        if (base_.empty()) return out;
        for (const auto& s : streams(base_))
            if (!before_.count(s.name)) out.push_back(s);
        return out;
    }

private:
    std::string base_;
    std::set<std::string> before_;
};

std::string read_prefix(const std::string& path, std::size_t limit) {
    std::string bytes;
    HANDLE f = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(limit);
    DWORD got = 0;
    ReadFile(f, bytes.data(), static_cast<DWORD>(limit), &got, nullptr);
    bytes.resize(got);
    CloseHandle(f);
    return bytes;
}

struct Format {
    const char* name;
    int rate;
    int channels;
    bool is_float;
};
constexpr Format wav_as_stored{"22050 Hz mono s16", 22050, 1, false};
constexpr Format mixer{"48000 Hz stereo f32", 48000, 2, true};

std::vector<double> first_channel(const std::string& bytes, const Format& f) {
    std::vector<double> out;
    const std::size_t sample = f.is_float ? 4 : 2, frame = sample * static_cast<std::size_t>(f.channels);
    for (std::size_t i = 0; i + frame <= bytes.size(); i += frame) {
        if (f.is_float) {
            float v;
            std::memcpy(&v, bytes.data() + i, 4);
            out.push_back(std::isfinite(v) ? v : 0.0);
        } else {
            std::int16_t v;
            std::memcpy(&v, bytes.data() + i, 2);
            out.push_back(v / 32768.0);
        }
    }
    return out;
}

double power_at(const std::vector<double>& x, std::size_t start, std::size_t n, double freq, int rate) {
    const double w = 2 * 3.14159265358979 * freq / rate, c = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = start; i < start + n && i < x.size(); ++i) {
        const double s0 = x[i] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - c * s1 * s2;
}

// True when some stretch of the stream is a clear tone at `freq`: much
// stronger there than at the neighbouring tones a wrong sound would have.
bool has_tone(const std::string& bytes, const Format& f, double freq) {
    const auto x = first_channel(bytes, f);
    const std::size_t window = static_cast<std::size_t>(f.rate) / 25;  // 40 ms
    for (std::size_t start = 0; start + window <= x.size(); start += window / 2) {
        const double at = power_at(x, start, window, freq, f.rate);
        double others = 0;
        for (double k : {0.5, 0.75, 1.33, 1.6}) others = std::max(others, power_at(x, start, window, freq * k, f.rate));
        if (at > 1e-4 && at > 20 * others) return true;
    }
    return false;
}

int local_second_now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

std::string clock_text(int second_of_day) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", second_of_day / 3600 % 24, second_of_day / 60 % 60,
                  second_of_day % 60);
    return buffer;
}

HWND notice_window(const RunningClock& clock) {
    for (HWND hwnd : clock.windows()) {
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        if (std::wstring(cls) == L"TocklyTiShiChuang" && IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

const std::string kQuiet = "[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=0\r\nBanDian0=0\r\n";

// ---------------------------------------------------------------- tests --

TEST(Tick, TheFaceChangesEverySecond) {
    if (!screen_readable()) GTEST_SKIP() << "the screen can only be read on the test's own Xvfb";
    ProgramFolder folder("tick-face");
    folder.write_settings(kQuiet + "[mts]\r\nmatisheng0=0\r\n");
    RunningClock clock(folder);
    HWND form = clock.wait_for_clock();
    ASSERT_TRUE(form);
    ASSERT_TRUE(eventually([&] { return IsWindowVisible(form) != 0; }));
    std::this_thread::sleep_for(2s);  // past the start-up notice
    RECT client{};
    GetClientRect(form, &client);
    MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<ScreenGrab> grabs;
    for (int i = 0; i < 3; ++i) {
        grabs.push_back(grab_screen(client));
        std::this_thread::sleep_for(1100ms);
    }
    for (int i = 1; i < 3; ++i) {
        std::size_t changed = 0;
        for (std::size_t p = 0; p < grabs[i].pixels.size(); ++p) changed += grabs[i].pixels[p] != grabs[i - 1].pixels[p];
        EXPECT_GT(changed, 20u) << "grab " << i << ": the second hand and the time label move";
        EXPECT_LT(changed, grabs[i].pixels.size() / 4) << "grab " << i << ": the face itself stays";
    }
}

TEST(Tick, AnAlarmTwoSecondsAheadShowsItsBandAndRings) {
    ProgramFolder folder("tick-alarm");
    NewStreams heard;
    // Two seconds ahead, counted from the next whole second.
    const int alarm = (local_second_now() + 3) % 86400;
    const std::string notice = "e2e闹钟：起床啦";
    folder.write_settings(kQuiet + "[mts]\r\nmatisheng0=0\r\n[naoling]\r\nNaoLingShu0=1\r\n0sj=" + clock_text(alarm) +
                          "\r\n0ls=alarm_bell.mp3\r\n0ts=" + notice + "\r\n");
    RunningClock clock(folder);
    ASSERT_TRUE(clock.wait_for_clock());

    // The band with the alarm's text appears, slides down to the middle,
    // stays there and leaves through the bottom edge.
    HWND band = nullptr;
    ASSERT_TRUE(eventually(
        [&] {
            band = notice_window(clock);
            if (!band) return false;
            const auto texts = child_texts(band);
            return std::find(texts.begin(), texts.end(), wide(notice)) != texts.end();
        },
        8s))
        << "no notice band with the alarm's text";
    const int shown_at = local_second_now();
    EXPECT_GE((shown_at - alarm + 86400) % 86400, 0);
    EXPECT_LE((shown_at - alarm + 86400) % 86400, 1) << "the notice comes on the alarm's second";

    const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
    RECT r{};
    GetWindowRect(band, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right - r.left, screen_w) << "as wide as the screen";
    EXPECT_EQ(r.bottom - r.top, 75) << "1125 twips";
    EXPECT_TRUE(GetWindowLongW(band, GWL_EXSTYLE) & WS_EX_TOPMOST);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(band, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(255, 255, 255));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));

    std::vector<LONG> tops;
    const auto until = std::chrono::steady_clock::now() + 12s;
    while (IsWindow(band) && std::chrono::steady_clock::now() < until) {
        if (GetWindowRect(band, &r) && (tops.empty() || tops.back() != r.top)) tops.push_back(r.top);
        std::this_thread::sleep_for(15ms);
    }
    EXPECT_FALSE(IsWindow(band)) << "the band is gone after 0.3 + 7 + 0.5 s";
    ASSERT_FALSE(tops.empty());
    const LONG centre = static_cast<LONG>(std::lround(std::nearbyint(screen_h * 15 / 2.0 - 1125 / 2.0) / 15));
    EXPECT_TRUE(std::is_sorted(tops.begin(), tops.end())) << "the band only moves down";
    EXPECT_NE(std::find(tops.begin(), tops.end(), centre), tops.end()) << "it stops in the middle";
    EXPECT_GT(std::count_if(tops.begin(), tops.end(), [&](LONG t) { return t > centre; }), 3)
        << "it slides out in steps";
    EXPECT_GE(tops.back(), screen_h - 20) << "it leaves through the bottom edge";

    clock.stop();
    if (!heard.hearing()) GTEST_SKIP() << "no capture device in this run (start it through ./tockly test)";
    bool rang = false;
    std::vector<std::string> seen;
    for (const auto& s : heard.get()) {
        seen.push_back(s.name + " " + std::to_string(s.size));
        rang |= has_tone(read_prefix(s.name, 4 << 20), mixer, 880);
    }
    EXPECT_TRUE(rang) << "no 880 Hz bell among the captured streams: " << ::testing::PrintToString(seen);
}

TEST(Tick, EverySecondOfTwoMinutesTicksOnce) {
    ProgramFolder folder("tick-ticking");
    NewStreams heard;
    if (!heard.hearing()) GTEST_SKIP() << "no capture device in this run (start it through ./tockly test)";
    folder.write_settings(kQuiet + "[mts]\r\nmatisheng0=1\r\nfatiaosheng0=fatiao3.wav\r\n");
    RunningClock clock(folder);
    ASSERT_TRUE(clock.wait_for_clock());
    const int first = local_second_now() + 1;
    std::this_thread::sleep_for(120s);
    const int last = local_second_now() - 1;
    ASSERT_TRUE(clock.running());
    clock.stop();

    // Seconds of the day (relative to `first`, across midnight) and their ticks.
    std::map<int, int> ticks;
    int cut_short = 0;
    for (const auto& s : heard.get()) {
        const int at = (s.written_second() - first + 86400) % 86400;
        const std::string bytes = read_prefix(s.name, 1 << 20);
        // 80 ms of 22050 Hz 16-bit mono is 3528 bytes. On a busy machine the
        // sound thread may not have written it all before the next second
        // closes the device, or may pad it with a period of silence; such a
        // stream still marks a handled second, and what it holds must still
        // be the click.
        constexpr std::uint64_t click_bytes = 3528;
        if (s.size > 2 * click_bytes || (s.size >= click_bytes / 2 && !has_tone(bytes, wav_as_stored, 2000))) {
            ADD_FAILURE() << s.name << " at " << clock_text(s.written_second()) << ": " << s.size
                          << " bytes, not the 2000 Hz click of fatiao3.wav";
            continue;
        }
        cut_short += s.size < click_bytes;
        ++ticks[at];
    }
    const int span = (last - first + 86400) % 86400;
    std::vector<std::string> missing, doubled;
    for (int at = 0; at <= span; ++at) {
        const int n = ticks.count(at) ? ticks[at] : 0;
        if (n == 0) missing.push_back(clock_text((first + at) % 86400));
        if (n > 1) doubled.push_back(clock_text((first + at) % 86400));
    }
    std::printf("ticking: %d seconds watched, %zu missing, %zu doubled, %d clicks cut short\n", span + 1,
                missing.size(), doubled.size(), cut_short);
    EXPECT_GE(span, 115);
    EXPECT_TRUE(missing.empty()) << "seconds without a tick: " << ::testing::PrintToString(missing);
    EXPECT_TRUE(doubled.empty()) << "seconds with two ticks: " << ::testing::PrintToString(doubled);
}

}  // namespace
}  // namespace tockly::e2e
