#include "tests/support/ResourceFuzzCase.h"

#include <gtest/gtest.h>

// Deterministic mutations of skin packages and images fed to the package
// reader and the image loader; each input must keep the invariants of
// CheckArchive / CheckImage. Seeds are the input numbers, so a failure names
// the input that reproduces it.

using TestSupport::ByteMutator;

namespace {
const uint32_t kArchiveInputs = 20000;
const uint32_t kImageInputs = 8000;
}  // namespace

TEST(ResourceFuzz, SeedsPassTheChecks)
{
    const std::vector<std::wstring> names = TestSupport::FuzzEntryNames();
    for (const std::string& archive : TestSupport::FuzzArchiveSeeds())
        EXPECT_TRUE(TestSupport::CheckArchive(archive, names));
    const std::string package = TestSupport::FuzzArchiveSeeds()[0];
    SkinUI::CPaintManagerUI::SetResourceZip((LPVOID)package.data(), (unsigned int)package.size());
    SkinUI::TImageInfo* info = SkinUI::CRenderEngine::LoadImageW(L"img/tile.png");
    ASSERT_NE(nullptr, info) << "the seed image loads, so mutations reach the decoder";
    EXPECT_EQ(16, info->nX);
    SkinUI::CRenderEngine::FreeImage(info);
}

TEST(ResourceFuzz, MutatedArchives)
{
    const std::vector<std::string> seeds = TestSupport::FuzzArchiveSeeds();
    const std::vector<std::wstring> names = TestSupport::FuzzEntryNames();
    int failures = 0;
    for (uint32_t i = 1; i <= kArchiveInputs && failures < 10; ++i) {
        ByteMutator mutator(i);
        std::string archive = seeds[mutator.Below(uint32_t(seeds.size()))];
        mutator.Mutate(archive);
        if (!TestSupport::CheckArchive(archive, names)) {
            ADD_FAILURE() << "archive input " << i;
            ++failures;
        }
    }
}

TEST(ResourceFuzz, MutatedImages)
{
    const std::vector<std::string> images = TestSupport::FuzzImageSeeds();
    const std::vector<std::string> archives = TestSupport::FuzzArchiveSeeds();
    int failures = 0;
    for (uint32_t i = 1; i <= kImageInputs && failures < 10; ++i) {
        ByteMutator mutator(0x9E3779B9u ^ i);
        std::wstring name;
        const std::string package = TestSupport::FuzzImagePackage(mutator, images, archives, name);
        if (!TestSupport::CheckImage(package, name.c_str())) {
            ADD_FAILURE() << "image input " << i;
            ++failures;
        }
    }
    SkinUI::CPaintManagerUI::SetResourceZip(L"", true);
}
