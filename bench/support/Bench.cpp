#include "bench/support/Bench.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Bench {
namespace {

struct Entry
{
    const char* name;
    BenchFunction function;
};

std::vector<Entry>& Entries()
{
    static std::vector<Entry> entries;
    return entries;
}

}  // namespace

Registrar::Registrar(const char* name, BenchFunction function)
{
    Entries().push_back(Entry{name, function});
}

void Report(const char* figure, double value)
{
    std::printf("%s: %.3f\n", figure, value);
    std::fflush(stdout);
}

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

}  // namespace Bench

// VOZEROR_BENCH_ONLY=Name runs only the benchmark of that name.
int main()
{
    const char* only = std::getenv("VOZEROR_BENCH_ONLY");
    for (const Bench::Entry& entry : Bench::Entries()) {
        if (only != nullptr && *only != '\0' && std::strcmp(only, entry.name) != 0) continue;
        entry.function();
    }
    return 0;
}
