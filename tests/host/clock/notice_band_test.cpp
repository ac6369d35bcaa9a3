#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/host/clock/fakes.h"
#include "clock/model/notice_band_model.h"

namespace tockly {
namespace {

class FakeNoticeView : public NoticeView {
public:
    int loads = 0, shows = 0, unloads = 0, ends = 0;
    NoticeLayout layout;
    std::string text;
    std::vector<double> tops;
    std::vector<int> frames;
    std::array<bool, 4> timers{};

    void load(const NoticeLayout& l) override { ++loads; layout = l; }
    void set_text(std::string_view t) override { text = t; }
    void move_top(double top) override { tops.push_back(top); }
    void show_frame(int number) override { frames.push_back(number); }
    void enable_timer(NoticeTimer t, bool on) override { timers[static_cast<int>(t)] = on; }
    void show() override { ++shows; }
    void unload() override { ++unloads; }
    void end_program() override { ++ends; }
};

ScreenMetrics screen_of(int width_px, int height_px) {
    ScreenMetrics s;
    s.width_twips = width_px * 15;
    s.height_twips = height_px * 15;
    return s;
}

// Fires the phase timers the way the window does: every timer that is on at
// the start of a 10 ms round fires once in it. Returns the number of rounds
// until the window is gone (or `limit`).
int run_until_unloaded(NoticeBand& notice, int limit = 100000) {
    int rounds = 0;
    while (notice.loaded() && rounds < limit) {
        ++rounds;
        const bool t1 = notice.timer_on(NoticeTimer::slide_in), t2 = notice.timer_on(NoticeTimer::stay),
                   t3 = notice.timer_on(NoticeTimer::slide_out);
        if (t1) notice.on_slide_in_timer();
        if (t2) notice.on_stay_timer();
        if (t3) notice.on_slide_out_timer();
    }
    return rounds;
}

TEST(NoticeBand, TheBandSpansTheMonitorThatShowsTheClock) {
    struct LeftMonitor : ClockMonitor {
        TwipsRect clock_monitor() override { return {-19200, -1200, 0, 13200}; }
    } monitor;
    FakeNoticeView view;
    NoticeBand notice(view, screen_of(1024, 768));
    notice.set_clock_monitor(&monitor);
    notice.show_notice(100, 1000, 300, "x");
    EXPECT_EQ(view.layout.left, -19200);
    EXPECT_EQ(view.layout.top, -1200);
    EXPECT_EQ(view.layout.width, 19200);
    EXPECT_EQ(view.layout.image_left, 19200 - 1245);
    run_until_unloaded(notice);
    ASSERT_FALSE(view.tops.empty());
    // Half way down that monitor, then off its bottom.
    const double centre = -1200 + (14400 / 2.0 - 1125 / 2.0);
    EXPECT_NEAR(*std::max_element(view.tops.begin(), view.tops.end()), 13200, 200);
    EXPECT_NE(std::find_if(view.tops.begin(), view.tops.end(), [&](double t) { return std::abs(t - centre) < 1; }),
              view.tops.end()) << "the band stops at the monitor's middle";
}

TEST(NoticeBand, LoadPlacesTheBandAcrossTheScreen) {
    FakeNoticeView view;
    NoticeBand notice(view, screen_of(1024, 768));
    notice.show_notice(100, 1000, 300, "x");
    EXPECT_EQ(view.loads, 1);
    EXPECT_EQ(view.shows, 1);
    EXPECT_EQ(view.layout.left, 0);
    EXPECT_EQ(view.layout.top, 0);
    EXPECT_EQ(view.layout.width, 15360);
    EXPECT_EQ(view.layout.height, 1125);
    EXPECT_EQ(view.layout.image_left, 15360 - 1245);
    EXPECT_EQ(view.timers, (std::array<bool, 4>{true, false, false, true}));
}

TEST(NoticeBand, CentreAndLeaveDistanceRoundHalfToEven) {
    const struct { int height_px; std::int32_t centre, leave; } cases[] = {
        {768, 5198, 6322},   // 5760 - 562.5 = 5197.5 -> 5198
        {770, 5212, 6338},   // 5212.5 -> 5212
        {600, 3938, 5062},   // 3937.5 -> 3938
        {1080, 7538, 8662},  // 7537.5 -> 7538
    };
    for (const auto& c : cases) {
        FakeNoticeView view;
        NoticeBand notice(view, screen_of(1024, c.height_px));
        notice.show_notice(100, 1000, 300, "x");
        EXPECT_EQ(notice.CentreTop(), c.centre) << c.height_px;
        EXPECT_EQ(notice.LeaveDistance(), c.leave) << c.height_px;
    }
}

TEST(NoticeBand, APositionsTickByTickAndUnloadOnTheNextTick) {
    FakeNoticeView view;
    NoticeBand notice(view, screen_of(1024, 768));
    notice.show_notice(100, 1000, 300, "Tockly打开成功");

    // Entering: 10 steps of 5198 / 10.
    for (int tick = 1; tick <= 10; ++tick) {
        notice.on_slide_in_timer();
        EXPECT_NEAR(notice.top(), tick * 519.8, 1e-6) << "entering tick " << tick;
        EXPECT_TRUE(notice.timer_on(NoticeTimer::slide_in)) << "entering tick " << tick;
    }
    notice.on_slide_in_timer();
    EXPECT_FALSE(notice.timer_on(NoticeTimer::slide_in)) << "the phase ends on the tick after the last step";
    EXPECT_TRUE(notice.timer_on(NoticeTimer::stay));
    EXPECT_EQ(view.tops.size(), 10u);

    // Staying: 100 ticks still, the 101st switches to leaving.
    for (int tick = 1; tick <= 100; ++tick) {
        notice.on_stay_timer();
        ASSERT_TRUE(notice.timer_on(NoticeTimer::stay)) << "stay tick " << tick;
    }
    notice.on_stay_timer();
    EXPECT_FALSE(notice.timer_on(NoticeTimer::stay));
    EXPECT_TRUE(notice.timer_on(NoticeTimer::slide_out));
    EXPECT_EQ(view.tops.size(), 10u) << "the band does not move while it stays";

    // Leaving: 30 steps of 6322 / 30, ending on the bottom edge.
    const struct { int tick; double top; } leaving[] = {
        {1, 5198 + 6322 / 30.0}, {2, 5198 + 2 * 6322 / 30.0}, {15, 5198 + 3161}, {29, 11520 - 6322 / 30.0}, {30, 11520},
    };
    int done = 0;
    for (const auto& row : leaving) {
        while (done < row.tick) {
            notice.on_slide_out_timer();
            ++done;
        }
        EXPECT_NEAR(notice.top(), row.top, 1e-6) << "leaving tick " << row.tick;
        EXPECT_TRUE(notice.loaded()) << "leaving tick " << row.tick;
    }
    EXPECT_EQ(view.unloads, 0);
    notice.on_slide_out_timer();
    EXPECT_FALSE(notice.loaded());
    EXPECT_EQ(view.unloads, 1);
    EXPECT_EQ(view.ends, 0);
    EXPECT_EQ(view.tops.size(), 40u);
}

TEST(NoticeBand, TheGoodbyeTextEndsTheProgramAndNothingElseDoes) {
    const struct { const char* text; bool ends; } cases[] = {
        {"Tockly退出啦，再见", true},
        {"  Tockly退出啦，再见  ", true},
        {"Tockly退出啦，再见!", false},
        {"Tockly退出啦，再见。", false},
        {"Tockly退出啦，再", false},
    };
    for (const auto& c : cases) {
        FakeNoticeView view;
        NoticeBand notice(view, screen_of(1024, 768));
        notice.show_notice(300, 1000, 300, c.text);
        run_until_unloaded(notice, 200);
        notice.on_slide_out_timer();
        EXPECT_EQ(view.ends, c.ends ? 1 : 0) << c.text;
        EXPECT_EQ(view.unloads, c.ends ? 0 : 1) << c.text;
        if (c.ends) {
            EXPECT_NEAR(notice.top(), 11520, 1e-6) << "ends only after leaving the screen";
        }
    }
}

TEST(NoticeBand, TheTextIsShownTrimmed) {
    FakeNoticeView view;
    NoticeBand notice(view, screen_of(1024, 768));
    notice.show_notice(300, 7000, 500, "  起床啦  ");
    EXPECT_EQ(view.text, "起床啦");
    EXPECT_EQ(notice.caption(), "起床啦");
}

TEST(NoticeBand, ASecondNoticeKeepsThePhaseAndPosition) {
    FakeNoticeView view;
    NoticeBand notice(view, screen_of(1024, 768));
    notice.show_notice(100, 1000, 300, "first");
    for (int i = 0; i < 5; ++i) notice.on_slide_in_timer();
    notice.show_notice(300, 7000, 500, "second");
    EXPECT_EQ(view.loads, 1);
    EXPECT_EQ(view.text, "second");
    EXPECT_NEAR(notice.top(), 5 * 519.8, 1e-6);
    notice.on_slide_in_timer();
    EXPECT_NEAR(notice.top(), 5 * 519.8 + 5198 / 30.0, 1e-6) << "tick 6 of the new 30-step entry";
    // 30 steps in all, then 700 still ticks, then 50 leaving steps and the unload.
    EXPECT_EQ(run_until_unloaded(notice), (30 - 6 + 1) + 701 + 51);
}

TEST(NoticeBand, DurationsOfZeroOrLessEndTheirPhaseAtOnce) {
    const struct { std::int32_t in, stop, out; } cases[] = {{0, 0, 0}, {-5, -1000, -1}, {-2147483647 - 1, 0, -300}};
    for (const auto& c : cases) {
        FakeNoticeView view;
        NoticeBand notice(view, screen_of(1024, 768));
        notice.show_notice(c.in, c.stop, c.out, "x");
        EXPECT_EQ(run_until_unloaded(notice), 3) << c.in << "/" << c.stop << "/" << c.out << ": one tick a phase";
        EXPECT_TRUE(view.tops.empty()) << c.in;
    }
}

TEST(NoticeBand, ShownDirectlyUsesTheDesignCaptionAndTheLastDurations) {
    FakeNoticeView view;
    NoticeBand notice(view, screen_of(1024, 768));
    notice.Show();
    EXPECT_EQ(view.text, "Tockly");
    // No show_notice yet: all three durations are 0, three ticks and gone.
    notice.on_slide_in_timer();
    notice.on_stay_timer();
    notice.on_slide_out_timer();
    EXPECT_FALSE(notice.loaded());

    notice.show_notice(100, 1000, 300, "x");
    run_until_unloaded(notice);
    notice.Show();
    EXPECT_EQ(view.text, "Tockly");
    EXPECT_EQ(run_until_unloaded(notice), 11 + 101 + 31);
}

TEST(NoticeBand, AReloadStartsFromTheTopWithFreshCounters) {
    FakeNoticeView view;
    NoticeBand notice(view, screen_of(1024, 768));
    notice.show_notice(100, 1000, 300, "a");
    run_until_unloaded(notice);
    notice.show_notice(100, 1000, 300, "b");
    EXPECT_EQ(view.loads, 2);
    EXPECT_EQ(notice.top(), 0);
    EXPECT_EQ(view.timers, (std::array<bool, 4>{true, false, false, true}));
    notice.on_slide_in_timer();
    EXPECT_NEAR(notice.top(), 519.8, 1e-6);
}

TEST(NoticeBand, TheAnimationCyclesFrames101To114AndKeepsItsCountAcrossReloads) {
    FakeNoticeView view;
    NoticeBand notice(view, screen_of(1024, 768));
    notice.show_notice(100, 1000, 300, "x");
    for (int i = 0; i < 16; ++i) notice.on_frame_timer();
    const std::vector<int> first = {101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 101, 102};
    EXPECT_EQ(view.frames, first);
    run_until_unloaded(notice);
    notice.on_frame_timer();
    EXPECT_EQ(view.frames.size(), 16u) << "no frames while unloaded";
    notice.show_notice(100, 1000, 300, "y");
    notice.on_frame_timer();
    EXPECT_EQ(view.frames.back(), 103);
    EXPECT_EQ(notice.FrameNo(), 3);
}

TEST(NoticeBand, AClickOnThePictureStartsLeaving) {
    {
        FakeNoticeView view;
        NoticeBand notice(view, screen_of(1024, 768));
        notice.show_notice(100, 1000, 300, "x");
        for (int i = 0; i < 20; ++i) notice.on_slide_in_timer(), notice.on_stay_timer();
        notice.on_image_click();
        EXPECT_FALSE(notice.timer_on(NoticeTimer::stay));
        EXPECT_TRUE(notice.timer_on(NoticeTimer::slide_out));
        EXPECT_EQ(run_until_unloaded(notice), 31) << "clicked while staying";
    }
    {
        // While entering, both movements add up and the end of entering
        // switches the stay timer back on.
        FakeNoticeView view;
        NoticeBand notice(view, screen_of(1024, 768));
        notice.show_notice(100, 1000, 300, "x");
        notice.on_slide_in_timer();
        notice.on_image_click();
        notice.on_slide_in_timer();
        notice.on_slide_out_timer();
        EXPECT_NEAR(notice.top(), 2 * 519.8 + 6322 / 30.0, 1e-6);
        for (int i = 0; i < 9; ++i) notice.on_slide_in_timer();
        EXPECT_TRUE(notice.timer_on(NoticeTimer::stay));
        EXPECT_TRUE(notice.timer_on(NoticeTimer::slide_out));
    }
}

TEST(NoticeBand, LongAndOddTextsStillRunThroughThePhases) {
    const struct { const char* name; std::string text; } cases[] = {
        {"10 000 characters", std::string(10000, 'W')},
        {"control characters", std::string("a\tb\r\nc\x01\x7f")},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        FakeNoticeView view;
        NoticeBand notice(view, screen_of(1024, 768));
        notice.show_notice(100, 1000, 300, c.text);
        EXPECT_EQ(view.text, c.text) << c.name;
        EXPECT_EQ(run_until_unloaded(notice), 11 + 101 + 31) << c.name;
    }
}

}  // namespace
}  // namespace tockly

