// The time guard seen from outside, against the local time-page server on
// loopback (the address built into every build that runs here):
//
// - a page 15 minutes off: at minute 5 the time-check dialog slides in above
//   the taskbar with the warning sound; the correction that Wine refuses
//   (by button or automatically) slides it out without a message;
// - an accurate page: the page is fetched and nothing happens;
// - a click on the picture closes the dialog at once;
// - the server down at minute 4: the two network items are disabled;
// - a page with only a Date header opens the dialog as a bracket page does;
// - cut replies and absurd dates lead to nothing;
// - a page that hangs does not stop the face's seconds;
// - the face is on screen within 1.5 s while the start-up check hangs;
// - the exit takes under a second while a page hangs, and a start right
//   after it becomes the clock.
//
// The clock reaches minute 4 or 5 within seconds through its test switch
// TOCKLY_TEST_CLOCK_OFFSET, and takes its connection state from the server's
// /online page through TOCKLY_TEST_ONLINE_PROBE (clock/windows/test_hooks.h).
// The echo requests are real; they go to loopback addresses.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "tests/e2e/e2e_audio.h"
#include "tests/e2e/e2e_support.h"
#include "clock/windows/time_guard_ports.h"
#include "tests/win/timepage_control.h"
#include "clock/support/web_time.h"

namespace tockly::e2e {
namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

// "http://127.0.0.1:18080" from the built-in time page address.
std::string server_base() {
    const std::string url(web::time_page_url);
    return url.substr(0, url.find('/', url.find("//") + 2));
}

int server_port() { return std::stoi(server_base().substr(server_base().rfind(':') + 1)); }

// Wine's NtSetSystemTime refuses every change of more than half a second and
// never touches the host clock (checked for Wine 8.0). Older Wines did set
// the host clock, so the correction is only let run on Wine 8 or later.
bool wine_refuses_clock_changes() {
    using get_version = const char*(CDECL*)();
    const auto wine_get_version = reinterpret_cast<get_version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return wine_get_version && std::atoi(wine_get_version()) >= 8;
}

long long wall_ms() {
    FILETIME t{};
    GetSystemTimeAsFileTime(&t);
    return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000);
}

std::string settings(const std::string& jianhuzd) {
    return "[ToMin]\r\ntomin=1\r\n[zdtx]\r\nzhengdian0=0\r\nBanDian0=0\r\n[mts]\r\nmatisheng0=0\r\n"
           "[jianhu]\r\nshijianJH=1\r\njianhuzd=" + jianhuzd + "\r\n";
}

