#include "lunar/core/calendar_facts.h"

#include <algorithm>
#include <cstdint>

#include "lunar/core/solar_term_corrections.h"

namespace lunar {

using namespace std::chrono;

const std::array<std::string_view, 10> Stems = {
    "甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
const std::array<std::string_view, 12> Branches = {
    "子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
const std::array<std::string_view, 12> Animals = {
    "鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"};
const std::array<std::string_view, 11> NumberChars = {
    "", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
const std::array<std::string_view, 24> TermNames = {
    "小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
    "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};
const std::array<int, 24> TermMinutes = {
    0,      21208,  42467,  63836,  85337,  107014, 128867, 150921,
    173149, 195551, 218072, 240693, 263343, 285989, 308563, 331033,
    353350, 375494, 397447, 419210, 440795, 462224, 483532, 504758};
const std::array<std::string_view, 17> SolarFestivals = {
    "0101元旦",   "0214情人节", "0308妇女节", "0312植树节", "0315权益日", "0401愚人节",
    "0501劳动节", "0504青年节", "0512护士节", "0601儿童节", "0701建党节", "0801建军节",
    "0808父亲节", "0910教师节", "1001国庆节", "1006老人节", "1225圣诞节"};
// "0100除夕" can never match a lunar day (days count from 01); the eve of the
// new year is found from the table instead, see GridDayLabel.
const std::array<std::string_view, 10> LunarFestivals = {
    "0101春节",   "0115元宵节", "0505端午节", "0707七夕节", "0715中元节",
    "0815中秋节", "0909重阳节", "1208腊八节", "1224小年",   "0100除夕"};

namespace {

struct StarSignRange {
    int from;  // mmdd
    int to;    // mmdd, inclusive; below `from` when the range crosses the year end
    std::string_view name;
};

constexpr std::array<StarSignRange, 12> kStarSigns = {{
    {321, 419, "牡羊座"},
    {420, 520, "金牛座"},
    {521, 621, "双子座"},
    {622, 722, "巨蟹座"},
    {723, 822, "狮子座"},
    {823, 922, "处女座"},
    {923, 1023, "天秤座"},
    {1024, 1121, "天蝎座"},
    {1122, 1221, "射手座"},
    {1222, 119, "魔羯座"},
    {120, 218, "水瓶座"},
    {219, 320, "双鱼座"},
}};

// The moment of 小寒 1900 from which the mean-year formula counts.
constexpr sys_seconds kTermEpoch = sys_days{year{1900} / 1 / 6} + hours{2} + minutes{5};

// Ten-thousandths of a second in the mean tropical year the formula uses
// (31556925.9747 s), so that the formula stays in exact integers.
constexpr std::int64_t kMeanYearTicks = 315569259747;
constexpr std::int64_t kTicksPerSecond = 10000;

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

sys_days SolarTermFormulaDate(int y, int n) {
    const std::int64_t ticks = (static_cast<std::int64_t>(y) - 1900) * kMeanYearTicks +
                               static_cast<std::int64_t>(TermMinutes[static_cast<std::size_t>(n - 1)]) * 60 *
                                   kTicksPerSecond;
    // The fraction of a second is dropped; no term of 1901..2090 comes
    // within a second of midnight, so it never moves a date.
    return floor<days>(kTermEpoch + seconds{FloorDiv(ticks, kTicksPerSecond)});
}

int TermShift(int y, int n) {
    if (y < 1901 || y > 2090) return 0;
    const int key = (y - 1901) * 24 + (n - 1);
    const auto& table = detail::kSolarTermCorrections;
    const auto it = std::lower_bound(table.begin(), table.end(), static_cast<std::uint16_t>(key << 1));
    if (it == table.end() || (*it >> 1) != key) return 0;
    return (*it & 1) ? 1 : -1;
}

int PositiveMod(int a, int m) {
    const int r = a % m;
    return r < 0 ? r + m : r;
}

void PutTwoDigits(char* out, unsigned value) {
    out[0] = static_cast<char>('0' + value / 10 % 10);
    out[1] = static_cast<char>('0' + value % 10);
}

// The name part of a festival entry whose "mmdd" matches, or empty.
template <std::size_t N>
std::string_view FindFestival(const std::array<std::string_view, N>& festivals, unsigned mm, unsigned dd) {
    char key[4];
    PutTwoDigits(key, mm);
    PutTwoDigits(key + 2, dd);
    for (std::string_view entry : festivals) {
        if (entry.substr(0, 4) == std::string_view(key, 4)) return entry.substr(4);
    }
    return {};
}

LunarDate CheckedLunarDate(OleDate theDate, OleDate value) {
    return LunarDateOf(CheckedDate(theDate, value));
}

}  // namespace

std::string LunarYearName(int y) {
    std::string name(Stems[static_cast<std::size_t>(PositiveMod(y - 1894, 10))]);
    name += Branches[static_cast<std::size_t>(PositiveMod(y - 1888, 12))];
    name += "年";
    return name;
}

std::string LunarMonthName(int m) {
    if (m < 1 || m > 12) throw DateRangeError("lunar month " + std::to_string(m) + " is not 1..12");
    std::string name;
    if (m <= 9) {
        name = NumberChars[static_cast<std::size_t>(m)];
    } else {
        name = "十";
        if (m > 10) name += NumberChars[static_cast<std::size_t>(m - 10)];
    }
    name += "月";
    return name;
}

std::string LunarDayName(int d) {
    if (d < 1 || d > 30) throw DateRangeError("lunar day " + std::to_string(d) + " is not 1..30");
    // The control has always written the 20th and 30th as 廿十 and 卅十.
    if (d == 20) return "廿十";
    if (d == 30) return "卅十";
    std::string name = d <= 10 ? "初" : d < 20 ? "十" : "廿";
    name += NumberChars[static_cast<std::size_t>(d <= 10 ? d : d < 20 ? d - 10 : d - 20)];
    return name;
}

std::string AnimalName(int y) {
    return std::string(Animals[static_cast<std::size_t>(PositiveMod(y - 1900, 12))]);
}

std::string_view StarSign(month_day day) {
    const int mmdd = static_cast<int>(static_cast<unsigned>(day.month()) * 100 +
                                      static_cast<unsigned>(day.day()));
    for (const StarSignRange& sign : kStarSigns) {
        const bool inside = sign.from <= sign.to ? (mmdd >= sign.from && mmdd <= sign.to)
                                                 : (mmdd >= sign.from || mmdd <= sign.to);
        if (inside) return sign.name;
    }
    return {};  // not reached: the ranges cover every day of the year
}

sys_days SolarTermDate(int y, int n) {
    if (n < 1 || n > 24) throw DateRangeError("solar term " + std::to_string(n) + " is not 1..24");
    return SolarTermFormulaDate(y, n) + days{TermShift(y, n)};
}

std::string_view SolarTermName(sys_days day) {
    const year_month_day ymd{day};
    const int y = static_cast<int>(ymd.year());
    const int m = static_cast<int>(static_cast<unsigned>(ymd.month()));
    for (int n : {2 * m - 1, 2 * m}) {
        if (SolarTermDate(y, n) == day) return TermNames[static_cast<std::size_t>(n - 1)];
    }
    return " ";
}

std::string SolarTermName(OleDate date) {
    const sys_days day = OleDateDay(date);
    if (ToOleDate(day) != date) return " ";
    return std::string(SolarTermName(day));
}

DayLabel GridDayLabel(sys_days day) {
    const LunarDate lunar_date = LunarDateOfDay(day);
    if (IsLunarYearEnd(day)) return {"除夕", kRed};

    const auto lunar_festival = FindFestival(LunarFestivals, static_cast<unsigned>(lunar_date.month),
                                             static_cast<unsigned>(lunar_date.day));
    if (!lunar_festival.empty()) return {std::string(lunar_festival), kRed};

    const year_month_day ymd{day};
    const auto solar_festival = FindFestival(SolarFestivals, static_cast<unsigned>(ymd.month()),
                                             static_cast<unsigned>(ymd.day()));
    if (!solar_festival.empty()) return {std::string(solar_festival), kRed};

    return {LunarDayName(lunar_date.day), kBlack};
}

OleDate CheckedDate(OleDate theDate, OleDate value) {
    constexpr OleDate first = ToOleDate(year{1901} / 1 / 1);
    constexpr OleDate last = ToOleDate(year{2090} / 12 / 31);
    return (theDate >= first && theDate <= last) ? theDate : value;
}

std::string GetChineseDate(OleDate theDate, OleDate value) {
    return "农历" + GetChineseYear(theDate, value) + GetChineseMonth(theDate, value) +
           GetChineseDay(theDate, value);
}

std::string GetChineseYear(OleDate theDate, OleDate value) {
    const LunarDate date = CheckedLunarDate(theDate, value);
    std::string text = LunarYearName(date.year);
    if (date.leap) text += "(闰)";
    return text;
}

std::string GetChineseMonth(OleDate theDate, OleDate value) {
    return LunarMonthName(CheckedLunarDate(theDate, value).month);
}

std::string GetChineseDay(OleDate theDate, OleDate value) {
    return LunarDayName(CheckedLunarDate(theDate, value).day);
}

std::string GetChineseAnimal(OleDate theDate, OleDate value) {
    return AnimalName(CheckedLunarDate(theDate, value).year);
}

std::string GetConstellation(OleDate theDate, OleDate value) {
    const year_month_day day{OleDateDay(CheckedDate(theDate, value))};
    return std::string(StarSign(day.month() / day.day()));
}

}  // namespace lunar