namespace tockly {
namespace {

TEST(NoticeBand, AListComesOneNoticeAfterTheOtherAndAClickOnTheTextIsPassedOn) {
    struct Clicks : NoticeClicks {
        std::vector<std::string> heard;
        void on_notice_click(std::string_view text) override { heard.emplace_back(text); }
    } clicks;
    FakeNoticeView view;
    NoticeBand notice(view, screen_of(1024, 768));
    notice.set_click_listener(&clicks);
    notice.show_notices_in_turn(300, 1000, 300, "summary", {"错过的闹铃：", "7:30:00 起床", "7:45:00 开会"});
    std::vector<std::string> shown;
    for (int i = 0; i < 5 && notice.loaded(); ++i) {
        shown.push_back(view.text);
        notice.on_text_click();
        // Each one slides through on its own before the next comes.
        for (const int loads = view.loads; notice.loaded() && view.loads == loads;) {
            if (notice.timer_on(NoticeTimer::slide_in)) notice.on_slide_in_timer();
            if (notice.timer_on(NoticeTimer::stay)) notice.on_stay_timer();
            if (notice.timer_on(NoticeTimer::slide_out)) notice.on_slide_out_timer();
        }
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"错过的闹铃：", "7:30:00 起床", "7:45:00 开会"}));
    EXPECT_EQ(clicks.heard, shown);
    EXPECT_EQ(view.loads, 3);
    EXPECT_EQ(notice.queued(), 0u);

    // Whoever shows one text at a time gets the summary.
    test::RecordingNotices one_line;
    static_cast<Notices&>(one_line).show_notices_in_turn(300, 1000, 300, "summary", {"a", "b"});
    ASSERT_EQ(one_line.shown.size(), 1u);
    EXPECT_EQ(one_line.shown.front().text, "summary");
}

}  // namespace
}  // namespace tockly