class TimeGuard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(url_is_loopback(std::string(web::time_page_url))) << "tests only ever talk to this machine";
        win::Win32EchoService echo;
        ASSERT_TRUE(PingAddress(echo, TOCKLY_GATEWAY_ADDR))
            << "no ICMP echo from " << TOCKLY_GATEWAY_ADDR << ": Wine needs raw sockets (root) or ping sockets "
            << "(net.ipv4.ping_group_range) for the clock's network check";
        page_ = std::make_unique<wintest::TimePage>(server_port());
        if (!page_->reachable()) {
            const char* root = std::getenv("TOCKLY_ROOT");
            ASSERT_TRUE(root && page_->start(std::string(root) + "/build/host/bin/timepage_server"))
                << "no time-page server on " << server_base() << " and none could be started";
        }
        ASSERT_FALSE(page_->control("reset&skew=0&mode=ok").empty());
        SetEnvironmentVariableW(L"TOCKLY_TEST_ONLINE_PROBE", wide(server_base() + "/online").c_str());
    }
    void TearDown() override {
        clock_.reset();
        if (page_) page_->control("reset&skew=0&mode=ok");
        SetEnvironmentVariableW(L"TOCKLY_TEST_CLOCK_OFFSET", nullptr);
        SetEnvironmentVariableW(L"TOCKLY_TEST_ONLINE_PROBE", nullptr);
    }

    // Starts the clock so that its minute `minute`, second 0 comes `lead`
    // from now; returns when that moment is due.
    Steady::time_point start_clock_before(const ProgramFolder& folder, int minute, std::chrono::seconds lead) {
        SYSTEMTIME t{};
        GetLocalTime(&t);
        const int now = (t.wMinute * 60 + t.wSecond) + (t.wMilliseconds > 500 ? 1 : 0);
        const int offset = ((minute * 60 - now - static_cast<int>(lead.count())) % 3600 + 3600) % 3600;
        SetEnvironmentVariableW(L"TOCKLY_TEST_CLOCK_OFFSET", std::to_wstring(offset).c_str());
        const auto due = Steady::now() + lead;
        clock_ = std::make_unique<RunningClock>(folder);
        return due;
    }

    // The clock on screen, its page hanging from 3 s before the minute-5
    // fetch that is `due` (12 s from the start); null when no clock showed.
    HWND shown_clock_whose_page_will_hang(const ProgramFolder& folder, Steady::time_point& due) {
        due = start_clock_before(folder, 5, 12s);
        const HWND form = clock_->wait_for_shown_clock();
        if (!form) return nullptr;
        // The start-up check has found the network; from now on the page hangs.
        std::this_thread::sleep_until(due - 3s);
        page_->control("mode=hang");
        return form;
    }

    HWND dialog() const {
        for (HWND hwnd : clock_->windows()) {
            wchar_t cls[64] = {};
            GetClassNameW(hwnd, cls, 64);
            if (std::wstring(cls) == L"TocklyDuiShi" && IsWindowVisible(hwnd)) return hwnd;
        }
        return nullptr;
    }
    bool message_box_shown() const {
        for (HWND hwnd : clock_->windows())
            if (IsWindowVisible(hwnd) && window_text(hwnd) == L"为您对时") return true;
        return false;
    }
    // Waits for the dialog to stop moving; returns its resting rectangle.
    RECT resting_rect(HWND d) const {
        RECT r{}, last{-1, -1, -1, -1};
        const auto until = Steady::now() + 10s;
        while (Steady::now() < until) {
            GetWindowRect(d, &r);
            if (EqualRect(&r, &last)) break;
            last = r;
            std::this_thread::sleep_for(300ms);
        }
        return r;
    }
    // Watches the dialog until it is gone; false if it stays.
    bool gone_without_message(HWND d, bool& message) const {
        message = false;
        const auto until = Steady::now() + 15s;
        while (Steady::now() < until) {
            message |= message_box_shown();
            if (!IsWindow(d) || !IsWindowVisible(d)) return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    std::unique_ptr<wintest::TimePage> page_;
    std::unique_ptr<RunningClock> clock_;
};

TEST_F(TimeGuard, APageFifteenMinutesAheadSlidesTheDialogInAtMinute5WithTheWarningSound) {
    ProgramFolder folder("timeguard-skewed");
    folder.write_settings(settings("0"));
    page_->control("skew=900");
    audio::NewStreams heard;
    const auto due = start_clock_before(folder, 5, 12s);
    ASSERT_TRUE(clock_->wait_for_clock());

    HWND d = nullptr;
    ASSERT_TRUE(eventually([&] { return (d = dialog()) != nullptr; }, 20s)) << "no time-check dialog";
    const auto late = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - due).count();
    EXPECT_GT(late, -1500) << "not before minute 5";
    EXPECT_LT(late, 3000) << "on the tick of minute 5";
    EXPECT_EQ(page_->counter("time_requests"), 1);
    EXPECT_EQ(page_->field("if_modified_since"), "0");

    // Layered with white see-through, top-most, with its labels and controls.
    EXPECT_TRUE(GetWindowLongW(d, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ASSERT_NO_FATAL_FAILURE(expect_white_see_through(d));
    const auto texts = child_texts(d);
    for (const wchar_t* text : {L"Pokko来是因为", L"您的时间不准", L"校正", L"自动校正"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << utf8(text);

    // Slid in from the right edge: 26 steps of 150 twips, ending 3900 twips
    // inside the edge, its bottom on the top of the taskbar.
    const RECT r = resting_rect(d);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) - 260);
    EXPECT_EQ(r.right - r.left, 259);
    EXPECT_EQ(r.bottom - r.top, 142);
    EXPECT_EQ(r.bottom, work.bottom);

    // "校正": Wine refuses to set the clock, so no confirmation, just the slide-out.
    if (!wine_refuses_clock_changes()) GTEST_SKIP() << "not on a Wine known to refuse clock changes";
    HWND button = nullptr;
    EnumChildWindows(
        d,
        [](HWND child, LPARAM lp) -> BOOL {
            if (window_text(child) != L"校正") return TRUE;
            *reinterpret_cast<HWND*>(lp) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&button));
    ASSERT_TRUE(button);
    const long long wall_before = wall_ms();
    const auto steady_before = Steady::now();
    PostMessageW(button, BM_CLICK, 0, 0);
    bool message = false;
    EXPECT_TRUE(gone_without_message(d, message)) << "the dialog slides out";
    EXPECT_FALSE(message) << "no confirmation when the clock could not be set";
    EXPECT_EQ(page_->counter("time_requests"), 2) << "the correction fetches the page again";
    const long long drift = (wall_ms() - wall_before) -
                            std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - steady_before).count();
    EXPECT_LT(std::llabs(drift), 2000) << "the PC clock was not changed";
    EXPECT_TRUE(clock_->running());

    clock_->stop();
    ASSERT_TRUE(heard.hearing()) << audio::no_capture;
    bool warned = false;
    for (const auto& s : heard.get()) {
        const std::string bytes = audio::read_prefix(s.name, 8 << 20);
        warned |= audio::has_tone(bytes, audio::wav_as_stored, 1000) && audio::has_tone(bytes, audio::wav_as_stored, 1500);
    }
    EXPECT_TRUE(warned) << "the 1000/1500 Hz warning sound was played";
}

TEST_F(TimeGuard, AutomaticCorrectionThatIsRefusedSlidesOutOnItsOwn) {
    if (!wine_refuses_clock_changes()) GTEST_SKIP() << "not on a Wine known to refuse clock changes";
    ProgramFolder folder("timeguard-automatic");
    folder.write_settings(settings("1"));
    page_->control("skew=-900");
    audio::NewStreams heard;  // the warning sound plays here too; its stream goes afterwards
    start_clock_before(folder, 5, 12s);
    ASSERT_TRUE(clock_->wait_for_clock());
    HWND d = nullptr;
    ASSERT_TRUE(eventually([&] { return (d = dialog()) != nullptr; }, 20s)) << "no time-check dialog";
    const long long wall_before = wall_ms();
    const auto steady_before = Steady::now();
    bool message = false;
    EXPECT_TRUE(gone_without_message(d, message)) << "in, correct, out, without a click";
    EXPECT_FALSE(message);
    EXPECT_EQ(page_->counter("time_requests"), 2) << "the check, then the correction";
    const long long drift = (wall_ms() - wall_before) -
                            std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - steady_before).count();
    EXPECT_LT(std::llabs(drift), 2000) << "the PC clock was not changed";
    const auto stored = folder.read_bytes("Software_information.ini");
    ASSERT_TRUE(stored);
    EXPECT_NE(stored->find("jianhuzd=1"), std::string::npos) << "the dialog does not write the setting by itself";
}

