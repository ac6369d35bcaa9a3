#include "clock/support/web_time.h"

#include <algorithm>
#include <cctype>
#include <chrono>

namespace tockly {

namespace {

std::string lower_ascii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Length of the valid UTF-8 sequence at the start of `s`, 0 when it is not one.
std::size_t valid_sequence_length(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < n) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < n; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return n;
}

// Reads 1 to max_digits digits.
std::optional<int> take_digits(std::string_view& text, std::size_t min_digits, std::size_t max_digits) {
    std::size_t n = 0;
    int value = 0;
    while (n < text.size() && n < max_digits && text[n] >= '0' && text[n] <= '9') value = value * 10 + (text[n++] - '0');
    if (n < min_digits) return std::nullopt;
    text.remove_prefix(n);
    return value;
}

bool take(std::string_view& text, std::string_view word) {
    if (text.substr(0, word.size()) != word) return false;
    text.remove_prefix(word.size());
    return true;
}

bool is_loopback_host(std::string_view host) {
    if (lower_ascii(host) == "localhost") return true;
    // 127.d.d.d with every part 0..255
    std::string_view rest = host;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && !take(rest, ".")) return false;
        const auto value = take_digits(rest, 1, 3);
        if (!value || *value > 255 || (part == 0 && *value != 127)) return false;
    }
    return rest.empty();
}

}  // namespace

namespace {

HttpResponse get_once(HttpClient& http, std::string_view url) {
    HttpRequest request;
    request.url = std::string(url);
    request.headers.emplace_back("If-Modified-Since", "0");
    request.timeout_ms = web::fetch_timeout_ms;
    request.max_body_bytes = web::max_body_bytes;
    try {
        return http.get(request);
    } catch (...) {
        return {};
    }
}

bool is_redirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

std::optional<FetchedPage> fetch_page(HttpClient& http, std::string_view url) {
    std::string at(url);
    for (int hops = 0;; ++hops) {
        const HttpResponse response = get_once(http, at);
        if (!response.complete || response.body.size() > web::max_body_bytes) return std::nullopt;
        // A reply that ends before the length it announced was cut on the
        // way: whatever it holds is not the page.
        if (response.content_length && *response.content_length != response.body.size()) return std::nullopt;
        if (is_redirect(response.status)) {
            const std::string next = redirect_target(at, response.location);
            if (hops >= web::max_redirects || next.empty() || !redirect_allowed(next)) return std::nullopt;
            at = next;
            continue;
        }
        // An error page is no time page, whatever brackets it may hold.
        if (response.status < 200 || response.status > 299) return std::nullopt;
        auto text = BytesToText(response.body, web::charset);
        if (!text) return std::nullopt;
        return FetchedPage{std::move(*text), response.date_header};
    }
}

std::optional<std::string> BytesToText(std::string_view Bytes, std::string_view Charset) {
    const std::string name = lower_ascii(Charset);
    if (name != "utf-8" && name != "utf8") return std::nullopt;
    if (Bytes.substr(0, 3) == "\xEF\xBB\xBF") Bytes.remove_prefix(3);
    std::string text;
    text.reserve(Bytes.size());
    while (!Bytes.empty()) {
        const std::size_t n = valid_sequence_length(Bytes);
        if (n == 0) {
            text += "\xEF\xBF\xBD";
            Bytes.remove_prefix(1);
        } else {
            text.append(Bytes.substr(0, n));
            Bytes.remove_prefix(n);
        }
    }
    return text;
}

std::optional<PageTexts> extract_page_texts(std::string_view page) {
    // The four characters are ASCII, so byte positions serve as well as
    // character positions.
    const auto between = [&](char open, char close) -> std::optional<std::string> {
        const auto p1 = page.find(open), p2 = page.find(close);
        if (p1 == std::string_view::npos || p2 == std::string_view::npos || p2 < p1) return std::nullopt;
        return std::string(page.substr(p1 + 1, p2 - p1 - 1));
    };
    auto date = between('[', ']');
    auto time = between('(', ')');
    if (!date || !time) return std::nullopt;
    return PageTexts{std::move(*date), std::move(*time)};
}

std::optional<CalendarDate> parse_date_text(std::string_view text) {
    text = trim_blanks(text);
    const auto year = take_digits(text, 4, 4);
    if (!year) return std::nullopt;
    bool chinese = false;
    char separator = 0;
    if (take(text, "年")) {
        chinese = true;
    } else if (!text.empty() && (text[0] == '-' || text[0] == '/' || text[0] == '.')) {
        separator = text[0];
        text.remove_prefix(1);
    } else {
        return std::nullopt;
    }
    const auto month = take_digits(text, 1, 2);
    if (!month) return std::nullopt;
    if (chinese ? !take(text, "月") : !take(text, std::string_view(&separator, 1))) return std::nullopt;
    const auto day = take_digits(text, 1, 2);
    if (!day) return std::nullopt;
    if (chinese) take(text, "日");
    if (!text.empty()) return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year(*year), std::chrono::month(static_cast<unsigned>(*month)),
                                          std::chrono::day(static_cast<unsigned>(*day))};
    if (!ymd.ok()) return std::nullopt;
    return CalendarDate{*year, static_cast<unsigned>(*month), static_cast<unsigned>(*day)};
}

