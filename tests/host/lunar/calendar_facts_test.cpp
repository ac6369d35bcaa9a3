#include "lunar/core/calendar_facts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "tests/host/lunar/test_dates.h"

namespace {

using namespace std::chrono;
using namespace lunar;
using namespace lunar_test;

TEST(CalendarNames, LunarDayNames) {
    const std::vector<std::string> expected = {
        "初一", "初二", "初三", "初四", "初五", "初六", "初七", "初八", "初九", "初十",
        "十一", "十二", "十三", "十四", "十五", "十六", "十七", "十八", "十九", "廿十",
        "廿一", "廿二", "廿三", "廿四", "廿五", "廿六", "廿七", "廿八", "廿九", "卅十"};
    for (int d = 1; d <= 30; ++d) {
        EXPECT_EQ(LunarDayName(d), expected[static_cast<std::size_t>(d - 1)]) << "day " << d;
    }
    EXPECT_THROW(LunarDayName(0), DateRangeError);
    EXPECT_THROW(LunarDayName(31), DateRangeError);
}

TEST(CalendarNames, LunarMonthNames) {
    const std::vector<std::string> expected = {"一月", "二月", "三月", "四月", "五月", "六月",
                                               "七月", "八月", "九月", "十月", "十一月", "十二月"};
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(LunarMonthName(m), expected[static_cast<std::size_t>(m - 1)]) << "month " << m;
    }
    EXPECT_THROW(LunarMonthName(13), DateRangeError);
}

TEST(CalendarNames, YearNamesAndAnimals) {
    struct Case {
        int year;
        const char* name;
        const char* animal;
    };
    for (const Case& c : std::vector<Case>{{1900, "庚子年", "鼠"},
                                           {1901, "辛丑年", "牛"},
                                           {1984, "甲子年", "鼠"},
                                           {2000, "庚辰年", "龙"},
                                           {2023, "癸卯年", "兔"},
                                           {2024, "甲辰年", "龙"},
                                           {2033, "癸丑年", "牛"},
                                           {2090, "庚戌年", "狗"}}) {
        EXPECT_EQ(LunarYearName(c.year), c.name) << c.year;
        EXPECT_EQ(AnimalName(c.year), c.animal) << c.year;
    }
}

struct DateTextCase {
    year_month_day day;
    int seconds_of_day;
    const char* text;
};

TEST(PublicMethods, GetChineseDate) {
    for (const DateTextCase& c : std::vector<DateTextCase>{
             {2024y / 2 / 10, 0, "农历甲辰年一月初一"},
             {2024y / 2 / 9, 0, "农历癸卯年十二月卅十"},
             {2023y / 3 / 22, 0, "农历癸卯年(闰)二月初一"},
             {1901y / 1 / 1, 0, "农历庚子年十一月十一"},
             {2090y / 12 / 31, 0, "农历庚戌年十一月十一"},
             {2033y / 12 / 22, 0, "农历癸丑年(闰)十一月初一"},
             {2024y / 2 / 9, Hours(18), "农历甲辰年一月初一"},  // rounds to the next day
         }) {
        const OleDate date = Ole(c.day, c.seconds_of_day);
        EXPECT_EQ(GetChineseDate(date, date), c.text) << Iso(c.day) << " +" << c.seconds_of_day << "s";
    }
}

TEST(PublicMethods, YearMonthDayAndAnimal) {
    struct Case {
        year_month_day day;
        const char* year_text;
        const char* month_text;
        const char* day_text;
        const char* animal;
    };
    for (const Case& c : std::vector<Case>{
             {1901y / 1 / 1, "庚子年", "十一月", "十一", "鼠"},
             {2090y / 12 / 31, "庚戌年", "十一月", "十一", "狗"},
             {2023y / 4 / 19, "癸卯年(闰)", "二月", "廿九", "兔"},
             {2000y / 2 / 4, "己卯年", "十二月", "廿九", "兔"},
             {2000y / 2 / 5, "庚辰年", "一月", "初一", "龙"},
             {2024y / 2 / 9, "癸卯年", "十二月", "卅十", "兔"},
             {2024y / 2 / 29, "甲辰年", "一月", "廿十", "龙"},
         }) {
        SCOPED_TRACE(Iso(c.day));
        const OleDate date = Ole(c.day);
        EXPECT_EQ(GetChineseYear(date, date), c.year_text);
        EXPECT_EQ(GetChineseMonth(date, date), c.month_text);
        EXPECT_EQ(GetChineseDay(date, date), c.day_text);
        EXPECT_EQ(GetChineseAnimal(date, date), c.animal);
    }
}

