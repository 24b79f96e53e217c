#include "bench/support/Bench.h"

#include <cstdio>
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

int main()
{
    for (const Bench::Entry& entry : Bench::Entries()) entry.function();
    return 0;
}
