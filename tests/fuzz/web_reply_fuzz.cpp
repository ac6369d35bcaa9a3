// What a time page's server sends back: any status, headers and body. The
// platform's HTTP client takes the reply apart (status, Date, Location,
// Content-Length, body); everything after that is the clock's own: following
// redirects, decoding the body, the bracketed date and time, the Date header
// in its three forms, the believable range, and the check and correction that
// act on two readings.
//
// The input is one or more replies, each written as on the wire ("HTTP/1.1
// 200 OK", header lines, an empty line, the body) and separated by a line
// "--". The server gives them in turn, then the last one again and again.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "clock/support/web_time.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/profile_text.h"
#include "tests/host/clock/time_guard_fakes.h"

namespace tockly::fuzz {
namespace {

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && test::lower(text.substr(0, prefix.size())) == test::lower(prefix);
}

HttpResponse reply_of(std::string_view wire) {
    HttpResponse reply;
    reply.complete = true;
    const auto head_end = wire.find("\r\n\r\n");
    std::string_view head = wire.substr(0, head_end);
    reply.body = head_end == std::string_view::npos ? std::string() : std::string(wire.substr(head_end + 4));
    const auto line_end = head.find("\r\n");
    const std::string_view status_line = head.substr(0, line_end);
    const auto space = status_line.find(' ');
    for (std::size_t i = space == std::string_view::npos ? status_line.size() : space + 1;
         i < status_line.size() && i < space + 4 && status_line[i] >= '0' && status_line[i] <= '9'; ++i)
        reply.status = reply.status * 10 + (status_line[i] - '0');
    head.remove_prefix(line_end == std::string_view::npos ? head.size() : line_end + 2);
    while (!head.empty()) {
        auto end = head.find("\r\n");
        const std::string_view line = head.substr(0, end);
        head.remove_prefix(end == std::string_view::npos ? head.size() : end + 2);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view value = trim_blanks(line.substr(colon + 1));
        if (starts_with_nocase(line, "Date:")) reply.date_header = std::string(value);
        if (starts_with_nocase(line, "Location:")) reply.location = std::string(value);
        if (starts_with_nocase(line, "Content-Length:") && !value.empty() && value.size() < 10 &&
            value.find_first_not_of("0123456789") == std::string_view::npos)
            reply.content_length = std::stoul(std::string(value));
    }
    return reply;
}

std::vector<HttpResponse> replies_of(std::string_view input) {
    std::vector<HttpResponse> replies;
    constexpr std::string_view separator = "\r\n--\r\n";
    while (replies.size() < 8) {
        const auto at = input.find(separator);
        replies.push_back(reply_of(input.substr(0, at)));
        if (at == std::string_view::npos) break;
        input.remove_prefix(at + separator.size());
    }
    return replies;
}

// An IMF-fixdate ("Sun, 06 Nov 1994 08:49:37 GMT") of seconds since 1970.
std::string http_date_of(std::int64_t unix_seconds) {
    using namespace std::chrono;
    const std::int64_t of_day_seconds = ((unix_seconds % 86400) + 86400) % 86400;
    const sys_days date{days((unix_seconds - of_day_seconds) / 86400)};
    const year_month_day ymd(date);
    const int of_day = static_cast<int>(of_day_seconds);
    static const char* const weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02u %s %04d %02d:%02d:%02d GMT", weekdays[weekday(date).c_encoding()],
                  static_cast<unsigned>(ymd.day()), months[static_cast<unsigned>(ymd.month()) - 1],
                  static_cast<int>(ymd.year()), of_day / 3600, of_day / 60 % 60, of_day % 60);
    return text;
}

void check_local_time(const LocalTime& t) {
    using namespace std::chrono;
    if (!year_month_day(year(t.year), month(t.month), day(t.day)).ok() || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
        t.minute > 59 || t.second < 0 || t.second > 59)
        broken("a page time that is no date and time");
}

// The pieces one reply is read by, on their own.
void read_reply(const HttpResponse& reply) {
    if (const auto utc = parse_http_date(reply.date_header)) {
        if (parse_http_date(http_date_of(*utc)) != utc) broken("a Date header that does not read back the same");
    }
    if (const auto texts = extract_page_texts(reply.body)) {
        if (const auto t = web_date_time(*texts, TimeFormat{})) check_local_time(*t);
    }
    const std::string next = redirect_target(test::kTimePageUrl, reply.location);
    if (!next.empty() && !starts_with_nocase(next, "http://") && !starts_with_nocase(next, "https://"))
        broken("a redirect that leads to no web address");
}

// The hourly check and the correction, on the replies in turn.
void check_and_correct(const std::vector<HttpResponse>& replies) {
    test::WebFakes fakes;
    for (const HttpResponse& reply : replies) fakes.http.queue.push_back(reply);
    fakes.http.response = replies.back();
    const WebTimePorts ports = fakes.web({std::string(test::kTimePageUrl), std::string(test::kTimePageUrl) + "2"});
    test::FakeWallClock wall;
    const ClockCheck check = check_clock(ports, wall);
    if (check.reading) check_local_time(check.reading->time);
    fakes.monotonic.ms += 1500;
    test::FakeSetter setter;
    const auto second = read_web_time(ports);
    apply_correction(ports, setter, second, check.reading);
    for (const std::string& call : setter.calls) {
        if (call.rfind("time ", 0) == 0) {
            const int seconds = std::stoi(call.substr(5));
            if (seconds < 0 || seconds >= seconds_per_day) broken("a time of day outside the day");
        }
    }
    if (fakes.http.requests.size() > 2 * (1 + web::max_redirects) * ports.urls.size())
        broken("more requests than the redirects allow");
}

}  // namespace
}  // namespace tockly::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tockly::fuzz;
    const auto replies = replies_of(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& reply : replies) read_reply(reply);
    check_and_correct(replies);
    return 0;
}
