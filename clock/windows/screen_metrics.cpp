#include "clock/windows/screen_metrics.h"

#include <windows.h>

#include "clock/windows/dpi_scale.h"

namespace tockly::win {

ScreenMetrics screen_metrics() {
    ScreenMetrics m;
    m.dpi = system_dpi();
    m.width_twips = m.scale().to_twips(GetSystemMetrics(SM_CXSCREEN));
    m.height_twips = m.scale().to_twips(GetSystemMetrics(SM_CYSCREEN));
    RECT work{};
    m.work_area_bottom_px = SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)
                                ? work.bottom
                                : GetSystemMetrics(SM_CYSCREEN);
    return m;
}

}  // namespace tockly::win
