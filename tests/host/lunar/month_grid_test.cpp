#include "lunar/core/month_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "tests/host/lunar/test_dates.h"

namespace {

using namespace std::chrono;
using namespace lunar;
using namespace lunar_test;

constexpr year_month_day kToday = 2024y / 5 / 20;

// A page whose Value has been set, as the host's initial properties do.
MonthGrid PageOn(OleDate value) {
    MonthGrid grid(kToday);
    grid.SetValue(value);
    grid.TakeRedraw();
    return grid;
}

std::string ValueText(const MonthGrid& grid) {
    const OleDate value = grid.Properties().Value;
    std::string text = Iso(year_month_day{OleDateDay(value)});
    if (value != std::trunc(value)) text += " +time";
    return text;
}

// The centre of the cell that holds `day`.
std::pair<double, double> CentreOfDay(const MonthGrid& grid, int day) {
    const auto& cells = grid.DayCells();
    const auto it = std::find(cells.begin(), cells.end(), day);
    const Rect r = grid.Layout().Cell(static_cast<int>(it - cells.begin()));
    return {(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0};
}

std::vector<TextOp> Texts(const Drawing& drawing) {
    std::vector<TextOp> texts;
    for (const DrawOp& op : drawing.ops) {
        if (const auto* text = std::get_if<TextOp>(&op)) texts.push_back(*text);
    }
    return texts;
}

template <typename Op>
int Count(const Drawing& drawing) {
    return static_cast<int>(std::count_if(drawing.ops.begin(), drawing.ops.end(),
                                          [](const DrawOp& op) { return std::holds_alternative<Op>(op); }));
}

std::string Parts(unsigned parts) {
    static const std::pair<unsigned, const char*> names[] = {
        {kRedrawFrame, "frame"},          {kRedrawTitleBar, "title"},        {kRedrawWeekHeader, "week"},
        {kRedrawDateGrid, "grid"},        {kRedrawTermBar, "terms"},         {kRedrawYearSpinner, "year-spinner"},
        {kRedrawMonthSpinner, "month-spinner"},
    };
    std::string text;
    for (const auto& [bit, name] : names) {
        if (parts & bit) text += std::string(text.empty() ? "" : " ") + name;
    }
    return text;
}

// ---------------------------------------------------------------- layout --

TEST(MonthGridLayout, CellWidthAndSnapping) {
    struct Case {
        int requested;
        int snapped;
        int cell_width;
    };
    for (const Case& c : std::vector<Case>{
             {290, 290, 41},
             {200, 290, 41},   // never narrower than 290
             {291, 290, 41},   // 1/7 of a step rounds down
             {293, 290, 41},
             {294, 297, 42},   // 4/7 rounds up
             {297, 297, 42},
             {300, 297, 42},
             {304, 304, 43},
             {1000, 997, 142},
         }) {
        SCOPED_TRACE("width " + std::to_string(c.requested));
        EXPECT_EQ(SnapWidth(c.requested), c.snapped);
        EXPECT_EQ(CellWidth(SnapWidth(c.requested)), c.cell_width);
    }
}

TEST(MonthGridLayout, ResizeSnapsWidthAndFixesHeight) {
    struct Case {
        int width, height;
        int expected_width;
    };
    for (const Case& c : std::vector<Case>{{300, 235, 297}, {200, 100, 290}, {297, 600, 297}, {290, 0, 290}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        MonthGrid grid(kToday);
        grid.TakeRedraw();
        grid.Resize(c.width, c.height);
        EXPECT_EQ(grid.Layout().width, c.expected_width);
        EXPECT_EQ(grid.Layout().height, kControlHeight);
        EXPECT_EQ(grid.TakeRedraw(), static_cast<unsigned>(kRedrawAll));
    }
}

TEST(MonthGridLayout, RectanglesAt290And297) {
    const PageLayout narrow = LayoutFor(290);
    EXPECT_EQ(narrow.title, (Rect{2, 2, 288, 25}));
    EXPECT_EQ(narrow.week, (Rect{2, 26, 288, 45}));
    EXPECT_EQ(narrow.grid, (Rect{2, 46, 288, 213}));
    EXPECT_EQ(narrow.bottom, (Rect{2, 214, 288, 233}));
    EXPECT_EQ(narrow.YearSpinner(), (Rect{152, 3, 216, 23}));
    EXPECT_EQ(narrow.MonthSpinner(), (Rect{220, 3, 284, 23}));
    EXPECT_EQ(narrow.Cell(0), (Rect{2, 46, 42, 73}));
    EXPECT_EQ(narrow.Cell(6), (Rect{248, 46, 288, 73}));
    EXPECT_EQ(narrow.Cell(36), (Rect{43, 186, 83, 213}));

    const PageLayout wide = LayoutFor(297);
    EXPECT_EQ(wide.Cell(6), (Rect{254, 46, 295, 73}));
    EXPECT_EQ(wide.YearSpinner().left, 159);
    EXPECT_EQ(wide.MonthSpinner().left, 227);
}

TEST(MonthGridLayout, CellUnderAPress) {
    struct Case {
        const char* name;
        double x, y;
        std::optional<int> cell;
    };
    const PageLayout layout = LayoutFor(290);
    for (const Case& c : std::vector<Case>{
             {"title", 100, 10, std::nullopt},
             {"week header", 100, 30, std::nullopt},
             {"header's last line", 100, 45, std::nullopt},
             {"just below the header", 100, 45.5, 2},
             {"first cell", 3, 47, 0},
             {"left border", 0, 50, 0},
             {"rounding of x", 42.4, 50, 0},
             {"next column", 43, 50, 1},
             {"last column", 288, 50, 6},
             {"right border of an unsnapped width", 289, 50, std::nullopt},
             {"second row", 3, 74, 7},
             {"cell 36", 50, 212, 36},
             {"sixth row past cell 36", 100, 212, std::nullopt},
             {"bottom line", 100, 214, std::nullopt},
             {"bottom border", 100, 234, std::nullopt},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CellAt(layout, c.x, c.y), c.cell);
    }
}

TEST(MonthGridLayout, SpinnerButtonsExcludeTheirEdges) {
    struct Case {
        int x, y;
        int button;
    };
    for (const Case& c : std::vector<Case>{
             {1, 10, 0}, {2, 10, 1},  {12, 18, 1}, {13, 10, 0}, {5, 2, 0},   {5, 19, 0},
             {38, 10, 0}, {39, 10, 2}, {49, 3, 2},  {50, 10, 0}, {51, 10, 3}, {61, 18, 3},
             {62, 10, 0}, {25, 10, 0},
         }) {
        SCOPED_TRACE("(" + std::to_string(c.x) + ", " + std::to_string(c.y) + ")");
        EXPECT_EQ(SpinButtonAt(c.x, c.y), c.button);
    }
}

// ------------------------------------------------------------------ cells --

TEST(MonthGridCells, FollowTheMonthOfValue) {
    struct Case {
        year_month_day value;
        int first_cell;  // cell of day 1
        int last_cell;   // cell of the last day
    };
    for (const Case& c : std::vector<Case>{
             {2024y / 9 / 10, 0, 29},   // starts on a Sunday: no leading blank
             {2023y / 7 / 4, 6, 36},    // 31 days from a Saturday: cells 6 .. 36
             {2026y / 2 / 1, 0, 27},
             {1901y / 1 / 1, 2, 32},
             {2090y / 12 / 31, 5, 35},
         }) {
        SCOPED_TRACE(Iso(c.value));
        const MonthGrid grid = PageOn(Ole(c.value));
        const auto& cells = grid.DayCells();
        for (int i = 0; i < kDayCellCount; ++i) {
            const int expected = (i >= c.first_cell && i <= c.last_cell) ? i - c.first_cell + 1 : 0;
            EXPECT_EQ(cells[static_cast<std::size_t>(i)], expected) << "cell " << i;
        }
    }
}

// -------------------------------------------------------------- selection --

TEST(MonthGridSelection, ClickOnDay15) {
    MonthGrid grid = PageOn(Ole(2023y / 7 / 4, Hours(9)));
    const auto [x, y] = CentreOfDay(grid, 15);
    EXPECT_TRUE(grid.MouseDown(x, y));
    EXPECT_EQ(ValueText(grid), "2023-07-15");  // the time of day goes
    EXPECT_TRUE(grid.ClickPending());
    EXPECT_EQ(Parts(grid.TakeRedraw()), "title grid");  // the term line stays
    EXPECT_TRUE(grid.MouseUp(true));
    EXPECT_FALSE(grid.ClickPending());
    EXPECT_FALSE(grid.MouseUp(true)) << "Click is raised once";

    // The highlight moved with it.
    const Drawing drawing = grid.DrawDateGrid();
    const Rect cell15 = grid.Layout().Cell(20);
    EXPECT_NE(std::find(drawing.ops.begin(), drawing.ops.end(), DrawOp{FillOp{cell15, 0xFFC0C0}}),
              drawing.ops.end());
}

TEST(MonthGridSelection, PressesThatSelectNothing) {
    struct Case {
        const char* name;
        double x, y;
    };
    for (const Case& c : std::vector<Case>{
             {"title", 60, 12},
             {"week header", 60, 35},
             {"blank cell before day 1", 10, 50},
             {"bottom line", 60, 220},
         }) {
        SCOPED_TRACE(c.name);
        MonthGrid grid = PageOn(Ole(2023y / 7 / 4));
        EXPECT_FALSE(grid.MouseDown(c.x, c.y));
        EXPECT_EQ(ValueText(grid), "2023-07-04");
        EXPECT_FALSE(grid.ClickPending());
        EXPECT_EQ(grid.TakeRedraw(), 0u);
        EXPECT_FALSE(grid.MouseUp(true)) << "no Click";
    }
}

TEST(MonthGridSelection, PressWithoutAClickLeavesNothingPending) {
    MonthGrid grid = PageOn(Ole(2023y / 7 / 4));
    const auto [x, y] = CentreOfDay(grid, 9);
    EXPECT_TRUE(grid.MouseDown(x, y));  // a right-button press selects
    EXPECT_FALSE(grid.MouseUp(false));  // but is no click
    EXPECT_FALSE(grid.MouseDown(60, 35));
    EXPECT_FALSE(grid.MouseUp(true)) << "a later click on the header raises nothing";
}

// --------------------------------------------------------------- spinners --

struct SpinCase {
    const char* name;
    year_month_day value;
    Spinner spinner;
    int arrow_x;  // inside button 1 or 2
    int ticks;
    const char* expected_value;
    int shown_year, shown_month;
    bool timer_running;
};

TEST(MonthGridSpinners, AutoRepeatStepsAndLimits) {
    for (const SpinCase& c : std::vector<SpinCase>{
             {"year back, one tick", 2024y / 5 / 10, Spinner::Year, 5, 1, "2023-05-10", 2023, 5, true},
             {"year back from 1902, first tick", 1902y / 5 / 10, Spinner::Year, 5, 1, "1901-05-10", 1901, 5, true},
             {"year back from 1902, second tick", 1902y / 5 / 10, Spinner::Year, 5, 2, "1901-05-10", 1901, 5, false},
             {"year forward from 2089", 2089y / 8 / 1, Spinner::Year, 44, 2, "2090-08-01", 2090, 8, false},
             {"year back from a leap day", 2024y / 2 / 29, Spinner::Year, 5, 1, "2023-02-28", 2023, 2, true},
             {"month back from February 1901", 1901y / 2 / 12, Spinner::Month, 5, 1, "1901-01-12", 1901, 1, false},
             {"month forward to December 2090", 2090y / 11 / 30, Spinner::Month, 44, 1, "2090-12-30", 2090, 12, false},
             {"month back over the year end", 2024y / 1 / 15, Spinner::Month, 5, 1, "2023-12-15", 2023, 12, true},
             {"month forward over the year end", 2023y / 12 / 15, Spinner::Month, 44, 1, "2024-01-15", 2024, 1, true},
             {"month back from the 31st clamps", 2024y / 3 / 31, Spinner::Month, 5, 1, "2024-02-29", 2024, 2, true},
             {"month forward from the 31st clamps", 2023y / 1 / 31, Spinner::Month, 44, 1, "2023-02-28", 2023, 2, true},
             {"three months back", 2024y / 2 / 10, Spinner::Month, 5, 3, "2023-11-10", 2023, 11, true},
         }) {
        SCOPED_TRACE(c.name);
        MonthGrid grid = PageOn(Ole(c.value));
        EXPECT_EQ(grid.SpinnerDown(c.spinner, c.arrow_x, 10), SpinPress::Arrow);
        const int mode = (c.spinner == Spinner::Year ? 0 : 2) + (c.arrow_x < 20 ? 1 : 2);
        EXPECT_EQ(grid.SpinMode(), mode);
        EXPECT_TRUE(grid.TimerRunning());
        for (int i = 0; i < c.ticks; ++i) grid.TimerTick();
        EXPECT_EQ(ValueText(grid), c.expected_value);
        EXPECT_EQ(grid.ShownYear(), c.shown_year);
        EXPECT_EQ(grid.ShownMonth(), c.shown_month);
        EXPECT_EQ(grid.TimerRunning(), c.timer_running);
        EXPECT_EQ(grid.SpinMode(), mode) << "the mode stays until the release";
        // The lists follow the page.
        EXPECT_EQ(grid.YearPickIndex(), c.shown_year - 1901);
        EXPECT_EQ(grid.MonthPickIndex(), c.shown_month - 1);

        grid.SpinnerUp(c.spinner);
        EXPECT_EQ(grid.SpinMode(), 0);
        EXPECT_FALSE(grid.TimerRunning());
        EXPECT_EQ(grid.PressedButton(c.spinner), 0);
    }
}

TEST(MonthGridSpinners, TickAtTheLimitChangesNothing) {
    MonthGrid grid = PageOn(Ole(1901y / 5 / 10));
    grid.SpinnerDown(Spinner::Year, 5, 10);
    grid.TakeRedraw();
    grid.TimerTick();
    EXPECT_FALSE(grid.TimerRunning());
    EXPECT_EQ(ValueText(grid), "1901-05-10");
    EXPECT_EQ(Parts(grid.TakeRedraw()), "");
}

TEST(MonthGridSpinners, PressesOutsideTheArrows) {
    struct Case {
        const char* name;
        int x, y;
        SpinPress press;
    };
    for (const Case& c : std::vector<Case>{
             {"list button", 55, 10, SpinPress::OpenList},
             {"the year or month text", 20, 8, SpinPress::OpenList},
             {"edge of button 1", 13, 10, SpinPress::Nothing},
             {"below the buttons", 5, 19, SpinPress::Nothing},
         }) {
        SCOPED_TRACE(c.name);
        MonthGrid grid = PageOn(Ole(2024y / 5 / 10));
        EXPECT_EQ(grid.SpinnerDown(Spinner::Month, c.x, c.y), c.press);
        EXPECT_EQ(grid.SpinMode(), 0);
        EXPECT_FALSE(grid.TimerRunning());
        grid.TimerTick();
        EXPECT_EQ(ValueText(grid), "2024-05-10");
    }
}

TEST(MonthGridSpinners, HeldArrowDrawsPressed) {
    MonthGrid grid = PageOn(Ole(2024y / 5 / 10));
    grid.SpinnerDown(Spinner::Year, 44, 10);
    EXPECT_EQ(Parts(grid.TakeRedraw()), "year-spinner");
    const Drawing held = grid.DrawSpinner(Spinner::Year);
    ASSERT_FALSE(held.ops.empty());
    EXPECT_EQ(held.ops.back(), (DrawOp{EdgeOp{SpinRects[1], EdgeStyle::SunkenOuter}}));
    grid.SpinnerUp(Spinner::Year);
    EXPECT_EQ(Count<EdgeOp>(grid.DrawSpinner(Spinner::Year)), 3);
}

// ------------------------------------------------------------------ picks --

TEST(MonthGridPicks, ClampToTheMonthLength) {
    struct Case {
        const char* name;
        year_month_day value;
        bool year_list;
        int index;
        const char* expected;
        int shown_year, shown_month;
    };
    for (const Case& c : std::vector<Case>{
             {"02月 on 2023-03-31", 2023y / 3 / 31, false, 1, "2023-02-28", 2023, 2},
             {"2023年 on 2024-02-29", 2024y / 2 / 29, true, 122, "2023-02-28", 2023, 2},
             {"2028年 on 2024-02-29", 2024y / 2 / 29, true, 127, "2028-02-29", 2028, 2},
             {"04月 on 2024-01-31", 2024y / 1 / 31, false, 3, "2024-04-30", 2024, 4},
             {"1901年", 2024y / 6 / 1, true, 0, "1901-06-01", 1901, 6},
             {"2090年", 2024y / 6 / 1, true, 189, "2090-06-01", 2090, 6},
         }) {
        SCOPED_TRACE(c.name);
        MonthGrid grid = PageOn(Ole(c.value));
        if (c.year_list) {
            grid.PickYear(c.index);
        } else {
            grid.PickMonth(c.index);
        }
        EXPECT_EQ(ValueText(grid), c.expected);
        EXPECT_EQ(grid.ShownYear(), c.shown_year);
        EXPECT_EQ(grid.ShownMonth(), c.shown_month);
        EXPECT_EQ(Parts(grid.TakeRedraw()), "title grid terms" +
                                                std::string(c.year_list && c.shown_year != 2024 ? " year-spinner" : "") +
                                                std::string(!c.year_list ? " month-spinner" : ""));
        EXPECT_FALSE(grid.MouseUp(true)) << "a pick raises no Click";
    }
}

// ------------------------------------------------------------------ Value --

TEST(MonthGridValue, SelectsYearAndMonth) {
    struct Case {
        const char* name;
        OleDate value;
        const char* stored;
        int shown_year, shown_month;
        int year_pick, month_pick;
    };
    for (const Case& c : std::vector<Case>{
             {"2085-06-15", Ole(2085y / 6 / 15), "2085-06-15", 2085, 6, 184, 5},
             {"2090-12-31", Ole(2090y / 12 / 31), "2090-12-31", 2090, 12, 189, 11},
             {"1901-01-01", Ole(1901y / 1 / 1), "1901-01-01", 1901, 1, 0, 0},
             // Both lists move: their picks rebuild Value without the time.
             {"another month with a time", Ole(2023y / 2 / 10, Hours(18)), "2023-02-10", 2023, 2, 122, 1},
             // The lists already stand on May 2024: no pick runs, the time stays.
             {"same month with a time", Ole(2024y / 5 / 3, Hours(18)), "2024-05-03 +time", 2024, 5, 123, 4},
             // No year entry: the year list stays; the month pick shows the year.
             {"1850", Ole(1850y / 3 / 10), "1850-03-10", 1850, 3, 123, 2},
         }) {
        SCOPED_TRACE(c.name);
        MonthGrid grid = PageOn(Ole(2024y / 5 / 20));
        grid.SetValue(c.value);
        EXPECT_EQ(ValueText(grid), c.stored);
        EXPECT_EQ(grid.ShownYear(), c.shown_year);
        EXPECT_EQ(grid.ShownMonth(), c.shown_month);
        EXPECT_EQ(grid.YearPickIndex(), c.year_pick);
        EXPECT_EQ(grid.MonthPickIndex(), c.month_pick);
        EXPECT_EQ(grid.TakeRedraw() & (kRedrawTitleBar | kRedrawDateGrid | kRedrawTermBar),
                  kRedrawTitleBar | kRedrawDateGrid | kRedrawTermBar);
    }
}

TEST(MonthGridValue, NewPageWaitsForValue) {
    MonthGrid grid(kToday);
    EXPECT_EQ(grid.ShownYear(), 2024);
    EXPECT_EQ(grid.ShownMonth(), 5);
    EXPECT_EQ(grid.YearPickIndex(), -1);
    EXPECT_EQ(grid.MonthPickIndex(), -1);
    EXPECT_EQ(grid.TakeRedraw(), static_cast<unsigned>(kRedrawAll));
    for (const Drawing& d : {grid.DrawTitleBar(), grid.DrawTermBar()}) {
        EXPECT_EQ(d.ops.size(), 1u) << "only the background while Value is unset";
        EXPECT_FALSE(d.lunar_failed);
    }
    const Drawing cells = grid.DrawDateGrid();
    EXPECT_FALSE(cells.lunar_failed);
    for (const TextOp& text : Texts(cells)) {
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(text.text[0]))) << text.text << ": no lunar label";
    }
}

TEST(MonthGridValue, MonthOutsideTheTableStillDrawsWhatItCan) {
    struct Case {
        const char* name;
        year_month_day value;
        bool title_fails;
        bool grid_fails;
        bool labels;
    };
    for (const Case& c : std::vector<Case>{
             // Not later than 1900-01-01 counts as unset: no lunar text is tried.
             {"1850-03-10", 1850y / 3 / 10, false, false, false},
             {"1900-01-20: title before the table", 1900y / 1 / 20, true, true, false},
             {"1900-02-05: table starts within the month", 1900y / 2 / 5, false, false, true},
             {"2091-01-15: last full month", 2091y / 1 / 15, false, false, true},
             {"2091-02-10: month runs past the table", 2091y / 2 / 10, false, true, false},
             {"2091-03-01", 2091y / 3 / 1, true, true, false},
         }) {
        SCOPED_TRACE(c.name);
        const MonthGrid grid = PageOn(Ole(c.value));
        const Drawing title = grid.DrawTitleBar();
        const Drawing cells = grid.DrawDateGrid();
        EXPECT_EQ(title.lunar_failed, c.title_fails);
        EXPECT_EQ(cells.lunar_failed, c.grid_fails);
        const int days = static_cast<int>(static_cast<unsigned>((c.value.year() / c.value.month() / last).day()));
        // Day numbers are always there; the labels only when the month fits.
        EXPECT_EQ(static_cast<int>(Texts(cells).size()), c.labels ? 2 * days : days);
        EXPECT_FALSE(grid.DrawTermBar().lunar_failed);
    }
}

// ------------------------------------------------------------- properties --

TEST(MonthGridProperties, EachLetRedrawsItsPart) {
    struct Case {
        const char* name;
        void (*let)(MonthGrid&);
        const char* parts;
    };
    for (const Case& c : std::vector<Case>{
             {"BottomBackColor", [](MonthGrid& g) { g.SetBottomBackColor(0x123456); }, "terms"},
             {"DateBackColor", [](MonthGrid& g) { g.SetDateBackColor(0x123456); }, "grid"},
             {"GridLinesColor", [](MonthGrid& g) { g.SetGridLinesColor(0x123456); }, "grid"},
             {"SelectColor", [](MonthGrid& g) { g.SetSelectColor(0x123456); }, "grid"},
             {"ShowVerticalGrid", [](MonthGrid& g) { g.SetShowVerticalGrid(false); }, "grid"},
             {"ShowHorizontalGrid", [](MonthGrid& g) { g.SetShowHorizontalGrid(false); }, "grid"},
             {"TitleBackColor", [](MonthGrid& g) { g.SetTitleBackColor(0x123456); },
              "title year-spinner month-spinner"},
             {"WeekBackColor", [](MonthGrid& g) { g.SetWeekBackColor(0x123456); }, "week"},
         }) {
        SCOPED_TRACE(c.name);
        MonthGrid grid = PageOn(Ole(2024y / 5 / 20));
        c.let(grid);
        EXPECT_EQ(Parts(grid.TakeRedraw()), c.parts);
    }
}

TEST(MonthGridProperties, DefaultsAndColoursInTheDrawings) {
    EXPECT_EQ(LunetraProperties{}.TitleBackColor, 0xC0C0C0u);
    MonthGrid grid = PageOn(Ole(2024y / 5 / 20));
    EXPECT_EQ(grid.DrawTitleBar().ops.front(), (DrawOp{FillOp{{2, 2, 288, 25}, 0xC0C0C0}}));
    EXPECT_EQ(grid.DrawWeekHeader().ops.front(), (DrawOp{FillOp{{2, 26, 288, 45}, 0xFFFFC0}}));
    EXPECT_EQ(grid.DrawDateGrid().ops.front(), (DrawOp{FillOp{{2, 46, 288, 213}, 0xE0E0E0}}));
    EXPECT_EQ(grid.DrawTermBar().ops.front(), (DrawOp{FillOp{{2, 214, 288, 233}, 0xC0C0C0}}));
    EXPECT_EQ(grid.SpinnerBackColor(), 0xE0E0E0u) << "the spinners' own colour until TitleBackColor is set";

    grid.SetTitleBackColor(0x00FF00);
    EXPECT_EQ(grid.SpinnerBackColor(), 0x00FF00u);
    EXPECT_EQ(grid.DrawSpinner(Spinner::Month).ops.front(), (DrawOp{FillOp{{0, 0, 64, 20}, 0x00FF00}}));
}

TEST(MonthGridProperties, GridLineSwitches) {
    struct Case {
        bool vertical, horizontal;
        int lines;
    };
    for (const Case& c : std::vector<Case>{{true, true, 11}, {false, true, 5}, {true, false, 6}, {false, false, 0}}) {
        SCOPED_TRACE(std::string("vertical ") + (c.vertical ? "on" : "off") + ", horizontal " +
                     (c.horizontal ? "on" : "off"));
        MonthGrid grid = PageOn(Ole(2024y / 5 / 20));
        grid.SetShowVerticalGrid(c.vertical);
        grid.SetShowHorizontalGrid(c.horizontal);
        EXPECT_EQ(Count<LineOp>(grid.DrawDateGrid()), c.lines);
    }
    MonthGrid grid = PageOn(Ole(2024y / 5 / 20));
    const Drawing drawing = grid.DrawDateGrid();
    EXPECT_EQ(drawing.ops[1], (DrawOp{LineOp{2, 73, 288, 73, 0x800000}}));
    EXPECT_EQ(drawing.ops[6], (DrawOp{LineOp{42, 45, 42, 213, 0x800000}}));
    EXPECT_EQ(drawing.ops[11], (DrawOp{LineOp{247, 45, 247, 213, 0x800000}}));
}

// ---------------------------------------------------------------- texts --

TEST(MonthGridTexts, TitleAndAnimal) {
    const auto texts = Texts(PageOn(Ole(2024y / 2 / 10)).DrawTitleBar());
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], (TextOp{"农历甲辰年一月初一", 6, 7, kBlack}));
    EXPECT_EQ(texts[1], (TextOp{"龙", 132, 7, kBlack}));
    // No leap mark in the title.
    EXPECT_EQ(Texts(PageOn(Ole(2023y / 3 / 22)).DrawTitleBar())[0].text, "农历癸卯年二月初一");
}

