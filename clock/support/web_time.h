// Web time and clock correction (module ShiJianXiaozheng): fetching the time
// page, reading its date and time, the 600-second rule, and setting the PC
// clock from the page.
//
// The time page is plain text (UTF-8) with the date after the first "[" up
// to the first "]" and the time after the first "(" up to the first ")",
// for example "[2026-05-09] (14:05:00)". It is local wall-clock time.
//
// A page without those two fields still tells the time: every HTTP server
// sends a `Date` header (UTC), which is converted with the platform's
// time-zone rules. So any always-on HTTPS site serves as a time page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "build_config.h"
#include "clock/support/local_time.h"
#include "clock/support/time_text.h"

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
    // False when the request failed, ran out of time, the body was too long
    // or was cut short (a chunked body without its last chunk).
    bool complete = false;
    int status = 0;
    std::string body;  // raw bytes
    std::string date_header;  // the "Date" value, empty when there was none
    std::string location;     // the "Location" value of a redirect
    std::optional<std::size_t> content_length;  // as the server declared it
};

// One synchronous GET that does not follow redirects by itself.
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

// The local time of an instant given in seconds since 1970-01-01 UTC, by the
// platform's time-zone rules for that instant (daylight saving included).
class TimeZone {
public:
    virtual ~TimeZone() = default;
    virtual std::optional<LocalTime> local_from_utc(std::int64_t unix_seconds) = 0;
};

// Milliseconds that only ever go forward, whatever happens to the PC clock.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t now_ms() = 0;
};

struct CalendarDate {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
};

namespace web {
inline constexpr std::string_view time_page_url = TOCKLY_TIME_PAGE_URL;
// Asked when the first page gives no usable time.
inline constexpr std::string_view spare_time_page_url = TOCKLY_SPARE_TIME_PAGE_URL;
// The day this program was built: no page can know a time before it.
inline constexpr CalendarDate build_date{TOCKLY_BUILD_YEAR, TOCKLY_BUILD_MONTH, TOCKLY_BUILD_DAY};
// Nor a time this far after it; a page that says so is broken or hostile.
inline constexpr int believable_years = 20;
// The correction's page must tell the same time as the check's, give or
// take this much beyond the time that passed between the two.
inline constexpr int agreement_seconds = 5;
// Redirects followed at most; the release follows only https ones, the
// builds that run here only ones to this machine.
inline constexpr int max_redirects = 3;
inline constexpr bool release_build = TOCKLY_RELEASE_BUILD;
inline constexpr std::string_view charset = "UTF-8";
// A server that accepts the connection and never answers must not freeze the
// clock, and a page of the size of a film must not fill its memory.
inline constexpr int fetch_timeout_ms = 5000;
inline constexpr std::size_t max_body_bytes = 64 * 1024;
inline constexpr int tolerance_seconds = 600;
}  // namespace web

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

// May a redirect lead there? In the release only to https; in the builds
// that run here only to this machine.
bool redirect_allowed(std::string_view target, bool release = web::release_build);

// Where a redirect's Location leads from `from`: absolute, or a path on the
// same server. Empty for anything else.
std::string redirect_target(std::string_view from, std::string_view location);

// An HTTP date ("Sun, 06 Nov 1994 08:49:37 GMT", and the two older forms
// RFC 9110 asks a reader to accept) as seconds since 1970-01-01 UTC.
std::optional<std::int64_t> parse_http_date(std::string_view text);

struct FetchedPage {
    std::string text;         // the body, decoded
    std::string date_header;  // the final response's "Date"
};

// The page after at most a few allowed redirects: each a GET with
// "If-Modified-Since: 0" within the fetch's time and size limits, the body
// decoded as UTF-8. Nothing when the fetch failed, timed out, was cut short,
// was too long, ended on anything but success or led somewhere it may not go.
std::optional<FetchedPage> fetch_page(HttpClient& http, std::string_view url);

// The time a page tells: the bracketed date and parenthesised time of its
// body first; where the body has none that read as a date and a time, its
// Date header in local time.
std::optional<LocalTime> page_time(const FetchedPage& page, const TimeFormat& format, TimeZone& zone);

// Not before the day before the build date (a day's grace for the time
// zones) and not more than 20 years after it.
bool page_time_believable(const LocalTime& t, const CalendarDate& build_date);

// Everything the check and the correction need to learn the time from the web.
struct WebTimePorts {
    HttpClient& http;
    TimeZone& zone;
    MonotonicClock& monotonic;
    TimeFormat format;
    std::vector<std::string> urls = {std::string(web::time_page_url), std::string(web::spare_time_page_url)};
    CalendarDate build_date = web::build_date;
};

// One believable time from the web and when (monotonic) it was read.
struct WebReading {
    LocalTime time;
    std::int64_t read_at_ms = 0;
};

// The first page of the list that gives a believable time; untrusted
// addresses are never asked.
std::optional<WebReading> read_web_time(const WebTimePorts& ports);

enum class ClockVerdict { right, wrong, no_answer };

struct ClockCheck {
    ClockVerdict verdict = ClockVerdict::no_answer;
    std::optional<WebReading> reading;  // what the verdict was made from
};

// The hourly check: fetch the page, read it, compare it with the PC clock.
ClockCheck check_clock(const WebTimePorts& ports, WallClock& clock);

enum class CorrectionOutcome { corrected, no_page, disagrees, time_refused, date_refused };

// Sets the time of day, then the date, from the correction's reading `now`
// (moved on by the time since it was read), but only when it agrees with
// the check's reading `first` (moved on by the time that passed between
// them). Without either reading nothing is set.
CorrectionOutcome apply_correction(const WebTimePorts& ports, ClockSetter& setter,
                                   const std::optional<WebReading>& now, const std::optional<WebReading>& first);

}  // namespace tockly
