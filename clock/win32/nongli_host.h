// NongLi: the one Lunetra control the clock hosts, created by its ProgID or,
// when the control is not registered, straight from Lunetra.ocx beside the
// executable. The clock only calls its methods, late-bound by DISPID.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>

#include "com_ptr.h"
#include "lunetra_host.h"
#include "lunetra_ids.h"
#include "menu_commands.h"

namespace tockly::win {

using namespace win32kit;

class NongLiHost {
public:
    NongLiHost() = default;
    ~NongLiHost();
    NongLiHost(const NongLiHost&) = delete;
    NongLiHost& operator=(const NongLiHost&) = delete;

    // Tries the registered ProgID, then `program_folder`\Lunetra.ocx, and
    // activates the control in `window` at `position` (client pixels, outside
    // the visible face).
    bool create(HWND window, const RECT& position, const std::string& program_folder);
    bool available() const { return static_cast<bool>(control_); }
    // How the control was found: "registered", "beside the program" or "".
    const char* source() const { return source_; }

    // The lunar texts of a date (an OLE date), or nothing when the control
    // is missing or a call fails.
    std::optional<LunarTexts> texts_for(double ole_date);
    std::optional<std::string> call(DISPID method, double ole_date);

private:
    ComPtr<IDispatch> control_;
    ComPtr<lunetra::ControlSite> site_;
    const char* source_ = "";
};

// Today's date without a time of day, as an OLE date.
double today_ole_date();

}  // namespace tockly::win
