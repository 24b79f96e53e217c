#pragma once
// A tiny benchmark runner. A benchmark is a function registered with
// VOZEROR_BENCH; it measures and reports its figures with BenchReport, which
// prints one `name: value` line. The runner calls every benchmark of the
// executable in registration order.

#include <windows.h>

namespace Bench {

typedef void (*BenchFunction)();

struct Registrar
{
    Registrar(const char* name, BenchFunction function);
};

void Report(const char* figure, double value);

// Wall-clock seconds from QueryPerformanceCounter.
double Now();

}  // namespace Bench

#define VOZEROR_BENCH(name)                                                                                  \
    static void name();                                                                                      \
    static ::Bench::Registrar name##_registrar(#name, &name);                                                \
    static void name()
