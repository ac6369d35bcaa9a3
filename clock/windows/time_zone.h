// The system's time-zone rules, for the Date header of a time page (UTC).
#pragma once

#include <cstdint>
#include <optional>

#include "clock/support/web_time.h"

namespace tockly::win {

// SystemTimeToTzSpecificLocalTime: the rules in force at that instant,
// daylight saving included.
class Win32TimeZone : public TimeZone {
public:
    std::optional<LocalTime> local_from_utc(std::int64_t unix_seconds) override;
};

}  // namespace tockly::win
