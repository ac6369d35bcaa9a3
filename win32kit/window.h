// The plumbing between a window procedure and the C++ object behind the
// window: the object comes as CreateWindowExW's last argument, is kept in
// GWLP_USERDATA from WM_NCCREATE and is let go after WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace win32kit {

// The object stored for `hwnd`, taking it from the creation data on
// WM_NCCREATE. Null before that and after WM_NCDESTROY (which still sees it).
template <typename Owner>
Owner* window_owner(HWND hwnd, UINT msg, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    return owner;
}

// The message that destroys a window from its own queue (see destroy_later).
inline UINT destroy_later_message() {
    static const UINT message = RegisterWindowMessageW(L"win32kit.destroy_later");
    return message;
}

// Base of a window class with one object per window: register the class
// with `window_proc` and create the window with `this` as lpParam; the
// object's `handle(msg, wp, lp)` (a friend of this base, or public) gets
// every message of its current window in `hwnd_`.
template <typename Derived>
class Window {
public:
    HWND hwnd() const { return hwnd_; }

protected:
    static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == destroy_later_message()) {
            DestroyWindow(hwnd);
            return 0;
        }
        auto* self = window_owner<Derived>(hwnd, msg, lp);
        if (self && msg == WM_NCCREATE) self->hwnd_ = hwnd;
        // A window the object has let go of (see destroy_later) serves nobody.
        if (!self || self->hwnd_ != hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
        return self->handle(msg, wp, lp);
    }

    // Hides the window and lets go of it now; it is destroyed from its own
    // message queue, never inside the click or tick that let go of it.
    void destroy_later() {
        if (!hwnd_) return;
        ShowWindow(hwnd_, SW_HIDE);
        PostMessageW(hwnd_, destroy_later_message(), 0, 0);
        hwnd_ = nullptr;
    }

    HWND hwnd_ = nullptr;
};

}  // namespace win32kit
