#include <gtest/gtest.h>

#include "clock/model/time_guard.h"
#include "tests/host/clock/time_guard_fakes.h"

namespace tockly {
namespace {

using namespace test;

const std::string kDir = "C:\\Tockly\\";
constexpr std::string_view kSpareUrl = "http://127.0.0.1:18080/spare";

struct Rig : WebFakes {
    FakeConnection connection;
    FakeEcho echo;
    FakeWallClock clock;
    RecordingClockWindow window;
    ClockGlobals globals;
    MenuChecks checks;
    NetworkItems items;
    TimeGuardPorts ports{connection,
                         echo,
                         {profile, boxes},
                         web({std::string(kTimePageUrl), std::string(kSpareUrl)}),
                         clock,
                         resources,
                         files,
                         window,
                         BuiltInAddresses{"127.0.0.1", "127.0.0.2", "127.0.0.3"}};
    TimeGuardSteps steps{ports, globals, checks, items};

    Rig() {
        globals.program_folder = kDir;
        echo.status_of["127.0.0.1"] = 0;
    }
    TickMoment moment(int minute, int second) {
        clock.set(2026, 5, 9, 14, minute, second);
        TickMoment m;
        m.now = clock.time;
        m.time_of_day = m.now.seconds_of_day();
        m.angles = hand_angles(14, minute, second);
        return m;
    }
    // Runs both hourly steps for a moment, as the tick does.
    void tick(int minute, int second) {
        const TickMoment m = moment(minute, second);
        steps.network_check(m);
        steps.time_guard(m);
    }
};

TEST(TimeGuardSteps, TheAnglesHoldOnlyAtMinute4And5SecondZero) {
    for (int minute = 0; minute < 60; ++minute) {
        for (int second = 0; second < 60; ++second) {
            const float M = hand_angles(14, minute, second).M;
            EXPECT_EQ(M == time_guard::network_check_angle, minute == 4 && second == 0)
                << "network check at " << minute << ":" << second;
            EXPECT_EQ(M == time_guard::time_guard_angle, minute == 5 && second == 0)
                << "time guard at " << minute << ":" << second;
        }
    }
}

TEST(TimeGuardSteps, TheNetworkCheckSetsLianWangAndTheTwoItems) {
    const struct {
        const char* name;
        bool online;
        bool gateway_answers;
        bool usable;
    } cases[] = {
        {"online and answering", true, true, true},
        {"online but nothing answers", true, false, false},
        {"offline", false, true, false},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.connection.is_online = c.online;
        if (!c.gateway_answers) rig.echo.status_of.clear();
        rig.globals.online = !c.usable;
        rig.items = {!c.usable, !c.usable};
        EXPECT_EQ(run_network_check(rig.ports, rig.globals, rig.items), c.usable) << c.name;
        EXPECT_EQ(rig.globals.online, c.usable) << c.name;
        EXPECT_EQ(rig.items.time_guard, c.usable) << c.name;
        EXPECT_EQ(rig.items.home_page, c.usable) << c.name;
        ASSERT_EQ(rig.window.item_changes.size(), 1u) << c.name;
        EXPECT_EQ(rig.window.item_changes[0].time_guard, c.usable) << c.name;
    }
}

TEST(TimeGuardSteps, TheNetworkCheckReadsIPtopingFromTheProgramFolder) {
    Rig rig;
    rig.echo.status_of = {{"127.0.0.9", 0}};
    rig.profile.set(kDir + "Software_information.ini", "pingipname", "IPtoping", "127.0.0.9");
    EXPECT_TRUE(run_network_check(rig.ports, rig.globals, rig.items));
}

TEST(TimeGuardSteps, WhichSecondsRunWhichStep) {
    const struct {
        const char* name;
        int minute, second;
        bool checked, online;
        int pings, fetches;
    } cases[] = {
        {"minute 4 second 0 checks the network", 4, 0, true, true, 1, 0},
        {"minute 4 second 1 does nothing", 4, 1, true, true, 0, 0},
        {"minute 5 second 0 asks the time page", 5, 0, true, true, 0, 1},
        {"minute 5 second 1 does nothing", 5, 1, true, true, 0, 0},
        {"minute 5 with the guard unchecked", 5, 0, false, true, 0, 0},
        {"minute 5 without network", 5, 0, true, false, 0, 0},
        {"minute 6", 6, 0, true, true, 0, 0},
        {"minute 45", 45, 0, true, true, 0, 0},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.checks.time_guard = c.checked;
        rig.globals.online = c.online;
        rig.http.serve(page_for(rig.moment(c.minute, c.second).now));
        rig.tick(c.minute, c.second);
        EXPECT_EQ(static_cast<int>(rig.echo.sent.size()), c.pings) << c.name;
        EXPECT_EQ(static_cast<int>(rig.http.requests.size()), c.fetches) << c.name;
    }
}

TEST(TimeGuardSteps, DialogAndSoundBeyond600SecondsEitherWay) {
    const struct {
        std::int64_t apart;
        bool dialog;
    } cases[] = {{599, false}, {600, false}, {601, true}, {-599, false}, {-600, false}, {-601, true}, {900, true}};
    for (const auto& c : cases) {
        Rig rig;
        rig.globals.online = true;
        const TickMoment m = rig.moment(5, 0);
        rig.http.serve(page_apart(m.now, c.apart));
        rig.steps.time_guard(m);
        EXPECT_EQ(rig.window.dialogs, c.dialog ? 1 : 0) << c.apart;
        ASSERT_EQ(rig.window.sounds.size(), c.dialog ? 1u : 0u) << c.apart;
        if (c.dialog) {
            const std::string wav = rig.files.temp + "temp.wav";
            EXPECT_EQ(rig.window.sounds[0], wav) << c.apart;
            EXPECT_EQ(rig.files.files[wav], "bytes of wav 401") << c.apart;
        }
    }
}

TEST(TimeGuardSteps, AMalformedReplyDoesNothing) {
    const struct {
        const char* name;
        HttpResponse response;
    } cases[] = {
        {"no brackets", {true, 200, "14:05:00"}},
        {"date does not convert", {true, 200, "[soon] (14:05:00)"}},
        {"no answer", {false, 0, ""}},
        {"error page", {true, 503, "[2020-01-01] (00:00:00)"}},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.globals.online = true;
        rig.http.response = c.response;
        rig.tick(5, 0);
        EXPECT_EQ(rig.http.requests.size(), 2u) << c.name << ": the first page, then the spare one";
        EXPECT_EQ(rig.window.dialogs, 0) << c.name;
        EXPECT_TRUE(rig.window.sounds.empty()) << c.name;
    }
}

TEST(TimeGuardSteps, NoNetworkAtMinute4SkipsTheGuardUntilALaterCheckSucceeds) {
    Rig rig;
    rig.globals.online = true;
    rig.connection.is_online = false;
    rig.tick(4, 0);
    EXPECT_FALSE(rig.globals.online);
    EXPECT_FALSE(rig.items.time_guard);
    EXPECT_FALSE(rig.items.home_page);
    EXPECT_TRUE(rig.checks.time_guard) << "the check mark stays";
    rig.http.serve(page_apart(rig.moment(5, 0).now, 900));
    rig.tick(5, 0);
    EXPECT_TRUE(rig.http.requests.empty());
    EXPECT_EQ(rig.window.dialogs, 0);

    rig.connection.is_online = true;
    rig.tick(4, 0);
    EXPECT_TRUE(rig.items.time_guard && rig.items.home_page);
    rig.tick(5, 0);
    EXPECT_EQ(rig.window.dialogs, 1);
}

TEST(TimeGuardSteps, InTheBackgroundTheStepsReturnAtOnceAndTheResultComesBackLater) {
    Rig rig;
    FakeBackground background;
    rig.ports.background = &background;
    TimeGuardSteps steps{rig.ports, rig.globals, rig.checks, rig.items};
    rig.globals.online = false;
    rig.http.serve(page_apart(rig.moment(5, 0).now, 900));

    steps.network_check(rig.moment(4, 0));
    EXPECT_TRUE(rig.window.item_changes.empty()) << "nothing before the check has waited";
    ASSERT_EQ(background.jobs.size(), 1u);
    background.finish_all();
    EXPECT_TRUE(rig.globals.online);
    ASSERT_EQ(rig.window.item_changes.size(), 1u);

    steps.time_guard(rig.moment(5, 0));
    EXPECT_TRUE(rig.http.requests.empty()) << "the page is fetched away from the tick";
    EXPECT_EQ(rig.window.dialogs, 0);
    background.finish_all();
    EXPECT_EQ(rig.http.requests.size(), 1u);
    EXPECT_EQ(rig.window.dialogs, 1) << "the dialog follows the minute-5 step's result";
    ASSERT_EQ(rig.window.readings.size(), 1u);
    EXPECT_EQ(rig.window.readings[0].time.local_seconds(), rig.moment(5, 0).now.local_seconds() + 900);
    EXPECT_EQ(rig.window.sounds.size(), 1u);

    // A check still waiting an hour later: the new one is left out.
    background.busy = true;
    steps.time_guard(rig.moment(5, 0));
    EXPECT_TRUE(background.jobs.empty());
}

TEST(TimeGuardSteps, AbsurdDatesOpenNoDialog) {
    for (const char* page : {"[9999-12-31] (23:59:59)", "[1601-01-01] (00:00:00)", "[0000-01-01] (00:00:00)"}) {
        Rig rig;
        rig.globals.online = true;
        rig.http.serve(page);
        rig.tick(5, 0);
        EXPECT_EQ(rig.window.dialogs, 0) << page;
        EXPECT_TRUE(rig.window.sounds.empty()) << page;
    }
}

}  // namespace
}  // namespace tockly
