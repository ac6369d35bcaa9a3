#pragma once

#include <chrono>
#include <string>

#include "lunar/core/ole_date.h"

namespace lunar_test {

using namespace std::chrono_literals;

// An OLE date for a calendar day plus a time of day given in seconds.
inline lunar::OleDate Ole(std::chrono::year_month_day day, int seconds_of_day = 0) {
    return lunar::ToOleDate(day) + seconds_of_day / 86400.0;
}

constexpr int Hours(int h, int m = 0, int s = 0) { return h * 3600 + m * 60 + s; }

inline std::string Iso(std::chrono::year_month_day day) { return lunar::IsoDateText(day); }

}  // namespace lunar_test
