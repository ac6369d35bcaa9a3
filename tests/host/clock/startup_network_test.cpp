// Step 13 of start-up: the time guard's network check, after the time-guard
// check mark and before the display toggles.
#include <gtest/gtest.h>

#include "clock/model/startup.h"
#include "clock/model/time_guard.h"
#include "tests/host/clock/time_guard_fakes.h"

namespace tockly {
namespace {

using namespace test;

constexpr std::string_view kDir = "C:\\Tockly\\";
const std::string kIni = std::string(kDir) + "Software_information.ini";

struct Rig : StartupFakes {
    FakeConnection connection;
    FakeEcho echo;
    FakeHttp http;
    FakeTimeZone zone;
    FakeMonotonic monotonic;
    FakeWallClock clock;
    RecordingClockWindow clock_window;
    TimeGuardStartupCheck check{{connection, echo, {profile, boxes},
                                 web_ports(http, zone, monotonic, {std::string(kTimePageUrl)}), clock, resources,
                                 files, clock_window, BuiltInAddresses{"127.0.0.1", "127.0.0.2", "127.0.0.3"}}};

    Rig() {
        files.files[kIni] = "[jianhu]\r\n";
        echo.status_of["127.0.0.1"] = 0;
    }
    StartupResult load() {
        return load_clock(ports(ScreenMetrics{}, &check), kDir);
    }
};

TEST(StartupNetworkCheck, SetsLianWangAndTheItemsAndKeepsTheCheckMark) {
    const struct {
        const char* name;
        std::string shijianJH;
        bool online;
        bool usable;
        bool checked;
    } cases[] = {
        {"online, guard on", "1", true, true, true},
        {"offline, guard on: checked but disabled", "1", false, false, true},
        {"offline, guard off", " 0 ", false, false, false},
        {"online, guard off", "0", true, true, false},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.profile.set(kIni, "jianhu", "shijianJH", c.shijianJH);
        rig.connection.is_online = c.online;
        const StartupResult r = rig.load();
        EXPECT_EQ(r.globals.online, c.usable) << c.name;
        EXPECT_EQ(r.network_items.time_guard, c.usable) << c.name;
        EXPECT_EQ(r.network_items.home_page, c.usable) << c.name;
        EXPECT_EQ(r.checks.time_guard, c.checked) << c.name;
        EXPECT_EQ(rig.clock_window.item_changes.size(), 1u) << c.name;
    }
}

TEST(StartupNetworkCheck, RunsAfterTheGuardMarkAndBeforeTheDisplayToggles) {
    Rig rig;
    // The check reads IPtoping: its read comes after shijianJH's and before XS_NianYue0's.
    std::vector<std::string> reads;
    struct Spy : FakeProfile {
        std::vector<std::string>* log = nullptr;
        ProfileRead read(std::string_view section, std::string_view key, std::string_view path) override {
            log->push_back(std::string(key));
            return FakeProfile::read(section, key, path);
        }
    } spy;
    spy.log = &reads;
    TimeGuardStartupCheck check{{rig.connection, rig.echo, {spy, rig.boxes},
                                 web_ports(rig.http, rig.zone, rig.monotonic, {std::string(kTimePageUrl)}),
                                 rig.clock, rig.resources, rig.files, rig.clock_window, BuiltInAddresses{"127.0.0.1", "127.0.0.2", "127.0.0.3"}}};
    load_clock({spy, rig.boxes, rig.files, rig.resources, rig.window, rig.notices, TimeFormat{}, ScreenMetrics{}, &check},
              kDir);
    const auto at = [&](std::string_view key) { return std::find(reads.begin(), reads.end(), key) - reads.begin(); };
    ASSERT_LT(at("IPtoping"), static_cast<long>(reads.size()));
    EXPECT_LT(at("shijianJH"), at("IPtoping"));
    EXPECT_LT(at("IPtoping"), at("XS_NianYue0"));
}

TEST(StartupNetworkCheck, WithoutACheckTheNetworkCountsAsUnusable) {
    Rig rig;
    const StartupResult r = load_clock(
        {rig.profile, rig.boxes, rig.files, rig.resources, rig.window, rig.notices, TimeFormat{}, ScreenMetrics{}},
        kDir);
    EXPECT_FALSE(r.globals.online);
    EXPECT_FALSE(r.network_items.time_guard || r.network_items.home_page);
}

TEST(StartupNetworkCheck, WithAWorkerStartUpDoesNotWaitAndTheAnswerComesLater) {
    for (const bool answer_before_attach : {false, true}) {
        Rig rig;
        FakeBackground background;
        TimeGuardPorts ports{rig.connection, rig.echo, {rig.profile, rig.boxes},
                             web_ports(rig.http, rig.zone, rig.monotonic, {std::string(kTimePageUrl)}),
                             rig.clock, rig.resources, rig.files, rig.clock_window,
                             BuiltInAddresses{"127.0.0.1", "127.0.0.2", "127.0.0.3"}};
        ports.background = &background;
        TimeGuardStartupCheck check{ports};
        StartupResult r = load_clock(rig.ports(ScreenMetrics{}, &check), kDir);
        EXPECT_TRUE(rig.window.visible) << "start-up ran to its end";
        EXPECT_EQ(rig.connection.asked, 0) << "nothing waited on in start-up";
        EXPECT_TRUE(rig.echo.sent.empty());
        EXPECT_FALSE(r.globals.online) << "unusable until the answer";
        EXPECT_FALSE(r.network_items.time_guard || r.network_items.home_page);
        ASSERT_EQ(background.jobs.size(), 1u);

        TimeGuardSteps steps{ports, r.globals, r.checks, r.network_items};
        if (!answer_before_attach) check.answer_to(steps);
        background.finish_all();
        if (answer_before_attach) check.answer_to(steps);
        EXPECT_EQ(rig.connection.asked, 1);
        EXPECT_TRUE(r.globals.online) << answer_before_attach;
        EXPECT_TRUE(r.network_items.time_guard && r.network_items.home_page) << answer_before_attach;
        EXPECT_EQ(rig.clock_window.item_changes.size(), 1u) << answer_before_attach;
    }
}

}  // namespace
}  // namespace tockly
