// The pieces of a month page that do not depend on drawing: which grid cell
// holds which day, the label under each day, the solar-term line and the
// title text.
#pragma once

#include <array>
#include <string>

#include "lunar/core/calendar_facts.h"
#include "lunar/core/ole_date.h"

namespace lunar {

// Six leading blanks plus 31 days fill all cells of the grid.
inline constexpr int kDayCellCount = 37;

// Cell index = row * 7 + column, Sunday in column 0; a cell holds its day of
// the month or 0 when blank. Throws DateRangeError for a month outside 1..12.
std::array<int, kDayCellCount> FillDayCells(int year, int month);

struct MonthCell {
    int day = 0;     // 0 = blank cell
    DayLabel label;  // empty for a blank cell
};

// Every cell of the month with its day label. Throws DateRangeError when a day
// of the month lies outside the lunar table.
std::array<MonthCell, kDayCellCount> MonthCells(int year, int month);

// The month's solar terms as "小寒：6日": the first term day of the month in
// `first`, the last one in `second` (a month has two).
struct TermLine {
    std::string first;
    std::string second;
};
TermLine MonthTermLine(int year, int month);

// The lunar date of the selected day as the title shows it, without the leap
// mark: 农历癸卯年十一月二十.
std::string TitleText(OleDate value);

}  // namespace lunar
