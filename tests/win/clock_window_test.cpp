// What the mouse finds on the clock's windows: the day label's hand cursor
// and its tooltip only while the label is shown; the hand over the
// time-check dialog's three clickable controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "clock/windows/time_guard_ports.h"
#include "clock/windows/time_zone.h"
#include "clock/windows/time_check_dialog_window.h"
#include "clock/model/face.h"
#include "clock/windows/file_system.h"
#include "clock/windows/clock_window.h"
#include "clock/windows/profile_store.h"

namespace tockly {
namespace {

class TooltipOnly : public win::ClockWindowCommands {
public:
    void on_menu(MenuId) override {}
    bool menu_checked(MenuId) override { return false; }
    bool menu_enabled(MenuId) override { return true; }
    void on_alarm_spot_click() override {}
    void on_day_label_click() override {}
    std::string day_label_tooltip() override { return "农历甲辰年一月初一"; }
    void on_tray_activate() override {}
    void on_second_start() override {}
    void on_exit_timer() override {}
};

class ClockWindowDayLabel : public testing::Test {
protected:
    static void SetUpTestSuite() { win::ClockWindow::register_class(GetModuleHandleW(nullptr)); }
    void SetUp() override {
        ASSERT_TRUE(form_.create(GetModuleHandleW(nullptr), nullptr));
        form_.set_commands(&commands_);
        form_.show();
    }
    void TearDown() override { DestroyWindow(form_.hwnd()); }

    // The middle of the day label, in client pixels at 15 twips a pixel.
    static POINT day_label() {
        const auto& d = face_labels::day_label;
        return {(d.left + d.width / 2) / 15, (d.top + d.height / 2) / 15};
    }
    void move_mouse_to(POINT client) {
        POINT screen = client;
        ClientToScreen(form_.hwnd(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(form_.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }
    // The tools of the clock's tooltip window (none when there is no such window).
    LRESULT tooltip_tools() const {
        struct Find { HWND owner; HWND found; } find{form_.hwnd(), nullptr};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM lp) -> BOOL {
                auto* f = reinterpret_cast<Find*>(lp);
                wchar_t cls[64] = {};
                GetClassNameW(hwnd, cls, 64);
                if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && GetWindow(hwnd, GW_OWNER) == f->owner) f->found = hwnd;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.found ? SendMessageW(find.found, TTM_GETTOOLCOUNT, 0, 0) : 0;
    }

    TooltipOnly commands_;
    win::ClockWindow form_;
};

TEST_F(ClockWindowDayLabel, TheTooltipGoesWithTheHiddenLabelAndComesBackWithIt) {
    move_mouse_to(day_label());
    EXPECT_EQ(tooltip_tools(), 1);
    form_.set_label_visible(FaceLabel::day, false);
    EXPECT_EQ(tooltip_tools(), 0) << "a hidden label has no tooltip";
    move_mouse_to(day_label());
    EXPECT_EQ(tooltip_tools(), 0);
    form_.set_label_visible(FaceLabel::day, true);
    move_mouse_to(day_label());
    EXPECT_EQ(tooltip_tools(), 1);
}

TEST_F(ClockWindowDayLabel, TheDayLabelShowsAHandWhileShown) {
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const auto cursor_at = [&](POINT client) {
        move_mouse_to(client);
        SetCursor(nullptr);
        SendMessageW(form_.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(form_.hwnd()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursor_at(day_label()), hand);
    EXPECT_NE(cursor_at({day_label().x, day_label().y - 40}), hand) << "the face elsewhere keeps the arrow";
    form_.set_label_visible(FaceLabel::day, false);
    EXPECT_NE(cursor_at(day_label()), hand);
}

// The dialog only shows itself here: nothing is fetched and the clock is never set.
class Untouched : public HttpClient, public ClockSetter {
public:
    HttpResponse get(const HttpRequest&) override { return {}; }
    bool set_time_of_day(int) override { return false; }
    bool set_date(int, unsigned, unsigned) override { return false; }
};

TEST(TimeCheckCursor, TheThreeClickableControlsShowAHand) {
    ASSERT_TRUE(win::TimeCheckDialogWindow::register_class(GetModuleHandleW(nullptr)));
    win::Win32ProfileStore profile;
    win::Win32Resources resources;
    win::Win32FileSystem files;
    Untouched untouched;
    win::Win32TimeZone zone;
    win::Win32MonotonicClock monotonic;
    win::TimeCheckDialogWindow dialog(GetModuleHandleW(nullptr), nullptr,
                             {profile, resources, files, {untouched, zone, monotonic, {}}, untouched,
                              files.temp_folder() + "duishi.ini"});
    dialog.Show();
    const HWND hwnd = FindWindowW(win::time_check_class_name, nullptr);
    ASSERT_TRUE(hwnd);
    dialog.move_left_twips(0);
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    // As the system asks: the control under the mouse first, which passes the question to the dialog.
    const auto cursor_over = [&](HWND over, POINT screen) {
        SetCursorPos(screen.x, screen.y);
        SetCursor(nullptr);
        SendMessageW(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    for (int id : {win::time_check_correct_id, win::time_check_auto_correct_id}) {
        SCOPED_TRACE(id);
        const HWND control = GetDlgItem(hwnd, id);
        ASSERT_TRUE(control);
        RECT r{};
        GetWindowRect(control, &r);
        EXPECT_EQ(cursor_over(control, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}), hand);
    }
    const auto& image = time_check_design::close_picture;
    POINT picture{(image.left + image.width / 2) / 15, (image.top + image.height / 2) / 15};
    ClientToScreen(hwnd, &picture);
    EXPECT_EQ(cursor_over(hwnd, picture), hand) << "the picture";
    POINT outside{0, 0};
    ClientToScreen(hwnd, &outside);
    EXPECT_NE(cursor_over(hwnd, outside), hand);
}

}  // namespace
}  // namespace tockly