TEST_F(TimeGuard, AnAccuratePageChangesNothing) {
    ProgramFolder folder("timeguard-accurate");
    folder.write_settings(settings("0"));
    audio::NewStreams heard;
    const auto due = start_clock_before(folder, 5, 12s);
    ASSERT_TRUE(clock_->wait_for_clock());
    ASSERT_TRUE(eventually([&] { return page_->counter("time_requests") == 1; }, 20s))
        << "the time page is asked at minute 5";
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - due).count(), 3000);
    std::this_thread::sleep_for(3s);
    EXPECT_EQ(dialog(), nullptr) << "no dialog for a right clock";
    clock_->stop();
    ASSERT_TRUE(heard.hearing()) << audio::no_capture;
    EXPECT_TRUE(heard.get().empty()) << "no warning sound";
}

TEST_F(TimeGuard, AClickOnThePictureClosesTheDialogAtOnce) {
    ProgramFolder folder("timeguard-picture");
    folder.write_settings(settings("0"));
    page_->control("skew=900");
    audio::NewStreams heard;
    start_clock_before(folder, 5, 12s);
    ASSERT_TRUE(clock_->wait_for_clock());
    HWND d = nullptr;
    ASSERT_TRUE(eventually([&] { return (d = dialog()) != nullptr; }, 20s)) << "no time-check dialog";
    const RECT r = resting_rect(d);
    // The middle of the picture (2250 + 1635 / 2, 2130 / 2 twips).
    const LPARAM at = MAKELPARAM(150 + 54, 71);
    PostMessageW(d, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(d, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(eventually([&] { return !IsWindow(d) || !IsWindowVisible(d); }, 2s));
    RECT after{};
    EXPECT_TRUE(!IsWindow(d) || (GetWindowRect(d, &after) && after.left == r.left)) << "gone without sliding out";
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(page_->counter("time_requests"), 1) << "nothing corrected";
}

// Which of the two network items the clock's right-click menu offers greyed:
// opens the menu on the face's background, reads it, and closes it again.
// "" when the menu did not open or lacks an item.
std::string greyed_network_items(HWND form) {
    const LPARAM background = MAKELPARAM(35, 100);
    PostMessageW(form, WM_RBUTTONDOWN, MK_RBUTTON, background);
    PostMessageW(form, WM_RBUTTONUP, 0, background);
    std::vector<MenuItem> items;
    eventually([&] { return !(items = open_menu_items()).empty(); }, 5s);
    PostMessageW(form, WM_KEYDOWN, VK_ESCAPE, 0);
    eventually([] { return open_menu_items().empty(); }, 5s);
    std::string guard = "?", home = "?";
    for (const auto& item : items) {
        if (item.caption == L"时间监护") guard = item.greyed ? "greyed" : "usable";
        if (item.caption == L"Vornhall") home = item.greyed ? "greyed" : "usable";
    }
    return "时间监护 " + guard + ", Vornhall " + home;
}

TEST_F(TimeGuard, WithTheServerDownAtMinute4TheNetworkItemsAreDisabled) {
    ProgramFolder folder("timeguard-offline");
    folder.write_settings(settings("0"));
    const auto due = start_clock_before(folder, 4, 12s);
    const HWND form = clock_->wait_for_clock();
    ASSERT_TRUE(form);
    std::string seen;
    ASSERT_TRUE(eventually([&] { return (seen = greyed_network_items(form)) == "时间监护 usable, Vornhall usable"; }, 8s))
        << "both items usable after start-up; seen: " << seen;
    ASSERT_LT(Steady::now() + 1s, due) << "start-up took too long to reach minute 4 in time";
    page_->control("mode=down");
    ASSERT_TRUE(eventually([&] { return (seen = greyed_network_items(form)) == "时间监护 greyed, Vornhall greyed"; }, 15s))
        << "ShiJianJianHu and Vornhall disabled; seen: " << seen;
    EXPECT_GT(std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - due).count(), -1500)
        << "by the check of minute 4";
    EXPECT_EQ(page_->counter("online_requests"), 2) << "start-up and minute 4";
}

TEST_F(TimeGuard, APageWithOnlyADateHeaderIsReadAsABracketPageIs) {
    ProgramFolder folder("timeguard-header");
    folder.write_settings(settings("1"));
    page_->control("mode=header&skew=900");
    start_clock_before(folder, 5, 12s);
    ASSERT_TRUE(clock_->wait_for_clock());
    HWND d = nullptr;
    ASSERT_TRUE(eventually([&] { return (d = dialog()) != nullptr; }, 20s)) << "no time-check dialog";
    EXPECT_EQ(page_->counter("spare_requests"), 0) << "the first page told the time";
    if (!wine_refuses_clock_changes()) GTEST_SKIP() << "not on a Wine known to refuse clock changes";
    bool message = false;
    EXPECT_TRUE(gone_without_message(d, message)) << "in, correct (refused), out";
    EXPECT_EQ(page_->counter("time_requests"), 2) << "the check, then the correction";
}

TEST_F(TimeGuard, CutRepliesAndAbsurdDatesLeadToNothing) {
    const struct {
        const char* name;
        std::string control;
    } cases[] = {
        {"cut short of its Content-Length", "mode=cut&skew=900"},
        {"chunked without its last chunk", "mode=cutchunk&skew=900"},
        {"9999-12-31", "date=9999-12-31"},
        {"1601-01-01", "date=1601-01-01"},
        {"0000-01-01", "date=0000-01-01"},
    };
    for (const auto& c : cases) {
        ProgramFolder folder("timeguard-hostile");
        folder.write_settings(settings("1"));
        ASSERT_FALSE(page_->control("reset&" + c.control).empty()) << c.name;
        audio::NewStreams heard;
        start_clock_before(folder, 5, 12s);
        ASSERT_TRUE(clock_->wait_for_clock()) << c.name;
        ASSERT_TRUE(eventually([&] { return page_->counter("spare_requests") == 1; }, 25s))
            << c.name << ": the spare page is asked after the first";
        std::this_thread::sleep_for(2s);
        EXPECT_EQ(page_->counter("time_requests"), 1) << c.name;
        EXPECT_EQ(dialog(), nullptr) << c.name << ": no dialog";
        clock_->stop();
        if (heard.hearing()) {
            EXPECT_TRUE(heard.get().empty()) << c.name << ": no warning sound";
        }
    }
}

TEST_F(TimeGuard, AHangingPageDoesNotStopTheFacesSeconds) {
    ASSERT_TRUE(screen_readable()) << "the face is read from the test's own Xvfb (run through ./tockly)";
    ProgramFolder folder("timeguard-hang");
    folder.write_settings(settings("0"));
    Steady::time_point due;
    const HWND form = shown_clock_whose_page_will_hang(folder, due);
    ASSERT_TRUE(form) << "no clock window on screen";
    RECT face{};
    GetClientRect(form, &face);
    MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&face), 2);

    // Every change of the face's pixels from a second before minute 5 to
    // eight seconds after it, while the check waits for the page.
    std::vector<Steady::time_point> changes;
    ScreenGrab last = grab_screen(face);
    while (Steady::now() < due - 1s) std::this_thread::sleep_for(20ms);
    changes.push_back(Steady::now());
    while (Steady::now() < due + 8s) {
        std::this_thread::sleep_for(20ms);
        ScreenGrab now = grab_screen(face);
        if (now.pixels != last.pixels) changes.push_back(Steady::now());
        last = std::move(now);
    }
    changes.push_back(Steady::now());
    long long longest = 0;
    for (std::size_t i = 1; i < changes.size(); ++i)
        longest = std::max<long long>(
            longest, std::chrono::duration_cast<std::chrono::milliseconds>(changes[i] - changes[i - 1]).count());
    EXPECT_LT(longest, 1200) << "the longest gap between two face updates, " << changes.size() - 2 << " updates";
    EXPECT_GE(page_->counter("time_requests"), 1) << "the page was asked at minute 5";
    EXPECT_EQ(dialog(), nullptr);
}

