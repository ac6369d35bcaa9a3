// One clock per user: a second start, whatever the first is doing, only
// brings the running clock forward.
#include <gtest/gtest.h>

#include <thread>

#include "tests/e2e/e2e_support.h"
#include "clock/windows/clock_window.h"
#include "clock/model/menu_commands.h"

namespace tockly::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kVisible = "[ToMin]\r\ntomin=1\r\n";
const std::string kInTray = "[ToMin]\r\ntomin=0\r\n";

int visible_faces() {
    int count = 0;
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(hwnd, name, 32);
            if (std::wstring(name) == win::clock_window_class_name && IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

int boxes_titled(const wchar_t* title) {
    struct Search { const wchar_t* title; int count; } search{title, 0};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t text[64] = {};
            GetWindowTextW(hwnd, text, 64);
            if (IsWindowVisible(hwnd) && std::wstring(text) == s->title) ++s->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}


// A second start ends by itself at once, and the first clock goes on.
void expect_second_start_ends(const ProgramFolder& folder, const RunningClock& first) {
    RunningClock second(folder);
    EXPECT_TRUE(second.wait_for_exit(15s)) << "the second start is still running";
    EXPECT_TRUE(first.running());
}

// Whatever a second start did, one face is on screen and the settings file is as it was.
void expect_one_face_and_settings(const ProgramFolder& folder, const std::optional<std::string>& settings) {
    EXPECT_EQ(visible_faces(), 1);
    EXPECT_EQ(folder.read_bytes("Software_information.ini"), settings);
}

TEST(OneClock, TwoStartsGiveOneClockAndTheSettingsFileIsLeftAlone) {
    ProgramFolder folder("one-clock");
    folder.write_settings(kVisible + "[naoling]\r\nNaoLingShu0=1\r\n0sj=7:30:00\r\n");
    RunningClock first(folder);
    HWND form = first.wait_for_shown_clock();
    ASSERT_TRUE(form) << "no clock window on screen";
    const auto settings = folder.read_bytes("Software_information.ini");
    expect_second_start_ends(folder, first);
    std::this_thread::sleep_for(1s);
    expect_one_face_and_settings(folder, settings);
}

TEST(OneClock, ASecondStartBringsTheClockBackFromTheTray) {
    ProgramFolder folder("one-clock-tray");
    folder.write_settings(kInTray);
    RunningClock first(folder);
    HWND form = first.wait_for_clock();
    ASSERT_TRUE(form);
    std::this_thread::sleep_for(1500ms);
    ASSERT_FALSE(IsWindowVisible(form));
    expect_second_start_ends(folder, first);
    EXPECT_TRUE(eventually([&] { return IsWindowVisible(form) != 0; }, 5s)) << "the face did not come back";
    // As the tray's own 显示闹钟 does: the next start shows the clock too.
    expect_one_face_and_settings(folder, kVisible);
}

TEST(OneClock, ASecondStartUnparksTheClock) {
    ProgramFolder folder("one-clock-parked");
    folder.write_settings(kVisible);
    RunningClock first(folder);
    HWND form = first.wait_for_shown_clock();
    ASSERT_TRUE(form) << "no clock window on screen";
    RECT start{};
    GetWindowRect(form, &start);
    PostMessageW(form, WM_COMMAND, win::menu_command_base + static_cast<UINT>(MenuId::park_right), 0);
    ASSERT_TRUE(eventually([&] {
        RECT r{};
        GetWindowRect(form, &r);
        return r.left > start.left;
    })) << "the clock did not park";
    expect_second_start_ends(folder, first);
    EXPECT_TRUE(eventually([&] {
        RECT r{};
        GetWindowRect(form, &r);
        return r.left == start.left;
    }, 5s)) << "the clock stayed parked";
}

TEST(OneClock, ASecondStartDuringTheFirstRunBoxLosesNothing) {
    // The first clock shows its first-run box; the second starts in the same
    // folder (still no settings file) and in one with a broken file.
    ProgramFolder folder("one-clock-first-run");
    ProgramFolder broken("one-clock-broken");
    std::string garbage;
    for (int i = 0; i < 2000; ++i) garbage += static_cast<char>((i * 7919 + 13) & 0xFF);
    broken.write_settings_bytes(garbage);
    RunningClock first(folder);
    HWND box = first.wait_for_window(L"Tockly提示您", L"#32770");
    ASSERT_TRUE(box);
    expect_second_start_ends(folder, first);
    expect_second_start_ends(broken, first);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(boxes_titled(L"Tockly提示您"), 1) << "one first-run box, the first clock's";
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_FALSE(folder.exists("Software_information.ini"));
    EXPECT_EQ(broken.read_bytes("Software_information.ini"), garbage);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND form = first.wait_for_clock();
    ASSERT_TRUE(form);
    EXPECT_TRUE(eventually([&] { return IsWindowVisible(form) != 0; }));
    EXPECT_EQ(visible_faces(), 1);
}

}  // namespace
}  // namespace tockly::e2e