std::optional<LocalTime> web_date_time(const PageTexts& texts, const TimeFormat& format) {
    const auto date = parse_date_text(texts.date);
    const auto time = parse_time_of_day(trim_blanks(texts.time), format);
    if (!date || !time) return std::nullopt;
    LocalTime t;
    t.year = date->year;
    t.month = date->month;
    t.day = date->day;
    t.hour = *time / 3600;
    t.minute = *time / 60 % 60;
    t.second = *time % 60;
    return local_time_at(t.local_seconds());  // fills in the weekday
}

std::int64_t seconds_apart(const LocalTime& web, const LocalTime& pc) {
    return web.local_seconds() - pc.local_seconds();
}

bool clock_is_wrong(const LocalTime& web, const LocalTime& pc) {
    const std::int64_t apart = seconds_apart(web, pc);
    return apart > web::tolerance_seconds || apart < -web::tolerance_seconds;
}

bool time_page_address_trusted(std::string_view url) {
    const std::string lowered = lower_ascii(url);
    if (lowered.rfind("https://", 0) == 0) return lowered.size() > 8;
    return url_is_loopback(url);
}

bool url_is_loopback(std::string_view url) {
    const std::string lowered = lower_ascii(url);
    constexpr std::string_view http = "http://";
    if (lowered.rfind(http, 0) != 0) return false;
    std::string_view rest = std::string_view(lowered).substr(http.size());
    const auto end = rest.find_first_of(":/?#");
    return is_loopback_host(rest.substr(0, end));
}

bool redirect_allowed(std::string_view target, bool release) {
    if (release) return lower_ascii(target).rfind("https://", 0) == 0 && target.size() > 8;
    return url_is_loopback(target);
}

std::string redirect_target(std::string_view from, std::string_view location) {
    location = trim_blanks(location);
    const std::string lowered = lower_ascii(location);
    if (lowered.rfind("https://", 0) == 0 || lowered.rfind("http://", 0) == 0) return std::string(location);
    if (location.empty() || location[0] != '/' || location.substr(0, 2) == "//") return {};
    const auto scheme_end = from.find("://");
    if (scheme_end == std::string_view::npos) return {};
    const auto path_start = from.find('/', scheme_end + 3);
    return std::string(from.substr(0, path_start)) + std::string(location);
}

