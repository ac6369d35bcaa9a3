#include "lunar/core/lunar_calendar.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace lunar {

namespace {

// Ten entries per row, the row starting at the year in the comment. The
// entries of 1933, 1954, 1956, 1978, 1996, 2033, 2083 and 2085 differ from the
// table as it is commonly copied: those values put months a day early or late
// (and 2033's leap month after the 7th month instead of the 11th). The ones
// here agree with astronomical calendars; no year changes its length.
constexpr std::array<std::uint32_t, 191> kLunarInfo = {
    0x04BD8, 0x04AE0, 0x0A570, 0x054D5, 0x0D260, 0x0D950, 0x16554, 0x056A0, 0x09AD0, 0x055D2,  // 1900
    0x04AE0, 0x0A5B6, 0x0A4D0, 0x0D250, 0x1D255, 0x0B540, 0x0D6A0, 0x0ADA2, 0x095B0, 0x14977,  // 1910
    0x04970, 0x0A4B0, 0x0B4B5, 0x06A50, 0x06D40, 0x1AB54, 0x02B60, 0x09570, 0x052F2, 0x04970,  // 1920
    0x06566, 0x0D4A0, 0x0EA50, 0x16A95, 0x05AD0, 0x02B60, 0x186E3, 0x092E0, 0x1C8D7, 0x0C950,  // 1930
    0x0D4A0, 0x1D8A6, 0x0B550, 0x056A0, 0x1A5B4, 0x025D0, 0x092D0, 0x0D2B2, 0x0A950, 0x0B557,  // 1940
    0x06CA0, 0x0B550, 0x15355, 0x04DA0, 0x0A5B0, 0x14573, 0x052B0, 0x0A9A8, 0x0E950, 0x06AA0,  // 1950
    0x0AEA6, 0x0AB50, 0x04B60, 0x0AAE4, 0x0A570, 0x05260, 0x0F263, 0x0D950, 0x05B57, 0x056A0,  // 1960
    0x096D0, 0x04DD5, 0x04AD0, 0x0A4D0, 0x0D4D4, 0x0D250, 0x0D558, 0x0B540, 0x0B6A0, 0x195A6,  // 1970
    0x095B0, 0x049B0, 0x0A974, 0x0A4B0, 0x0B27A, 0x06A50, 0x06D40, 0x0AF46, 0x0AB60, 0x09570,  // 1980
    0x04AF5, 0x04970, 0x064B0, 0x074A3, 0x0EA50, 0x06B58, 0x05AC0, 0x0AB60, 0x096D5, 0x092E0,  // 1990
    0x0C960, 0x0D954, 0x0D4A0, 0x0DA50, 0x07552, 0x056A0, 0x0ABB7, 0x025D0, 0x092D0, 0x0CAB5,  // 2000
    0x0A950, 0x0B4A0, 0x0BAA4, 0x0AD50, 0x055D9, 0x04BA0, 0x0A5B0, 0x15176, 0x052B0, 0x0A930,  // 2010
    0x07954, 0x06AA0, 0x0AD50, 0x05B52, 0x04B60, 0x0A6E6, 0x0A4E0, 0x0D260, 0x0EA65, 0x0D530,  // 2020
    0x05AA0, 0x076A3, 0x096D0, 0x04AFB, 0x04AD0, 0x0A4D0, 0x1D0B6, 0x0D250, 0x0D520, 0x0DD45,  // 2030
    0x0B5A0, 0x056D0, 0x055B2, 0x049B0, 0x0A577, 0x0A4B0, 0x0AA50, 0x1B255, 0x06D20, 0x0ADA0,  // 2040
    0x14B63, 0x09370, 0x049F8, 0x04970, 0x064B0, 0x168A6, 0x0EA50, 0x06B20, 0x1A6C4, 0x0AAE0,  // 2050
    0x092E0, 0x0D2E3, 0x0C960, 0x0D557, 0x0D4A0, 0x0DA50, 0x05D55, 0x056A0, 0x0A6D0, 0x055D4,  // 2060
    0x052D0, 0x0A9B8, 0x0A950, 0x0B4A0, 0x0B6A6, 0x0AD50, 0x055A0, 0x0ABA4, 0x0A5B0, 0x052B0,  // 2070
    0x0B273, 0x06930, 0x07337, 0x06AA0, 0x0AD50, 0x14B55, 0x04B60, 0x0A570, 0x054E4, 0x0D160,  // 2080
    0x0E968,                                                                                    // 2090
};

constexpr int kYearCount = kLastLunarYear - kFirstLunarYear + 1;

constexpr int OrdinaryMonthDays(std::uint32_t entry, int month) {
    return (entry & (0x8000u >> (month - 1))) ? 30 : 29;
}

constexpr int LeapDays(std::uint32_t entry) {
    if ((entry & 0xF) == 0) return 0;
    return (entry & 0x10000) ? 30 : 29;
}

constexpr int YearDays(std::uint32_t entry) {
    int days = LeapDays(entry);
    for (int m = 1; m <= 12; ++m) days += OrdinaryMonthDays(entry, m);
    return days;
}

// Day index (days since 1900-01-31) of each lunar new year, plus the day after
// the end of 2090. Lets a conversion find its year without summing months.
constexpr std::array<int, kYearCount + 1> MakeYearStarts() {
    std::array<int, kYearCount + 1> starts{};
    for (int i = 0; i < kYearCount; ++i) starts[i + 1] = starts[i] + YearDays(kLunarInfo[i]);
    return starts;
}
constexpr std::array<int, kYearCount + 1> kYearStarts = MakeYearStarts();

// The table must span exactly the days its two ends name, and in particular
// the century 1900..1999 must end where the second base date starts.
static_assert(kYearStarts[kYearCount] == (kTableLastDay - kTableFirstDay).count() + 1);
static_assert(kYearStarts[100] ==
              (std::chrono::sys_days{std::chrono::year{2000} / 2 / 5} - kTableFirstDay).count());

constexpr OleDate kBase1900 = ToOleDate(kTableFirstDay);
constexpr OleDate kBase2000 = ToOleDate(std::chrono::sys_days{std::chrono::year{2000} / 2 / 5});

std::uint32_t Entry(int year) {
    if (year > kLastLunarYear) {
        throw DateRangeError("lunar year " + std::to_string(year) + " is after 2090");
    }
    return kLunarInfo[static_cast<std::size_t>(std::max(year, kFirstLunarYear) - kFirstLunarYear)];
}

// Nearest whole number, an exact half to the even one.
double RoundHalfEven(double x) {
    const double lower = std::floor(x);
    const double rest = x - lower;
    if (rest > 0.5) return lower + 1;
    if (rest < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1;
}

int DayIndex(std::chrono::sys_days day) {
    if (day < kTableFirstDay || day > kTableLastDay) {
        throw DateRangeError("day outside the lunar table (1900-01-31 .. 2091-02-17)");
    }
    return (day - kTableFirstDay).count();
}

}  // namespace

const std::array<std::uint32_t, 191> LunarInfo = kLunarInfo;

int LunarMonthDays(int year, int month) {
    if (month < 1 || month > 12) {
        throw DateRangeError("lunar month " + std::to_string(month) + " is not 1..12");
    }
    return OrdinaryMonthDays(Entry(year), month);
}

int LeapMonth(int year) {
    if (year < kFirstLunarYear) return 0;
    return static_cast<int>(Entry(year) & 0xF);
}

int LeapMonthDays(int year) {
    if (LeapMonth(year) == 0) return 0;
    return LeapDays(Entry(year));
}

int LunarYearDays(int year) {
    int days = LeapMonthDays(year);
    for (int m = 1; m <= 12; ++m) days += LunarMonthDays(year, m);
    return days;
}

LunarDate LunarDateOfDay(std::chrono::sys_days day) {
    int offset = DayIndex(day);
    const auto next = std::upper_bound(kYearStarts.begin(), kYearStarts.end(), offset);
    const int index = static_cast<int>(next - kYearStarts.begin()) - 1;
    offset -= kYearStarts[static_cast<std::size_t>(index)];

    const std::uint32_t entry = kLunarInfo[static_cast<std::size_t>(index)];
    const int leap_month = static_cast<int>(entry & 0xF);
    LunarDate date{kFirstLunarYear + index, 1, 1, false};
    for (int m = 1; m <= 12; ++m) {
        date.month = m;
        date.leap = false;
        int length = OrdinaryMonthDays(entry, m);
        if (offset < length) break;
        offset -= length;
        if (m == leap_month) {
            date.leap = true;
            length = LeapDays(entry);
            if (offset < length) break;
            offset -= length;
        }
    }
    date.day = offset + 1;
    return date;
}

std::chrono::sys_days DayOfLunarDate(const LunarDate& date) {
    if (date.year < kFirstLunarYear || date.year > kLastLunarYear || date.month < 1 || date.month > 12) {
        throw DateRangeError("lunar month outside 1900..2090");
    }
    const std::uint32_t entry = Entry(date.year);
    const int leap_month = static_cast<int>(entry & 0xF);
    if (date.leap && leap_month != date.month) throw DateRangeError("the lunar year has no such leap month");
    const int length = date.leap ? LeapDays(entry) : OrdinaryMonthDays(entry, date.month);
    if (date.day < 1 || date.day > length) throw DateRangeError("the lunar month has no such day");
    int offset = kYearStarts[static_cast<std::size_t>(date.year - kFirstLunarYear)];
    for (int m = 1; m < date.month; ++m) {
        offset += OrdinaryMonthDays(entry, m);
        if (m == leap_month) offset += LeapDays(entry);
    }
    if (date.leap) offset += OrdinaryMonthDays(entry, date.month);
    return kTableFirstDay + std::chrono::days{offset + date.day - 1};
}

LunarDate LunarDateOf(OleDate date) {
    if (!(date >= kBase1900 - 0.5 && date <= ToOleDate(kTableLastDay) + 0.5)) {
        throw DateRangeError("date outside the lunar table (1900-01-31 .. 2091-02-17)");
    }
    const OleDate base = date <= kBase2000 ? kBase1900 : kBase2000;
    const auto offset = static_cast<int>(RoundHalfEven(date - base));
    return LunarDateOfDay(kOleEpoch + std::chrono::days{static_cast<int>(base) + offset});
}

std::string LunarDateCode(const LunarDate& date) {
    std::string code = "000000000";
    code[0] = date.leap ? '1' : '0';
    const auto put = [&code](int value, std::size_t at, std::size_t width) {
        for (std::size_t i = at + width; i-- > at; value /= 10) {
            code[i] = static_cast<char>('0' + value % 10);
        }
    };
    put(date.year, 1, 4);
    put(date.month, 5, 2);
    put(date.day, 7, 2);
    return code;
}

LunarDate ParseLunarDateCode(std::string_view code) {
    const auto number = [code](std::size_t at, std::size_t width) {
        int value = 0;
        const char* first = code.data() + at;
        const auto [end, error] = std::from_chars(first, first + width, value);
        if (error != std::errc{} || end != first + width) {
            throw std::invalid_argument("malformed lunar date code");
        }
        return value;
    };
    if (code.size() != 9 || (code[0] != '0' && code[0] != '1')) {
        throw std::invalid_argument("malformed lunar date code");
    }
    return LunarDate{number(1, 4), number(5, 2), number(7, 2), code[0] == '1'};
}

std::string SolarToLunar(OleDate date) {
    return LunarDateCode(LunarDateOf(date));
}

bool IsLunarYearEnd(std::chrono::sys_days day) {
    const int next = DayIndex(day) + 1;
    return std::binary_search(kYearStarts.begin() + 1, kYearStarts.end(), next);
}

}  // namespace lunar
