#include <benchmark/benchmark.h>

#include <chrono>

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

BENCHMARK_MAIN();
