// The user's regional time format, as the system's date conversion writes
// times (the alarm times are stored in it).
#pragma once

#include "clock/support/time_text.h"

namespace tockly::win {

TimeFormat regional_time_format();

}  // namespace tockly::win
