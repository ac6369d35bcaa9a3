#include "lunar/core/working_days.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "lunar/core/calendar_facts.h"
#include "lunar/core/lunar_calendar.h"
#include "lunar/core/official_days.h"

namespace lunar {

namespace {

using namespace std::chrono;

// In the order of tools/gen_workdays.py.
constexpr std::array<std::string_view, 8> kHolidayNames = {
    "元旦", "春节", "清明", "劳动节", "端午", "中秋", "国庆节",
    "中国人民抗日战争暨世界反法西斯战争胜利70周年纪念日",
};

constexpr sys_days kTableEpoch = sys_days{year{detail::kFirstPublishedYear} / 1 / 1};
constexpr int kQingmingTerm = 7;

bool IsWeekend(sys_days day) {
    const weekday w{day};
    return w == Saturday || w == Sunday;
}

DayStatus OrdinaryDay(sys_days day) {
    return DayStatus{!IsWeekend(day), DayMark::none, {}, true};
}

int YearOf(sys_days day) { return static_cast<int>(year_month_day{day}.year()); }

bool InBuiltInTable(int y) { return y >= detail::kFirstPublishedYear && y <= detail::kLastPublishedYear; }

DayStatus BuiltInStatus(sys_days day) {
    const auto key = static_cast<std::uint32_t>((day - kTableEpoch).count());
    const auto it = std::lower_bound(detail::kOfficialDays.begin(), detail::kOfficialDays.end(), key << 5);
    if (it == detail::kOfficialDays.end() || (*it >> 5) != key) return OrdinaryDay(day);
    const bool makeup = ((*it >> 4) & 1) != 0;
    return DayStatus{makeup, makeup ? DayMark::makeup : DayMark::rest, std::string(kHolidayNames[*it & 0xF]), true};
}

DayStatus StatutoryStatus(sys_days day, bool published) {
    for (const NamedDay& holiday : StatutoryHolidays(YearOf(day))) {
        if (holiday.day == day) return DayStatus{false, DayMark::rest, holiday.name, published};
    }
    DayStatus status = OrdinaryDay(day);
    status.published = published;
    return status;
}

void CheckRange(sys_days day) {
    if (day < kFirstWorkCalendarDay || day > kLastWorkCalendarDay) {
        throw DateRangeError("day outside 1901-01-01 .. 2090-12-31");
    }
}

// --- the user's file ---

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || (length == 2 && c < 0xC2) || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

std::string ToUtf8(std::string_view bytes, const AnsiDecoder& ansi_to_utf8) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (bytes.substr(0, bom.size()) == bom) return std::string(bytes.substr(bom.size()));
    if (IsValidUtf8(bytes) || !ansi_to_utf8) return std::string(bytes);
    return ansi_to_utf8(bytes);
}

// Spaces, tabs and the ideographic space an IME types.
std::string_view TrimSpace(std::string_view text) {
    constexpr std::string_view wide_space = "\xE3\x80\x80";
    for (bool cut = true; cut && !text.empty();) {
        cut = false;
        if (text.front() == ' ' || text.front() == '\t' || text.front() == '\r') text.remove_prefix(1), cut = true;
        else if (text.substr(0, 3) == wide_space) text.remove_prefix(3), cut = true;
        if (text.empty()) break;
        if (text.back() == ' ' || text.back() == '\t' || text.back() == '\r') text.remove_suffix(1), cut = true;
        else if (text.size() >= 3 && text.substr(text.size() - 3) == wide_space) text.remove_suffix(3), cut = true;
    }
    return text;
}

std::optional<sys_days> ParseIsoDay(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int fields[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8}, widths[3] = {4, 2, 2};
    for (int f = 0; f < 3; ++f) {
        for (std::size_t i = starts[f]; i < starts[f] + widths[f]; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            fields[f] = fields[f] * 10 + (text[i] - '0');
        }
    }
    const year_month_day date{year{fields[0]}, month{static_cast<unsigned>(fields[1])},
                              day{static_cast<unsigned>(fields[2])}};
    if (!date.ok()) return std::nullopt;
    return sys_days{date};
}

std::optional<UserDay> ParseHolidayLine(std::string_view line) {
    const std::size_t date_end = line.find_first_of(" \t");
    const auto day = ParseIsoDay(line.substr(0, date_end));
    if (!day || *day < kFirstWorkCalendarDay || *day > kLastWorkCalendarDay) return std::nullopt;
    if (date_end == std::string_view::npos) return std::nullopt;
    const std::string_view rest = TrimSpace(line.substr(date_end));
    constexpr std::string_view work_mark = "班", rest_mark = "休";
    const std::string_view mark = rest.substr(0, 3);
    if (mark != work_mark && mark != rest_mark) return std::nullopt;
    const std::string_view name = rest.substr(3);
    if (!name.empty() && name.front() != ' ' && name.front() != '\t' && name.substr(0, 3) != "\xE3\x80\x80") {
        return std::nullopt;  // 休息 is not 休 followed by a name
    }
    return UserDay{*day, mark == work_mark, std::string(TrimSpace(name))};
}

}  // namespace