TEST(PublicMethods, StarSignBoundaries) {
    struct Case {
        month_day day;
        const char* sign;
    };
    for (const Case& c : std::vector<Case>{
             {March / 20, "双鱼座"},    {March / 21, "牡羊座"},    {April / 19, "牡羊座"},
             {April / 20, "金牛座"},    {May / 20, "金牛座"},      {May / 21, "双子座"},
             {June / 21, "双子座"},     {June / 22, "巨蟹座"},     {July / 22, "巨蟹座"},
             {July / 23, "狮子座"},     {August / 22, "狮子座"},   {August / 23, "处女座"},
             {September / 22, "处女座"}, {September / 23, "天秤座"}, {October / 23, "天秤座"},
             {October / 24, "天蝎座"},  {November / 21, "天蝎座"}, {November / 22, "射手座"},
             {December / 21, "射手座"}, {December / 22, "魔羯座"}, {December / 31, "魔羯座"},
             {January / 1, "魔羯座"},   {January / 19, "魔羯座"},  {January / 20, "水瓶座"},
             {February / 18, "水瓶座"}, {February / 19, "双鱼座"}, {February / 29, "双鱼座"},
         }) {
        const year_month_day day = year{2024} / c.day;
        EXPECT_EQ(GetConstellation(Ole(day), Ole(day)), c.sign) << Iso(day);
    }
}

TEST(PublicMethods, StarSignUsesTheCalendarDayEvenAfterNoon) {
    // The lunar date rounds 18:00 to the next day; the star sign keeps the day.
    const OleDate evening = Ole(2024y / 3 / 20, Hours(18));
    EXPECT_EQ(GetConstellation(evening, evening), "双鱼座");
}

// Dates outside 1901-01-01 .. 2090-12-31 00:00 answer for the control's Value.
TEST(PublicMethods, DateCheckSubstitutesValue) {
    using Method = std::string (*)(OleDate, OleDate);
    struct Named {
        const char* name;
        Method method;
    };
    const std::vector<Named> methods = {
        {"GetChineseDate", GetChineseDate},     {"GetChineseYear", GetChineseYear},
        {"GetChineseMonth", GetChineseMonth},   {"GetChineseDay", GetChineseDay},
        {"GetChineseAnimal", GetChineseAnimal}, {"GetConstellation", GetConstellation},
    };
    const OleDate value = Ole(2023y / 3 / 22);  // 农历癸卯年(闰)二月初一, 牡羊座
    const OleDate other = Ole(2024y / 1 / 1);

    struct Case {
        const char* name;
        OleDate date;
        bool replaced;
    };
    const std::vector<Case> cases = {
        {"1900-12-31", Ole(1900y / 12 / 31), true},
        {"1900-12-31 23:59", Ole(1900y / 12 / 31, Hours(23, 59)), true},
        {"2091-01-01", Ole(2091y / 1 / 1), true},
        {"2090-12-31 12:00", Ole(2090y / 12 / 31, Hours(12)), true},
        {"2090-12-31 00:00:01", Ole(2090y / 12 / 31, 1), true},
        {"zero date", 0.0, true},
        {"NaN", std::numeric_limits<double>::quiet_NaN(), true},
        {"1901-01-01", Ole(1901y / 1 / 1), false},
        {"2090-12-31", Ole(2090y / 12 / 31), false},
        {"2024-01-01", other, false},
    };
    for (const Case& c : cases) {
        for (const Named& m : methods) {
            SCOPED_TRACE(std::string(m.name) + " of " + c.name);
            const OleDate answered_for = c.replaced ? value : c.date;
            EXPECT_EQ(m.method(c.date, value), m.method(answered_for, answered_for));
            if (c.replaced) {
                EXPECT_EQ(CheckedDate(c.date, value), value);
            } else {
                EXPECT_EQ(CheckedDate(c.date, value), c.date);
            }
        }
    }
    EXPECT_EQ(GetChineseDate(Ole(2091y / 1 / 1), value), "农历癸卯年(闰)二月初一");
    EXPECT_EQ(GetConstellation(Ole(1900y / 12 / 31), value), "牡羊座");
}

TEST(PublicMethods, ValueOutsideTheTableFails) {
    const OleDate bad_value = Ole(1900y / 1 / 1);
    EXPECT_THROW(GetChineseDate(Ole(1800y / 1 / 1), bad_value), DateRangeError);
    EXPECT_THROW(GetChineseAnimal(Ole(2091y / 3 / 1), Ole(2091y / 3 / 1)), DateRangeError);
    EXPECT_THROW(GetConstellation(1e9, 1e9), DateRangeError);
}

