// The common controls (tooltips, check boxes, the list and date controls of
// the dialogs), loaded by the window that first needs them.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace win32kit {

// Loads the common controls and registers their window classes; nothing
// after the first call. A program that binds comctl32 at its first call (see
// cmake/delay_load.cmake) calls this before it makes a tooltip or a dialog.
// Inline, so that the call is bound where the program's own code is linked
// (a delay-loaded import is taken only by code linked before it).
inline void load_common_controls() {
    static const bool loaded = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)loaded;
}

}  // namespace win32kit
