#include "clock/support/time_text.h"

#include <algorithm>
#include <array>
#include <vector>
#include <cctype>

namespace tockly {

namespace {

void append_number(std::string& out, int value, bool two_digits) {
    if (two_digits && value < 10) out += '0';
    out += std::to_string(value);
}

// The first character of a UTF-8 text (the short form of an AM/PM word).
std::string_view first_character(std::string_view word) {
    if (word.empty()) return word;
    const auto lead = static_cast<unsigned char>(word[0]);
    const std::size_t n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return word.substr(0, n);
}

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    if (prefix.empty() || text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

enum class Marker { none, am, pm };

// Removes an AM/PM marker from the front or the back of the text.
Marker take_marker(std::string_view& text, const TimeFormat& format) {
    const std::array<std::pair<std::string_view, Marker>, 8> markers{{
        {format.am, Marker::am}, {format.pm, Marker::pm}, {"AM", Marker::am},
        {"PM", Marker::pm},      {"上午", Marker::am},    {"下午", Marker::pm},
        // the one-letter form of a "t" picture
        {first_character(format.am), Marker::am}, {first_character(format.pm), Marker::pm},
    }};
    for (const auto& [word, marker] : markers) {
        if (word.empty()) continue;
        if (starts_with_nocase(text, word)) {
            text = trim_blanks(text.substr(word.size()));
            return marker;
        }
        if (text.size() >= word.size() &&
            starts_with_nocase(text.substr(text.size() - word.size()), word)) {
            text = trim_blanks(text.substr(0, text.size() - word.size()));
            return marker;
        }
    }
    return Marker::none;
}

// Reads 1 or 2 digits.
std::optional<int> take_number(std::string_view& text) {
    int value = 0;
    std::size_t n = 0;
    while (n < text.size() && n < 2 && text[n] >= '0' && text[n] <= '9') value = value * 10 + (text[n++] - '0');
    if (n == 0) return std::nullopt;
    text.remove_prefix(n);
    return value;
}

// The literal pieces between the fields of a picture ("时", "分", "秒" in
// "hh'时'mm'分'ss'秒'"), so a time in the regional form reads back.
std::vector<std::string> picture_literals(std::string_view pic) {
    std::vector<std::string> out;
    std::string current;
    const auto flush = [&] {
        const auto t = trim_blanks(current);
        if (!t.empty()) out.emplace_back(t);
        current.clear();
    };
    for (std::size_t i = 0; i < pic.size(); ++i) {
        const char c = pic[i];
        if (c == 'h' || c == 'H' || c == 'm' || c == 's' || c == 't') {
            flush();
        } else if (c == '\'') {
            const auto close = pic.find('\'', i + 1);
            const auto end = close == std::string_view::npos ? pic.size() : close;
            current.append(pic.substr(i + 1, end - i - 1));
            i = end;
        } else {
            current += c;
        }
    }
    flush();
    return out;
}

bool take_separator(std::string_view& text, const std::vector<std::string>& literals) {
    if (text.empty()) return false;
    for (const auto& literal : literals) {
        if (text.substr(0, literal.size()) == literal) {
            text = trim_blanks(text.substr(literal.size()));
            return true;
        }
    }
    if (text[0] == ':' || text[0] == '.') {
        text.remove_prefix(1);
        return true;
    }
    constexpr std::string_view full_width_colon = "：";
    if (text.substr(0, full_width_colon.size()) == full_width_colon) {
        text.remove_prefix(full_width_colon.size());
        return true;
    }
    return false;
}

}  // namespace

std::string format_time_of_day(int seconds, const TimeFormat& format) {
    seconds = ((seconds % seconds_per_day) + seconds_per_day) % seconds_per_day;
    const int hour = seconds / 3600, minute = seconds / 60 % 60, second = seconds % 60;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    std::string out;
    const std::string_view pic = format.picture;
    for (std::size_t i = 0; i < pic.size();) {
        const char c = pic[i];
        std::size_t run = 1;
        while (i + run < pic.size() && pic[i + run] == c) ++run;
        switch (c) {
        case 'H': append_number(out, hour, run >= 2); break;
        case 'h': append_number(out, hour12, run >= 2); break;
        case 'm': append_number(out, minute, run >= 2); break;
        case 's': append_number(out, second, run >= 2); break;
        case 't': {
            const std::string& word = hour < 12 ? format.am : format.pm;
            out += run >= 2 ? std::string_view(word) : first_character(word);
            break;
        }
        case '\'': {
            const auto close = pic.find('\'', i + 1);
            const auto end = close == std::string_view::npos ? pic.size() : close;
            out.append(pic.substr(i + 1, end - i - 1));
            i = end == pic.size() ? end : end + 1;
            continue;
        }
        default: out.append(run, c); break;
        }
        i += run;
    }
    return out;
}

std::optional<int> parse_time_of_day(std::string_view text, const TimeFormat& format) {
    if (text.size() > 64) return std::nullopt;
    const auto literals = picture_literals(format.picture);
    text = trim_blanks(text);
    const Marker marker = take_marker(text, format);
    const auto hour = take_number(text);
    if (!hour || !take_separator(text, literals)) return std::nullopt;
    const auto minute = take_number(text);
    if (!minute) return std::nullopt;
    int second = 0;
    // What follows the minutes: nothing, the seconds, or the closing literal
    // of the regional form ("分", "秒").
    const auto is_closing_literal = [&](std::string_view rest) {
        rest = trim_blanks(rest);
        if (rest.empty()) return true;
        if (rest.find_first_of(":.") != std::string_view::npos || rest == "：") return false;
        return std::find(literals.begin(), literals.end(), rest) != literals.end();
    };
    if (!is_closing_literal(text)) {
        if (!take_separator(text, literals)) return std::nullopt;
        const auto s = take_number(text);
        if (!s) return std::nullopt;
        second = *s;
        if (!is_closing_literal(text)) return std::nullopt;
    }
    if (*minute > 59 || second > 59) return std::nullopt;
    int h = *hour;
    if (marker == Marker::none) {
        if (h > 23) return std::nullopt;
    } else {
        if (h > 12) {
            // "下午 13:00" is still read as a 24-hour time, as people type it.
            if (h > 23) return std::nullopt;
        } else if (marker == Marker::pm && h < 12) {
            h += 12;
        } else if (marker == Marker::am && h == 12) {
            h = 0;
        }
    }
    return h * 3600 + *minute * 60 + second;
}

std::optional<std::string> normalise_time_text(std::string_view text, const TimeFormat& format) {
    const auto t = parse_time_of_day(text, format);
    if (!t) return std::nullopt;
    // The stored text is read again by every tick: it must name this very
    // second. A regional picture that drops the seconds or the hours (or
    // whose literals read as separators) cannot, and then the plain 24-hour
    // form is stored; a time that no text can carry is no time.
    for (const std::string& candidate : {format_time_of_day(*t, format), format_time_of_day(*t, TimeFormat{})}) {
        if (parse_time_of_day(candidate, format) == t) return candidate;
    }
    return std::nullopt;
}

}  // namespace tockly
