// One clock per user. The first Tockly.exe of a user owns a named mutex in
// the user's session; a later start finds it held, asks the running clock to
// come forward and ends before it has read or tidied anything.
#pragma once

#include <windows.h>

#include <chrono>

#include "win32kit/handles.h"

namespace tockly::win {

class SingleInstance {
public:
    // True when this process is the user's only clock. Otherwise the running
    // clock has been asked to come forward (or was ending and never showed a
    // window in the time given) and this process should end.
    bool acquire_or_hand_over(std::chrono::milliseconds wait = std::chrono::seconds(10));
    // Lets the next start become the user's clock. The exit does this first,
    // before it waits for anything, on the thread that acquired the lock.
    void release();

private:
    bool try_acquire();
    win32kit::unique_handle mutex_;
};

// The message a second start posts to the running clock's window.
UINT come_forward_message();

// A message box of this thread (the first-run box, the help box) is in front
// of everything else of the clock; it comes to the top with the clock.
void bring_thread_boxes_forward();

}  // namespace tockly::win
