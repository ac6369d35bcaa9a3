// The month page of the Lunetra control as plain data: its layout, what each
// part draws, the spinners and pickers, the day selection and the resize
// snapping. The Windows side renders the drawings with GDI and feeds the
// model its mouse, timer and picker events; every decision lives here.
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "lunar/core/calendar_facts.h"
#include "lunar/core/month_page.h"
#include "lunar/core/ole_date.h"
#include "lunar/core/working_days.h"

namespace lunar {

// ---------------------------------------------------------------- layout --

// Pixel rectangle; right and bottom are excluded, as GDI has them.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

inline constexpr int kMinControlWidth = 290;
inline constexpr int kControlHeight = 235;
inline constexpr int kWidthStep = 7;  // one pixel per column
inline constexpr int kGridTop = 46;
inline constexpr int kRowPitch = 28;
inline constexpr int kSpinnerTop = 3;
inline constexpr int kSpinnerWidth = 64;
inline constexpr int kSpinnerHeight = 20;
inline constexpr int kFirstPageYear = 1901;
inline constexpr int kLastPageYear = 2090;

// numerator / denominator rounded to the nearest integer, an exact half to
// the even one; denominator > 0.
int RoundHalfEven(int numerator, int denominator);

// Width of a grid cell for a control `width` pixels wide: 41 at 290.
int CellWidth(int width);

// The width a resize to `requested` pixels ends on: at least 290, else 290
// plus whole steps of 7 (the nearest, halves to even). The height is always
// kControlHeight.
int SnapWidth(int requested);

struct PageLayout {
    int width = kMinControlWidth;
    int height = kControlHeight;
    int cell_width = 41;
    Rect whole;
    Rect title;
    Rect week;
    Rect grid;
    Rect bottom;
    int year_spinner_left = 0;   // also the left of the year picker
    int month_spinner_left = 0;  // also the left of the month picker

    // Cell i (0..36): column i mod 7, row i div 7.
    Rect Cell(int index) const;
    Rect YearSpinner() const;
    Rect MonthSpinner() const;
};

PageLayout LayoutFor(int width, int height = kControlHeight);

// The grid cell under a press at (x, y), or none for the title, the week
// header, the bottom line and anything right of the seventh column.
std::optional<int> CellAt(const PageLayout& layout, double x, double y);

// --------------------------------------------------------------- drawing --

enum class FontFace {
    Text,     // the control's face, Chinese characters 12 and digits 6 pixels wide
    Symbols,  // Marlett, for the spinner arrows
};

enum class EdgeStyle {
    Bump,         // the control's border
    RaisedFlat,   // a spinner button at rest
    SunkenOuter,  // a spinner button held down
};

struct FillOp {
    Rect rect;
    OleColor color;
    friend bool operator==(const FillOp&, const FillOp&) = default;
};

// A one-pixel line; the end point is not drawn.
struct LineOp {
    int x1, y1, x2, y2;
    OleColor color;
    friend bool operator==(const LineOp&, const LineOp&) = default;
};

// Text with its top-left corner at (x, y) on a transparent background.
struct TextOp {
    std::string text;
    int x, y;
    OleColor color;
    friend bool operator==(const TextOp&, const TextOp&) = default;
};

// One Marlett glyph centred in a box.
struct GlyphOp {
    std::string glyph;
    Rect box;
    OleColor color;
    friend bool operator==(const GlyphOp&, const GlyphOp&) = default;
};

struct EdgeOp {
    Rect rect;
    EdgeStyle style;
    friend bool operator==(const EdgeOp&, const EdgeOp&) = default;
};

// A small mark (休, 班) in the control's face, as tall as its square box and
// centred in it; the box grows with the cell.
struct MarkOp {
    std::string text;
    Rect box;
    OleColor color;
    friend bool operator==(const MarkOp&, const MarkOp&) = default;
};

using DrawOp = std::variant<FillOp, LineOp, TextOp, GlyphOp, EdgeOp, MarkOp>;

struct Drawing {
    std::vector<DrawOp> ops;
    // The lunar texts could not be drawn: the shown month leaves the lunar
    // table. Everything else is in `ops`.
    bool lunar_failed = false;
};

// ------------------------------------------------------------ properties --

// The control's properties with their defaults, in the order in which they
// are initialised, read and written: the nine it was published with, then
// those added since (off by default, so that a page looks as it always has).
struct LunetraProperties {
    OleColor BottomBackColor = 0xC0C0C0;
    OleColor DateBackColor = 0xE0E0E0;
    OleColor GridLinesColor = 0x800000;
    OleColor SelectColor = 0xFFC0C0;
    bool ShowVerticalGrid = true;
    bool ShowHorizontalGrid = true;
    OleColor TitleBackColor = 0xC0C0C0;
    OleColor WeekBackColor = 0xFFFFC0;
    OleDate Value = 0;  // the zero date until the host initialises or loads
    bool ShowHolidayMarks = false;  // 休/班 in the corner of the holiday arrangement's days

