// The control in place in a window: its snapped size, its colours where they
// belong, a click on a day raising Click once, presses that select nothing,
// the spinners' auto-repeat and the year list.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/win/lunetra/lunetra_test_util.h"
#include "lunar/core/month_grid.h"
#include "lunar/core/month_page.h"

using namespace win32kit;

namespace {

using namespace lunetra_test;
using namespace std::chrono;

constexpr COLORREF kTitle = 0xC0C0C0;
constexpr COLORREF kHeader = 0xFFFFC0;
constexpr COLORREF kGrid = 0xE0E0E0;
constexpr COLORREF kSelection = 0xFFC0C0;
constexpr COLORREF kLines = 0x800000;

// A page of July 2024 (from a Monday; day 15 in cell 15), 297 pixels wide.
class PageInPlace : public ::testing::Test {
protected:
    // One host window for all: Wine takes its time over each new top-level
    // window that comes and goes.
    static void SetUpTestSuite() { host_ = new HostWindow; }
    static void TearDownTestSuite() {
        delete host_;
        host_ = nullptr;
    }

    void SetUp() override {
        control_ = NewInitialisedControl();
        ASSERT_TRUE(control_);
        ASSERT_EQ(PutProperty(control_.Get(), DISPID_Lunetra_Value, Variant::Date(Ole(2024y / 7 / 4))).hr, S_OK);
        site_ = ComPtr<lunetra::ControlSite>::Attach(new lunetra::ControlSite(host_->hwnd()));
        ASSERT_EQ(site_->Activate(control_.Get(), RECT{10, 10, 310, 260}), S_OK);
        ASSERT_EQ(As<IOleWindow>(control_.Get())->GetWindow(&page_), S_OK);
        PumpMessages(50);
    }
    void TearDown() override {
        if (site_) site_->Close();
    }