// The start-up network check waits on the worker: the face does not wait
// for a connection probe that never answers.
TEST_F(TimeGuard, TheFaceIsOnScreenWithinOneAndAHalfSecondsWhileTheNetworkCheckHangs) {
    ASSERT_TRUE(screen_readable()) << "the face is read from the test's own Xvfb (run through ./tockly)";
    ProgramFolder folder("timeguard-first-face");
    folder.write_settings(settings("0"));
    const Image face = load_image(source_folder() + "clock\\resources\\gif\\201.gif");
    ASSERT_EQ(face.width, 200);
    // No face of an earlier clock may stand where this one will appear.
    ASSERT_TRUE(eventually([] { return !FindWindowW(L"TocklyForm1", nullptr); }, 5s));
    page_->control("mode=hang");
    const auto started = Steady::now();
    clock_ = std::make_unique<RunningClock>(folder);
    long long shown_after = -1;
    while (Steady::now() < started + 10s && shown_after < 0) {
        const HWND form = clock_->visible_window_of_class(L"TocklyForm1");
        if (form && face_mismatches(form, face) == 0)
            shown_after = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - started).count();
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_GE(shown_after, 0) << "the face never appeared";
    EXPECT_LT(shown_after, 1500) << "the face appeared " << shown_after << " ms after the start";
    EXPECT_TRUE(eventually([&] { return page_->counter("online_requests") == 1; }, 5s))
        << "the connection probe was asked, and hung";
    EXPECT_TRUE(clock_->running());
}

