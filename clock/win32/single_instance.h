// One clock per user. The first Tockly.exe of a user holds a named mutex in
// the user's session; a later start finds it held, asks the running clock to
// come forward and ends before it has read or tidied anything.
#pragma once

#include <windows.h>

#include <chrono>

#include "handles.h"

namespace tockly::win {

class SingleInstance {
public:
    // True when this process is the user's only clock. Created before any
    // window, so two starts at the same moment cannot both win.
    bool acquire();

private:
    unique_handle mutex_;
};

// The message a second start posts to the running clock's window.
UINT come_forward_message();

// Finds the running clock's window (waiting a while for one that is still
// starting) and posts it the come-forward message. False if none showed up.
bool ask_running_clock_to_come_forward(std::chrono::milliseconds wait = std::chrono::seconds(10));

// A message box of this thread (the first-run box, the help box) is in front
// of everything else of the clock; it comes to the top with the clock.
void bring_thread_boxes_forward();

}  // namespace tockly::win
