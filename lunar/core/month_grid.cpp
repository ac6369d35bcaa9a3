#include "lunar/core/month_grid.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "lunar/core/day_marks.h"
#include "lunar/core/lunar_calendar.h"

namespace lunar {

using namespace std::chrono;

namespace {

constexpr std::array<std::string_view, 7> kWeekdayNames = {
    "星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};

// Marlett glyphs: left triangle, right triangle, down triangle.
constexpr std::array<std::string_view, 3> kSpinGlyphs = {"3", "4", "6"};

// The spinner texts: the year at (14, 4); the month number at (16, 4) with a
// fixed "月" at (26, 4). Two-digit months start two pixels further left so
// that they end where "月" begins.
constexpr int kYearLabelX = 14;
constexpr int kMonthLabelX = 16;
constexpr int kMonthLabelWideX = 14;
constexpr int kMonthCharX = 26;
constexpr int kSpinnerTextY = 4;
// Where a click opens the picker's list: the labels' area.
constexpr Rect kSpinnerLabels = {14, 4, 38, 16};

// 休 in the holiday colour; 班 darker than the day numbers' black would look
// against them, but quieter than red.
constexpr OleColor kWorkedMarkColor = 0x404040;
// The widest day number the mark must keep clear of: two digits, and a
// pixel more each than the layout's six for faces that draw them wider.
constexpr int kWidestNumber = 2 * 7;
// The page's own characters: taller would reach the label below.
constexpr int kLargestMark = 12;

// The day the zero date stands for is never later than this one: the lunar
// texts wait until Value has been set.
constexpr OleDate kUnsetLimit = ToOleDate(year{1900} / 1 / 1);

int CharCount(std::string_view utf8) {
    return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// A double rounded to a whole number, halves to even.
long RoundToLong(double value) { return static_cast<long>(std::nearbyint(value)); }

OleDate DateOf(int y, int m, int d) {
    return ToOleDate(year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(ClampDay(y, m, d))});
}

int YearOf(const year_month_day& d) { return static_cast<int>(d.year()); }
int MonthOf(const year_month_day& d) { return static_cast<int>(static_cast<unsigned>(d.month())); }
int DayOf(const year_month_day& d) { return static_cast<int>(static_cast<unsigned>(d.day())); }

}  // namespace

// ---------------------------------------------------------------- layout --

int RoundHalfEven(int numerator, int denominator) {
    int quotient = numerator / denominator;
    int remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const int twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) ++quotient;
    return quotient;
}

int CellWidth(int width) { return (width - 10) / 7 + 1; }

int SnapWidth(int requested) {
    if (requested <= kMinControlWidth) return kMinControlWidth;
    return kMinControlWidth + kWidthStep * RoundHalfEven(requested - kMinControlWidth, kWidthStep);
}

Rect PageLayout::Cell(int index) const {
    const int column = index % 7;
    const int row = index / 7;
    return {column * cell_width + 2, row * kRowPitch + kGridTop, column * cell_width + 1 + cell_width,
            row * kRowPitch + kGridTop + 27};
}

Rect PageLayout::YearSpinner() const {
    return {year_spinner_left, kSpinnerTop, year_spinner_left + kSpinnerWidth, kSpinnerTop + kSpinnerHeight};
}

Rect PageLayout::MonthSpinner() const {
    return {month_spinner_left, kSpinnerTop, month_spinner_left + kSpinnerWidth, kSpinnerTop + kSpinnerHeight};
}

PageLayout LayoutFor(int width, int height) {
    PageLayout layout;
    layout.width = width;
    layout.height = height;
    layout.cell_width = CellWidth(width);
    layout.whole = {0, 0, width, height};
    layout.title = {2, 2, width - 2, 25};
    layout.week = {2, 26, width - 2, 45};
    layout.grid = {2, kGridTop, width - 2, height - 22};
    layout.bottom = {2, 214, width - 2, height - 2};
    layout.year_spinner_left = width - 138;
    layout.month_spinner_left = width - 70;
    return layout;
}

std::optional<int> CellAt(const PageLayout& layout, double x, double y) {
    if (!(y > 45)) return std::nullopt;
    // Divisions drop the fraction (towards zero) after rounding each side.
    const long column = RoundToLong(x - 2) / layout.cell_width;
    const long row = RoundToLong(y - kGridTop) / kRowPitch;
    // A press right of the seventh column (the border of a control whose
    // width is not yet snapped) belongs to no cell, not to the next row.
    if (column < 0 || column > 6 || row < 0) return std::nullopt;
    const long index = row * 7 + column;
    if (index >= kDayCellCount) return std::nullopt;
    return static_cast<int>(index);
}

bool IsOleDate(OleDate date) { return date > -657435.0 && date < 2958466.0; }

int ClampDay(int y, int m, int d) {
    const auto length = static_cast<int>(static_cast<unsigned>((year{y} / month{static_cast<unsigned>(m)} / last).day()));
    return std::min(d, length);
}

int SpinButtonAt(int x, int y) {
    for (int n = 1; n <= 3; ++n) {
        const Rect& r = SpinRects[static_cast<std::size_t>(n - 1)];
        if (x > r.left && x < r.right && y > r.top && y < r.bottom) return n;
    }
    return 0;
}

// ------------------------------------------------------------- the page --

MonthGrid::MonthGrid(year_month_day today)
    : layout_(LayoutFor(kMinControlWidth)),
      year_label_(YearOf(today)),
      month_label_(MonthOf(today)),
      redraw_(kRedrawAll) {
    day_cells_ = FillDayCells(YearOf(ValueDay()), MonthOf(ValueDay()));
}

int MonthGrid::PressedButton(Spinner spinner) const {
    return spinner == Spinner::Year ? pressed_year_button_ : pressed_month_button_;
}

bool MonthGrid::ValueIsSet() const { return props_.Value > kUnsetLimit; }

year_month_day MonthGrid::ValueDay() const { return year_month_day{OleDateDay(props_.Value)}; }

void MonthGrid::SetBottomBackColor(OleColor color) {
    props_.BottomBackColor = color;
    redraw_ |= kRedrawTermBar;
}

void MonthGrid::SetDateBackColor(OleColor color) {
    props_.DateBackColor = color;
    redraw_ |= kRedrawDateGrid;
}

void MonthGrid::SetGridLinesColor(OleColor color) {
    props_.GridLinesColor = color;
    redraw_ |= kRedrawDateGrid;
}

void MonthGrid::SetSelectColor(OleColor color) {
    props_.SelectColor = color;
    redraw_ |= kRedrawDateGrid;
}

void MonthGrid::SetShowVerticalGrid(bool show) {
    props_.ShowVerticalGrid = show;
    redraw_ |= kRedrawDateGrid;
}

void MonthGrid::SetShowHorizontalGrid(bool show) {
    props_.ShowHorizontalGrid = show;
    redraw_ |= kRedrawDateGrid;
}

void MonthGrid::SetTitleBackColor(OleColor color) {
    props_.TitleBackColor = color;
    spinner_back_ = color;  // the spinners sit on the title bar
    redraw_ |= kRedrawYearSpinner | kRedrawMonthSpinner | kRedrawTitleBar;
}

void MonthGrid::SetWeekBackColor(OleColor color) {
    props_.WeekBackColor = color;
    redraw_ |= kRedrawWeekHeader;
}

void MonthGrid::SetShowHolidayMarks(bool show) {
    props_.ShowHolidayMarks = show;
    redraw_ |= kRedrawDateGrid;
}

void MonthGrid::SetValue(OleDate value) {
    props_.Value = value;
    const year_month_day day = ValueDay();
    day_cells_ = FillDayCells(YearOf(day), MonthOf(day));
    const int y = YearOf(day);
    const int m = MonthOf(day);
    // A year the picker does not list leaves the picker and the spinner as
    // they were.
    if (y >= kFirstPageYear && y <= kLastPageYear) {
        SelectYearEntry(y - kFirstPageYear);
        SetYearLabel(y);
    }
    SelectMonthEntry(m - 1);
    SetMonthLabel(m);
    redraw_ |= kRedrawTitleBar | kRedrawTermBar | kRedrawDateGrid;
}

void MonthGrid::Resize(int width, int /*height: always kControlHeight*/) {
    layout_ = LayoutFor(SnapWidth(width));
    redraw_ |= kRedrawAll;
}

void MonthGrid::PickYear(int index) {
    if (index < 0 || index > kLastPageYear - kFirstPageYear) return;
    year_pick_ = index;
    const int y = index + kFirstPageYear;
    const year_month_day day = ValueDay();
    AssignValue(DateOf(y, MonthOf(day), DayOf(day)), kRedrawTitleBar | kRedrawDateGrid | kRedrawTermBar);
    SetYearLabel(y);
}

void MonthGrid::PickMonth(int index) {
    if (index < 0 || index > 11) return;
    month_pick_ = index;
    const int m = index + 1;
    const year_month_day day = ValueDay();
    const int y = YearOf(day);
    AssignValue(DateOf(y, m, DayOf(day)), kRedrawTitleBar | kRedrawDateGrid | kRedrawTermBar);
    SetYearLabel(y);
    SetMonthLabel(m);
    SyncYearPick();
}

bool MonthGrid::MouseDown(double x, double y) {
    const std::optional<int> cell = CellAt(layout_, x, y);
    if (!cell) return false;
    const int d = day_cells_[static_cast<std::size_t>(*cell)];
    if (d == 0) return false;
    const year_month_day day = ValueDay();
    AssignValue(DateOf(YearOf(day), MonthOf(day), d), kRedrawTitleBar | kRedrawDateGrid);
    click_pending_ = true;
    return true;
}

bool MonthGrid::MouseUp(bool clicked) {
    // A selection made with another button, or released off the control,
    // raises nothing and must not leave a Click for a later press.
    const bool raise = clicked && click_pending_;
    click_pending_ = false;
    return raise;
}

SpinPress MonthGrid::SpinnerDown(Spinner spinner, int x, int y) {
    const int button = SpinButtonAt(x, y);
    if (button == 1 || button == 2) {
        (spinner == Spinner::Year ? pressed_year_button_ : pressed_month_button_) = button;
        spin_mode_ = (spinner == Spinner::Year ? 0 : 2) + button;
        timer_running_ = true;
        redraw_ |= spinner == Spinner::Year ? kRedrawYearSpinner : kRedrawMonthSpinner;
        return SpinPress::Arrow;
    }
    if (button == 3 || kSpinnerLabels.Contains(x, y)) return SpinPress::OpenList;
    return SpinPress::Nothing;
}

void MonthGrid::SpinnerUp(Spinner spinner) {
    timer_running_ = false;
    spin_mode_ = 0;
    (spinner == Spinner::Year ? pressed_year_button_ : pressed_month_button_) = 0;
    redraw_ |= spinner == Spinner::Year ? kRedrawYearSpinner : kRedrawMonthSpinner;
}

void MonthGrid::TimerTick() {
    switch (spin_mode_) {
        case 1: StepYear(-1); break;
        case 2: StepYear(+1); break;
        case 3: StepMonth(-1); break;
        case 4: StepMonth(+1); break;
        default: break;
    }
}

void MonthGrid::StepYear(int delta) {
    int y = year_label_ + delta;
    if (y < kFirstPageYear) {
        y = kFirstPageYear;
        if (delta < 0) timer_running_ = false;
    } else if (y > kLastPageYear) {
        y = kLastPageYear;
        if (delta > 0) timer_running_ = false;
    }
    SetYearLabel(y);
    SelectYearEntry(y - kFirstPageYear);
    AssignValue(DateOf(y, month_label_, DayOf(ValueDay())), kRedrawTitleBar | kRedrawDateGrid | kRedrawTermBar);
}

void MonthGrid::StepMonth(int delta) {
    int y = year_label_;
    int m = month_label_ + delta;
    if (m < 1) {
        if (y > kFirstPageYear) {
            --y;
            m = 12;
        } else {
            m = 1;
        }
    } else if (m > 12) {
        if (y < kLastPageYear) {
            ++y;
            m = 1;
        } else {
            m = 12;
        }
    }
    SetYearLabel(y);
    SetMonthLabel(m);
    SyncYearPick();
    if ((delta < 0 && y == kFirstPageYear && m == 1) || (delta > 0 && y == kLastPageYear && m == 12)) {
        timer_running_ = false;
    }
    // The day is clamped to the new month (31 March back gives 29 February),
    // as the pickers do, instead of rolling over into the month after it.
    AssignValue(DateOf(y, m, DayOf(ValueDay())), kRedrawTitleBar | kRedrawDateGrid | kRedrawTermBar);
    SelectMonthEntry(m - 1);
}

unsigned MonthGrid::TakeRedraw() { return std::exchange(redraw_, 0u); }

void MonthGrid::AssignValue(OleDate value, unsigned redraw) {
    // A step or pick that lands on the same date has nothing new to draw.
    if (value == props_.Value) return;
    props_.Value = value;
    const year_month_day day = ValueDay();
    day_cells_ = FillDayCells(YearOf(day), MonthOf(day));
    redraw_ |= redraw;
}

void MonthGrid::SetYearLabel(int y) {
    if (y != year_label_) redraw_ |= kRedrawYearSpinner;
    year_label_ = y;
}

void MonthGrid::SyncYearPick() {
    // When the month spinner or the month list moves into another year, the
    // year list follows without running its pick: it opens on the year shown,
    // and the year spinner's next step starts from there.
    if (year_label_ >= kFirstPageYear && year_label_ <= kLastPageYear) {
        year_pick_ = year_label_ - kFirstPageYear;
    }
}

void MonthGrid::SetMonthLabel(int m) {
    if (m != month_label_) redraw_ |= kRedrawMonthSpinner;
    month_label_ = m;
}

void MonthGrid::SelectYearEntry(int index) {
    if (index != year_pick_) PickYear(index);
}

void MonthGrid::SelectMonthEntry(int index) {
    if (index != month_pick_) PickMonth(index);
}

// --------------------------------------------------------------- drawing --

Drawing MonthGrid::DrawFrame() const { return {{EdgeOp{layout_.whole, EdgeStyle::Bump}}, false}; }

Drawing MonthGrid::DrawFrameLines() const {
    Drawing drawing;
    for (int y : {25, 45, layout_.height - 22}) {
        drawing.ops.push_back(LineOp{1, y, layout_.width - 2, y, kBlack});
    }
    return drawing;
}

Drawing MonthGrid::DrawTitleBar() const {
    Drawing drawing;
    drawing.ops.push_back(FillOp{layout_.title, props_.TitleBackColor});
    if (!ValueIsSet()) return drawing;
    try {
        std::string text = TitleText(props_.Value);
        std::string animal = AnimalName(LunarDateOf(props_.Value).year);
        drawing.ops.push_back(TextOp{std::move(text), 6, 7, kBlack});
        drawing.ops.push_back(TextOp{std::move(animal), 132, 7, kBlack});
    } catch (const DateRangeError&) {
        drawing.lunar_failed = true;
    }
    return drawing;
}

Drawing MonthGrid::DrawWeekHeader() const {
    Drawing drawing;
    drawing.ops.push_back(FillOp{layout_.week, props_.WeekBackColor});
    const int cw = layout_.cell_width;
    for (int column = 0; column < 7; ++column) {
        const OleColor color = column == 0 ? kRed : column == 6 ? kBlue : kBlack;
        drawing.ops.push_back(TextOp{std::string(kWeekdayNames[static_cast<std::size_t>(column)]),
                                     column * cw + 2 + RoundHalfEven(cw - 36, 2), 30, color});
    }
    return drawing;
}

Drawing MonthGrid::DrawDateGrid() const {
    Drawing drawing;
    const int cw = layout_.cell_width;
    drawing.ops.push_back(FillOp{layout_.grid, props_.DateBackColor});
    if (props_.ShowHorizontalGrid) {
        for (int i = 1; i <= 5; ++i) {
            const int y = kRowPitch * i + 45;
            drawing.ops.push_back(LineOp{2, y, layout_.width - 2, y, props_.GridLinesColor});
        }
    }
    if (props_.ShowVerticalGrid) {
        for (int i = 1; i <= 6; ++i) {
            const int x = cw * i + 1;
            drawing.ops.push_back(LineOp{x, 45, x, layout_.height - 22, props_.GridLinesColor});
        }
    }

    const year_month_day value_day = ValueDay();
    std::optional<std::array<MonthCell, kDayCellCount>> cells;
    if (ValueIsSet()) {
        try {
            cells = MonthCells(YearOf(value_day), MonthOf(value_day));
        } catch (const DateRangeError&) {
            drawing.lunar_failed = true;
        }
    }

    for (int i = 0; i < kDayCellCount; ++i) {
        const int d = day_cells_[static_cast<std::size_t>(i)];
        if (d == 0) continue;
        const Rect cell = layout_.Cell(i);
        if (d == DayOf(value_day)) drawing.ops.push_back(FillOp{cell, props_.SelectColor});

        const int column = i % 7;
        const OleColor color = column == 0 ? kRed : column == 6 ? kBlue : kBlack;
        const int number_x = RoundHalfEven(d < 10 ? cw - 6 : cw - 12, 2);
        drawing.ops.push_back(TextOp{std::to_string(d), cell.left + number_x, cell.top, color});

        if (cells) {
            const DayLabel& label = (*cells)[static_cast<std::size_t>(i)].label;
            const int label_x = RoundHalfEven(CharCount(label.text) == 2 ? cw - 24 : cw - 36, 2);
            drawing.ops.push_back(TextOp{label.text, cell.left + label_x, cell.top + 13, label.color});
        }
    }
    if (cells && props_.ShowHolidayMarks) {
        try {
            AddHolidayMarks(drawing, value_day);
        } catch (const DateRangeError&) {
            // A day the working-day calendar cannot answer for goes unmarked.
        }
    }
    return drawing;
}

// Each mark sits in its cell's top-right corner, right of the widest day
// number and above the lunar label: as large as the page's own characters
// where the cell has room for them (every width the control takes has), else
// as large as the room. Smaller glyphs of the Chinese faces are not legible.
void MonthGrid::AddHolidayMarks(Drawing& drawing, year_month_day shown) const {
    const int cw = layout_.cell_width;
    const int number_end = RoundHalfEven(cw - 12, 2) + kWidestNumber;  // from the cell's left
    const int size = std::min(kLargestMark, (cw - 1) - number_end);
    const std::array<DayMark, kDayCellCount> marks = MonthDayMarks(YearOf(shown), MonthOf(shown), work_calendar_);
    for (int i = 0; i < kDayCellCount; ++i) {
        const DayMark mark = marks[static_cast<std::size_t>(i)];
        if (mark == DayMark::none) continue;
        const Rect cell = layout_.Cell(i);
        const Rect box = {cell.right - size, cell.top + 1, cell.right, cell.top + 1 + size};
        drawing.ops.push_back(MarkOp{std::string(DayMarkSymbol(mark)), box,
                                     mark == DayMark::rest ? kRed : kWorkedMarkColor});
    }
}

Drawing MonthGrid::DrawTermBar() const {
    Drawing drawing;
    drawing.ops.push_back(FillOp{layout_.bottom, props_.BottomBackColor});
    if (!ValueIsSet()) return drawing;
    const year_month_day day = ValueDay();
    const TermLine line = MonthTermLine(YearOf(day), MonthOf(day));
    if (!line.first.empty()) drawing.ops.push_back(TextOp{line.first, 8, 218, kBlack});
    if (!line.second.empty()) {
        drawing.ops.push_back(TextOp{line.second, RoundHalfEven(layout_.width, 2), 218, kBlack});
    }
    return drawing;
}

Drawing MonthGrid::DrawSpinner(Spinner spinner) const {
    Drawing drawing;
    drawing.ops.push_back(FillOp{{0, 0, kSpinnerWidth, kSpinnerHeight}, spinner_back_});
    if (spinner == Spinner::Year) {
        drawing.ops.push_back(TextOp{std::to_string(year_label_), kYearLabelX, kSpinnerTextY, kBlack});
    } else {
        drawing.ops.push_back(TextOp{std::to_string(month_label_),
                                     month_label_ < 10 ? kMonthLabelX : kMonthLabelWideX, kSpinnerTextY, kBlack});
        drawing.ops.push_back(TextOp{"月", kMonthCharX, kSpinnerTextY, kBlack});
    }
    for (std::size_t n = 0; n < SpinRects.size(); ++n) {
        drawing.ops.push_back(GlyphOp{std::string(kSpinGlyphs[n]), SpinRects[n], kBlack});
        drawing.ops.push_back(EdgeOp{SpinRects[n], EdgeStyle::RaisedFlat});
    }
    if (const int pressed = PressedButton(spinner); pressed != 0) {
        const auto n = static_cast<std::size_t>(pressed - 1);
        drawing.ops.push_back(GlyphOp{std::string(kSpinGlyphs[n]), SpinRects[n], kBlack});
        drawing.ops.push_back(EdgeOp{SpinRects[n], EdgeStyle::SunkenOuter});
    }
    return drawing;
}

}  // namespace lunar
