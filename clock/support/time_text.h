// Times of day as the user sees and types them: the regional long-time format
// of the platform (for example "H:mm:ss" or "tt h:mm:ss") and a parser that
// takes what people type into a time box.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tockly {

struct TimeFormat {
    // A Windows time picture: h hh H HH m mm s ss t tt, 'quoted' literals.
    std::string picture = "H:mm:ss";
    std::string am = "上午";
    std::string pm = "下午";
};

inline constexpr int seconds_per_day = 24 * 60 * 60;

// Formats a time of day (0 .. 86399 seconds) in the given format.
std::string format_time_of_day(int seconds, const TimeFormat& format);

// Parses hours and minutes with optional seconds, separated by ":", "." or the
// full-width "：", with an optional AM/PM marker (the format's own, AM/PM or
// 上午/下午) before or after. Out-of-range values are rejected.
// parse_time_of_day(format_time_of_day(t, f), f) == t for every t and format.
std::optional<int> parse_time_of_day(std::string_view text, const TimeFormat& format);

// Converts a typed time to the regional text ("8.30" -> "8:30:00"), or
// nothing when the text is not a time. The text always reads back as the
// same time in `format`: where the regional picture cannot show it (no
// seconds, no hours), it is the 24-hour "H:mm:ss" form.
std::optional<std::string> normalise_time_text(std::string_view text, const TimeFormat& format);

}  // namespace tockly