TEST_F(TimeGuard, ExitWhileAPageHangsTakesUnderASecondAndAStartRightAfterIsTheClock) {
    ProgramFolder folder("timeguard-exit-hang");
    folder.write_settings(settings("0"));
    Steady::time_point due;
    const HWND form = shown_clock_whose_page_will_hang(folder, due);
    ASSERT_TRUE(form) << "no clock window on screen";
    ASSERT_TRUE(eventually([&] { return page_->counter("time_requests") == 1; }, 10s)) << "the page is asked at minute 5";
    std::this_thread::sleep_for(500ms);  // well inside the request, which would wait 5 s a page

    const std::unique_ptr<RunningClock> first = std::move(clock_);
    const auto closing = Steady::now();
    PostMessageW(form, WM_CLOSE, 0, 0);
    ASSERT_TRUE(eventually([&] { return !IsWindow(form); }, 1s)) << "the window goes at once";
    clock_ = std::make_unique<RunningClock>(folder);
    ASSERT_TRUE(first->wait_for_exit(15s)) << "the clock still runs after WM_CLOSE";
    const auto gone_after = std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - closing).count();
    EXPECT_LT(gone_after, 1000) << "the process ended " << gone_after << " ms after WM_CLOSE";
    EXPECT_EQ(first->exit_code(), 0u);
    EXPECT_TRUE(clock_->wait_for_shown_clock()) << "the start right after the exit shows its clock";
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(clock_->running()) << "and stays, the user's clock";
}

}  // namespace
}  // namespace tockly::e2e
