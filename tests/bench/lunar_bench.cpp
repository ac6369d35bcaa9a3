#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "lunar/core/lunar_core.h"

namespace {

using namespace std::chrono;

constexpr sys_days kFirst = sys_days{year{1901} / 1 / 1};
constexpr sys_days kLast = sys_days{year{2090} / 12 / 31};

// One conversion per iteration, walking through every day of the range so
// that early and late years weigh alike.
void BM_SolarToLunar(benchmark::State& state) {
    sys_days day = kFirst;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lunar::SolarToLunar(lunar::ToOleDate(day)));
        day = day == kLast ? kFirst : day + days{1};
    }
}
BENCHMARK(BM_SolarToLunar);

// What the control does on every redraw of the page: the cells with their
// labels and the solar-term line of one month.
void BM_MonthPage(benchmark::State& state) {
    year_month month = year{1901} / 1;
    for (auto _ : state) {
        const int y = static_cast<int>(month.year());
        const int m = static_cast<int>(static_cast<unsigned>(month.month()));
        benchmark::DoNotOptimize(lunar::MonthCells(y, m));
        benchmark::DoNotOptimize(lunar::MonthTermLine(y, m));
        month = month == year{2090} / 12 ? year{1901} / 1 : month + months{1};
    }
}
BENCHMARK(BM_MonthPage);

// The date code plus the five method texts for one date, as lunetra convert
// prints them.
void BM_ConvertLine(benchmark::State& state) {
    sys_days day = kFirst;
    for (auto _ : state) {
        const lunar::OleDate ole = lunar::ToOleDate(day);
        benchmark::DoNotOptimize(lunar::GetChineseDate(ole, ole));
        benchmark::DoNotOptimize(lunar::GetChineseAnimal(ole, ole));
        benchmark::DoNotOptimize(lunar::GetConstellation(ole, ole));
        benchmark::DoNotOptimize(lunar::SolarTermName(day));
        benchmark::DoNotOptimize(lunar::GridDayLabel(day));
        day = day == kLast ? kFirst : day + days{1};
    }
}
BENCHMARK(BM_ConvertLine);

}  // namespace

// What the clock works out for its alarms once a day, over a whole year:
// the next ring of ten alarms, one of each rule family and three working-day
// ones, for every day of 2026 (one iteration = the whole year).
void BM_AlarmNextRingsForAYear(benchmark::State& state) {
    const char* const texts[] = {"daily",        "workday",     "restday",     "week:135",   "once:2026-10-10",
                                 "solar:02-29", "lunar:08-15", "lunar:12-30", "workday",    "workday"};
    std::vector<lunar::RepeatRule> rules;
    for (const char* t : texts) rules.push_back(*lunar::ParseRepeatRule(t));
    const lunar::WorkCalendar calendar;
    for (auto _ : state) {
        for (sys_days day = sys_days{year{2026} / 1 / 1}; day <= sys_days{year{2026} / 12 / 31}; day += days{1}) {
            for (const auto& rule : rules) benchmark::DoNotOptimize(lunar::NextRuleDay(rule, day, calendar));
        }
    }
}
BENCHMARK(BM_AlarmNextRingsForAYear)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
