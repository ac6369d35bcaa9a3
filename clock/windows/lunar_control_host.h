// The lunar control host (NongLi in the settings of old): the one Lunetra control the clock hosts, created by its ProgID or,
// when the control is not registered, straight from Lunetra.ocx beside the
// executable. The clock only calls its methods, late-bound by DISPID.
//
// The clock places the control at start and makes it when the day label
// first asks for a lunar text: a clock whose day label nobody points at
// never loads Lunetra.ocx, its fonts and its window (about 3 MB under Wine).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>

#include "win32kit/com_ptr.h"
#include "lunar/control/lunetra_host.h"
#include "lunar/control/lunetra_ids.h"
#include "clock/model/menu_commands.h"

namespace tockly::win {

class LunarControlHost {
public:
    LunarControlHost() = default;
    ~LunarControlHost();
    LunarControlHost(const LunarControlHost&) = delete;
    LunarControlHost& operator=(const LunarControlHost&) = delete;

    // Tries the registered ProgID, then `program_folder`\Lunetra.ocx, and
    // activates the control in `window` at `position` (client pixels, outside
    // the visible face).
    bool create(HWND window, const RECT& position, const std::string& program_folder);
    // Where and from which folder create() makes the control at the first call;
    // one attempt only, so that a missing control costs nothing per mouse move.
    void create_on_first_use(HWND window, const RECT& position, std::string program_folder);
    bool available() const { return static_cast<bool>(control_); }
    // How the control was found: "registered", "beside the program" or "".
    const char* source() const { return source_; }

    // The lunar texts of a date (an OLE date), or nothing when the control
    // is missing or a call fails.
    std::optional<LunarTexts> texts_for(double ole_date);
    std::optional<std::string> call(DISPID method, double ole_date);

private:
    struct Place {
        HWND window;
        RECT position;
        std::string program_folder;
    };

    win32kit::ComPtr<IDispatch> control_;
    std::optional<Place> place_;
    win32kit::ComPtr<lunetra::ControlSite> site_;
    const char* source_ = "";
};

// Today's date without a time of day, as an OLE date.
double today_ole_date();

}  // namespace tockly::win
