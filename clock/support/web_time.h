// Web time and clock correction (module ShiJianXiaozheng): fetching the time
// page, reading its date and time, the 600-second rule, and setting the PC
// clock from the page.
//
// The time page is plain text (UTF-8) with the date after the first "[" up
// to the first "]" and the time after the first "(" up to the first ")",
// for example "[2026-05-09] (14:05:00)". It is local wall-clock time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "build_config.h"
#include "local_time.h"
#include "time_text.h"

namespace tockly {

struct HttpRequest {
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;
    // The whole request, from connecting to the last byte of the body.
    int timeout_ms = 0;
    // A longer body ends the request as failed.
    std::size_t max_body_bytes = 0;
};

struct HttpResponse {
    // False when the request failed, ran out of time or the body was too long.
    bool complete = false;
    int status = 0;
    std::string body;  // raw bytes
};

// One synchronous GET.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse get(const HttpRequest& request) = 0;
};

// Sets the system clock (local wall-clock time). False when the system
// refused, for example for want of the right to set it.
class ClockSetter {
public:
    virtual ~ClockSetter() = default;
    // The time of day on the date the clock shows now.
    virtual bool set_time_of_day(int seconds) = 0;
    // The date, keeping the time of day.
    virtual bool set_date(int year, unsigned month, unsigned day) = 0;
};

namespace web {
inline constexpr std::string_view time_page_url = TOCKLY_TIME_PAGE_URL;
inline constexpr std::string_view charset = "UTF-8";
// A server that accepts the connection and never answers must not freeze the
// clock, and a page of the size of a film must not fill its memory.
inline constexpr int fetch_timeout_ms = 5000;
inline constexpr std::size_t max_body_bytes = 64 * 1024;
inline constexpr int tolerance_seconds = 600;
}  // namespace web

// The page as text: a GET with "If-Modified-Since: 0", the body decoded with
// `Charset`. Empty when the fetch failed, timed out, the body was too long or
// the server answered with anything but success.
std::string FetchWebText(HttpClient& http, std::string_view Url, std::string_view Charset);

// Decodes a body. UTF-8 (any letter case) drops a byte-order mark and turns
// each invalid sequence into U+FFFD; any other character set gives nothing.
std::optional<std::string> BytesToText(std::string_view Bytes, std::string_view Charset);

struct PageTexts {
    std::string date;  // between the first "[" and the first "]"
    std::string time;  // between the first "(" and the first ")"
};

// Nothing when one of the four characters is missing or a closing one comes
// before its opening one.
std::optional<PageTexts> extract_page_texts(std::string_view page);

struct CalendarDate {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
};

// A date as people and pages write it, year first: 2026-05-09, 2026/5/9,
// 2026.5.9 or 2026年5月9日. Nothing for anything else or a day that does not exist.
std::optional<CalendarDate> parse_date_text(std::string_view text);

// Date text and time text together as one local date-time.
std::optional<LocalTime> web_date_time(const PageTexts& texts, const TimeFormat& format);

// Whole seconds from `pc` to `web` (positive when the web is ahead).
std::int64_t seconds_apart(const LocalTime& web, const LocalTime& pc);

// More than 600 seconds apart in either direction; exactly 600 is still right.
bool clock_is_wrong(const LocalTime& web, const LocalTime& pc);

// A plain HTTP address of this machine itself (127.x.x.x or localhost).
bool url_is_loopback(std::string_view url);

// The time page must be one nobody on the way can forge: HTTPS, or plain
// HTTP to this machine itself (the local time-page server of the test builds).
bool time_page_address_trusted(std::string_view url);

enum class ClockVerdict { right, wrong, no_answer };

// The hourly check: fetch the page, read it, compare it with the PC clock.
ClockVerdict check_clock(HttpClient& http, WallClock& clock, const TimeFormat& format,
                         std::string_view url = web::time_page_url);

enum class CorrectionOutcome { corrected, no_page, unreadable_page, time_refused, date_refused };

// Fetches the page again and sets the time of day, then the date. Both texts
// are read before anything is set, so a half-readable page changes nothing.
CorrectionOutcome correct_clock(HttpClient& http, ClockSetter& setter, const TimeFormat& format,
                                std::string_view url = web::time_page_url);

}  // namespace tockly
