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

#include "tests/e2e/e2e_audio.h"
#include "tests/e2e/e2e_support.h"
#include "clock/windows/regional_time_format.h"
#include "win32kit/fonts.h"
#include "win32kit/handles.h"

namespace tockly::e2e {
namespace {

using namespace std::chrono_literals;

using namespace audio;

HWND notice_window(const RunningClock& clock) { return clock.visible_window_of_class(L"TocklyTiShiChuang"); }

const std::string kQuiet = "[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=0\r\nBanDian0=0\r\n";

// ---------------------------------------------------------------- tests --

TEST(Tick, TheFaceChangesEverySecond) {
    if (!screen_readable()) GTEST_SKIP() << "the screen can only be read on the test's own Xvfb";
    ProgramFolder folder("tick-face");
    folder.write_settings(kQuiet + "[mts]\r\nmatisheng0=0\r\n");
    RunningClock clock(folder);
    HWND form = clock.wait_for_shown_clock();
    ASSERT_TRUE(form) << "no clock window on screen";
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
    ASSERT_NO_FATAL_FAILURE(expect_white_see_through(band));

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
    ASSERT_TRUE(heard.hearing()) << audio::no_capture;
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
    ASSERT_TRUE(heard.hearing()) << audio::no_capture;
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

// People unzip the clock into folders like these. Every sound plays from
// there: the ticking, the hourly chime (reached by shifting the clock's time
// with TOCKLY_TEST_WALL_CLOCK_OFFSET) and an alarm three seconds later.
TEST(Tick, EverySoundPlaysFromAFolderWithSpacesChineseAndLettersOutsideTheCodePage) {
    ProgramFolder folder("绿色 软件\\Tockly ñ");
    NewStreams heard;
    ASSERT_TRUE(heard.hearing()) << audio::no_capture;
    // The clock's hour begins six seconds from now.
    const int chime_real = local_second_now() + 6;
    const int offset = (3600 - chime_real % 3600) % 3600;
    const int hour = (chime_real + offset) % 86400;
    folder.write_settings("[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=1\r\nBanDian0=0\r\n"
                          "[mts]\r\nmatisheng0=1\r\nfatiaosheng0=fatiao3.wav\r\n[naoling]\r\nNaoLingShu0=1\r\n0sj=" +
                          clock_text(hour + 3) + "\r\n0ls=alarm_bell.mp3\r\n0ts=绿色闹钟\r\n");
    SetEnvironmentVariableW(L"TOCKLY_TEST_WALL_CLOCK_OFFSET", std::to_wstring(offset).c_str());
    RunningClock clock(folder);
    SetEnvironmentVariableW(L"TOCKLY_TEST_WALL_CLOCK_OFFSET", nullptr);
    ASSERT_TRUE(clock.wait_for_clock());

    std::vector<std::wstring> notice_texts;
    EXPECT_TRUE(eventually(
        [&] {
            if (HWND band = notice_window(clock)) notice_texts = child_texts(band);
            return std::find(notice_texts.begin(), notice_texts.end(), L"Tockly打开成功") != notice_texts.end();
        },
        5s))
        << "the start-up notice is the short one: " << ::testing::PrintToString(utf8(notice_texts.empty() ? L"" : notice_texts[0]));
    std::this_thread::sleep_for(std::chrono::seconds(std::max(0, chime_real - local_second_now()) + 9));
    ASSERT_TRUE(clock.running());
    clock.stop();

    // A WAV the wave device cannot open plays through the mixer instead,
    // so each stream is looked at in both forms.
    int clicks = 0;
    bool chimed = false, rang = false;
    std::vector<std::string> seen;
    for (const auto& s : heard.get()) {
        // Wine's mixer writes to the capture faster than real time (silence
        // between the sounds), so one stream of fifteen seconds is large.
        const std::string bytes = read_prefix(s.name, 64 << 20);
        seen.push_back(s.name + " " + std::to_string(s.size));
        clicks += std::max(tone_bursts(bytes, wav_as_stored, 2000), tone_bursts(bytes, mixer, 2000));
        chimed |= has_tone(bytes, wav_as_stored, 523) || has_tone(bytes, mixer, 523);
        rang |= has_tone(bytes, mixer, 880);
    }
    std::printf("from %s: %d clicks, hour chime %s, alarm %s\n", folder.path().c_str(), clicks, chimed ? "heard" : "not heard",
                rang ? "heard" : "not heard");
    EXPECT_GE(clicks, 8) << "ticking for about fifteen seconds: " << ::testing::PrintToString(seen);
    EXPECT_TRUE(chimed) << "no 523 Hz hour chime: " << ::testing::PrintToString(seen);
    EXPECT_TRUE(rang) << "no 880 Hz alarm bell: " << ::testing::PrintToString(seen);
}

}  // namespace
// The clock closed across three alarms and started again five minutes on:
// each is named on the band, one after the other, whole on a screen 1024
// pixels wide; none rings; the alarm list names them until it is seen once.
TEST(Tick, AlarmsPassedWhileTheClockWasClosedAreListedReadablyAndNothingRings) {
    ProgramFolder folder("tick-missed");
    // Row 0 rings while the clock runs (and so the clock notes that it ran);
    // rows 1 to 3 fall while it is closed.
    const int now = local_second_now();
    const int first = (now + 90) % 86400;
    const std::vector<std::string> names = {"跳过的闹钟一", "跳过的闹钟二", "跳过的闹钟三"};
    std::string rows = "[naoling]\r\nNaoLingShu0=4\r\n0sj=" + clock_text((now + 4) % 86400) +
                       "\r\n0ls=alarm_bell.mp3\r\n0ts=先响的闹钟\r\n";
    std::vector<std::wstring> entries;
    for (int i = 0; i < 3; ++i) {
        const std::string row = std::to_string(i + 1);
        rows += row + "sj=" + clock_text((first + 10 * i) % 86400) + "\r\n" + row + "ls=alarm_bell.mp3\r\n" + row +
                "ts=" + names[i] + "\r\n";
        entries.push_back(wide(format_time_of_day((first + 10 * i) % 86400, win::regional_time_format()) + " " + names[i]));
    }
    folder.write_settings(kQuiet + "[mts]\r\nmatisheng0=0\r\n" + rows);
    {
        RunningClock clock(folder);
        ASSERT_TRUE(clock.wait_for_clock());
        ASSERT_TRUE(eventually([&] { return folder.read_bytes("Software_information.ini").value_or("").find("shangci=") != std::string::npos; }, 15s))
            << "the clock notes when it ran";
        clock.stop();
    }
    NewStreams heard;
    ASSERT_TRUE(heard.hearing()) << audio::no_capture;
    SetEnvironmentVariableW(L"TOCKLY_TEST_WALL_CLOCK_OFFSET", L"300");
    RunningClock clock(folder);
    SetEnvironmentVariableW(L"TOCKLY_TEST_WALL_CLOCK_OFFSET", nullptr);
    HWND form = clock.wait_for_clock();
    ASSERT_TRUE(form);

    // The band's font, measured as the band draws it.
    const int dpi = GetDeviceCaps(win32kit::ScopedGetDc(nullptr), LOGPIXELSY);
    const win32kit::unique_hfont font = win32kit::font_from_points({"宋体", 48.0, FW_BOLD, NONANTIALIASED_QUALITY}, dpi);
    const int picture_width = MulDiv(1245, dpi, 1440);
    std::map<std::wstring, int> widths;
    std::wstring last;
    const auto until = std::chrono::steady_clock::now() + 45s;
    const auto all_seen = [&] {
        return std::all_of(entries.begin(), entries.end(), [&](const auto& e) { return widths.count(e) > 0; });
    };
    while (std::chrono::steady_clock::now() < until && !all_seen()) {
        HWND band = notice_window(clock);
        std::wstring text;  // the label's (the picture has none)
        for (const auto& t : band ? child_texts(band) : std::vector<std::wstring>{}) text += t;
        if (!text.empty() && text != last) {
            last = text;
            RECT r{};
            GetWindowRect(band, &r);
            win32kit::ScopedGetDc dc(band);
            win32kit::ScopedSelect keep(dc, font.get());
            SIZE size{};
            GetTextExtentPoint32W(dc, last.c_str(), static_cast<int>(last.size()), &size);
            EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN)) << utf8(last);
            widths[last] = size.cx;
        }
        std::this_thread::sleep_for(50ms);
    }
    std::string seen;
    for (const auto& [text, width] : widths) seen += utf8(text) + " (" + std::to_string(width) + " px); ";
    EXPECT_EQ(widths.count(L"错过的闹铃："), 1u) << seen;
    for (const auto& entry : entries) {
        EXPECT_EQ(widths.count(entry), 1u) << utf8(entry) << " was never on the band: " << seen;
        EXPECT_LE(widths[entry], 1024 - picture_width) << utf8(entry) << " fits beside the picture on a 1024-pixel screen";
    }

    // The alarm list, opened from the spot at the centre, names them once.
    const auto alarm_list = [&] {
        PostMessageW(form, WM_LBUTTONUP, 0, MAKELPARAM(99, 99));
        HWND box = clock.wait_for_window(L"Tockly", L"#32770", 10s);
        std::wstring text;
        for (const auto& t : child_texts(box)) text += t;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        eventually([&] { return !IsWindow(box); }, 5s);
        return utf8(text);
    };
    const std::string list = alarm_list();
    for (const auto& entry : entries) EXPECT_NE(list.find("错过：" + utf8(entry)), std::string::npos) << list;
    EXPECT_EQ(alarm_list().find("错过："), std::string::npos) << "seen once, gone";
    clock.stop();
    bool rang = false;
    for (const auto& s : heard.get()) rang |= has_tone(read_prefix(s.name, 4 << 20), mixer, 880);
    EXPECT_FALSE(rang) << "nothing rings late";
}

}  // namespace tockly::e2e
