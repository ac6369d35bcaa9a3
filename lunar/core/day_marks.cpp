#include "lunar/core/day_marks.h"

namespace lunar {

using namespace std::chrono;

DayStatus ShownDayStatus(const WorkCalendar& calendar, sys_days day) {
    if (day < kFirstWorkCalendarDay || day > kLastWorkCalendarDay) return {};
    DayStatus status = calendar.Status(day);
    const int y = static_cast<int>(year_month_day{day}.year());
    if (!status.published && y < FirstPublishedYear()) {
        status.mark = DayMark::none;
        status.name.clear();
    }
    return status;
}

std::string_view DayMarkSymbol(DayMark mark) {
    switch (mark) {
    case DayMark::rest: return "休";
    case DayMark::makeup: return "班";
    case DayMark::none: break;
    }
    return "";
}

std::string DayMarkText(const DayStatus& status) {
    std::string text(DayMarkSymbol(status.mark));
    if (!text.empty() && !status.name.empty()) text += " " + status.name;
    return text;
}

std::array<DayMark, kDayCellCount> MonthDayMarks(int y, int m, const WorkCalendar& calendar) {
    const std::array<int, kDayCellCount> days = FillDayCells(y, m);
    const sys_days first = sys_days{year{y} / month{static_cast<unsigned>(m)} / 1};
    std::array<DayMark, kDayCellCount> marks{};
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (days[i] != 0) marks[i] = ShownDayStatus(calendar, first + std::chrono::days{days[i] - 1}).mark;
    }
    return marks;
}

}  // namespace lunar
