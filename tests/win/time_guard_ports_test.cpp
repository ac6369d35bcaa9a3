// The time guard's adapters against the real (Wine) platform: ICMP echo to
// loopback, WinHTTP against a time-page server of our own, the loopback
// connection probe, and the refusal to set the clock.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "clock/windows/background_work.h"
#include "clock/windows/time_guard_ports.h"
#include "clock/windows/time_zone.h"
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
    win::LoopbackOnlineProbe probe(page_->url("/online"), http_);
    EXPECT_TRUE(probe.online());
    page_->control("mode=down");
    EXPECT_FALSE(probe.online());
    page_->control("mode=ok");
    EXPECT_TRUE(probe.online());
    const long long asked = page_->counter("online_requests");
    win::LoopbackOnlineProbe elsewhere("http://time.example:" + std::to_string(kPort) + "/online", http_);
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

// Serves this thread's messages until `done` holds or the time is up.
bool serve_messages_until(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto until = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > until) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
    return true;
}

TEST(WorkerBackground, JobsRunInTurnOnTheWorkerAndTheirResultsComeBackToTheWindowsThread) {
    win::WorkerBackground worker(GetModuleHandleW(nullptr));
    const DWORD window_thread = GetCurrentThreadId();
    std::atomic<DWORD> worked_on{0};
    std::atomic<bool> go_on{false};
    std::vector<std::string> results;  // only ever touched on this thread
    const auto where = [window_thread] { return GetCurrentThreadId() == window_thread ? "window" : "worker"; };
    ASSERT_TRUE(worker.queue([&]() -> Background::Result {
        worked_on = GetCurrentThreadId();
        while (!go_on) Sleep(5);
        return [&] { results.push_back(std::string("first on the ") + where()); };
    }));
    EXPECT_FALSE(worker.run([] { return Background::Result{}; })) << "busy: an hourly step is left out";
    ASSERT_TRUE(worker.queue([&]() -> Background::Result { return [&] { results.push_back("second"); }; }))
        << "the correction queues behind";
    go_on = true;
    ASSERT_TRUE(serve_messages_until([&] { return results.size() == 2; }, std::chrono::seconds(5)));
    EXPECT_EQ(results, (std::vector<std::string>{"first on the window", "second"}));
    EXPECT_NE(worked_on, window_thread);
    EXPECT_TRUE(worker.run([] { return Background::Result{}; })) << "idle again";
}

TEST(WorkerBackground, StopWaitsForTheJobUnderWayAndDropsTheRest) {
    win::WorkerBackground worker(GetModuleHandleW(nullptr));
    std::atomic<bool> started{false}, go_on{false}, second_ran{false};
    int results = 0;
    ASSERT_TRUE(worker.queue([&]() -> Background::Result {
        started = true;
        while (!go_on) Sleep(5);
        return [&] { ++results; };
    }));
    ASSERT_TRUE(worker.queue([&]() -> Background::Result {
        second_ran = true;
        return [&] { ++results; };
    }));
    while (!started) Sleep(5);
    std::thread later([&] {
        Sleep(200);
        go_on = true;
    });
    worker.stop();
    later.join();
    serve_messages_until([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(results, 0) << "no result after the exit began";
    EXPECT_FALSE(second_ran) << "a job not yet begun is dropped";
    EXPECT_FALSE(worker.queue([] { return Background::Result{}; }));
    EXPECT_FALSE(worker.run([] { return Background::Result{}; }));
}

TEST_F(TimePageTest, CancelEndsARequestThatHangsAtOnceAndEveryLaterOne) {
    page_->control("mode=hang");
    HttpResponse hung{true, 200, "untouched"};
    std::thread asking([&] { hung = http_.get(request("/time")); });
    const auto asked = Clock::now();
    while (page_->counter("time_requests") < 1 && Clock::now() - asked < std::chrono::seconds(3)) Sleep(20);
    ASSERT_EQ(page_->counter("time_requests"), 1);
    Sleep(300);
    const auto cancelled = Clock::now();
    http_.cancel();
    asking.join();
    EXPECT_LT(Clock::now() - cancelled, std::chrono::milliseconds(500)) << "the hanging request returned at once";
    EXPECT_FALSE(hung.complete);
    page_->control("mode=ok");
    const auto later = Clock::now();
    EXPECT_FALSE(http_.get(request("/time")).complete);
    EXPECT_LT(Clock::now() - later, std::chrono::milliseconds(100));
    EXPECT_EQ(page_->counter("time_requests"), 1) << "nothing is asked after the cancel";
}

TEST(Win32Echo, CancelFailsEveryLaterEcho) {
    win::Win32EchoService echo;
    ASSERT_TRUE(PingAddress(echo, "127.0.0.1"));
    echo.cancel();
    EXPECT_FALSE(PingAddress(echo, "127.0.0.1"));
}

}  // namespace
}  // namespace tockly
