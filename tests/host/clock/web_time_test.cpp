#include <gtest/gtest.h>

#include "tests/host/clock/time_guard_fakes.h"
#include "clock/support/web_time.h"

namespace tockly {
namespace {

using namespace test;


// The page's text, "" when the fetch failed.
std::string fetched_text(HttpClient& http) {
    const auto page = fetch_page(http, kTimePageUrl);
    return page ? page->text : std::string();
}

TEST(FetchPage, AsksForAFreshPageWithinLimits) {
    FakeHttp http;
    http.serve("[2026-05-09] (14:05:00)");
    EXPECT_EQ(fetched_text(http), "[2026-05-09] (14:05:00)");
    ASSERT_EQ(http.requests.size(), 1u);
    const HttpRequest& r = http.requests[0];
    EXPECT_EQ(r.url, kTimePageUrl);
    ASSERT_EQ(r.headers.size(), 1u);
    EXPECT_EQ(r.headers[0].first, "If-Modified-Since");
    EXPECT_EQ(r.headers[0].second, "0");
    EXPECT_GE(r.timeout_ms, 1000) << "a slow answer still arrives";
    EXPECT_LE(r.timeout_ms, 10000) << "a server that never answers must not freeze the clock";
    EXPECT_EQ(r.max_body_bytes, 65536u);
}

TEST(FetchPage, WhatEndsAsAFailedFetch) {
    const struct {
        const char* name;
        HttpResponse response;
        std::string expected;
    } cases[] = {
        {"no answer in time or no connection", {false, 0, ""}, ""},
        {"half a page when the time ran out", {false, 200, "[2026-05-09] (14:"}, ""},
        {"server error page", {true, 500, "[2026-05-09] (14:05:00)"}, ""},
        {"not found", {true, 404, "[2026-05-09] (14:05:00)"}, ""},
        {"body one byte over the cap", {true, 200, std::string(65537, 'x')}, ""},
        {"body exactly at the cap", {true, 200, std::string(65536, 'x')}, std::string(65536, 'x')},
        {"empty page", {true, 200, ""}, ""},
        {"204 is a success", {true, 204, "(a)[b]"}, "(a)[b]"},
    };
    for (const auto& c : cases) {
        FakeHttp http;
        http.response = c.response;
        EXPECT_EQ(fetched_text(http), c.expected) << c.name;
    }
}

TEST(BytesToText, DecodesUtf8) {
    const struct {
        const char* name;
        std::string bytes;
        std::string charset;
        std::optional<std::string> expected;
    } cases[] = {
        {"plain Chinese", "北京时间", "UTF-8", "北京时间"},
        {"byte-order mark dropped", "\xEF\xBB\xBF[x]", "UTF-8", "[x]"},
        {"invalid byte replaced", "a\xFF" "b", "UTF-8", "a\xEF\xBF\xBD" "b"},
        {"overlong slash replaced", "\xC0\xAF", "UTF-8", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate half replaced", "\xED\xA0\x80", "UTF-8", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"four-byte character kept", "\xF0\x9F\x95\x90", "UTF-8", "\xF0\x9F\x95\x90"},
        {"other character set", "abc", "GB2312", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(BytesToText(c.bytes, c.charset), c.expected) << c.name;
}

TEST(ExtractPageTexts, TheFirstBracketsAndTheFirstParentheses) {
    const struct {
        const char* name;
        std::string page;
        std::optional<std::string> date, time;  // both nothing: extraction fails
    } cases[] = {
        {"inside other text", "<p>北京时间 [2026-05-09] 现在 (14:05:00) 谢谢</p>", "2026-05-09", "14:05:00"},
        {"a second pair is ignored", "[2026-05-09](14:05:00) [1999-01-01] (00:00:00)", "2026-05-09", "14:05:00"},
        {"time before date", "(8:00:00) [2026-1-2]", "2026-1-2", "8:00:00"},
        {"empty brackets give empty texts", "[](x)", "", "x"},
        {"']' before '['", "]2026-05-09[ (14:05:00)", std::nullopt, std::nullopt},
        {"')' before '('", "[2026-05-09] )14:05:00(", std::nullopt, std::nullopt},
        {"no parentheses", "[2026-05-09] 14:05:00", std::nullopt, std::nullopt},
        {"no brackets", "2026-05-09 (14:05:00)", std::nullopt, std::nullopt},
        {"empty body", "", std::nullopt, std::nullopt},
        {"closing bracket of a later pair first", "] [2026-05-09] (14:05:00)", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = extract_page_texts(c.page);
        if (!c.date) {
            EXPECT_FALSE(got) << c.name;
            continue;
        }
        ASSERT_TRUE(got) << c.name;
        EXPECT_EQ(got->date, *c.date) << c.name;
        EXPECT_EQ(got->time, *c.time) << c.name;
    }
}

TEST(ParseDateText, YearFirstForms) {
    const struct {
        const char* text;
        std::optional<std::tuple<int, unsigned, unsigned>> expected;
    } cases[] = {
        {"2026-05-09", std::tuple{2026, 5u, 9u}},
        {"2026/5/9", std::tuple{2026, 5u, 9u}},
        {" 2026-5-9 ", std::tuple{2026, 5u, 9u}},
        {"2026年5月9日", std::tuple{2026, 5u, 9u}},
        {"2026年05月09", std::tuple{2026, 5u, 9u}},
        {"2024-02-29", std::tuple{2024, 2u, 29u}},
        {"2026-02-29", std::nullopt},
        {"2026-13-01", std::nullopt},
        {"2026-00-10", std::nullopt},
        {"2026-5/9", std::nullopt},
        {"26-5-9", std::nullopt},
        {"2026-5-9x", std::nullopt},
        {"", std::nullopt},
        {"今天", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = parse_date_text(c.text);
        if (!c.expected) {
            EXPECT_FALSE(got) << c.text;
            continue;
        }
        ASSERT_TRUE(got) << c.text;
        EXPECT_EQ(std::tuple(got->year, got->month, got->day), *c.expected) << c.text;
    }
}

TEST(WebDateTime, DateAndTimeMakeOneLocalTime) {
    const auto t = web_date_time({"2026-05-09", "14:05:07"}, TimeFormat{});
    ASSERT_TRUE(t);
    EXPECT_EQ(t->year, 2026);
    EXPECT_EQ(t->hour, 14);
    EXPECT_EQ(t->minute, 5);
    EXPECT_EQ(t->second, 7);
    EXPECT_EQ(t->weekday, 6u) << "9 May 2026 is a Saturday";
    EXPECT_FALSE(web_date_time({"2026-05-09", "25:00:00"}, TimeFormat{}));
    EXPECT_FALSE(web_date_time({"garbage", "14:05:00"}, TimeFormat{}));
    EXPECT_TRUE(web_date_time({"2026-05-09", "下午 2:05:00"}, TimeFormat{"tt h:mm:ss"}))
        << "the regional form reads back";
}

TEST(ClockIsWrong, MoreThan600SecondsEitherWay) {
    const LocalTime pc = local_time_at(LocalTime{2026, 5, 9, 6, 14, 5, 0}.local_seconds());
    const struct {
        std::int64_t apart;
        bool wrong;
    } cases[] = {
        {0, false}, {599, false}, {600, false}, {601, true}, {-599, false}, {-600, false}, {-601, true},
        {900, true}, {-86400, true},
    };
    for (const auto& c : cases) {
        const LocalTime web = local_time_at(pc.local_seconds() + c.apart);
        EXPECT_EQ(seconds_apart(web, pc), c.apart) << c.apart;
        EXPECT_EQ(clock_is_wrong(web, pc), c.wrong) << c.apart << " seconds apart";
    }
}

TEST(ClockIsWrong, CountsAcrossMidnightAndMonthEnds) {
    const LocalTime pc = local_time_at(LocalTime{2026, 4, 30, 4, 23, 55, 0}.local_seconds());
    const auto web = web_date_time({"2026-05-01", "00:05:00"}, TimeFormat{});
    ASSERT_TRUE(web);
    EXPECT_EQ(seconds_apart(*web, pc), 600);
    EXPECT_FALSE(clock_is_wrong(*web, pc));
}

TEST(TimePageAddress, OnlyHttpsOrThisMachine) {
    const struct {
        const char* url;
        bool trusted;
    } cases[] = {
        {"https://time.example/now", true},
        {"HTTPS://time.example/now", true},
        {"http://127.0.0.1:18080/time", true},
        {"http://127.1.2.3/time", true},
        {"http://localhost:18080/time", true},
        {"http://time.example/now", false},
        {"http://127.0.0.1.example/time", false},
        {"http://127.0.0.1@time.example/now", false},
        {"http://128.0.0.1/time", false},
        {"http://127.0.0.256/", false},
        {"ftp://127.0.0.1/time", false},
        {"https://", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(time_page_address_trusted(c.url), c.trusted) << c.url;
}

struct WebRig {
    FakeHttp http;
    FakeTimeZone zone;
    FakeMonotonic monotonic;
    FakeSetter setter;
    WebTimePorts ports = web_ports(http, zone, monotonic, {std::string(kTimePageUrl)});
};

// The correction as the time-check dialog makes it: the page fetched again,
// then applied.
CorrectionOutcome correct_clock(WebRig& rig, const std::optional<WebReading>& first) {
    return apply_correction(rig.ports, rig.setter, read_web_time(rig.ports), first);
}

LocalTime at(int year, unsigned month, unsigned day, int hour, int minute, int second) {
    return local_time_at(LocalTime{year, month, day, 1, hour, minute, second}.local_seconds());
}

TEST(CheckClock, AnUntrustedAddressIsNeverAsked) {
    WebRig rig;
    FakeWallClock clock;
    rig.http.serve(page_apart(clock.time, 900));
    rig.ports.urls = {"http://time.example/now"};
    EXPECT_EQ(check_clock(rig.ports, clock).verdict, ClockVerdict::no_answer);
    EXPECT_TRUE(rig.http.requests.empty());
}

TEST(CorrectClock, TimeOfDayFirstThenDate) {
    const struct {
        const char* name;
        std::string page;
        bool refuse_time, refuse_date;
        CorrectionOutcome outcome;
        std::vector<std::string> calls;
    } cases[] = {
        {"across midnight", "[2026-05-10] (00:00:30)", false, false, CorrectionOutcome::corrected,
         {"time 30", "date 2026-5-10"}},
        {"no right to set the clock", "[2026-05-10] (00:00:30)", true, false, CorrectionOutcome::time_refused,
         {"time 30"}},
        {"date refused keeps the time", "[2026-05-10] (00:00:30)", false, true, CorrectionOutcome::date_refused,
         {"time 30", "date 2026-5-10"}},
        {"unreadable date changes nothing", "[someday] (12:00:00)", false, false, CorrectionOutcome::no_page, {}},
        {"unreadable time changes nothing", "[2026-05-10] (noon)", false, false, CorrectionOutcome::no_page, {}},
        {"no fields", "hello", false, false, CorrectionOutcome::no_page, {}},
        {"no page", "", false, false, CorrectionOutcome::no_page, {}},
    };
    for (const auto& c : cases) {
        WebRig rig;
        rig.http.serve(c.page);
        rig.setter.refuse_time = c.refuse_time;
        rig.setter.refuse_date = c.refuse_date;
        const WebReading first{at(2026, 5, 10, 0, 0, 30), rig.monotonic.ms};
        EXPECT_EQ(correct_clock(rig, first), c.outcome) << c.name;
        EXPECT_EQ(rig.setter.calls, c.calls) << c.name;
    }
}

TEST(CorrectClock, OnlyATimeThatAgreesWithTheCheckIsSet) {
    const struct {
        const char* name;
        std::int64_t page_ahead;  // the correction's page against the check's reading, seconds
        std::int64_t elapsed_ms;  // between the two readings
        std::int64_t set_after_ms;  // between the correction's reading and the setting
        std::optional<std::string> time_set;
    } cases[] = {
        {"same time, no wait", 0, 0, 0, "time 51600"},
        {"8 s later, 8 s passed", 8, 8000, 0, "time 51608"},
        {"5 s off still agrees", 5, 0, 0, "time 51605"},
        {"6 s off disagrees", 6, 0, 0, std::nullopt},
        {"an hour back although 8 s passed", -3600 + 8, 8000, 0, std::nullopt},
        {"the time spent after reading is added", 0, 0, 2000, "time 51602"},
    };
    for (const auto& c : cases) {
        WebRig rig;
        const LocalTime checked = at(2026, 5, 9, 14, 20, 0);
        const WebReading first{checked, rig.monotonic.ms};
        const auto now = WebReading{local_time_at(checked.local_seconds() + c.page_ahead), first.read_at_ms + c.elapsed_ms};
        rig.monotonic.ms = now.read_at_ms + c.set_after_ms;
        const auto outcome = apply_correction(rig.ports, rig.setter, now, first);
        if (c.time_set) {
            EXPECT_EQ(outcome, CorrectionOutcome::corrected) << c.name;
            ASSERT_FALSE(rig.setter.calls.empty()) << c.name;
            EXPECT_EQ(rig.setter.calls[0], *c.time_set) << c.name;
        } else {
            EXPECT_EQ(outcome, CorrectionOutcome::disagrees) << c.name;
            EXPECT_TRUE(rig.setter.calls.empty()) << c.name;
        }
    }
    WebRig rig;
    rig.http.serve("[2026-05-09] (14:20:00)");
    EXPECT_EQ(correct_clock(rig, std::nullopt), CorrectionOutcome::disagrees)
        << "no check to agree with";
    EXPECT_TRUE(rig.setter.calls.empty());
}

TEST(CorrectClock, AnUntrustedAddressNeverSetsTheClock) {
    WebRig rig;
    rig.http.serve("[2026-05-10] (00:00:30)");
    rig.ports.urls = {"http://time.example/now"};
    const WebReading first{at(2026, 5, 10, 0, 0, 30), rig.monotonic.ms};
    EXPECT_EQ(correct_clock(rig, first), CorrectionOutcome::no_page);
    EXPECT_TRUE(rig.http.requests.empty());
    EXPECT_TRUE(rig.setter.calls.empty());
}

TEST(ParseHttpDate, TheThreeFormsInUtc) {
    const struct {
        const char* text;
        std::optional<std::int64_t> unix_seconds;
    } cases[] = {
        {"Sun, 06 Nov 1994 08:49:37 GMT", 784111777},
        {"Sunday, 06-Nov-94 08:49:37 GMT", 784111777},
        {"Sun Nov  6 08:49:37 1994", 784111777},
        {"Mon, 07 Dec 2026 16:30:00 GMT", 1796661000},
        {"Thu, 29 Feb 2024 23:59:59 GMT", 1709251199},
        {"Fri, 31 Dec 9999 23:59:59 GMT", 253402300799},
        {"Sun, 06 Nov 1994 08:49:37 UTC", std::nullopt},
        {"Sun, 6 Nov 1994 08:49:37 GMT", std::nullopt},
        {"Sun, 30 Feb 1994 08:49:37 GMT", std::nullopt},
        {"Sun, 06 Nov 1994 24:00:00 GMT", std::nullopt},
        {"Sun, 06 Nob 1994 08:49:37 GMT", std::nullopt},
        {"06 Nov 1994 08:49:37 GMT", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_http_date(c.text), c.unix_seconds) << c.text;
}

TEST(PageTime, TheBodyFirstThenTheDateHeader) {
    const struct {
        const char* name;
        std::string body, date_header;
        std::optional<std::string> expected;  // "Y-M-D h:m:s"
    } cases[] = {
        {"bracket page", "[2026-05-09] (14:05:00)", "Mon, 07 Dec 2026 16:30:00 GMT", "2026-5-9 14:5:0"},
        {"no fields: the header, at UTC+8", "User-agent: *", "Mon, 07 Dec 2026 16:30:00 GMT", "2026-12-8 0:30:0"},
        {"fields that are no date: the header", "var a = [1, 2]; f(x);", "Mon, 07 Dec 2026 16:30:00 GMT",
         "2026-12-8 0:30:0"},
        {"neither", "hello", "", std::nullopt},
        {"header that is no date", "hello", "yesterday", std::nullopt},
    };
    for (const auto& c : cases) {
        FakeTimeZone zone;
        const auto t = page_time(FetchedPage{c.body, c.date_header}, TimeFormat{}, zone);
        ASSERT_EQ(t.has_value(), c.expected.has_value()) << c.name;
        if (!t) continue;
        const std::string got = std::to_string(t->year) + "-" + std::to_string(t->month) + "-" +
                                std::to_string(t->day) + " " + std::to_string(t->hour) + ":" +
                                std::to_string(t->minute) + ":" + std::to_string(t->second);
        EXPECT_EQ(got, *c.expected) << c.name;
    }
}

TEST(PageTimeBelievable, FromTheDayBeforeTheBuildTo20YearsAfter) {
    const CalendarDate built{2026, 12, 7};
    const struct {
        LocalTime t;
        bool believable;
    } cases[] = {
        {at(2026, 12, 6, 0, 0, 0), true},    {at(2026, 12, 5, 23, 59, 59), false},
        {at(2046, 12, 7, 0, 0, 0), true},    {at(2046, 12, 7, 0, 0, 1), false},
        {at(2030, 6, 1, 12, 0, 0), true},    {at(9999, 12, 31, 0, 0, 0), false},
        {at(1601, 1, 1, 0, 0, 0), false},    {at(0, 1, 1, 0, 0, 0), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(page_time_believable(c.t, built), c.believable) << c.t.year << "-" << c.t.month << "-" << c.t.day;
    EXPECT_TRUE(page_time_believable(at(2044, 2, 29, 0, 0, 0), {2024, 2, 29})) << "no 29 February in 2044 needed";
}

TEST(ReadWebTime, AbsurdOrMissingTimesFallToTheSparePage) {
    const struct {
        const char* name;
        HttpResponse first;
        bool spare_asked;
        std::optional<int> year;
    } cases[] = {
        {"a good first page", {true, 200, "[2026-05-09] (14:05:00)"}, false, 2026},
        {"9999-12-31", {true, 200, "[9999-12-31] (23:59:59)"}, true, 2027},
        {"1601-01-01", {true, 200, "[1601-01-01] (00:00:00)"}, true, 2027},
        {"0000-01-01", {true, 200, "[0000-01-01] (00:00:00)"}, true, 2027},
        {"cut short of its length", {true, 200, "[2026-05-09] (14:05:00)", "", "", 400}, true, 2027},
        {"no answer", {false, 0, ""}, true, 2027},
    };
    for (const auto& c : cases) {
        WebRig rig;
        rig.ports.urls = {std::string(kTimePageUrl), "http://127.0.0.1:18080/spare"};
        rig.http.queue.push_back(c.first);
        rig.http.serve("[2027-01-01] (00:00:00)");
        const auto reading = read_web_time(rig.ports);
        EXPECT_EQ(rig.http.requests.size(), c.spare_asked ? 2u : 1u) << c.name;
        ASSERT_TRUE(reading) << c.name;
        EXPECT_EQ(reading->time.year, c.year) << c.name;
        EXPECT_EQ(reading->read_at_ms, rig.monotonic.ms) << c.name;
    }
    WebRig rig;
    rig.http.serve("[9999-12-31] (23:59:59)");
    EXPECT_FALSE(read_web_time(rig.ports)) << "no believable page: no time";
}

TEST(FetchPage, RedirectsOnlyWhereTheyMayGo) {
    const auto redirect = [](std::string location) {
        HttpResponse r{true, 302, ""};
        r.location = std::move(location);
        return r;
    };
    const struct {
        const char* name;
        std::vector<HttpResponse> replies;
        bool fetched;
        std::size_t requests;
    } cases[] = {
        {"to this machine", {redirect("http://127.0.0.1:18080/time2")}, true, 2},
        {"a path on the same server", {redirect("/time2")}, true, 2},
        {"outside this machine", {redirect("http://time.example/")}, false, 1},
        {"https outside", {redirect("https://time.example/")}, false, 1},
        {"three hops", {redirect("/a"), redirect("/b"), redirect("/c")}, true, 4},
        {"four hops", {redirect("/a"), redirect("/b"), redirect("/c"), redirect("/d")}, false, 4},
        {"without a Location", {redirect("")}, false, 1},
    };
    for (const auto& c : cases) {
        FakeHttp http;
        for (const auto& r : c.replies) http.queue.push_back(r);
        http.serve("[2026-05-09] (14:05:00)");
        EXPECT_EQ(fetch_page(http, kTimePageUrl).has_value(), c.fetched) << c.name;
        EXPECT_EQ(http.requests.size(), c.requests) << c.name;
    }
    FakeHttp http;
    http.queue.push_back(redirect("/time2"));
    fetch_page(http, kTimePageUrl);
    ASSERT_EQ(http.requests.size(), 2u);
    EXPECT_EQ(http.requests[1].url, "http://127.0.0.1:18080/time2");
}

TEST(RedirectAllowed, TheReleaseFollowsOnlyHttps) {
    EXPECT_TRUE(redirect_allowed("https://www.example.cn/x", true));
    EXPECT_FALSE(redirect_allowed("http://www.example.cn/x", true));
    EXPECT_FALSE(redirect_allowed("http://127.0.0.1/x", true));
    EXPECT_TRUE(redirect_allowed("http://127.0.0.1/x", false));
    EXPECT_FALSE(redirect_allowed("https://www.example.cn/x", false));
}

}  // namespace
}  // namespace tockly
