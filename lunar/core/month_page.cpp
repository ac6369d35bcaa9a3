#include "lunar/core/month_page.h"

namespace lunar {

using namespace std::chrono;

namespace {

year_month CheckedMonth(int y, int m) {
    if (m < 1 || m > 12) throw DateRangeError("month " + std::to_string(m) + " is not 1..12");
    return year{y} / month{static_cast<unsigned>(m)};
}

}  // namespace

std::array<int, kDayCellCount> FillDayCells(int y, int m) {
    const year_month ym = CheckedMonth(y, m);
    const auto length = static_cast<int>(static_cast<unsigned>((ym / last).day()));
    const auto lead = static_cast<int>(weekday{sys_days{ym / 1}}.c_encoding());  // Sunday = 0

    std::array<int, kDayCellCount> cells{};
    for (int d = 1; d <= length; ++d) cells[static_cast<std::size_t>(lead + d - 1)] = d;
    return cells;
}

std::array<MonthCell, kDayCellCount> MonthCells(int y, int m) {
    const std::array<int, kDayCellCount> days = FillDayCells(y, m);
    const sys_days first = sys_days{CheckedMonth(y, m) / 1};

    std::array<MonthCell, kDayCellCount> cells{};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cells[i].day = days[i];
        if (days[i] != 0) cells[i].label = GridDayLabel(first + std::chrono::days{days[i] - 1});
    }
    return cells;
}

TermLine MonthTermLine(int y, int m) {
    const sys_days first = sys_days{CheckedMonth(y, m) / 1};
    TermLine line;
    for (int d : FillDayCells(y, m)) {
        if (d == 0) continue;
        const std::string_view term = SolarTermName(first + std::chrono::days{d - 1});
        if (term == " ") continue;
        std::string text = std::string(term) + "：" + std::to_string(d) + "日";
        (line.first.empty() ? line.first : line.second) = std::move(text);
    }
    return line;
}

std::string TitleText(OleDate value) {
    const LunarDate date = LunarDateOf(value);
    return "农历" + LunarYearName(date.year) + LunarMonthName(date.month) + LunarDayName(date.day);
}

}  // namespace lunar
