// A larger run of the skin build fuzz: mutated launcher skins built and
// attached on a real paint manager; a failure is a broken tree or heap.

#include "bench/support/Bench.h"
#include "tests/fuzz/SkinBuildFuzz.h"

#include <stdlib.h>

VOZEROR_BENCH(SkinBuildFuzz)
{
    SkinFuzz::UsePackage();
    SkinTest::HiddenWindow window;
    TestSupport::DibSurface surface(536, 355);
    if (window.Handle() == NULL) {
        Bench::Report("skin_fuzz_inputs", 0);
        Bench::Report("skin_fuzz_failures", 1);
        return;
    }
    SkinFuzz::Random rnd(0x51A7F022u);
    // VOZEROR_FUZZ_INPUTS overrides the number of inputs, for a shorter run.
    char count[16] = {};
    const DWORD n = GetEnvironmentVariableA("VOZEROR_FUZZ_INPUTS", count, sizeof(count));
    const int kInputs = n > 0 && n < sizeof(count) && atoi(count) > 0 ? atoi(count) : 200000;
    int failures = 0;
    int built = 0;
    const double start = Bench::Now();
    for (int i = 0; i < kInputs; ++i) {
        const SkinFuzz::Outcome outcome = SkinFuzz::RunOne(SkinFuzz::Mutate(SkinTest::LauncherSkin(), rnd), window.Handle(), &surface);
        if (outcome.built) ++built;
        if (outcome.failed) ++failures;
        if (i % 500 == 0 && !SkinFuzz::HeapsValid()) ++failures;
    }
    if (!SkinFuzz::HeapsValid()) ++failures;
    const double seconds = Bench::Now() - start;
    Bench::Report("skin_fuzz_inputs", kInputs);
    Bench::Report("skin_fuzz_failures", failures);
    Bench::Report("skin_fuzz_built", built);
    Bench::Report("skin_fuzz_inputs_per_s", seconds > 0 ? kInputs / seconds : 0);
}
