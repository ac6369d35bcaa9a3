#include <gtest/gtest.h>

#include "clock/model/time_check_dialog_model.h"
#include "tests/host/clock/time_guard_fakes.h"

namespace tockly {
namespace {

using namespace test;

const std::string kIni = "C:\\Tockly\\Software_information.ini";
constexpr std::string_view kPage = "[2026-05-09] (14:20:00)";

struct Rig : WebFakes {
    RecordingTimeCheckView view;
    FakeSetter setter;
    TimeCheckDialog dialog{{view, {profile, boxes}, kIni, resources, files, web({std::string(kTimePageUrl)}), setter}};

    explicit Rig(std::optional<std::string> jianhuzd = std::nullopt) {
        if (jianhuzd) profile.set(kIni, "jianhu", "jianhuzd", *jianhuzd);
        http.serve(std::string(kPage));
    }
    int screen_width() const { return view.metrics.width_twips; }
    // Shown by the time guard with the check's reading, which agrees with kPage.
    void show() { dialog.Show(WebReading{local_time_at(LocalTime{2026, 5, 9, 6, 14, 20, 0}.local_seconds()), monotonic.ms}); }
    // Runs the slide-in timer until it switches itself off; returns the ticks.
    int slide_in() { return run_until_off(TimeCheckTimer::slide_in, &TimeCheckDialog::on_slide_in_timer); }
    int slide_out() { return run_until_off(TimeCheckTimer::slide_out, &TimeCheckDialog::on_slide_out_timer); }
    int run_until_off(TimeCheckTimer timer, void (TimeCheckDialog::*step)()) {
        int ticks = 0;
        while (dialog.loaded() && dialog.timer_on(timer) && ticks < 1000) {
            (dialog.*step)();
            ++ticks;
        }
        return ticks;
    }
};

TEST(TimeCheckDialog, LoadReadsTheAutomaticCorrectionSetting) {
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
        EXPECT_EQ(rig.dialog.auto_correct_checked(), c.checked) << c.name;
        EXPECT_EQ(rig.view.check, c.checked) << c.name;
    }
}

TEST(TimeCheckDialog, LoadPlacesItBeyondTheRightEdgeOnTopOfTheTaskbar) {
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

TEST(TimeCheckDialog, SlidesInIn26StepsOf150Twips) {
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

TEST(TimeCheckDialog, AutomaticCorrectionAfterTheSlideIn) {
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

TEST(TimeCheckDialog, ManualCorrectionByTheButton) {
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
        rig.dialog.correct_click();
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

TEST(TimeCheckDialog, AFailedCorrectionSlidesOutSilently) {
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
        rig.dialog.correct_click();
        EXPECT_EQ(rig.dialog.last_correction(), c.outcome) << c.name;
        EXPECT_TRUE(rig.boxes.shown.empty()) << c.name << ": no message";
        EXPECT_TRUE(rig.view.timers[2]) << c.name << ": slides out";
        rig.slide_out();
        EXPECT_FALSE(rig.dialog.loaded()) << c.name;
    }
}

TEST(TimeCheckDialog, AClickOnThePictureClosesAtOnce) {
    Rig rig("1");
    rig.show();
    for (int i = 0; i < 5; ++i) rig.dialog.on_slide_in_timer();
    const int moves = rig.view.moves;
    rig.dialog.close_click();
    EXPECT_FALSE(rig.dialog.loaded());
    EXPECT_EQ(rig.view.unloads, 1);
    EXPECT_EQ(rig.view.moves, moves) << "no slide-out";
    rig.dialog.on_slide_in_timer();  // a tick already queued does nothing
    EXPECT_TRUE(rig.setter.calls.empty()) << "the clock stays as it was";
    EXPECT_TRUE(rig.http.requests.empty());
}

TEST(TimeCheckDialog, TheCheckBoxWritesTheSettingButDoesNotChangeTheOpenDialog) {
    Rig rig("0");
    rig.show();
    rig.dialog.auto_correct_click(true);
    EXPECT_EQ(rig.profile.writes, (std::vector<std::string>{"jianhu/jianhuzd=1"}));
    EXPECT_EQ(rig.dialog.AutoCorrectSetting(), "0");
    rig.slide_in();
    EXPECT_TRUE(rig.setter.calls.empty()) << "this dialog does not correct by itself";
    rig.dialog.auto_correct_click(false);
    EXPECT_EQ(rig.profile.writes.back(), "jianhu/jianhuzd=0");

    // The next dialog loads the new value.
    rig.dialog.auto_correct_click(true);
    rig.dialog.close_click();
    rig.show();
    EXPECT_EQ(rig.dialog.AutoCorrectSetting(), "1");
    rig.slide_in();
    EXPECT_EQ(rig.setter.calls.size(), 2u);
}

TEST(TimeCheckDialog, TheAnimationAlternatesFrames301And302) {
    Rig rig;
    rig.show();
    for (int i = 0; i < 4; ++i) rig.dialog.on_animation_timer();
    const std::string temp = rig.files.temp + "temp.gif";
    EXPECT_EQ(rig.view.pictures, (std::vector<std::string>(4, temp)));
    EXPECT_EQ(rig.dialog.FrameNo(), 2);
    EXPECT_EQ(rig.files.files[temp], "bytes of gif 302");
    rig.dialog.on_animation_timer();
    EXPECT_EQ(rig.dialog.FrameNo(), 1);
    EXPECT_EQ(rig.files.files[temp], "bytes of gif 301");
}

TEST(TimeCheckDialog, ShowingItAgainWhileLoadedDoesNotLoadAgain) {
    Rig rig;
    rig.show();
    rig.slide_in();
    const int left = rig.view.left;
    rig.show();
    EXPECT_EQ(rig.view.loads, 1);
    EXPECT_EQ(rig.view.left, left);
    EXPECT_FALSE(rig.view.timers[1]) << "no second slide-in";
}

TEST(TimeCheckDialog, TheButtonDuringTheSlideInCorrectsOnlyOnce) {
    Rig rig("1");
    rig.show();
    for (int i = 0; i < 3; ++i) rig.dialog.on_slide_in_timer();
    rig.dialog.correct_click();
    EXPECT_FALSE(rig.view.timers[1]) << "the slide-out ends the slide-in";
    rig.slide_in();
    rig.slide_out();
    EXPECT_EQ(rig.setter.calls.size(), 2u) << "one time and one date";
    EXPECT_FALSE(rig.dialog.loaded());
}

TEST(TimeCheckDialog, AWindowThatCannotBeCreatedLeavesTheDialogUnloaded) {
    Rig rig("1");
    rig.view.refuse_load = true;
    rig.show();
    EXPECT_FALSE(rig.dialog.loaded());
    rig.dialog.correct_click();
    EXPECT_TRUE(rig.http.requests.empty());
}

TEST(TimeCheckDialog, TheCorrectionWaitsAwayFromTheWindowAndAClosedDialogDropsItsResult) {
    for (const bool closed_meanwhile : {false, true}) {
        Rig rig("0");
        FakeBackground background;
        TimeCheckDialog dialog{{rig.view, {rig.profile, rig.boxes}, kIni, rig.resources, rig.files,
                       rig.web({std::string(kTimePageUrl)}), rig.setter, &background}};
        dialog.Show(WebReading{local_time_at(LocalTime{2026, 5, 9, 6, 14, 20, 0}.local_seconds()), rig.monotonic.ms});
        dialog.correct_click();
        dialog.correct_click();
        EXPECT_EQ(background.jobs.size(), 1u) << "one correction at a time";
        EXPECT_TRUE(rig.http.requests.empty()) << "nothing fetched in the click";
        if (closed_meanwhile) dialog.close_click();
        background.finish_all();
        EXPECT_EQ(rig.http.requests.size(), 1u);
        EXPECT_EQ(rig.setter.calls.size(), closed_meanwhile ? 0u : 2u) << "closed: 不校正";
        EXPECT_EQ(rig.boxes.shown.size(), closed_meanwhile ? 0u : 1u);
    }
}

TEST(TimeCheckDialog, TheCorrectionNeverFetchesInTheClickWhateverTheWorkerIsDoing) {
    const struct {
        const char* name;
        bool busy, gone;
        std::size_t fetches;
        std::optional<CorrectionOutcome> outcome;
    } cases[] = {
        {"idle: fetched on the worker", false, false, 1, CorrectionOutcome::corrected},
        {"busy with a check: queued behind it", true, false, 1, CorrectionOutcome::corrected},
        {"gone (the program ends): nothing fetched, nothing set", false, true, 0, CorrectionOutcome::no_page},
    };
    for (const auto& c : cases) {
        Rig rig("0");
        FakeBackground background;
        background.busy = c.busy;
        background.gone = c.gone;
        TimeCheckDialog dialog{{rig.view, {rig.profile, rig.boxes}, kIni, rig.resources, rig.files,
                                rig.web({std::string(kTimePageUrl)}), rig.setter, &background}};
        dialog.Show(WebReading{local_time_at(LocalTime{2026, 5, 9, 6, 14, 20, 0}.local_seconds()), rig.monotonic.ms});
        dialog.correct_click();
        EXPECT_TRUE(rig.http.requests.empty()) << c.name << ": nothing fetched in the click";
        background.finish_all();
        EXPECT_EQ(rig.http.requests.size(), c.fetches) << c.name;
        EXPECT_EQ(dialog.last_correction(), c.outcome) << c.name;
        EXPECT_TRUE(rig.view.timers[static_cast<int>(TimeCheckTimer::slide_out)]) << c.name << ": slides out";
    }
}

}  // namespace
}  // namespace tockly
