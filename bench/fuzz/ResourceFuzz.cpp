#include "bench/support/Bench.h"

#include "tests/support/ResourceFuzzCase.h"

#include <stdio.h>

// The resource fuzz run at length: the test's mutations and invariants over
// many more inputs, until 200000 inputs or about 60 seconds. A failure is an
// input that broke an invariant; a crash ends the run.

using TestSupport::ByteMutator;

VOZEROR_BENCH(ResourceFuzz)
{
    const uint32_t kMaxInputs = 200000;
    const double kMaxSeconds = 60.0;
    const std::vector<std::string> archives = TestSupport::FuzzArchiveSeeds();
    const std::vector<std::string> images = TestSupport::FuzzImageSeeds();
    const std::vector<std::wstring> names = TestSupport::FuzzEntryNames();
    const double start = Bench::Now();
    uint32_t inputs = 0, failures = 0;
    TestSupport::FuzzStats stats;
    while (inputs < kMaxInputs && (inputs % 256 != 0 || Bench::Now() - start < kMaxSeconds)) {
        ++inputs;
        // Seeds beyond those of the fuzz test, so this run adds new inputs.
        ByteMutator mutator(0x51ED270Bu + inputs * 2654435761u);
        bool ok;
        if (inputs % 4 != 0) {
            std::string archive = archives[mutator.Below(uint32_t(archives.size()))];
            mutator.Mutate(archive);
            ok = TestSupport::CheckArchive(archive, names, &stats);
        } else {
            std::wstring name;
            const std::string package = TestSupport::FuzzImagePackage(mutator, images, archives, name);
            ok = TestSupport::CheckImage(package, name.c_str(), &stats);
        }
        if (!ok) {
            ++failures;
            std::printf("invariant broken by input %u\n", inputs);
        }
    }
    SkinUI::CPaintManagerUI::SetResourceZip(L"", true);
    Bench::Report("resource_fuzz_inputs", inputs);
    Bench::Report("resource_fuzz_failures", failures);
    Bench::Report("resource_fuzz_seconds", Bench::Now() - start);
    Bench::Report("resource_fuzz_archives_opened", stats.opened);
    Bench::Report("resource_fuzz_entries_unpacked", stats.unpacked);
    Bench::Report("resource_fuzz_images_decoded", stats.decoded);
}