int FirstPublishedYear() { return detail::kFirstPublishedYear; }
int LastPublishedYear() { return detail::kLastPublishedYear; }

std::vector<NamedDay> StatutoryHolidays(int y) {
    const auto on = [y](unsigned m, unsigned d) { return sys_days{year{y} / month{m} / day{d}}; };
    const auto lunar = [y](int m, int d) { return DayOfLunarDate(LunarDate{y, m, d, false}); };
    const sys_days new_year = lunar(1, 1);
    std::vector<NamedDay> holidays = {
        {on(1, 1), "元旦"},
        {new_year - days{1}, "春节"},
        {new_year, "春节"},
        {new_year + days{1}, "春节"},
        {new_year + days{2}, "春节"},
        {SolarTermDate(y, kQingmingTerm), "清明"},
        {on(5, 1), "劳动节"},
        {on(5, 2), "劳动节"},
        {lunar(5, 5), "端午"},
        {lunar(8, 15), "中秋"},
        {on(10, 1), "国庆节"},
        {on(10, 2), "国庆节"},
        {on(10, 3), "国庆节"},
    };
    std::stable_sort(holidays.begin(), holidays.end(),
                     [](const NamedDay& a, const NamedDay& b) { return a.day < b.day; });
    return holidays;
}

HolidayFile ParseHolidayFile(std::string_view bytes, const AnsiDecoder& ansi_to_utf8) {
    const std::string text = ToUtf8(bytes, ansi_to_utf8);
    HolidayFile file;
    int number = 0;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view raw = std::string_view(text).substr(start, end - start);
        start = end + 1;
        ++number;
        const std::string_view line = TrimSpace(raw.substr(0, raw.find('#')));
        if (line.empty()) continue;
        if (const auto day = ParseHolidayLine(line)) {
            file.days.push_back(*day);
        } else {
            file.problems.push_back({number, std::string(TrimSpace(raw))});
        }
    }
    return file;
}

WorkCalendar::WorkCalendar(const std::vector<UserDay>& user_days) {
    for (const UserDay& d : user_days) {
        user_days_[d.day] = d;  // a later line for the same day wins
        user_years_.insert(YearOf(d.day));
    }
}

bool WorkCalendar::IsPublished(int y) const { return InBuiltInTable(y) || user_years_.count(y) != 0; }

DayStatus WorkCalendar::Status(sys_days day) const {
    CheckRange(day);
    if (const auto it = user_days_.find(day); it != user_days_.end()) {
        const UserDay& d = it->second;
        const DayMark mark = d.working ? (IsWeekend(day) ? DayMark::makeup : DayMark::none) : DayMark::rest;
        return DayStatus{d.working, mark, d.name, true};
    }
    const int y = YearOf(day);
    if (InBuiltInTable(y)) return BuiltInStatus(day);
    return StatutoryStatus(day, user_years_.count(y) != 0);
}

}  // namespace lunar
