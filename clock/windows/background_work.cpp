#include "clock/windows/background_work.h"

#include <memory>
#include <utility>

namespace tockly::win {

namespace {

constexpr wchar_t class_name[] = L"TocklyBackgroundResults";
constexpr UINT result_message = WM_APP + 40;

}  // namespace

WorkerBackground::WorkerBackground(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.lpszClassName = class_name;
    RegisterClassExW(&wc);
    window_ = CreateWindowExW(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!window_) return;
    try {
        worker_ = std::thread([this] { work_through_jobs(); });
    } catch (...) {
        // No worker: every job is refused and its caller does without.
    }
}

WorkerBackground::~WorkerBackground() { stop(); }

bool WorkerBackground::run(Work work) { return add(std::move(work), true); }

bool WorkerBackground::queue(Work work) { return add(std::move(work), false); }

bool WorkerBackground::add(Work work, bool only_when_idle) {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (!worker_.joinable() || stopping_) return false;
        if (only_when_idle && (busy_ || !jobs_.empty())) return false;
        jobs_.push_back(std::move(work));
    }
    wake_.notify_one();
    return true;
}

void WorkerBackground::stop() {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_one();
    if (worker_.joinable()) worker_.join();
    // Results already posted go with the window: what they would touch may
    // be gone before the queue is read again.
    if (window_) DestroyWindow(std::exchange(window_, nullptr));
}

void WorkerBackground::work_through_jobs() {
    for (;;) {
        Work work;
        {
            std::unique_lock<std::mutex> guard(lock_);
            wake_.wait(guard, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            work = std::move(jobs_.front());
            jobs_.pop_front();
            busy_ = true;
        }
        Result result;
        try {
            result = work();
        } catch (...) {
            result = nullptr;
        }
        hand_back(std::move(result));
    }
}

void WorkerBackground::hand_back(Result result) {
    auto owned = std::make_unique<Result>(std::move(result));
    const std::lock_guard<std::mutex> guard(lock_);
    busy_ = false;
    // Once the exit has begun nobody is left to take a result.
    if (stopping_ || !*owned) return;
    // The window's thread owns the result from here.
    if (PostMessageW(window_, result_message, 0, reinterpret_cast<LPARAM>(owned.get()))) owned.release();
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

}  // namespace tockly::win
