// The local time of the machine's clock.
#pragma once

#include <windows.h>

#include "clock/support/local_time.h"

namespace tockly::win {

class Win32WallClock : public WallClock {
public:
    LocalTime now() override;
};

}  // namespace tockly::win
