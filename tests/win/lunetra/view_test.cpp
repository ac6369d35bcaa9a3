// LunetraView.exe as a user sees it: a window with today's month page, its
// caption the lunar date of today, the default colours on screen. The
// screenshot is kept beside the program as LunetraView.bmp.
#include <gtest/gtest.h>

#include <algorithm>

#include "lunar/core/calendar_facts.h"
#include "tests/win/lunetra/lunetra_test_util.h"
#include "lunar/core/month_grid.h"
#include "lunar/core/month_page.h"
#include "win32kit/module_file.h"

using namespace win32kit;

namespace {

using namespace lunetra_test;
using namespace std::chrono;

struct FoundWindow {
    DWORD process;
    HWND window;
};

HWND ViewWindowOf(DWORD process) {
    FoundWindow found{process, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* f = reinterpret_cast<FoundWindow*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (owner == f->process && lstrcmpW(name, L"LunetraView") == 0 && IsWindowVisible(window)) {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

std::wstring Caption(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

class ViewProcess {
public:
    explicit ViewProcess(const std::wstring& arguments = L"") {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        std::wstring line = L"\"" + ViewPath() + L"\" " + arguments;
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  win32kit::module_folder().c_str(), &startup, &process_);
    }
    ~ViewProcess() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    bool started() const { return started_; }
    DWORD id() const { return process_.dwProcessId; }
    // Closes the window as a user would and returns the exit code.
    int Close(HWND window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<int>(code);
    }

private:
    PROCESS_INFORMATION process_ = {};
    bool started_ = false;
};

// The view's window once its caption names `shown`, brought in front of
// whatever else is on the screen and given time to paint; null (and a
// failure) when it never comes.
HWND InFront(const ViewProcess& view, lunar::OleDate shown) {
    const std::wstring expected_caption = L"Lunetra - " + widen(lunar::GetChineseDate(shown, shown));
    HWND window = nullptr;
    for (int i = 0; i < 200 && (!window || Caption(window) != expected_caption); ++i) {
        Sleep(50);
        window = ViewWindowOf(view.id());
    }
    if (!window) {
        ADD_FAILURE() << "no LunetraView window";
        return nullptr;
    }
    EXPECT_EQ(Caption(window), expected_caption);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Sleep(700);
    return window;
}

TEST(LunetraView, ShowsTodaysMonthWithDefaultColours) {
    ViewProcess view;
    ASSERT_TRUE(view.started()) << "LunetraView.exe did not start";
    const HWND window = InFront(view, Ole(LocalToday()));
    ASSERT_TRUE(window);

    const ScreenPicture shot(window);
    shot.SaveBmp(win32kit::module_folder() + L"LunetraView.bmp");
    EXPECT_EQ(shot.width(), 290);
    EXPECT_EQ(shot.height(), 235);

    const year_month_day today = LocalToday();
    const int year = static_cast<int>(today.year());
    const int month = static_cast<int>(static_cast<unsigned>(today.month()));
    const int day = static_cast<int>(static_cast<unsigned>(today.day()));
    const auto cells = lunar::FillDayCells(year, month);
    const lunar::PageLayout layout = lunar::LayoutFor(290);
    const auto today_cell = static_cast<int>(std::find(cells.begin(), cells.end(), day) - cells.begin());
    // Some other day of the month, not selected.
    const int other_day = day == 1 ? 2 : 1;
    const auto other_cell = static_cast<int>(std::find(cells.begin(), cells.end(), other_day) - cells.begin());
    const lunar::Rect selected = layout.Cell(today_cell);
    const lunar::Rect plain = layout.Cell(other_cell);
    struct Spot {
        const char* name;
        int x, y;
        COLORREF color;
    };
    for (const Spot& s : std::vector<Spot>{
             {"title", 148, 12, 0xC0C0C0},
             {"week header", 100, 27, 0xFFFFC0},
             {"grid", plain.left + 1, plain.top + 2, 0xE0E0E0},
             {"selection on today", selected.left + 1, selected.top + 2, 0xFFC0C0},
             {"bottom line", 100, 232, 0xC0C0C0},
         }) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(Hex(shot.At(s.x, s.y)), Hex(s.color));
    }

    // A click on another day: the caption follows the selection.
    HWND page = FindWindowExW(window, nullptr, L"LunetraPage", nullptr);
    ASSERT_TRUE(page);
    const LPARAM at = MAKELPARAM((plain.left + plain.right) / 2, (plain.top + plain.bottom) / 2);
    SendMessageW(page, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(page, WM_LBUTTONUP, 0, at);
    const lunar::OleDate other = Ole(today.year() / today.month() / std::chrono::day{static_cast<unsigned>(other_day)});
    EXPECT_EQ(Caption(window), L"Lunetra - " + widen(lunar::GetChineseDate(other, other)));

    EXPECT_EQ(view.Close(window), 0);
}

// Opened on a day of October 2026: its caption, and the 休 of 1 October in
// red in the cell's top-right corner, since the viewer shows the marks.
TEST(LunetraView, OpensOnTheDayGivenWithTheHolidayMarks) {
    ViewProcess view(L"2026-10-15");
    ASSERT_TRUE(view.started());
    const HWND window = InFront(view, Ole(2026y / 10 / 15));
    ASSERT_TRUE(window);
    const ScreenPicture shot(window);
    const auto cells = lunar::FillDayCells(2026, 10);
    const auto first_cell = static_cast<int>(std::find(cells.begin(), cells.end(), 1) - cells.begin());
    const lunar::Rect first = lunar::LayoutFor(290).Cell(first_cell);
    int red = 0;
    for (int y = first.top; y < first.top + 13; ++y) {
        for (int x = first.right - 10; x < first.right; ++x) red += shot.At(x, y) == 0x0000FF ? 1 : 0;
    }
    EXPECT_GT(red, 8) << "休 in the corner of 1 October";
    EXPECT_EQ(view.Close(window), 0);
}

}  // namespace