    friend bool operator==(const LunetraProperties&, const LunetraProperties&) = default;
};

// Whether the value is a date an OLE date can name (0100-01-01 .. 9999-12-31).
bool IsOleDate(OleDate date);

// The smaller of `day` and the length of that month.
int ClampDay(int year, int month, int day);

// ---------------------------------------------------------------- spinner --

enum class Spinner { Year, Month };

// Buttons 1 (back), 2 (forward) and 3 (open the list), in spinner pixels.
inline constexpr std::array<Rect, 3> SpinRects = {{{1, 2, 13, 19}, {38, 2, 50, 19}, {50, 2, 62, 19}}};

// The button (1..3) whose inside holds (x, y), edges excluded; 0 for none.
int SpinButtonAt(int x, int y);

// What a press on a spinner asks of the window.
enum class SpinPress {
    Nothing,
    Arrow,     // an arrow is held: auto-repeat runs
    OpenList,  // drop the picker's list down
};

// Redraw flags: which parts of the page a change has made stale.
enum RedrawPart : unsigned {
    kRedrawFrame = 1u << 0,  // border and the three black lines
    kRedrawTitleBar = 1u << 1,
    kRedrawWeekHeader = 1u << 2,
    kRedrawDateGrid = 1u << 3,
    kRedrawTermBar = 1u << 4,
    kRedrawYearSpinner = 1u << 5,
    kRedrawMonthSpinner = 1u << 6,
    kRedrawAll = (1u << 7) - 1,
};

// ------------------------------------------------------------- the page --

class MonthGrid {
public:
    // A new control: 290 x 235, the spinners showing today's year and month,
    // the pickers without a selection, Value still the zero date.
    explicit MonthGrid(std::chrono::year_month_day today);

    const LunetraProperties& Properties() const { return props_; }
    const PageLayout& Layout() const { return layout_; }
    const std::array<int, kDayCellCount>& DayCells() const { return day_cells_; }

    int ShownYear() const { return year_label_; }    // the year spinner's text
    int ShownMonth() const { return month_label_; }  // the month spinner's number
    int YearPickIndex() const { return year_pick_; }    // -1 = none; 0 = 1901年
    int MonthPickIndex() const { return month_pick_; }  // -1 = none; 0 = 01月
    int SpinMode() const { return spin_mode_; }
    bool TimerRunning() const { return timer_running_; }
    bool ClickPending() const { return click_pending_; }
    int PressedButton(Spinner spinner) const;  // 0, 1 or 2
    OleColor SpinnerBackColor() const { return spinner_back_; }

    // Property lets: store the value and mark what it redraws.
    void SetBottomBackColor(OleColor color);
    void SetDateBackColor(OleColor color);
    void SetGridLinesColor(OleColor color);
    void SetSelectColor(OleColor color);
    void SetShowVerticalGrid(bool show);
    void SetShowHorizontalGrid(bool show);
    void SetTitleBackColor(OleColor color);
    void SetWeekBackColor(OleColor color);
    void SetShowHolidayMarks(bool show);
    // Stores the date unchanged, then selects its year and month in the
    // pickers (a pick that runs drops the time of day). Needs IsOleDate.
    void SetValue(OleDate value);

    // The host resized the control; the size snaps.
    void Resize(int width, int height);

    // The user chose an entry of a picker (also run when a picker's
    // selection moves to another entry).
    void PickYear(int index);
    void PickMonth(int index);

    // A press with any mouse button on the page; true when it selected a day.
    bool MouseDown(double x, double y);
    // The press ends; `clicked` when it was a click on the control. True when
    // the control is to raise its Click event.
    bool MouseUp(bool clicked);

    SpinPress SpinnerDown(Spinner spinner, int x, int y);
    void SpinnerUp(Spinner spinner);
    // The auto-repeat timer fired (every 100 ms while an arrow is held).
    void TimerTick();

    // The parts made stale since the last call.
    unsigned TakeRedraw();

    Drawing DrawFrame() const;
    Drawing DrawFrameLines() const;
    Drawing DrawTitleBar() const;
    Drawing DrawWeekHeader() const;
    Drawing DrawDateGrid() const;
    Drawing DrawTermBar() const;
    // In spinner pixels (0, 0) .. (64, 20).
    Drawing DrawSpinner(Spinner spinner) const;

private:
    bool ValueIsSet() const;  // later than 1900-01-01
    std::chrono::year_month_day ValueDay() const;
    void AssignValue(OleDate value, unsigned redraw);
    void SetYearLabel(int year);
    void SetMonthLabel(int month);
    void SyncYearPick();
    void SelectYearEntry(int index);
    void SelectMonthEntry(int index);
    void StepYear(int delta);
    void StepMonth(int delta);

    void AddHolidayMarks(Drawing& drawing, std::chrono::year_month_day shown) const;

    LunetraProperties props_;
    WorkCalendar work_calendar_;  // the built-in arrangements and the statutory holidays
    PageLayout layout_;
    std::array<int, kDayCellCount> day_cells_{};
    int year_label_ = 0;
    int month_label_ = 0;
    int year_pick_ = -1;
    int month_pick_ = -1;
    int spin_mode_ = 0;
    int pressed_year_button_ = 0;
    int pressed_month_button_ = 0;
    bool timer_running_ = false;
    bool click_pending_ = false;
    OleColor spinner_back_ = 0xE0E0E0;
    unsigned redraw_ = 0;
};

}  // namespace lunar
