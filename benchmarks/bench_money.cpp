#include "core/values/conversions.h"
#include "core/values/money.h"

#include <benchmark/benchmark.h>

// Rounding and formatting go through the decimal text of an amount; these
// show what that costs per call for document sums and printed lists.

static void BM_RoundCents(benchmark::State& state) {
    double amount = 1.005;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RoundCents(amount));
        amount += 0.37;
    }
}
BENCHMARK(BM_RoundCents);

static void BM_FormatMoney(benchmark::State& state) {
    double amount = 1234.565;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatMoney(1, amount));
        amount += 0.37;
    }
}
BENCHMARK(BM_FormatMoney);

static void BM_FloatToStrFix(benchmark::State& state) {
    double x = 3.14159;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FloatToStrFix(12, 2, x));
        x += 0.37;
    }
}
BENCHMARK(BM_FloatToStrFix);

BENCHMARK_MAIN();
