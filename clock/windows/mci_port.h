// MCI through its command strings (mciSendStringW), for every sound the
// clock plays: alarms, chimes, ticking.
#pragma once

#include <windows.h>

#include "clock/support/media_player.h"

namespace tockly::win {

// mciSendStringW: the command in UTF-16, so a path may hold any character a
// file name can (the ANSI call loses those outside the code page); no
// callback window.
class Win32Mci : public MciPort {
public:
    MciReply send(std::string_view command, unsigned answer_capacity) override;
};

}  // namespace tockly::win