    // The centre of the cell of `day` in the shown month.
    POINT CentreOf(int year, int month, int day) const {
        const auto cells = lunar::FillDayCells(year, month);
        const auto index = static_cast<int>(std::find(cells.begin(), cells.end(), day) - cells.begin());
        const lunar::Rect r = lunar::LayoutFor(297).Cell(index);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Press(HWND window, UINT down, UINT up, POINT at) {
        SendMessageW(window, down, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(at.x, at.y));
        SendMessageW(window, up, 0, MAKELPARAM(at.x, at.y));
    }
    double Value() const { return V_DATE(GetProperty(control_.Get(), DISPID_Lunetra_Value).result.get()); }
    std::string ValueText() const { return lunar::IsoDateText(year_month_day{lunar::OleDateDay(Value())}); }
    HWND Child(const wchar_t* class_name, int left) const {
        struct Search {
            const wchar_t* name;
            int left;
            HWND found;
        } search{class_name, left, nullptr};
        EnumChildWindows(
            page_,
            [](HWND child, LPARAM data) CALLBACK -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                wchar_t name[64] = {};
                GetClassNameW(child, name, 64);
                RECT r = {};
                GetWindowRect(child, &r);
                MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
                if (lstrcmpiW(name, s->name) == 0 && r.left == s->left) s->found = child;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    static HostWindow* host_;
    ComPtr<IDispatch> control_;
    ComPtr<lunetra::ControlSite> site_;
    HWND page_ = nullptr;
};

HostWindow* PageInPlace::host_ = nullptr;

TEST_F(PageInPlace, SnapsToItsOwnSize) {
    RECT r = {};
    GetWindowRect(page_, &r);
    MapWindowPoints(nullptr, host_->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.right - r.left, 297) << "300 snaps to 297";
    EXPECT_EQ(r.bottom - r.top, 235) << "any height gives 235";
    // Activated at 300 wide: only the control's request makes the site's place 297.
    EXPECT_EQ(site_->position().right - site_->position().left, 297) << "the container was asked for the snapped size";

    ComPtr<IOleInPlaceObject> inplace = As<IOleInPlaceObject>(control_.Get());
    RECT narrow = {10, 10, 210, 110};
    ASSERT_EQ(inplace->SetObjectRects(&narrow, &narrow), S_OK);
    GetWindowRect(page_, &r);
    EXPECT_EQ(r.right - r.left, 290) << "200 gives 290";
    EXPECT_EQ(r.bottom - r.top, 235);
}

TEST_F(PageInPlace, DefaultColoursWhereTheyBelong) {
    const ControlPicture picture(control_.Get());
    ASSERT_EQ(picture.width(), 297);
    const POINT day4 = CentreOf(2024, 7, 4);
    const POINT day5 = CentreOf(2024, 7, 5);
    const int cw = lunar::CellWidth(297);
    struct Spot {
        const char* name;
        int x, y;
        COLORREF color;
    };
    for (const Spot& s : std::vector<Spot>{
             {"title, between the animal and the spinner", 150, 12, kTitle},
             {"week header", 100, 27, kHeader},
             {"grid, day 5", day5.x - cw / 2 + 2, day5.y - 10, kGrid},
             {"selected day 4", day4.x - cw / 2 + 2, day4.y - 10, kSelection},
             {"vertical grid line", cw + 1, 100, kLines},
             {"horizontal grid line", 20, 73, kLines},
             {"bottom line", 100, 231, kTitle},
             {"year spinner in the title colour", 159 + 30, 3 + 1, kTitle},
         }) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(Hex(picture.At(s.x, s.y)), Hex(s.color));
    }
}

TEST_F(PageInPlace, PropertiesRedrawTheirParts) {
    const int cw = lunar::CellWidth(297);
    ASSERT_EQ(PutProperty(control_.Get(), DISPID_Lunetra_ShowVerticalGrid, Variant::Bool(false)).hr, S_OK);
    ASSERT_EQ(PutProperty(control_.Get(), DISPID_Lunetra_TitleBackColor, Variant::I4(0x00FF00)).hr, S_OK);
    ASSERT_EQ(PutProperty(control_.Get(), DISPID_Lunetra_WeekBackColor, Variant::I4(0x0000FF)).hr, S_OK);
    ASSERT_EQ(PutProperty(control_.Get(), DISPID_Lunetra_BottomBackColor, Variant::I4(0xFF00FF)).hr, S_OK);
    const ControlPicture picture(control_.Get());
    struct Spot {
        const char* name;
        int x, y;
        COLORREF color;
    };
    for (const Spot& s : std::vector<Spot>{
             {"vertical line gone", cw + 1, 100, kGrid},
             {"horizontal line stays", 20, 73, kLines},
             {"title", 150, 12, 0x00FF00},
             {"spinner follows the title", 159 + 30, 3 + 1, 0x00FF00},
             {"week header", 100, 27, 0x0000FF},
             {"bottom line", 100, 231, 0xFF00FF},
         }) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(Hex(picture.At(s.x, s.y)), Hex(s.color));
    }
}

TEST_F(PageInPlace, ClickOnDay15) {
    ClickCounter clicks;
    Connection events(control_.Get(), DIID___Lunetra, &clicks);
    ASSERT_EQ(events.hr(), S_OK);
    ChangeRecorder changes;
    Connection notifications(control_.Get(), IID_IPropertyNotifySink, &changes);

    Press(page_, WM_LBUTTONDOWN, WM_LBUTTONUP, CentreOf(2024, 7, 15));
    EXPECT_EQ(ValueText(), "2024-07-15");
    EXPECT_EQ(clicks.clicks, 1);
    EXPECT_EQ(clicks.others, 0);
    EXPECT_EQ(changes.changes, std::vector<DISPID>{DISPID_Lunetra_Value}) << "the host learns of the new Value";

    const POINT day15 = CentreOf(2024, 7, 15);
    const int cw = lunar::CellWidth(297);
    const ControlPicture picture(control_.Get());
    EXPECT_EQ(Hex(picture.At(day15.x - cw / 2 + 2, day15.y - 10)), Hex(kSelection)) << "the highlight moved";
    const POINT day4 = CentreOf(2024, 7, 4);
    EXPECT_EQ(Hex(picture.At(day4.x - cw / 2 + 2, day4.y - 10)), Hex(kGrid));
}

TEST_F(PageInPlace, PressesThatRaiseNoClick) {
    ClickCounter clicks;
    Connection events(control_.Get(), DIID___Lunetra, &clicks);
    struct Case {
        const char* name;
        POINT at;
        UINT down, up;
        const char* value;
    };
    for (const Case& c : std::vector<Case>{
             {"week header", {100, 35}, WM_LBUTTONDOWN, WM_LBUTTONUP, "2024-07-04"},
             {"title", {60, 12}, WM_LBUTTONDOWN, WM_LBUTTONUP, "2024-07-04"},
             {"blank cell before day 1", {10, 50}, WM_LBUTTONDOWN, WM_LBUTTONUP, "2024-07-04"},
             {"bottom line", {60, 220}, WM_LBUTTONDOWN, WM_LBUTTONUP, "2024-07-04"},
             {"right button on day 9 selects without a click", CentreOf(2024, 7, 9), WM_RBUTTONDOWN, WM_RBUTTONUP,
              "2024-07-09"},
             {"then the header", {100, 35}, WM_LBUTTONDOWN, WM_LBUTTONUP, "2024-07-09"},
         }) {
        SCOPED_TRACE(c.name);
        Press(page_, c.down, c.up, c.at);
        EXPECT_EQ(ValueText(), c.value);
        EXPECT_EQ(clicks.clicks, 0);
    }
}

TEST_F(PageInPlace, FrozenEventsRaiseNoClick) {
    ClickCounter clicks;
    Connection events(control_.Get(), DIID___Lunetra, &clicks);
    As<IOleControl>(control_.Get())->FreezeEvents(TRUE);
    Press(page_, WM_LBUTTONDOWN, WM_LBUTTONUP, CentreOf(2024, 7, 20));
    EXPECT_EQ(ValueText(), "2024-07-20");
    EXPECT_EQ(clicks.clicks, 0);
    As<IOleControl>(control_.Get())->FreezeEvents(FALSE);
    Press(page_, WM_LBUTTONDOWN, WM_LBUTTONUP, CentreOf(2024, 7, 21));
    EXPECT_EQ(clicks.clicks, 1);
}

TEST_F(PageInPlace, HeldMonthArrowStepsBackEvery100ms) {
    HWND month_spinner = Child(L"LunetraSpinner", 297 - 70);
    ASSERT_TRUE(month_spinner);
    ChangeRecorder changes;
    Connection notifications(control_.Get(), IID_IPropertyNotifySink, &changes);

    // Released at once: nothing changes.
    SendMessageW(month_spinner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 10));
    SendMessageW(month_spinner, WM_LBUTTONUP, 0, MAKELPARAM(5, 10));
    PumpMessages(250);
    EXPECT_EQ(ValueText(), "2024-07-04");

