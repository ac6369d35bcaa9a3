// China's working days: the built-in arrangements, the statutory fallback for
// a year not yet published, and the user's file that adds one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lunar/core/lunar_core.h"

namespace {

using namespace std::chrono;
using lunar::DayMark;
using lunar::DayStatus;

sys_days Day(const std::string& s) {
    return sys_days{year{std::stoi(s.substr(0, 4))} / std::stoi(s.substr(5, 2)) / std::stoi(s.substr(8, 2))};
}

struct StatusCase {
    std::string day;
    bool working;
    DayMark mark;
    const char* name;
    bool published;
};

void ExpectStatuses(const lunar::WorkCalendar& calendar, const std::vector<StatusCase>& cases) {
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.day);
        EXPECT_EQ(calendar.Status(Day(c.day)), (DayStatus{c.working, c.mark, c.name, c.published}));
    }
}

TEST(WorkingDays, BuiltInArrangementsAndTheStatutoryFallback) {
    std::vector<StatusCase> cases = {
        // 2026: two make-up days around 国庆节, 1-7 October off.
        {"2026-09-20", true, DayMark::makeup, "国庆节", true},   // Sunday
        {"2026-10-10", true, DayMark::makeup, "国庆节", true},   // Saturday
        {"2026-10-08", true, DayMark::none, "", true},
        {"2026-10-11", false, DayMark::none, "", true},          // plain Sunday
        {"2026-09-25", false, DayMark::rest, "中秋", true},
        // 春节 2026: 除夕 (lunar 12th month of 29 days) to the 8th day.
        {"2026-02-14", true, DayMark::makeup, "春节", true},
        {"2026-02-16", false, DayMark::rest, "春节", true},
        {"2026-02-23", false, DayMark::rest, "春节", true},
        {"2026-02-24", true, DayMark::none, "", true},
        {"2004-01-01", false, DayMark::rest, "元旦", true},
        // 2027 is not published: the statutory days, weekends, nothing made up.
        {"2027-02-05", false, DayMark::rest, "春节", false},      // 除夕, Friday
        {"2027-02-08", false, DayMark::rest, "春节", false},      // 初三, Monday
        {"2027-02-09", true, DayMark::none, "", false},
        {"2027-02-20", false, DayMark::none, "", false},          // Saturday
        {"2027-04-05", false, DayMark::rest, "清明", false},
        {"2027-05-03", true, DayMark::none, "", false},
        {"2027-09-15", false, DayMark::rest, "中秋", false},
        {"2027-10-04", true, DayMark::none, "", false},
        {"2003-10-01", false, DayMark::rest, "国庆节", false},
    };
    for (int d = 1; d <= 7; ++d) cases.push_back({"2026-10-0" + std::to_string(d), false, DayMark::rest, "国庆节", true});
    ExpectStatuses(lunar::WorkCalendar{}, cases);
    EXPECT_TRUE(lunar::WorkCalendar{}.IsPublished(2026));
    EXPECT_FALSE(lunar::WorkCalendar{}.IsPublished(2027));
    EXPECT_THROW(lunar::WorkCalendar{}.Status(Day("2091-01-01")), lunar::DateRangeError);
}

TEST(WorkingDays, StatutoryHolidaysOf2027) {
    std::string listed;
    for (const lunar::NamedDay& d : lunar::StatutoryHolidays(2027)) {
        listed += lunar::IsoDateText(year_month_day{d.day}) + " " + d.name + "\n";
    }
    EXPECT_EQ(listed,
              "2027-01-01 元旦\n2027-02-05 春节\n2027-02-06 春节\n2027-02-07 春节\n2027-02-08 春节\n"
              "2027-04-05 清明\n2027-05-01 劳动节\n2027-05-02 劳动节\n2027-06-09 端午\n2027-09-15 中秋\n"
              "2027-10-01 国庆节\n2027-10-02 国庆节\n2027-10-03 国庆节\n");
}

// Stands in for the platform's code page 936 for the few characters used here.
std::string FakeGbk(std::string_view bytes) {
    const std::pair<std::string_view, std::string_view> table[] = {
        {"\xD0\xDD", "休"}, {"\xB0\xE0", "班"}, {"\xB4\xBA", "春"}, {"\xBD\xDA", "节"}};
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        bool found = false;
        for (const auto& [gbk, utf8] : table) {
            if (bytes.substr(i, 2) == gbk) out += utf8, i += 2, found = true;
        }
        if (!found) out += bytes[i++];
    }
    return out;
}

TEST(WorkingDays, UserFileLinesAreReadOrReportedOneByOne) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<lunar::UserDay> days;
        std::vector<lunar::HolidayFileProblem> problems;
    };
    const std::vector<Case> cases = {
        {"UTF-8 with BOM, CRLF, comments",
         "\xEF\xBB\xBF# 2027年\r\n2027-02-20 班\r\n\r\n2027-02-06 休 春节  # 初一\r\n\t2027-02-10\t休\r\n",
         {{Day("2027-02-20"), true, ""}, {Day("2027-02-06"), false, "春节"}, {Day("2027-02-10"), false, ""}},
         {}},
        {"GBK", "2027-02-06 \xD0\xDD \xB4\xBA\xBD\xDA\n2027-02-20 \xB0\xE0",
         {{Day("2027-02-06"), false, "春节"}, {Day("2027-02-20"), true, ""}},
         {}},
        {"bad lines skipped, the rest kept",
         "2027-13-01 休\n2027-02-20\n2027-02-21 上班\n2027-02-22 休息\nhello\n2091-01-01 休\n"
         "2027-2-1 休\n2027-02-23 班 # ok\n",
         {{Day("2027-02-23"), true, ""}},
         {{1, "2027-13-01 休"}, {2, "2027-02-20"}, {3, "2027-02-21 上班"}, {4, "2027-02-22 休息"},
          {5, "hello"}, {6, "2091-01-01 休"}, {7, "2027-2-1 休"}}},
        {"empty", "", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const lunar::HolidayFile file = lunar::ParseHolidayFile(c.bytes, FakeGbk);
        EXPECT_EQ(file.days, c.days);
        EXPECT_EQ(file.problems, c.problems);
    }
}

TEST(WorkingDays, UserFileAddsAYearAndCorrectsDays) {
    const lunar::HolidayFile file = lunar::ParseHolidayFile(
        "\xEF\xBB\xBF" "2027-02-20 班\n2027-02-10 休 春节\n2027-02-05 班\n2026-10-12 休 补假\n", FakeGbk);
    ASSERT_TRUE(file.problems.empty());
    const lunar::WorkCalendar calendar(file.days);
    EXPECT_TRUE(calendar.IsPublished(2027));
    EXPECT_FALSE(calendar.IsPublished(2028));
    ExpectStatuses(calendar, {
        {"2027-02-20", true, DayMark::makeup, "", true},
        {"2027-02-10", false, DayMark::rest, "春节", true},
        {"2027-02-05", true, DayMark::none, "", true},      // the user's word over the statute
        {"2027-02-06", false, DayMark::rest, "春节", true},  // not listed: statutory
        {"2027-02-11", true, DayMark::none, "", true},
        {"2026-10-12", false, DayMark::rest, "补假", true},  // over the built-in table
        {"2028-01-26", false, DayMark::rest, "春节", false},
    });
}

}  // namespace
