#include "clock/windows/single_instance.h"

#include <string>
#include <thread>

#include "clock/windows/clock_window.h"

namespace tockly::win {

namespace {

std::wstring mutex_name() {
    wchar_t user[257] = {};
    DWORD size = static_cast<DWORD>(std::size(user));
    if (!GetUserNameW(user, &size)) user[0] = L'\0';
    // Local\ keeps it to this session; the user name keeps two users apart
    // even where they share one (a terminal server, runas).
    return std::wstring(L"Local\\Tockly.OneClock.") + user;
}

}  // namespace

bool SingleInstance::try_acquire() {
    mutex_.reset(CreateMutexW(nullptr, FALSE, mutex_name().c_str()));
    // Without a mutex at all (a failing system) a clock is better than none.
    if (!mutex_) return true;
    // Owned, not only named: the mutex of a clock that was killed is
    // abandoned with its thread, even while what is left of the process
    // lingers, and the next start is the clock.
    const DWORD waited = WaitForSingleObject(mutex_.get(), 0);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return true;
    // A handle kept here would keep the name alive after the running clock ends.
    mutex_.reset();
    return false;
}

void SingleInstance::release() {
    if (!mutex_) return;
    ReleaseMutex(mutex_.get());
    mutex_.reset();
}

UINT come_forward_message() {
    static const UINT message = RegisterWindowMessageW(L"Tockly.ComeForward");
    return message;
}

bool SingleInstance::acquire_or_hand_over(std::chrono::milliseconds wait) {
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (try_acquire()) return true;
        // The running clock creates its window before it reads its settings,
        // so only a clock in its first moments (or its last) has none.
        if (HWND running = FindWindowW(clock_window_class_name, nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(running, &pid);
            // This start was the user's action: let the running clock use it to take the foreground.
            AllowSetForegroundWindow(pid);
            PostMessageW(running, come_forward_message(), 0, 0);
            return false;
        }
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void bring_thread_boxes_forward() {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM) -> BOOL {
            wchar_t class_name[16] = {};
            GetClassNameW(hwnd, class_name, static_cast<int>(std::size(class_name)));
            if (IsWindowVisible(hwnd) && std::wstring(class_name) == L"#32770") {
                BringWindowToTop(hwnd);
                SetForegroundWindow(hwnd);
            }
            return TRUE;
        },
        0);
}

}  // namespace tockly::win
