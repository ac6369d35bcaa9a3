#include <gtest/gtest.h>

#include "clock/support/network_check.h"
#include "tests/host/clock/time_guard_fakes.h"

namespace tockly {
namespace {

using namespace test;

const std::string kIni = "C:\\Tockly\\Software_information.ini";
const BuiltInAddresses kBuiltIn{"127.0.0.1", "127.0.0.2", "127.0.0.3"};

struct Rig {
    FakeConnection connection;
    FakeEcho echo;
    FakeProfile profile;
    FakeBoxes boxes;
    NetworkPorts ports{connection, echo, {profile, boxes}, kIni, kBuiltIn};

    void set_IPtoping(std::string value) { profile.set(kIni, "pingipname", "IPtoping", std::move(value)); }
    bool check(bool* connected_out = nullptr) {
        bool connected = false;
        const bool result = CheckNetwork(ports, connected);
        if (connected_out) *connected_out = connected;
        return result;
    }
};

using Addresses = std::vector<std::string>;

TEST(CheckNetwork, NoConnectionMeansNoEcho) {
    Rig rig;
    rig.connection.is_online = false;
    rig.echo.status_of["127.0.0.1"] = 0;
    bool connected = true;
    EXPECT_FALSE(rig.check(&connected));
    EXPECT_FALSE(connected);
    EXPECT_TRUE(rig.echo.sent.empty());
    EXPECT_EQ(rig.echo.started, 0) << "not even the socket library is started";
}

TEST(CheckNetwork, TheFirstAnsweringAddressEndsTheList) {
    const struct {
        const char* name;
        std::map<std::string, std::int32_t> answering;
        bool expected;
        Addresses pinged;
    } cases[] = {
        {"gateway answers at once", {{"127.0.0.1", 0}}, true, {"127.0.0.1"}},
        {"IPtoping answers", {{"127.0.0.9", 0}}, true, {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.9"}},
        {"only the second public address answers", {{"127.0.0.3", 0}}, true,
         {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.9", "127.0.0.3"}},
        {"five timeouts", {}, false, {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.9", "127.0.0.3"}},
        {"an answer with another status is no answer", {{"127.0.0.1", 11050}, {"127.0.0.9", 1}}, false,
         {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.9", "127.0.0.3"}},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.set_IPtoping("127.0.0.9");
        rig.echo.status_of = c.answering;
        bool connected = false;
        EXPECT_EQ(rig.check(&connected), c.expected) << c.name;
        EXPECT_TRUE(connected) << c.name;
        EXPECT_EQ(rig.echo.addresses_sent(), c.pinged) << c.name;
        EXPECT_EQ(rig.echo.started, static_cast<int>(c.pinged.size())) << c.name;
        EXPECT_EQ(rig.echo.stopped, rig.echo.started) << c.name << ": every start is released";
    }
}

TEST(CheckNetwork, EveryEchoCarriesTanayaAndWaitsHalfASecond) {
    Rig rig;
    rig.check();
    ASSERT_EQ(rig.echo.sent.size(), 5u);
    for (const auto& sent : rig.echo.sent) {
        EXPECT_EQ(sent.payload, "tanaya");
        EXPECT_EQ(sent.timeout_ms, 500);
    }
}

TEST(CheckNetwork, TheFourthAddressComesFromIPtoping) {
    const struct {
        const char* name;
        std::optional<std::string> stored;
        std::string fourth;          // what ping_addresses lists
        Addresses pinged;            // what goes out as echo requests
    } cases[] = {
        {"spaces around a valid address", "  127.0.0.9  ", "127.0.0.9",
         {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.9", "127.0.0.3"}},
        {"empty value", "", "127.0.0.2", {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.2", "127.0.0.3"}},
        {"only spaces", "   ", "127.0.0.2", {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.2", "127.0.0.3"}},
        {"missing key", std::nullopt, "127.0.0.2",
         {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.2", "127.0.0.3"}},
        {"not an address", "time.example", "time.example",
         {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.3"}},
        {"an address part too large", "127.0.0.256", "127.0.0.256",
         {"127.0.0.1", "127.0.0.1", "127.0.0.1", "127.0.0.3"}},
    };
    for (const auto& c : cases) {
        Rig rig;
        if (c.stored) rig.set_IPtoping(*c.stored);
        const Addresses listed = ping_addresses(rig.ports);
        ASSERT_EQ(listed.size(), 5u) << c.name;
        EXPECT_EQ(listed[3], c.fourth) << c.name;
        EXPECT_FALSE(rig.check()) << c.name;
        EXPECT_EQ(rig.echo.addresses_sent(), c.pinged) << c.name;
    }
}

TEST(SendEcho, ATextThatIsNoAddressSendsNothing) {
    FakeEcho echo;
    EXPECT_EQ(SendEcho(echo, "bad", "tanaya"), -1);
    EXPECT_TRUE(echo.sent.empty());
    echo.status_of["127.0.0.1"] = 0;
    EXPECT_EQ(SendEcho(echo, "127.0.0.1", "tanaya"), 0);
}

TEST(PingStatusText, TheVocabularyOfTheOutcome) {
    const struct {
        std::int32_t status;
        const char* text;
    } cases[] = {
        {-1, "inet_addr: bad IP format"}, {0, "ip success"}, {500, "ping timeout"},
        {11010, ""}, {1, ""}, {-2, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(PingStatusText(c.status), c.text) << "status " << c.status;
}

}  // namespace
}  // namespace tockly
