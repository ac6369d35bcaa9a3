#include "clock/windows/background_work.h"

#include <memory>

namespace tockly::win {

namespace {

constexpr wchar_t class_name[] = L"TocklyBackgroundResults";
constexpr UINT result_message = WM_APP + 40;

using Result = std::function<void()>;

}  // namespace

WorkerBackground::WorkerBackground(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.lpszClassName = class_name;
    RegisterClassExW(&wc);
    window_ = CreateWindowExW(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

WorkerBackground::~WorkerBackground() {
    if (worker_.joinable()) worker_.join();
    if (window_) DestroyWindow(window_);
}

bool WorkerBackground::run(std::function<std::function<void()>()> work) {
    if (!window_ || busy_.exchange(true)) return false;
    if (worker_.joinable()) worker_.join();  // finished: busy_ was false
    const HWND window = window_;
    try {
        worker_ = std::thread([this, window, work = std::move(work)] {
            auto result = std::make_unique<Result>();
            try {
                *result = work();
            } catch (...) {
                result.reset();
            }
            busy_ = false;
            // The window thread owns the result from here; a window already
            // gone leaves it to us.
            if (result && *result && PostMessageW(window, result_message, 0, reinterpret_cast<LPARAM>(result.get())))
                result.release();
        });
    } catch (...) {
        busy_ = false;
        return false;
    }
    return true;
}

LRESULT CALLBACK WorkerBackground::window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == result_message) {
        const std::unique_ptr<Result> result(reinterpret_cast<Result*>(lp));
        try {
            (*result)();
        } catch (...) {
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

std::int64_t Win32MonotonicClock::now_ms() { return static_cast<std::int64_t>(GetTickCount64()); }

std::optional<LocalTime> Win32TimeZone::local_from_utc(std::int64_t unix_seconds) {
    // FILETIME counts 100 ns from 1601-01-01; SYSTEMTIME reaches to 30827.
    constexpr std::int64_t seconds_1601_to_1970 = 11644473600LL;
    if (unix_seconds < -seconds_1601_to_1970 || unix_seconds > 900000000000LL) return std::nullopt;
    const auto ticks = static_cast<unsigned long long>(unix_seconds + seconds_1601_to_1970) * 10000000ULL;
    FILETIME file{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc{}, local{};
    if (!FileTimeToSystemTime(&file, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return std::nullopt;
    LocalTime t;
    t.year = local.wYear;
    t.month = local.wMonth;
    t.day = local.wDay;
    t.hour = local.wHour;
    t.minute = local.wMinute;
    t.second = local.wSecond;
    return local_time_at(t.local_seconds());
}

}  // namespace tockly::win
