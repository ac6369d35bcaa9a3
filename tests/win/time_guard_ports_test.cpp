// The time guard's adapters against the real (Wine) platform: ICMP echo to
// loopback, WinHTTP against a time-page server of our own, the loopback
// connection probe, and the refusal to set the clock.
#include <gtest/gtest.h>

#include <cstring>

#include "clock/windows/background_work.h"

#include "clock/windows/time_guard_ports.h"
#include "tests/win/timepage_control.h"
#include "clock/support/web_time.h"

namespace tockly {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPort = 18081;

std::string server_binary() { return std::string(TOCKLY_SOURCE_DIR) + "/build/host/bin/timepage_server"; }

// One server for the whole suite.
class TimePageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        page_ = new wintest::TimePage(kPort);
        started_ = page_->start(server_binary());
    }
    static void TearDownTestSuite() {
        delete page_;
        page_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(started_) << "could not start " << server_binary() << " (build the host preset first)";
        page_->control("reset");
    }
    static HttpRequest request(const std::string& path) {
        HttpRequest r;
        r.url = page_->url(path);
        r.headers.emplace_back("If-Modified-Since", "0");
        r.timeout_ms = web::fetch_timeout_ms;
        r.max_body_bytes = web::max_body_bytes;
        return r;
    }
    static wintest::TimePage* page_;
    static bool started_;
    win::WinHttpClient http_;
};

wintest::TimePage* TimePageTest::page_ = nullptr;
bool TimePageTest::started_ = false;

TEST(Win32Echo, LoopbackAnswers) {
    win::Win32EchoService echo;
    EXPECT_TRUE(PingAddress(echo, " 127.0.0.1 "));
    EXPECT_TRUE(PingAddress(echo, "127.0.0.3"));
}

TEST(Win32Echo, TextsThatAreNoAddress) {
    win::Win32EchoService echo;
    for (const char* text : {"", "time.example", "127.0.0.256", "1.2.3.4.5"}) {
        EXPECT_FALSE(echo.address_of(text)) << text;
        EXPECT_EQ(SendEcho(echo, text, "tanaya"), -1) << text;
    }
    EXPECT_EQ(echo.address_of("127.0.0.2"), 0x7F000002u) << "first part in the high byte";
}

TEST_F(TimePageTest, APageArrivesWithTheHeader) {
    const HttpResponse r = http_.get(request("/time"));
    ASSERT_TRUE(r.complete);
    EXPECT_EQ(r.status, 200);
    EXPECT_TRUE(extract_page_texts(r.body)) << r.body;
    EXPECT_EQ(page_->field("if_modified_since"), "0");
}

TEST_F(TimePageTest, TheLoopbackProbeStandsForTheConnectionState) {
    win::LoopbackOnlineProbe probe(page_->url("/online"));
    EXPECT_TRUE(probe.online());
    page_->control("mode=down");
    EXPECT_FALSE(probe.online());
    page_->control("mode=ok");
    EXPECT_TRUE(probe.online());
    const long long asked = page_->counter("online_requests");
    win::LoopbackOnlineProbe elsewhere("http://time.example:" + std::to_string(kPort) + "/online");
    EXPECT_FALSE(elsewhere.online()) << "only a page of this machine may stand for the connection state";
    EXPECT_EQ(page_->counter("online_requests"), asked);
}

TEST_F(TimePageTest, CutRepliesFailAndTheDateHeaderArrives) {
    const struct {
        const char* mode;
        bool fetched;
    } cases[] = {{"ok", true}, {"header", true}, {"cut", false}, {"cutchunk", false}};
    for (const auto& c : cases) {
        page_->control(std::string("mode=") + c.mode);
        const auto page = fetch_page(http_, page_->url("/time"));
        ASSERT_EQ(page.has_value(), c.fetched) << c.mode;
        if (page) {
            EXPECT_TRUE(parse_http_date(page->date_header)) << c.mode << ": " << page->date_header;
        }
    }
}

TEST_F(TimePageTest, TheDateHeaderReadsAsTheLocalTimeOfNow) {
    page_->control("mode=header");
    win::Win32TimeZone zone;
    win::Win32MonotonicClock monotonic;
    const WebTimePorts ports{http_, zone, monotonic, TimeFormat{}, {page_->url("/time")}};
    const auto reading = read_web_time(ports);
    ASSERT_TRUE(reading);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const LocalTime pc{now.wYear, now.wMonth, now.wDay, 1, now.wHour, now.wMinute, now.wSecond};
    EXPECT_LE(std::llabs(seconds_apart(reading->time, pc)), 2);
}

TEST_F(TimePageTest, RedirectsAreLeftToTheCaller) {
    const HttpResponse r = http_.get(request("/moved"));
    ASSERT_TRUE(r.complete);
    EXPECT_EQ(r.status, 302) << "the HTTP client follows nothing by itself";
    EXPECT_EQ(r.location, "/time");
    EXPECT_TRUE(fetch_page(http_, page_->url("/moved"))) << "the caller follows it on this machine";
    EXPECT_EQ(page_->counter("time_requests"), 1);
}

// Wine's NtSetSystemTime refuses any change of more than half a second (it
// never touches the host clock); that was checked for Wine 8.0. Older Wines
// set the host clock, so the refusal is only tried on 8 or later.
bool wine_refuses_clock_changes() {
    using get_version = const char*(CDECL*)();
    const auto wine_get_version = reinterpret_cast<get_version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    if (!wine_get_version) return false;  // real Windows: never try to change the clock in a test
    return std::atoi(wine_get_version()) >= 8;
}

TEST(Win32ClockSetter, WineRefusesToSetTheClock) {
    if (!wine_refuses_clock_changes()) GTEST_SKIP() << "not on a Wine known to refuse clock changes";
    const auto now_ms = [] {
        FILETIME t{};
        GetSystemTimeAsFileTime(&t);
        return (static_cast<long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000;
    };
    SYSTEMTIME local{};
    GetLocalTime(&local);
    const long long before = now_ms();
    const int two_hours_on = ((local.wHour + 2) % 24) * 3600 + local.wMinute * 60 + local.wSecond;
    win::Win32ClockSetter setter;
    EXPECT_FALSE(setter.set_time_of_day(two_hours_on));
    EXPECT_FALSE(setter.set_date(local.wYear + 1, local.wMonth, 1));
    EXPECT_LT(now_ms() - before, 5000) << "the clock did not move";
}

}  // namespace
}  // namespace tockly
