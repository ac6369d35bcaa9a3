#include "clock/windows/time_zone.h"

#include <windows.h>

namespace tockly::win {

std::optional<LocalTime> Win32TimeZone::local_from_utc(std::int64_t unix_seconds) {
    // FILETIME counts 100 ns from 1601-01-01; SYSTEMTIME reaches to 30827.
    constexpr std::int64_t seconds_1601_to_1970 = 11644473600LL;
    if (unix_seconds < -seconds_1601_to_1970 || unix_seconds > 900000000000LL) return std::nullopt;
    const auto ticks = static_cast<unsigned long long>(unix_seconds + seconds_1601_to_1970) * 10000000ULL;
    FILETIME file{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{}, local{};
    if (!FileTimeToSystemTime(&file, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return std::nullopt;
    LocalTime t;
    t.year = local.wYear;
    t.month = local.wMonth;
    t.day = local.wDay;
    t.hour = local.wHour;
    t.minute = local.wMinute;
    t.second = local.wSecond;
    return local_time_at(t.local_seconds());
}

}  // namespace tockly::win
