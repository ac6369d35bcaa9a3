// The clock and a program in full screen, seen from outside: while a window
// covering the whole monitor is in front, no window of the clock stands above
// it and the hourly chime is not heard, but an alarm still rings and shows
// its band on top; once the program has gone the face is top-most again.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "tests/e2e/e2e_audio.h"
#include "tests/e2e/e2e_support.h"

namespace tockly::e2e {
namespace {

using namespace std::chrono_literals;

// full_screen_window.exe beside this test, running until it is closed.
class FullScreenProgram {
public:
    FullScreenProgram() {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring command = self;
        command = L"\"" + command.substr(0, command.find_last_of(L'\\') + 1) + L"full_screen_window.exe\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
            return;
        eventually([&] { return (hwnd_ = FindWindowW(L"TocklyE2EFullScreen", nullptr)) != nullptr; }, 10s);
    }
    ~FullScreenProgram() {
        close();
        if (info_.hProcess) {
            if (WaitForSingleObject(info_.hProcess, 3000) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
            CloseHandle(info_.hProcess);
            CloseHandle(info_.hThread);
        }
    }
    HWND hwnd() const { return hwnd_; }
    void close() {
        if (hwnd_ && IsWindow(hwnd_)) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        eventually([&] { return !IsWindow(hwnd_); }, 5s);
    }

private:
    PROCESS_INFORMATION info_{};
    HWND hwnd_ = nullptr;
};

// The clock's visible windows that stand above `front` in the window order.
std::vector<std::wstring> clock_windows_above(const RunningClock& clock, HWND front) {
    std::vector<std::wstring> above;
    for (HWND w = GetTopWindow(nullptr); w && w != front; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        wchar_t name[64] = {};
        GetClassNameW(w, name, 64);
        if (pid == clock.pid() && IsWindowVisible(w)) above.push_back(name);
    }
    return above;
}

bool topmost(HWND w) { return (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

TEST(FullScreen, TheClockStepsAsideAndKeepsQuietButTheAlarmStillRings) {
    ProgramFolder folder("full-screen");
    audio::NewStreams heard;
    ASSERT_TRUE(heard.hearing()) << audio::no_capture;
    // The clock's hour begins twenty seconds from now, its alarm three seconds later.
    const int hour_real = local_second_now() + 20;
    const auto after_chime = std::chrono::steady_clock::now() + 22s;
    const int offset = (3600 - hour_real % 3600) % 3600;
    const int hour = (hour_real + offset) % 86400;
    const std::string notice = "全屏时的闹钟";
    folder.write_settings("[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=1\r\nBanDian0=0\r\n[mts]\r\nmatisheng0=0\r\n"
                          "[naoling]\r\nNaoLingShu0=1\r\n0sj=" + clock_text(hour + 3) +
                          "\r\n0ls=alarm_bell.mp3\r\n0ts=" + notice + "\r\n");
    SetEnvironmentVariableW(L"TOCKLY_TEST_WALL_CLOCK_OFFSET", std::to_wstring(offset).c_str());
    RunningClock clock(folder);
    SetEnvironmentVariableW(L"TOCKLY_TEST_WALL_CLOCK_OFFSET", nullptr);
    HWND face = clock.wait_for_shown_clock();
    ASSERT_TRUE(face && topmost(face));
    // The start-up notice has gone before the program goes full screen.
    ASSERT_TRUE(eventually([&] { return !clock.visible_window_of_class(L"TocklyTiShiChuang"); }, 6s));
    FullScreenProgram front;
    ASSERT_TRUE(front.hwnd()) << "full_screen_window.exe did not start";

    ASSERT_TRUE(eventually([&] { return !topmost(face); }, 5s))
        << "the face is still top-most in front of the full-screen program";
    // Wine may raise the face once more as the program takes the foreground;
    // the next second's check puts it back.
    EXPECT_TRUE(eventually([&] { return clock_windows_above(clock, front.hwnd()).empty(); }, 3s));
    const auto stepped_aside = std::chrono::steady_clock::now();
    // Every text a band showed while the program was in front.
    std::set<std::wstring> band_texts;
    const auto watch_bands = [&] {
        if (HWND band = clock.visible_window_of_class(L"TocklyTiShiChuang"))
            for (const auto& t : child_texts(band))
                if (!t.empty()) band_texts.insert(t);
        return band_texts.count(wide(notice)) > 0;
    };
    while (std::chrono::steady_clock::now() < after_chime) {
        watch_bands();
        EXPECT_EQ(clock_windows_above(clock, front.hwnd()), std::vector<std::wstring>{})
            << "a window of the clock above the full-screen program "
            << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - stepped_aside).count()
            << " ms after it stepped aside";
        std::this_thread::sleep_for(250ms);
    }
    ASSERT_TRUE(eventually(watch_bands, 6s)) << "the alarm's band did not show";
    EXPECT_EQ(clock_windows_above(clock, front.hwnd()), std::vector<std::wstring>{L"TocklyTiShiChuang"})
        << "the alarm's band is on top, the face is not";
    EXPECT_EQ(band_texts, std::set<std::wstring>{wide(notice)}) << "no hourly notice";

    front.close();
    EXPECT_TRUE(eventually([&] { return topmost(face); }, 5s)) << "the face is not top-most again";
    clock.stop();

    bool chimed = false, rang = false;
    for (const auto& s : heard.get()) {
        const std::string bytes = audio::read_prefix(s.name, 64 << 20);
        chimed |= audio::has_tone(bytes, audio::wav_as_stored, 523) || audio::has_tone(bytes, audio::mixer, 523);
        rang |= audio::has_tone(bytes, audio::mixer, 880);
    }
    EXPECT_FALSE(chimed) << "the hour chime (523 Hz) played in front of the full-screen program";
    EXPECT_TRUE(rang) << "the alarm (880 Hz) did not ring";
}

}  // namespace
}  // namespace tockly::e2e
