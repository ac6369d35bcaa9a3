#include "web_time.h"

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

std::string FetchWebText(HttpClient& http, std::string_view Url, std::string_view Charset) {
    HttpRequest request;
    request.url = std::string(Url);
    request.headers.emplace_back("If-Modified-Since", "0");
    request.timeout_ms = web::fetch_timeout_ms;
    request.max_body_bytes = web::max_body_bytes;
    HttpResponse response;
    try {
        response = http.get(request);
    } catch (...) {
        return {};
    }
    if (!response.complete || response.body.size() > web::max_body_bytes) return {};
    // An error page is no time page, whatever brackets it may hold.
    if (response.status < 200 || response.status > 299) return {};
    return BytesToText(response.body, Charset).value_or("");
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

ClockVerdict check_clock(HttpClient& http, WallClock& clock, const TimeFormat& format, std::string_view url) {
    if (!time_page_address_trusted(url)) return ClockVerdict::no_answer;
    const auto texts = extract_page_texts(FetchWebText(http, url, web::charset));
    if (!texts) return ClockVerdict::no_answer;
    const auto web_time = web_date_time(*texts, format);
    if (!web_time) return ClockVerdict::no_answer;
    return clock_is_wrong(*web_time, clock.now()) ? ClockVerdict::wrong : ClockVerdict::right;
}

CorrectionOutcome correct_clock(HttpClient& http, ClockSetter& setter, const TimeFormat& format,
                                std::string_view url) {
    if (!time_page_address_trusted(url)) return CorrectionOutcome::no_page;
    const std::string page = FetchWebText(http, url, web::charset);
    if (page.empty()) return CorrectionOutcome::no_page;
    const auto texts = extract_page_texts(page);
    if (!texts) return CorrectionOutcome::unreadable_page;
    const auto date = parse_date_text(texts->date);
    const auto time = parse_time_of_day(trim_blanks(texts->time), format);
    if (!date || !time) return CorrectionOutcome::unreadable_page;
    // Time of day first, then the date: across midnight the new time stands
    // on the old date for a moment.
    if (!setter.set_time_of_day(*time)) return CorrectionOutcome::time_refused;
    if (!setter.set_date(date->year, date->month, date->day)) return CorrectionOutcome::date_refused;
    return CorrectionOutcome::corrected;
}

}  // namespace tockly
