// MCI through its command strings (mciSendStringA), for every sound the
// clock plays: alarms, chimes, ticking.
#pragma once

#include <windows.h>

#include "clock/support/media_player.h"

namespace tockly::win {

// mciSendStringA: the command in the ANSI code page, no callback window.
class Win32Mci : public MciPort {
public:
    MciReply send(std::string_view command, unsigned answer_capacity) override;
};

}  // namespace tockly::win