TEST(SolarTerms, KnownDates) {
    struct Case {
        int year;
        int n;
        year_month_day date;
    };
    for (const Case& c : std::vector<Case>{
             {2024, 1, 2024y / 1 / 6},   {2024, 3, 2024y / 2 / 4},   {2024, 7, 2024y / 4 / 4},
             {2024, 24, 2024y / 12 / 21}, {2025, 1, 2025y / 1 / 5},   {2025, 3, 2025y / 2 / 3},
             {2017, 24, 2017y / 12 / 22},  // the formula alone gives 12-21
             // Outside the data the formula answers: 小寒 1900 is its epoch
             // 1900-01-06 02:05; 冬至 is 504758 min = 350 d 12:38 later.
             {1900, 1, 1900y / 1 / 6},   {1900, 24, 1900y / 12 / 22},
         }) {
        EXPECT_EQ(SolarTermDate(c.year, c.n), sys_days{c.date}) << c.year << " term " << c.n;
    }
    EXPECT_THROW(SolarTermDate(2024, 0), DateRangeError);
    EXPECT_THROW(SolarTermDate(2024, 25), DateRangeError);
}

TEST(SolarTerms, Names) {
    for (const DateTextCase& c : std::vector<DateTextCase>{
             {2024y / 1 / 6, 0, "小寒"},
             {2024y / 1 / 20, 0, "大寒"},
             {2024y / 1 / 7, 0, " "},
             {2024y / 1 / 6, Hours(8), " "},  // a time of day never matches
             {2017y / 12 / 22, 0, "冬至"},
             {2017y / 12 / 21, 0, " "},
             {2024y / 12 / 21, 0, "冬至"},
             {2024y / 12 / 6, 0, "大雪"},
         }) {
        EXPECT_EQ(SolarTermName(Ole(c.day, c.seconds_of_day)), c.text)
            << Iso(c.day) << " +" << c.seconds_of_day << "s";
    }
}

// Every term of 1901..2090 falls on the day the astronomical data gives.
TEST(SolarTerms, MatchEveryLineOfTheTermData) {
    std::ifstream file(LUNAR_TEST_DATA_DIR "/solar-terms.tsv");
    ASSERT_TRUE(file) << "cannot open " LUNAR_TEST_DATA_DIR "/solar-terms.tsv";
    std::string line;
    int rows = 0;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#' || line.rfind("year", 0) == 0) continue;
        std::istringstream fields(line);
        int y = 0, n = 0, mo = 0, d = 0;
        int file_year = 0;
        char dash1 = 0, dash2 = 0;
        fields >> y >> n >> file_year >> dash1 >> mo >> dash2 >> d;
        ASSERT_TRUE(fields && dash1 == '-' && dash2 == '-') << "unreadable line: " << line;
        const year_month_day date{year{file_year}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
        ++rows;
        EXPECT_EQ(SolarTermDate(y, n), sys_days{date}) << line;
        EXPECT_EQ(SolarTermName(Ole(date)), TermNames[static_cast<std::size_t>(n - 1)]) << line;
    }
    EXPECT_EQ(rows, 190 * 24);
}

TEST(GridDayLabel, FestivalsAndDayNames) {
    struct Case {
        year_month_day day;
        const char* text;
        OleColor color;
    };
    for (const Case& c : std::vector<Case>{
             {2020y / 10 / 1, "中秋节", kRed},  // lunar 0815 beats solar 1001
             {2024y / 10 / 1, "国庆节", kRed},
             {2010y / 2 / 14, "春节", kRed},    // lunar 0101 beats 0214
             {2024y / 2 / 14, "情人节", kRed},
             {2024y / 1 / 1, "元旦", kRed},
             {2024y / 1 / 18, "腊八节", kRed},
             {2024y / 2 / 3, "小年", kRed},
             {2024y / 2 / 24, "元宵节", kRed},
             {2024y / 1 / 2, "廿一", kBlack},
             {2024y / 2 / 29, "廿十", kBlack},
             {2024y / 12 / 21, "廿一", kBlack},  // a solar term is never a label
             // The last day of the lunar year is 除夕, before every other rule.
             {2024y / 2 / 9, "除夕", kRed},      // 十二月卅十
             {2025y / 1 / 28, "除夕", kRed},     // 十二月廿九
             {1972y / 2 / 14, "除夕", kRed},     // also 0214
             // Leap months match like the ordinary month.
             {2006y / 8 / 30, "七夕节", kRed},   // leap 7th month, day 7
             {2009y / 6 / 27, "端午节", kRed},   // leap 5th month, day 5
         }) {
        EXPECT_EQ(GridDayLabel(sys_days{c.day}), (DayLabel{c.text, c.color})) << Iso(c.day);
    }
}

}  // namespace
