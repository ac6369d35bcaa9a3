#include <gtest/gtest.h>

#include "duishi.h"
#include "time_guard_fakes.h"

namespace tockly {
namespace {

using namespace test;

const std::string kIni = "C:\\Tockly\\Software_information.ini";
constexpr std::string_view kPage = "[2026-05-09] (14:20:00)";

struct Rig : WebFakes {
    RecordingDuiShiView view;
    FakeSetter setter;
    DuiShi dialog{{view, {profile, boxes}, kIni, resources, files, web({std::string(kTimePageUrl)}), setter}};

    explicit Rig(std::optional<std::string> jianhuzd = std::nullopt) {
        if (jianhuzd) profile.set(kIni, "jianhu", "jianhuzd", *jianhuzd);
        http.serve(std::string(kPage));
    }
    int screen_width() const { return view.metrics.width_twips; }
    // Shown by the time guard with the check's reading, which agrees with kPage.
    void show() { dialog.Show(WebReading{local_time_at(LocalTime{2026, 5, 9, 6, 14, 20, 0}.local_seconds()), monotonic.ms}); }
    // Runs the slide-in timer until it switches itself off; returns the ticks.
    int slide_in() { return run_until_off(DuiShiTimer::Timer2_slide_in, &DuiShi::Timer2_Timer); }
    int slide_out() { return run_until_off(DuiShiTimer::Timer3_slide_out, &DuiShi::Timer3_Timer); }
    int run_until_off(DuiShiTimer timer, void (DuiShi::*step)()) {
        int ticks = 0;
        while (dialog.loaded() && dialog.timer_on(timer) && ticks < 1000) {
            (dialog.*step)();
            ++ticks;
        }
        return ticks;
    }
};

TEST(DuiShi, LoadReadsTheAutomaticCorrectionSetting) {
    const struct {
        const char* name;
        std::optional<std::string> stored;
        bool checked;
    } cases[] = {
        {"1", "1", true}, {"0", "0", false}, {"missing", std::nullopt, false},
        {"empty", "", false}, {"anything else", "yes", false}, {"1 with a space", " 1", false},
    };
    for (const auto& c : cases) {
        Rig rig(c.stored);
        rig.show();
        EXPECT_EQ(rig.dialog.AutoCorrectSetting(), c.stored.value_or("")) << c.name;
        EXPECT_EQ(rig.dialog.Check1_value(), c.checked) << c.name;
        EXPECT_EQ(rig.view.check, c.checked) << c.name;
    }
}

TEST(DuiShi, LoadPlacesItBeyondTheRightEdgeOnTopOfTheTaskbar) {
    Rig rig;
    rig.view.metrics.width_twips = 15360;
    rig.view.metrics.height_twips = 11520;
    rig.view.metrics.work_area_bottom_px = 738;  // a 30-pixel taskbar: 450 twips
    rig.show();
    EXPECT_TRUE(rig.view.loaded && rig.view.visible);
    EXPECT_TRUE(rig.view.topmost);
    EXPECT_TRUE(rig.view.layered);
    EXPECT_EQ(rig.view.colour_key, 0xFFFFFFu);
    EXPECT_EQ(rig.view.width, 3885);
    EXPECT_EQ(rig.view.height, 2130);
    EXPECT_EQ(rig.view.left, 15360);
    EXPECT_EQ(rig.view.top, 11520 - 2130 - 450);
    EXPECT_EQ(rig.dialog.FrameNo(), 0);
    EXPECT_TRUE(rig.view.timers[0]) << "Timer1 animates from the load";
    EXPECT_TRUE(rig.view.timers[1]) << "Timer2 slides in";
    EXPECT_FALSE(rig.view.timers[2]) << "Timer3 waits";
}

TEST(DuiShi, SlidesInIn26StepsOf150Twips) {
    Rig rig;
    rig.show();
    const int ticks = rig.slide_in();
    EXPECT_EQ(rig.view.moves, 26);
    EXPECT_EQ(ticks, 27) << "the tick after the last move switches Timer2 off";
    EXPECT_EQ(rig.view.left, rig.screen_width() - 3900) << "the first position left of flush";
    EXPECT_FALSE(rig.view.timers[1]);
    EXPECT_TRUE(rig.dialog.loaded()) << "without automatic correction it waits for the user";
    EXPECT_TRUE(rig.setter.calls.empty());
}

TEST(DuiShi, AutomaticCorrectionAfterTheSlideIn) {
    Rig rig("1");
    rig.show();
    rig.slide_in();
    EXPECT_EQ(rig.setter.calls, (std::vector<std::string>{"time 51600", "date 2026-5-9"}));
    EXPECT_TRUE(rig.boxes.shown.empty()) << "no message for automatic correction";
    EXPECT_TRUE(rig.view.timers[2]) << "slides out on its own";
    const int moves_before = rig.view.moves;
    const int ticks = rig.slide_out();
    EXPECT_EQ(rig.view.moves - moves_before, 49) << "80 twips at a time until past the edge";
    EXPECT_EQ(ticks, 50);
    EXPECT_GE(rig.view.left, rig.screen_width());
    EXPECT_FALSE(rig.dialog.loaded());
    EXPECT_EQ(rig.view.unloads, 1);
}

TEST(DuiShi, ManualCorrectionByTheButton) {
    const struct {
        const char* name;
        std::optional<std::string> stored;
        bool box;
    } cases[] = {
        {"0 shows the confirmation", "0", true},
        {"missing value shows none", std::nullopt, false},
        {"other text shows none", "x", false},
    };
    for (const auto& c : cases) {
        Rig rig(c.stored);
        rig.show();
        rig.slide_in();
        EXPECT_TRUE(rig.setter.calls.empty()) << c.name << ": waits for the button";
        rig.dialog.Command1_Click();
        EXPECT_EQ(rig.setter.calls, (std::vector<std::string>{"time 51600", "date 2026-5-9"})) << c.name;
        ASSERT_EQ(rig.boxes.shown.size(), c.box ? 1u : 0u) << c.name;
        if (c.box) {
            EXPECT_EQ(rig.boxes.shown[0].text, "Ok！校正完毕，您的时间现在是正确的。");
            EXPECT_EQ(rig.boxes.shown[0].title, "为您对时");
            EXPECT_EQ(rig.boxes.shown[0].icon, MessageIcon::information);
        }
        EXPECT_TRUE(rig.view.timers[2]) << c.name;
        rig.slide_out();
        EXPECT_FALSE(rig.dialog.loaded()) << c.name;
    }
}

TEST(DuiShi, AFailedCorrectionSlidesOutSilently) {
    const struct {
        const char* name;
        HttpResponse page;
        bool refuse_time;
        CorrectionOutcome outcome;
    } cases[] = {
        {"time page unreachable", {false, 0, ""}, false, CorrectionOutcome::no_page},
        {"garbage page", {true, 200, "<html>oops</html>"}, false, CorrectionOutcome::no_page},
        {"a page 30 s off the check's reading", {true, 200, "[2026-05-09] (14:20:30)"}, false,
         CorrectionOutcome::disagrees},
        {"no right to set the clock", {true, 200, std::string(kPage)}, true, CorrectionOutcome::time_refused},
    };
    for (const auto& c : cases) {
        Rig rig("0");
        rig.http.response = c.page;
        rig.setter.refuse_time = c.refuse_time;
        rig.show();
        rig.slide_in();
        rig.dialog.Command1_Click();
        EXPECT_EQ(rig.dialog.last_correction(), c.outcome) << c.name;
        EXPECT_TRUE(rig.boxes.shown.empty()) << c.name << ": no message";
        EXPECT_TRUE(rig.view.timers[2]) << c.name << ": slides out";
        rig.slide_out();
        EXPECT_FALSE(rig.dialog.loaded()) << c.name;
    }
}

TEST(DuiShi, AClickOnThePictureClosesAtOnce) {
    Rig rig("1");
    rig.show();
    for (int i = 0; i < 5; ++i) rig.dialog.Timer2_Timer();
    const int moves = rig.view.moves;
    rig.dialog.Image1_Click();
    EXPECT_FALSE(rig.dialog.loaded());
    EXPECT_EQ(rig.view.unloads, 1);
    EXPECT_EQ(rig.view.moves, moves) << "no slide-out";
    rig.dialog.Timer2_Timer();  // a tick already queued does nothing
    EXPECT_TRUE(rig.setter.calls.empty()) << "the clock stays as it was";
    EXPECT_TRUE(rig.http.requests.empty());
}

TEST(DuiShi, TheCheckBoxWritesTheSettingButDoesNotChangeTheOpenDialog) {
    Rig rig("0");
    rig.show();
    rig.dialog.Check1_Click(true);
    EXPECT_EQ(rig.profile.writes, (std::vector<std::string>{"jianhu/jianhuzd=1"}));
    EXPECT_EQ(rig.dialog.AutoCorrectSetting(), "0");
    rig.slide_in();
    EXPECT_TRUE(rig.setter.calls.empty()) << "this dialog does not correct by itself";
    rig.dialog.Check1_Click(false);
    EXPECT_EQ(rig.profile.writes.back(), "jianhu/jianhuzd=0");

    // The next dialog loads the new value.
    rig.dialog.Check1_Click(true);
    rig.dialog.Image1_Click();
    rig.show();
    EXPECT_EQ(rig.dialog.AutoCorrectSetting(), "1");
    rig.slide_in();
    EXPECT_EQ(rig.setter.calls.size(), 2u);
}

TEST(DuiShi, TheAnimationAlternatesFrames301And302) {
    Rig rig;
    rig.show();
    for (int i = 0; i < 4; ++i) rig.dialog.Timer1_Timer();
    const std::string temp = rig.files.temp + "temp.gif";
    EXPECT_EQ(rig.view.pictures, (std::vector<std::string>(4, temp)));
    EXPECT_EQ(rig.dialog.FrameNo(), 2);
    EXPECT_EQ(rig.files.files[temp], "bytes of gif 302");
    rig.dialog.Timer1_Timer();
    EXPECT_EQ(rig.dialog.FrameNo(), 1);
    EXPECT_EQ(rig.files.files[temp], "bytes of gif 301");
}

TEST(DuiShi, ShowingItAgainWhileLoadedDoesNotLoadAgain) {
    Rig rig;
    rig.show();
    rig.slide_in();
    const int left = rig.view.left;
    rig.show();
    EXPECT_EQ(rig.view.loads, 1);
    EXPECT_EQ(rig.view.left, left);
    EXPECT_FALSE(rig.view.timers[1]) << "no second slide-in";
}

TEST(DuiShi, TheButtonDuringTheSlideInCorrectsOnlyOnce) {
    Rig rig("1");
    rig.show();
    for (int i = 0; i < 3; ++i) rig.dialog.Timer2_Timer();
    rig.dialog.Command1_Click();
    EXPECT_FALSE(rig.view.timers[1]) << "the slide-out ends the slide-in";
    rig.slide_in();
    rig.slide_out();
    EXPECT_EQ(rig.setter.calls.size(), 2u) << "one time and one date";
    EXPECT_FALSE(rig.dialog.loaded());
}

TEST(DuiShi, AWindowThatCannotBeCreatedLeavesTheDialogUnloaded) {
    Rig rig("1");
    rig.view.refuse_load = true;
    rig.show();
    EXPECT_FALSE(rig.dialog.loaded());
    rig.dialog.Command1_Click();
    EXPECT_TRUE(rig.http.requests.empty());
}

TEST(DuiShi, TheCorrectionWaitsAwayFromTheWindowAndAClosedDialogDropsItsResult) {
    for (const bool closed_meanwhile : {false, true}) {
        Rig rig("0");
        FakeBackground background;
        DuiShi dialog{{rig.view, {rig.profile, rig.boxes}, kIni, rig.resources, rig.files,
                       rig.web({std::string(kTimePageUrl)}), rig.setter, &background}};
        dialog.Show(WebReading{local_time_at(LocalTime{2026, 5, 9, 6, 14, 20, 0}.local_seconds()), rig.monotonic.ms});
        dialog.Command1_Click();
        dialog.Command1_Click();
        EXPECT_EQ(background.jobs.size(), 1u) << "one correction at a time";
        EXPECT_TRUE(rig.http.requests.empty()) << "nothing fetched in the click";
        if (closed_meanwhile) dialog.Image1_Click();
        background.finish_all();
        EXPECT_EQ(rig.http.requests.size(), 1u);
        EXPECT_EQ(rig.setter.calls.size(), closed_meanwhile ? 0u : 2u) << "closed: 不校正";
        EXPECT_EQ(rig.boxes.shown.size(), closed_meanwhile ? 0u : 1u);
    }
}

}  // namespace
}  // namespace tockly
