// The shell's open operation through ShellExecuteW: programs, documents,
// batch files and web pages the clock hands to the system.
#pragma once

#include <windows.h>

#include "clock/support/shell_port.h"

namespace tockly::win {

// ShellExecute; `clock_window` is the owner of the requests that ask for one.
class Win32Shell : public Shell {
public:
    explicit Win32Shell(HWND clock_window) : clock_window_(clock_window) {}
    bool open(const ShellOpen& request) override;
private:
    HWND clock_window_;
};

}  // namespace tockly::win