    SendMessageW(month_spinner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 10));
    PumpMessages(350);
    SendMessageW(month_spinner, WM_LBUTTONUP, 0, MAKELPARAM(5, 10));
    const std::string after = ValueText();
    PumpMessages(250);
    EXPECT_EQ(ValueText(), after) << "the release stops the steps";
    EXPECT_LT(after, "2024-07-01") << "at least one step back";
    EXPECT_GE(after, "2024-02-04") << "not more than one step per 100 ms";
    EXPECT_EQ(after.substr(8), "04") << "the day stays";
    EXPECT_FALSE(changes.changes.empty());
}

TEST_F(PageInPlace, YearListAndListButton) {
    HWND year_list = Child(L"ComboBox", 297 - 138);
    ASSERT_TRUE(year_list);
    EXPECT_EQ(SendMessageW(year_list, CB_GETCOUNT, 0, 0), 190);
    EXPECT_EQ(SendMessageW(year_list, CB_GETCURSEL, 0, 0), 2024 - 1901);
    wchar_t first[16] = {};
    SendMessageW(year_list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, L"1901年");

    // The user chooses 2023年.
    SendMessageW(year_list, CB_SETCURSEL, 2023 - 1901, 0);
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(year_list), CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(year_list));
    EXPECT_EQ(ValueText(), "2023-07-04");

    HWND month_list = Child(L"ComboBox", 297 - 70);
    ASSERT_TRUE(month_list);
    wchar_t twelfth[16] = {};
    SendMessageW(month_list, CB_GETLBTEXT, 11, reinterpret_cast<LPARAM>(twelfth));
    EXPECT_STREQ(twelfth, L"12月");
    // Its third button drops the list down.
    HWND month_spinner = Child(L"LunetraSpinner", 297 - 70);
    SendMessageW(month_spinner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(56, 10));
    EXPECT_TRUE(SendMessageW(month_list, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageW(month_list, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(PageInPlace, DeactivateAndActivateAgain) {
    ComPtr<IOleInPlaceObject> inplace = As<IOleInPlaceObject>(control_.Get());
    ASSERT_EQ(inplace->InPlaceDeactivate(), S_OK);
    HWND none = nullptr;
    EXPECT_EQ(inplace->GetWindow(&none), E_FAIL);
    EXPECT_FALSE(IsWindow(page_));
    ASSERT_EQ(As<IOleObject>(control_.Get())->DoVerb(OLEIVERB_SHOW, nullptr, site_.Get(), 0, host_->hwnd(), nullptr), S_OK);
    HWND again = nullptr;
    EXPECT_EQ(inplace->GetWindow(&again), S_OK);
    EXPECT_TRUE(IsWindowVisible(again));
}

// October 2026 with and without the marks: 休 (red) in the corner of 1
// October, 班 in that of Saturday 10 October, and neither corner touched
// when the marks are off.
TEST(HolidayMarksOnThePage, RestAndWorkInTheCornerOnlyWhenOn) {
    ComPtr<IDispatch> control = NewInitialisedControl();
    ASSERT_TRUE(control);
    ASSERT_EQ(PutProperty(control.Get(), DISPID_Lunetra_Value, Variant::Date(Ole(2026y / 10 / 15))).hr, S_OK);
    const auto cells = lunar::FillDayCells(2026, 10);
    const lunar::PageLayout layout = lunar::LayoutFor(290);
    // Pixels of the colour in the top-right quarter of the day's cell, above
    // the lunar label; -1 when anything there is neither it nor the grid.
    const auto corner_count = [&](const ControlPicture& picture, int day, COLORREF colour) {
        const auto index = static_cast<int>(std::find(cells.begin(), cells.end(), day) - cells.begin());
        const lunar::Rect cell = layout.Cell(index);
        int count = 0;
        for (int y = cell.top; y < cell.top + 13; ++y) {
            for (int x = cell.right - layout.cell_width / 4; x < cell.right; ++x) {
                const COLORREF at = picture.At(x, y);
                if (at == colour) ++count;
                else if (at != kGrid) return -1;
            }
        }
        return count;
    };
    constexpr COLORREF kRest = 0x0000FF;
    constexpr COLORREF kWork = 0x404040;
    const ControlPicture off(control.Get());
    EXPECT_EQ(corner_count(off, 1, kGrid), (layout.cell_width / 4) * 13) << "off: the corner is the grid's";
    EXPECT_EQ(corner_count(off, 10, kGrid), (layout.cell_width / 4) * 13);

    ASSERT_EQ(PutProperty(control.Get(), DISPID_Lunetra_ShowHolidayMarks, Variant::Bool(true)).hr, S_OK);
    const ControlPicture on(control.Get());
    EXPECT_GT(corner_count(on, 1, kRest), 8) << "休 on 1 October";
    EXPECT_GT(corner_count(on, 10, kWork), 8) << "班 on 10 October";
    EXPECT_EQ(corner_count(on, 8, kGrid), (layout.cell_width / 4) * 13) << "an ordinary Thursday";
}

}  // namespace
