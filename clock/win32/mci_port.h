// The ports of the tick implemented with the real APIs: MCI command strings,
// the shell's open operation and the local clock.
#pragma once

#include <windows.h>

#include "local_time.h"
#include "mmedia.h"
#include "shell_port.h"

namespace tockly::win {

// mciSendStringA: the command in the ANSI code page, no callback window.
class Win32Mci : public MciPort {
public:
    MciReply send(std::string_view command, unsigned answer_capacity) override;
};

// ShellExecute; `clock_window` is the owner of the requests that ask for one.
class Win32Shell : public Shell {
public:
    explicit Win32Shell(HWND clock_window) : clock_window_(clock_window) {}
    bool open(const ShellOpen& request) override;
private:
    HWND clock_window_;
};

class Win32WallClock : public WallClock {
public:
    LocalTime now() override;
};

}  // namespace tockly::win