namespace {

constexpr std::string_view month_names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::string_view day_names[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

std::optional<unsigned> take_month(std::string_view& text) {
    for (unsigned m = 0; m < 12; ++m)
        if (take(text, month_names[m])) return m + 1;
    return std::nullopt;
}

// "08:49:37" as seconds of the day.
std::optional<int> take_clock_time(std::string_view& text) {
    const auto h = take_digits(text, 2, 2);
    if (!h || !take(text, ":")) return std::nullopt;
    const auto m = take_digits(text, 2, 2);
    if (!m || !take(text, ":")) return std::nullopt;
    const auto s = take_digits(text, 2, 2);
    // 60 is a leap second; it reads as the next second's start.
    if (!s || *h > 23 || *m > 59 || *s > 60) return std::nullopt;
    return *h * 3600 + *m * 60 + *s;
}

std::optional<std::int64_t> utc_seconds(int year, unsigned month, int day, int of_day) {
    const std::chrono::year_month_day ymd{std::chrono::year(year), std::chrono::month(month),
                                          std::chrono::day(static_cast<unsigned>(day))};
    if (day < 1 || !ymd.ok()) return std::nullopt;
    return static_cast<std::int64_t>(std::chrono::sys_days(ymd).time_since_epoch().count()) * 86400 + of_day;
}

}  // namespace

std::optional<std::int64_t> parse_http_date(std::string_view text) {
    text = trim_blanks(text);
    std::string_view t = text;
    // The weekday name only introduces the date; the date itself decides.
    bool named = false;
    for (auto name : day_names) named = named || take(t, name);
    if (!named) return std::nullopt;
    if (take(t, ", ")) {
        // IMF-fixdate: "Sun, 06 Nov 1994 08:49:37 GMT"
        const auto day = take_digits(t, 2, 2);
        if (!day || !take(t, " ")) return std::nullopt;
        const auto month = take_month(t);
        if (!month || !take(t, " ")) return std::nullopt;
        const auto year = take_digits(t, 4, 4);
        if (!year || !take(t, " ")) return std::nullopt;
        const auto of_day = take_clock_time(t);
        if (!of_day || !take(t, " GMT") || !t.empty()) return std::nullopt;
        return utc_seconds(*year, *month, *day, *of_day);
    }
    if (take(t, " ")) {
        // asctime: "Sun Nov  6 08:49:37 1994"
        const auto month = take_month(t);
        if (!month || !take(t, " ")) return std::nullopt;
        take(t, " ");
        const auto day = take_digits(t, 1, 2);
        if (!day || !take(t, " ")) return std::nullopt;
        const auto of_day = take_clock_time(t);
        if (!of_day || !take(t, " ")) return std::nullopt;
        const auto year = take_digits(t, 4, 4);
        if (!year || !t.empty()) return std::nullopt;
        return utc_seconds(*year, *month, *day, *of_day);
    }
    // RFC 850: "Sunday, 06-Nov-94 08:49:37 GMT"
    const auto comma = t.find(", ");
    if (comma == std::string_view::npos) return std::nullopt;
    t.remove_prefix(comma + 2);
    const auto day = take_digits(t, 2, 2);
    if (!day || !take(t, "-")) return std::nullopt;
    const auto month = take_month(t);
    if (!month || !take(t, "-")) return std::nullopt;
    const auto yy = take_digits(t, 2, 2);
    if (!yy || !take(t, " ")) return std::nullopt;
    const auto of_day = take_clock_time(t);
    if (!of_day || !take(t, " GMT") || !t.empty()) return std::nullopt;
    return utc_seconds(*yy < 70 ? 2000 + *yy : 1900 + *yy, *month, *day, *of_day);
}

std::optional<LocalTime> page_time(const FetchedPage& page, const TimeFormat& format, TimeZone& zone) {
    if (const auto texts = extract_page_texts(page.text)) {
        if (const auto t = web_date_time(*texts, format)) return t;
    }
    const auto utc = parse_http_date(page.date_header);
    if (!utc) return std::nullopt;
    try {
        return zone.local_from_utc(*utc);
    } catch (...) {
        return std::nullopt;
    }
}

bool page_time_believable(const LocalTime& t, const CalendarDate& build_date) {
    using namespace std::chrono;
    const year_month_day built{year(build_date.year), month(build_date.month), day(build_date.day)};
    if (!built.ok()) return false;
    const std::int64_t earliest = (static_cast<std::int64_t>(sys_days(built).time_since_epoch().count()) - 1) * 86400;
    // 29 February twenty years on may not exist: the last day of that month then.
    year_month_day later = built + years(web::believable_years);
    if (!later.ok()) later = later.year() / later.month() / last;
    const std::int64_t latest = static_cast<std::int64_t>(sys_days(later).time_since_epoch().count()) * 86400;
    const std::int64_t at = t.local_seconds();
    return at >= earliest && at <= latest;
}

std::optional<WebReading> read_web_time(const WebTimePorts& ports) {
    for (const std::string& url : ports.urls) {
        if (url.empty() || !time_page_address_trusted(url)) continue;
        const auto page = fetch_page(ports.http, url);
        if (!page) continue;
        const std::int64_t read_at = ports.monotonic.now_ms();
        const auto t = page_time(*page, ports.format, ports.zone);
        if (t && page_time_believable(*t, ports.build_date)) return WebReading{*t, read_at};
    }
    return std::nullopt;
}

ClockCheck check_clock(const WebTimePorts& ports, WallClock& clock) {
    ClockCheck check;
    check.reading = read_web_time(ports);
    if (!check.reading) return check;
    check.verdict = clock_is_wrong(check.reading->time, clock.now()) ? ClockVerdict::wrong : ClockVerdict::right;
    return check;
}

CorrectionOutcome apply_correction(const WebTimePorts& ports, ClockSetter& setter,
                                   const std::optional<WebReading>& now, const std::optional<WebReading>& first) {
    if (!now) return CorrectionOutcome::no_page;
    // The clock is only set to a time two readings agree on: one odd reply
    // (a proxy's stale copy, a page gone wrong) must not move it.
    if (!first) return CorrectionOutcome::disagrees;
    const std::int64_t expected = first->time.local_seconds() + (now->read_at_ms - first->read_at_ms) / 1000;
    const std::int64_t apart = now->time.local_seconds() - expected;
    if (apart > web::agreement_seconds || apart < -web::agreement_seconds) return CorrectionOutcome::disagrees;
    const std::int64_t since_read = std::max<std::int64_t>(0, ports.monotonic.now_ms() - now->read_at_ms) / 1000;
    const LocalTime t = local_time_at(now->time.local_seconds() + since_read);
    // Time of day first, then the date: across midnight the new time stands
    // on the old date for a moment.
    if (!setter.set_time_of_day(t.seconds_of_day())) return CorrectionOutcome::time_refused;
    if (!setter.set_date(t.year, t.month, t.day)) return CorrectionOutcome::date_refused;
    return CorrectionOutcome::corrected;
}

}  // namespace tockly
