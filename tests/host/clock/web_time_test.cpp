#include <gtest/gtest.h>

#include "time_guard_fakes.h"
#include "web_time.h"

namespace tockly {
namespace {

using namespace test;

constexpr std::string_view kUrl = "http://127.0.0.1:18080/time";

TEST(FetchWebText, AsksForAFreshPageWithinLimits) {
    FakeHttp http;
    http.serve("[2026-05-09] (14:05:00)");
    EXPECT_EQ(FetchWebText(http, kUrl, "UTF-8"), "[2026-05-09] (14:05:00)");
    ASSERT_EQ(http.requests.size(), 1u);
    const HttpRequest& r = http.requests[0];
    EXPECT_EQ(r.url, kUrl);
    ASSERT_EQ(r.headers.size(), 1u);
    EXPECT_EQ(r.headers[0].first, "If-Modified-Since");
    EXPECT_EQ(r.headers[0].second, "0");
    EXPECT_GE(r.timeout_ms, 1000) << "a slow answer still arrives";
    EXPECT_LE(r.timeout_ms, 10000) << "a server that never answers must not freeze the clock";
    EXPECT_EQ(r.max_body_bytes, 65536u);
}

TEST(FetchWebText, WhatEndsAsAFailedFetch) {
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
        EXPECT_EQ(FetchWebText(http, kUrl, "UTF-8"), c.expected) << c.name;
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

TEST(CheckClock, AnUntrustedAddressIsNeverAsked) {
    FakeWallClock clock;
    FakeHttp http;
    http.serve(page_apart(clock.time, 900));
    EXPECT_EQ(check_clock(http, clock, TimeFormat{}, "http://time.example/now"), ClockVerdict::no_answer);
    EXPECT_TRUE(http.requests.empty());
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
        {"unreadable date changes nothing", "[someday] (12:00:00)", false, false,
         CorrectionOutcome::unreadable_page, {}},
        {"unreadable time changes nothing", "[2026-05-10] (noon)", false, false,
         CorrectionOutcome::unreadable_page, {}},
        {"no fields", "hello", false, false, CorrectionOutcome::unreadable_page, {}},
        {"no page", "", false, false, CorrectionOutcome::no_page, {}},
    };
    for (const auto& c : cases) {
        FakeHttp http;
        http.serve(c.page);
        FakeSetter setter;
        setter.refuse_time = c.refuse_time;
        setter.refuse_date = c.refuse_date;
        EXPECT_EQ(correct_clock(http, setter, TimeFormat{}, kUrl), c.outcome) << c.name;
        EXPECT_EQ(setter.calls, c.calls) << c.name;
    }
}

TEST(CorrectClock, AnUntrustedAddressNeverSetsTheClock) {
    FakeHttp http;
    http.serve("[2026-05-10] (00:00:30)");
    FakeSetter setter;
    EXPECT_EQ(correct_clock(http, setter, TimeFormat{}, "http://time.example/now"), CorrectionOutcome::no_page);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_TRUE(setter.calls.empty());
}

}  // namespace
}  // namespace tockly
