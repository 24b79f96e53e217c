// A larger run of the skin build fuzz: mutated launcher skins built and
// attached on a real paint manager; a failure is a broken tree or heap.
//
// The fuzz mutates the document, never the package's images, so the images
// are decoded once into the shared image set before the run instead of once
// per input; decoding itself is the resource fuzz's subject. Every input is
// built, attached and checked; every kPaintEvery-th is also laid out and
// painted, which keeps the draw strings, image lookups and text markup of
// the mutated documents under test at a fraction of the paint cost.

#include "bench/support/Bench.h"
#include "tests/fuzz/SkinBuildFuzz.h"

#include <stdlib.h>

namespace {

const char* const kPackageImages[] = {"bg.png",        "logo.png",     "btn_close_1.png", "computer_un_1.png",
                                      "install_b.png", "install_f.png"};

int EnvNumber(const char* name, int fallback)
{
    char text[16] = {};
    const DWORD n = GetEnvironmentVariableA(name, text, sizeof(text));
    return n > 0 && n < sizeof(text) && atoi(text) > 0 ? atoi(text) : fallback;
}

}  // namespace

VOZEROR_BENCH(SkinBuildFuzz)
{
    SkinFuzz::UsePackage();
    TestSupport::PaintManagerWindow window;
    TestSupport::DibSurface surface(536, 355);
    if (window.Handle() == nullptr) {
        Bench::Report("skin_fuzz_inputs", 0);
        Bench::Report("skin_fuzz_failures", 1);
        return;
    }
    // VOZEROR_FUZZ_INPUTS overrides the number of inputs, for a shorter run.
    const int kInputs = EnvNumber("VOZEROR_FUZZ_INPUTS", 200000);
    const int kPaintEvery = EnvNumber("VOZEROR_FUZZ_PAINT_EVERY", 4);
    {
        SkinUI::CPaintManagerUI loader;
        loader.Init(window.Handle());
        if (EnvNumber("VOZEROR_FUZZ_NO_SHARED", 0) == 0)
            for (const char* name : kPackageImages) {
                const std::wstring wide(name, name + strlen(name));
                loader.AddImage(wide.c_str(), static_cast<LPCTSTR>(nullptr), 0, false, true);
            }
    }
    SkinFuzz::Random rnd(0x51A7F022u);
    int failures = 0;
    int built = 0;
    int painted = 0;
    const double start = Bench::Now();
    for (int i = 0; i < kInputs; ++i) {
        const bool paint = i % kPaintEvery == 0;
        const SkinFuzz::Outcome outcome = SkinFuzz::RunOne(SkinFuzz::Mutate(SkinTest::LauncherSkin(), rnd),
                                                           window.Handle(), paint ? &surface : nullptr);
        if (outcome.built) ++built;
        if (outcome.built && paint) ++painted;
        if (outcome.failed) ++failures;
        if (i % 500 == 0 && !SkinFuzz::HeapsValid()) ++failures;
    }
    if (!SkinFuzz::HeapsValid()) ++failures;
    const double seconds = Bench::Now() - start;
    Bench::Report("skin_fuzz_inputs", kInputs);
    Bench::Report("skin_fuzz_failures", failures);
    Bench::Report("skin_fuzz_built", built);
    Bench::Report("skin_fuzz_painted", painted);
    Bench::Report("skin_fuzz_seconds", seconds);
    Bench::Report("skin_fuzz_inputs_per_s", seconds > 0 ? kInputs / seconds : 0);
}
