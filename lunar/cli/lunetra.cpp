// lunetra: lunar dates, calendar texts and month pages from the command line.
//
//   lunetra                   today's lunar date, animal and star sign
//   lunetra convert [DATE...] one TAB-separated line per YYYY-MM-DD date
//                             (from the arguments, or one per line on stdin)
//   lunetra month YYYY-MM     the month page as text
//   lunetra next RULE [--from YYYY-MM-DD] [--count N]
//                             the next N days (5) on which an alarm rule holds
//   lunetra day YYYY-MM-DD    whether the day is worked (班) or off (休)

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "lunar/core/lunar_core.h"

namespace {

using namespace std::chrono;

constexpr sys_days kFirstDay = sys_days{year{1901} / 1 / 1};
constexpr sys_days kLastDay = sys_days{year{2090} / 12 / 31};

constexpr std::string_view kUsage =
    "usage: lunetra                    today's lunar date, animal and star sign\n"
    "       lunetra convert [DATE...]  convert YYYY-MM-DD dates (stdin when none given)\n"
    "       lunetra month YYYY-MM      show a month page\n"
    "       lunetra next RULE [--from YYYY-MM-DD] [--count N]\n"
    "                                  the next N days (default 5) the rule holds, from the day on\n"
    "                                  (RULE: daily, workday, restday, week:DIGITS, once:YYYY-MM-DD,\n"
    "                                  solar:MM-DD, lunar:MM-DD)\n"
    "       lunetra day YYYY-MM-DD     working day (班) or day off (休), and the holiday\n";

std::optional<int> ParseDigits(std::string_view text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Strict YYYY-MM-DD of a real calendar day.
std::optional<year_month_day> ParseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto y = ParseDigits(text.substr(0, 4));
    const auto m = ParseDigits(text.substr(5, 2));
    const auto d = ParseDigits(text.substr(8, 2));
    if (!y || !m || !d) return std::nullopt;
    const year_month_day date{year{*y}, month{static_cast<unsigned>(*m)}, day{static_cast<unsigned>(*d)}};
    if (!date.ok()) return std::nullopt;
    return date;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Appends the line for one input date to `out`; on a bad date writes the
// error to stderr and returns false.
bool ConvertOne(std::string_view input, std::string& out) {
    const auto date = ParseDate(input);
    if (!date) {
        std::cerr << "lunetra: \"" << input << "\" is not a date of the form YYYY-MM-DD\n";
        return false;
    }
    const sys_days day{*date};
    if (day < kFirstDay || day > kLastDay) {
        std::cerr << "lunetra: " << input << " is outside 1901-01-01 .. 2090-12-31\n";
        return false;
    }
    const lunar::OleDate ole = lunar::ToOleDate(day);
    const lunar::DayLabel label = lunar::GridDayLabel(day);
    out += input;
    out += '\t';
    out += lunar::SolarToLunar(ole);
    out += '\t';
    out += lunar::GetChineseDate(ole, ole);
    out += '\t';
    out += lunar::GetChineseAnimal(ole, ole);
    out += '\t';
    out += lunar::GetConstellation(ole, ole);
    out += '\t';
    out += lunar::SolarTermName(day);
    out += '\t';
    out += label.text;
    out += '\t';
    out += label.color == lunar::kRed ? "red" : "black";
    out += '\n';
    return true;
}

int Convert(int argc, char** argv) {
    bool all_good = true;
    std::string out;
    if (argc > 2) {
        for (int i = 2; i < argc; ++i) all_good = ConvertOne(argv[i], out) && all_good;
        std::cout << out;
        return all_good ? 0 : 1;
    }
    // Standard input: flush line by line only for someone typing at a terminal.
    const bool interactive = isatty(STDIN_FILENO) != 0;
    std::cin.tie(nullptr);
    std::string line;
    out.reserve(1 << 16);
    while (std::getline(std::cin, line)) {
        const std::string_view input = Trim(line);
        if (input.empty()) continue;
        all_good = ConvertOne(input, out) && all_good;
        if (interactive || out.size() > (1 << 15)) {
            std::cout << out;
            if (interactive) std::cout.flush();
            out.clear();
        }
    }
    std::cout << out;
    return all_good ? 0 : 1;
}

// Width on a terminal: CJK characters take two columns, ASCII one.
std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (unsigned char c : text) {
        if (c < 0x80) {
            width += 1;
        } else if (c >= 0xC0) {
            width += 2;
        }
    }
    return width;
}

void PadTo(std::string& line, std::size_t width) {
    const std::size_t now = DisplayWidth(line);
    if (now < width) line.append(width - now, ' ');
}

std::string TrimRight(std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

// Seven columns of eight; each text centred in the first six.
constexpr std::size_t kColumn = 8;
constexpr std::size_t kCellText = 6;
constexpr std::size_t kPageWidth = 7 * kColumn - (kColumn - kCellText);

void PutCentred(std::string& line, std::size_t column, std::string_view text) {
    PadTo(line, column * kColumn + (kCellText - std::min(kCellText, DisplayWidth(text))) / 2);
    line += text;
}

int Month(int argc, char** argv) {
    const std::string_view arg = argc == 3 ? std::string_view(argv[2]) : std::string_view();
    const auto y = arg.size() == 7 && arg[4] == '-' ? ParseDigits(arg.substr(0, 4)) : std::nullopt;
    const auto m = arg.size() == 7 && arg[4] == '-' ? ParseDigits(arg.substr(5, 2)) : std::nullopt;
    if (!y || !m || *m < 1 || *m > 12) {
        std::cerr << "lunetra: month \"" << arg << "\" is not of the form YYYY-MM\n" << kUsage;
        return 2;
    }
    if (*y < 1901 || *y > 2090) {
        std::cerr << "lunetra: month " << arg << " is outside 1901-01 .. 2090-12\n";
        return 1;
    }

    const lunar::OleDate first = lunar::ToOleDate(year{*y} / month{static_cast<unsigned>(*m)} / 1);
    std::string out;
    std::string title = lunar::TitleText(first) + "  " + lunar::GetChineseAnimal(first, first);
    const std::string heading = std::to_string(*y) + "年" + std::to_string(*m) + "月";
    PadTo(title, kPageWidth - DisplayWidth(heading));
    out += title + heading + "\n";

    std::string header;
    constexpr std::string_view kWeekdays[] = {"星期日", "星期一", "星期二", "星期三",
                                              "星期四", "星期五", "星期六"};
    for (std::size_t c = 0; c < 7; ++c) PutCentred(header, c, kWeekdays[c]);
    out += TrimRight(header) + "\n";

    const auto cells = lunar::MonthCells(*y, *m);
    for (std::size_t row = 0; row * 7 < cells.size(); ++row) {
        std::string numbers, labels;
        for (std::size_t c = 0; c < 7 && row * 7 + c < cells.size(); ++c) {
            const lunar::MonthCell& cell = cells[row * 7 + c];
            if (cell.day == 0) continue;
            PutCentred(numbers, c, std::to_string(cell.day));
            PutCentred(labels, c, cell.label.text);
        }
        if (numbers.empty()) continue;
        out += TrimRight(numbers) + "\n" + TrimRight(labels) + "\n";
    }

    const lunar::TermLine terms = lunar::MonthTermLine(*y, *m);
    std::string term_line = terms.first;
    PadTo(term_line, kPageWidth / 2);
    term_line += terms.second;
    out += "\n" + TrimRight(term_line) + "\n";
    std::cout << out;
    return 0;
}

year_month_day LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return year_month_day{year{local.tm_year + 1900}, month{static_cast<unsigned>(local.tm_mon + 1)},
                          day{static_cast<unsigned>(local.tm_mday)}};
}

// A bad argument of `next` or `day`: one line, exit code 2.
int BadArgument(const std::string& message) {
    std::cerr << "lunetra: " << message << '\n';
    return 2;
}

std::optional<sys_days> DayArgument(std::string_view text, std::string& error) {
    const auto date = ParseDate(text);
    if (!date) {
        error = "\"" + std::string(text) + "\" is not a date of the form YYYY-MM-DD";
        return std::nullopt;
    }
    if (sys_days{*date} < kFirstDay || sys_days{*date} > kLastDay) {
        error = std::string(text) + " is outside 1901-01-01 .. 2090-12-31";
        return std::nullopt;
    }
    return sys_days{*date};
}

constexpr std::string_view kWeekdayNames[] = {"星期日", "星期一", "星期二", "星期三",
                                              "星期四", "星期五", "星期六"};

// "YYYY-MM-DD<TAB>weekday<TAB>lunar date", the start of every day line.
std::string DayLine(sys_days d) {
    const lunar::OleDate ole = lunar::ToOleDate(d);
    return lunar::IsoDateText(year_month_day{d}) + "\t" + std::string(kWeekdayNames[weekday{d}.c_encoding()]) +
           "\t" + lunar::GetChineseDate(ole, ole);
}

struct NextOptions {
    sys_days from;
    int count = 5;
};

std::optional<NextOptions> ParseNextOptions(int argc, char** argv, std::string& error) {
    NextOptions options{sys_days{LocalToday()}};
    for (int i = 3; i < argc; i += 2) {
        const std::string_view option = argv[i];
        if (i + 1 >= argc || (option != "--from" && option != "--count")) {
            error = "unknown or incomplete option \"" + std::string(option) + "\" (--from YYYY-MM-DD, --count N)";
            return std::nullopt;
        }
        const std::string_view value = argv[i + 1];
        if (option == "--from") {
            const auto from = DayArgument(value, error);
            if (!from) return std::nullopt;
            options.from = *from;
            continue;
        }
        const auto count = value.size() <= 4 ? ParseDigits(value) : std::nullopt;
        if (value.empty() || !count || *count < 1) {
            error = "--count \"" + std::string(value) + "\" is not a number 1 .. 9999";
            return std::nullopt;
        }
        options.count = *count;
    }
    return options;
}

int Next(int argc, char** argv) {
    if (argc < 3) return BadArgument("next needs a rule (daily, workday, restday, week:DIGITS, ...)");
    std::string error;
    const auto rule = lunar::ParseRepeatRule(argv[2], &error);
    if (!rule) return BadArgument(error);
    const auto options = ParseNextOptions(argc, argv, error);
    if (!options) return BadArgument(error);
    const lunar::WorkCalendar calendar;
    std::string out;
    std::optional<sys_days> next = lunar::NextRuleDay(*rule, options->from, calendar);
    for (int n = 0; n < options->count && next; ++n) {
        const lunar::DayStatus status = calendar.Status(*next);
        out += DayLine(*next);
        if (status.mark == lunar::DayMark::makeup) out += "\t班";
        else if (!status.name.empty()) out += "\t" + status.name;
        out += '\n';
        if (*next == kLastDay) break;
        next = lunar::NextRuleDay(*rule, *next + days{1}, calendar);
    }
    std::cout << out;
    return 0;
}

int Day(int argc, char** argv) {
    if (argc != 3) return BadArgument("day needs one date of the form YYYY-MM-DD");
    std::string error;
    const auto d = DayArgument(argv[2], error);
    if (!d) return BadArgument(error);
    const lunar::DayStatus status = lunar::WorkCalendar{}.Status(*d);
    std::string out = DayLine(*d) + (status.working ? "\t班" : "\t休");
    if (!status.name.empty()) out += "\t" + status.name;
    if (!status.published) out += "\t(本年安排未公布，按法定节假日推算)";
    std::cout << out << '\n';
    return 0;
}

int Today() {
    const lunar::OleDate ole = lunar::ToOleDate(LocalToday());
    std::cout << lunar::GetChineseDate(ole, ole) << ' ' << lunar::GetChineseAnimal(ole, ole) << ' '
              << lunar::GetConstellation(ole, ole) << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    try {
        const std::string_view command = argc > 1 ? std::string_view(argv[1]) : std::string_view();
        if (argc == 1) return Today();
        if (command == "convert") return Convert(argc, argv);
        if (command == "month") return Month(argc, argv);
        if (command == "next") return Next(argc, argv);
        if (command == "day") return Day(argc, argv);
        if (command == "-h" || command == "--help" || command == "help") {
            std::cout << kUsage;
            return 0;
        }
        std::cerr << "lunetra: unknown command \"" << command << "\"\n" << kUsage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "lunetra: " << error.what() << '\n';
        return 1;
    }
}