TEST(MonthGridTexts, WeekHeaderPositionsAndColours) {
    struct Case {
        int width;
        int first_x;
        int step;
    };
    for (const Case& c : std::vector<Case>{{290, 4, 41}, {297, 5, 42}}) {
        SCOPED_TRACE("width " + std::to_string(c.width));
        MonthGrid grid = PageOn(Ole(2024y / 5 / 20));
        grid.Resize(c.width, kControlHeight);
        const auto texts = Texts(grid.DrawWeekHeader());
        ASSERT_EQ(texts.size(), 7u);
        const char* names[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
        for (int column = 0; column < 7; ++column) {
            const OleColor color = column == 0 ? kRed : column == 6 ? kBlue : kBlack;
            EXPECT_EQ(texts[static_cast<std::size_t>(column)],
                      (TextOp{names[column], c.first_x + column * c.step, 30, color}))
                << "column " << column;
        }
    }
}

TEST(MonthGridTexts, DayNumbersAndLabels) {
    struct Case {
        const char* name;
        year_month_day value;
        int width;
        int day;
        TextOp number;
        TextOp label;
    };
    for (const Case& c : std::vector<Case>{
             // 2020-10-01 (Thursday, cell 4): lunar 0815 on the solar 1001.
             {"festival beats solar festival", 2020y / 10 / 1, 290, 1, {"1", 4 * 41 + 2 + 18, 46, kBlack},
              {"中秋节", 4 * 41 + 2 + 2, 59, kRed}},
             {"solar festival", 2024y / 10 / 1, 290, 1, {"1", 2 * 41 + 2 + 18, 46, kBlack},
              {"国庆节", 2 * 41 + 2 + 2, 59, kRed}},
             // 2024-10-06 is a Sunday (cell 7), 2024-10-12 a Saturday (cell 13).
             {"Sunday in red", 2024y / 10 / 1, 290, 6, {"6", 2 + 18, 74, kRed}, {"老人节", 2 + 2, 87, kRed}},
             {"Saturday in blue", 2024y / 10 / 1, 290, 12, {"12", 6 * 41 + 2 + 14, 74, kBlue},
              {"初十", 6 * 41 + 2 + 8, 87, kBlack}},
             {"two-character label at 297", 2024y / 10 / 1, 297, 12, {"12", 6 * 42 + 2 + 15, 74, kBlue},
              {"初十", 6 * 42 + 2 + 9, 87, kBlack}},
             {"three-character label at 297", 2024y / 10 / 1, 297, 1, {"1", 2 * 42 + 2 + 18, 46, kBlack},
              {"国庆节", 2 * 42 + 2 + 3, 59, kRed}},
             // 2024-02-29 (cell 32) is the 20th day of the first lunar month.
             {"20th lunar day", 2024y / 2 / 1, 290, 29, {"29", 4 * 41 + 2 + 14, 158, kBlack},
              {"廿十", 4 * 41 + 2 + 8, 171, kBlack}},
         }) {
        SCOPED_TRACE(c.name);
        MonthGrid grid = PageOn(Ole(c.value));
        grid.Resize(c.width, kControlHeight);
        const auto texts = Texts(grid.DrawDateGrid());
        const auto at = std::find_if(texts.begin(), texts.end(), [&](const TextOp& t) { return t.text == c.number.text; });
        ASSERT_NE(at, texts.end());
        ASSERT_NE(at + 1, texts.end());
        EXPECT_EQ(*at, c.number);
        EXPECT_EQ(*(at + 1), c.label);
    }
}

TEST(MonthGridTexts, TermLine) {
    struct Case {
        year_month_day value;
        int width;
        std::vector<TextOp> texts;
    };
    for (const Case& c : std::vector<Case>{
             {2024y / 1 / 9, 290, {{"小寒：6日", 8, 218, kBlack}, {"大寒：20日", 145, 218, kBlack}}},
             {2024y / 2 / 1, 297, {{"立春：4日", 8, 218, kBlack}, {"雨水：19日", 148, 218, kBlack}}},
         }) {
        SCOPED_TRACE(Iso(c.value));
        MonthGrid grid = PageOn(Ole(c.value));
        grid.Resize(c.width, kControlHeight);
        EXPECT_EQ(Texts(grid.DrawTermBar()), c.texts);
    }
}

TEST(MonthGridTexts, SpinnerLabels) {
    struct Case {
        year_month_day value;
        std::vector<TextOp> year_texts;
        std::vector<TextOp> month_texts;
    };
    for (const Case& c : std::vector<Case>{
             {2024y / 5 / 20, {{"2024", 14, 4, kBlack}}, {{"5", 16, 4, kBlack}, {"月", 26, 4, kBlack}}},
             {1901y / 12 / 1, {{"1901", 14, 4, kBlack}}, {{"12", 14, 4, kBlack}, {"月", 26, 4, kBlack}}},
         }) {
        SCOPED_TRACE(Iso(c.value));
        const MonthGrid grid = PageOn(Ole(c.value));
        EXPECT_EQ(Texts(grid.DrawSpinner(Spinner::Year)), c.year_texts);
        EXPECT_EQ(Texts(grid.DrawSpinner(Spinner::Month)), c.month_texts);
    }
}

TEST(MonthGridTexts, FrameLines) {
    MonthGrid grid = PageOn(Ole(2024y / 5 / 20));
    grid.Resize(297, 235);
    const Drawing lines = grid.DrawFrameLines();
    ASSERT_EQ(lines.ops.size(), 3u);
    EXPECT_EQ(lines.ops[0], (DrawOp{LineOp{1, 25, 295, 25, kBlack}}));
    EXPECT_EQ(lines.ops[1], (DrawOp{LineOp{1, 45, 295, 45, kBlack}}));
    EXPECT_EQ(lines.ops[2], (DrawOp{LineOp{1, 213, 295, 213, kBlack}}));
    EXPECT_EQ(grid.DrawFrame().ops, (std::vector<DrawOp>{EdgeOp{{0, 0, 297, 235}, EdgeStyle::Bump}}));
}

TEST(MonthGridDates, ClampDayAndOleRange) {
    EXPECT_EQ(ClampDay(2023, 2, 31), 28);
    EXPECT_EQ(ClampDay(2024, 2, 31), 29);
    EXPECT_EQ(ClampDay(2024, 4, 31), 30);
    EXPECT_EQ(ClampDay(2024, 4, 12), 12);
    EXPECT_TRUE(IsOleDate(Ole(2024y / 1 / 1)));
    EXPECT_TRUE(IsOleDate(-657434.0));  // 0100-01-01
    EXPECT_FALSE(IsOleDate(2958466.0));  // after 9999-12-31
    EXPECT_FALSE(IsOleDate(std::nan("")));
}

TEST(MonthGridDates, RoundHalfEven) {
    struct Case {
        int numerator, denominator, expected;
    };
    for (const Case& c : std::vector<Case>{
             {5, 2, 2}, {7, 2, 4}, {35, 2, 18}, {29, 2, 14}, {17, 2, 8}, {-5, 2, -2}, {-7, 2, -4}, {10, 7, 1}, {4, 7, 1}, {3, 7, 0}}) {
        SCOPED_TRACE(std::to_string(c.numerator) + "/" + std::to_string(c.denominator));
        EXPECT_EQ(RoundHalfEven(c.numerator, c.denominator), c.expected);
    }
}

// ---------------------------------------------------------- holiday marks --

std::vector<MarkOp> Marks(const Drawing& drawing) {
    std::vector<MarkOp> marks;
    for (const DrawOp& op : drawing.ops) {
        if (const auto* mark = std::get_if<MarkOp>(&op)) marks.push_back(*mark);
    }
    return marks;
}

TEST(HolidayMarks, OffByDefaultThenInTheCornerOfTheArrangedDays) {
    MonthGrid grid = PageOn(Ole(2026y / 10 / 15));
    EXPECT_FALSE(grid.Properties().ShowHolidayMarks);
    EXPECT_TRUE(Marks(grid.DrawDateGrid()).empty()) << "the page looks as it always has";

    grid.SetShowHolidayMarks(true);
    EXPECT_EQ(Parts(grid.TakeRedraw()), "grid");
    const Drawing drawing = grid.DrawDateGrid();
    std::string days;  // the marked days as "1休 2休 ..."
    for (const MarkOp& mark : Marks(drawing)) {
        const auto& cells = grid.DayCells();
        for (int i = 0; i < kDayCellCount; ++i) {
            const Rect cell = grid.Layout().Cell(i);
            if (cell.right != mark.box.right || cell.top + 1 != mark.box.top) continue;
            days += std::to_string(cells[static_cast<std::size_t>(i)]) + mark.text + " ";
            EXPECT_EQ(mark.color, mark.text == "休" ? kRed : OleColor{0x404040}) << mark.text;
        }
    }
    // 2026: 1-7 October off (国庆节 and 中秋), Saturday 10 October worked.
    EXPECT_EQ(days, "1休 2休 3休 4休 5休 6休 7休 10班 ");
}

TEST(HolidayMarks, AsLargeAsThePageCharactersAndClearOfTheDayNumber) {
    for (const int width : {290, 297, 339, 400}) {
        SCOPED_TRACE(width);
        MonthGrid grid = PageOn(Ole(2026y / 10 / 15));
        grid.Resize(width, kControlHeight);
        grid.SetShowHolidayMarks(true);
        const Drawing drawing = grid.DrawDateGrid();
        const std::vector<MarkOp> marks = Marks(drawing);
        ASSERT_FALSE(marks.empty());
        const int size = marks.front().box.bottom - marks.front().box.top;
        EXPECT_EQ(size, 12) << "the page's characters fit beside the number at every width";
        EXPECT_EQ(marks.front().box.right - marks.front().box.left, size);
        // Day 10's number: two digits, drawn up to 7 pixels each by wider faces.
        for (const TextOp& text : Texts(drawing)) {
            if (text.text != "10") continue;
            const MarkOp& ten = marks.back();
            EXPECT_GE(ten.box.left, text.x + 14) << "right of the number";
            EXPECT_LE(ten.box.bottom, text.y + 13) << "above the lunar label";
        }
    }
}

TEST(HolidayMarks, OnlyWhereTheArrangementIsKnownOrTheLawHolds) {
    MonthGrid grid = PageOn(Ole(1995y / 10 / 15));
    grid.SetShowHolidayMarks(true);
    EXPECT_TRUE(Marks(grid.DrawDateGrid()).empty()) << "before the table: the law of 2024 did not apply";
    grid.SetValue(Ole(2027y / 10 / 15));
    EXPECT_EQ(Marks(grid.DrawDateGrid()).size(), 3u) << "not published yet: the statutory 1-3 October";
}

}  // namespace
