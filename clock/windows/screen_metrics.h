// The screen the clock starts on: its size in twips, its DPI and where the
// desktop's work area ends.
#pragma once

#include "clock/support/ports.h"

namespace tockly::win {

ScreenMetrics screen_metrics();

}  // namespace tockly::win
