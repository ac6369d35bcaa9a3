// Alarms that follow China's calendar, seen and heard from outside: the real
// clock is moved to the day (TOCKLY_TEST_WALL_CLOCK_OFFSET, whole days, so
// the time of day stays the machine's) and given an alarm a few seconds
// ahead with a repeat rule. Where the rule holds, the alarm's band shows and
// its 880 Hz bell is among the captured sound streams; where it does not,
// neither.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/e2e/e2e_audio.h"
#include "tests/e2e/e2e_support.h"

namespace tockly::e2e {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

const std::string kQuiet =
    "[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=0\r\nBanDian0=0\r\n[mts]\r\nmatisheng0=0\r\n";

// Days from the machine's date to `day`, in seconds, and the second of the day now.
std::pair<long long, int> offset_to(year_month_day day) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    const sys_days today = year{t.wYear} / month{t.wMonth} / std::chrono::day{t.wDay};
    return {(sys_days{day} - today).count() * 86400LL, t.wHour * 3600 + t.wMinute * 60 + t.wSecond};
}

bool band_with(const RunningClock& clock, const std::wstring& text) {
    HWND band = clock.visible_window_of_class(L"TocklyTiShiChuang");
    if (!band) return false;
    const auto texts = child_texts(band);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(Repeat, AnAlarmRingsOnTheDaysItsRuleHoldsAndOnNoOther) {
    const struct {
        const char* rule;
        year_month_day day;
        bool rings;
        const char* why;
    } cases[] = {
        {"workday", 2026y / 10 / 1, false, "Thursday 1 October 2026 is 国庆"},
        {"workday", 2026y / 10 / 10, true, "Saturday 10 October 2026 is a make-up working day"},
        {"lunar:08-15", 2026y / 9 / 25, true, "25 September 2026 is the 15th of the 8th lunar month"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + " on " + c.why);
        ProgramFolder folder("repeat-" + std::to_string(n++));
        audio::NewStreams heard;
        ASSERT_TRUE(heard.hearing()) << audio::no_capture;
        const auto [offset, now] = offset_to(c.day);
        const int alarm = (now + 5) % 86400;  // room for the clock to start
        char at[16];
        std::snprintf(at, sizeof at, "%d:%02d:%02d", alarm / 3600, alarm / 60 % 60, alarm % 60);
        const std::string notice = std::string("e2e重复闹钟 ") + c.rule;
        folder.write_settings(kQuiet + "[naoling]\r\nNaoLingShu0=1\r\n0sj=" + at + "\r\n0ls=alarm_bell.mp3\r\n0ts=" +
                              notice + "\r\n0cf=" + c.rule + "\r\n");
        SetEnvironmentVariableW(L"TOCKLY_TEST_WALL_CLOCK_OFFSET", std::to_wstring(offset).c_str());
        RunningClock clock(folder);
        SetEnvironmentVariableW(L"TOCKLY_TEST_WALL_CLOCK_OFFSET", nullptr);
        ASSERT_TRUE(clock.wait_for_clock());

        // Watched until four seconds past the alarm, or until its band shows.
        const bool shown = eventually([&] { return band_with(clock, wide(notice)); }, 10s);
        EXPECT_EQ(shown, c.rings) << "the alarm's band";
        if (shown) std::this_thread::sleep_for(4s);  // the bell plays on
        ASSERT_TRUE(clock.running());
        clock.stop();
        bool rang = false;
        std::vector<std::string> seen;
        for (const auto& s : heard.get()) {
            seen.push_back(s.name + " " + std::to_string(s.size));
            rang |= audio::has_tone(audio::read_prefix(s.name, 16 << 20), audio::mixer, 880);
        }
        EXPECT_EQ(rang, c.rings) << "the 880 Hz bell among " << ::testing::PrintToString(seen);
    }
}

}  // namespace
}  // namespace tockly::e2e
