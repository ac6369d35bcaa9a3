// The wall clock as the program reads it: the local date and time of day.
#pragma once

#include <chrono>
#include <cstdint>

namespace tockly {

struct LocalTime {
    int year = 2026;
    unsigned month = 1;    // 1..12
    unsigned day = 1;      // 1..31
    unsigned weekday = 4;  // 1 = Monday .. 7 = Sunday
    int hour = 0;          // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    int seconds_of_day() const { return hour * 3600 + minute * 60 + second; }
    // Whole seconds counted on the local calendar, so two readings can be
    // compared and subtracted across midnight and month ends.
    std::int64_t local_seconds() const {
        const auto days = std::chrono::sys_days(std::chrono::year(year) / std::chrono::month(month) /
                                                std::chrono::day(day))
                              .time_since_epoch()
                              .count();
        return static_cast<std::int64_t>(days) * 86400 + seconds_of_day();
    }
};

// The local time of a count of local seconds (the inverse of local_seconds).
inline LocalTime local_time_at(std::int64_t local_seconds) {
    const auto days = std::chrono::sys_days(std::chrono::days(
        static_cast<int>((local_seconds >= 0 ? local_seconds : local_seconds - 86399) / 86400)));
    const std::chrono::year_month_day ymd(days);
    const std::chrono::weekday wd(days);
    const int of_day = static_cast<int>(local_seconds - static_cast<std::int64_t>(days.time_since_epoch().count()) * 86400);
    LocalTime t;
    t.year = static_cast<int>(ymd.year());
    t.month = static_cast<unsigned>(ymd.month());
    t.day = static_cast<unsigned>(ymd.day());
    t.weekday = wd.iso_encoding();
    t.hour = of_day / 3600;
    t.minute = of_day / 60 % 60;
    t.second = of_day % 60;
    return t;
}

class WallClock {
public:
    virtual ~WallClock() = default;
    virtual LocalTime now() = 0;
};

}  // namespace tockly
