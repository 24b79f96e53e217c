#include "tests/fuzz/SkinBuildFuzz.h"

#include <gtest/gtest.h>

namespace {

TEST(SkinBuildFuzz, MutatedSkinsBuildATreeOrFailCleanly)
{
    SkinFuzz::UsePackage();
    TestSupport::PaintManagerWindow window;
    TestSupport::DibSurface surface(536, 355);
    ASSERT_TRUE(window.IsValid());
    ASSERT_TRUE(surface.IsValid());
    ASSERT_FALSE(SkinTest::LauncherSkin().empty());

    // The unmutated skin builds its 25 controls.
    const SkinFuzz::Outcome plain = SkinFuzz::RunOne(SkinTest::LauncherSkin(), window.Handle(), &surface);
    ASSERT_TRUE(plain.built);
    EXPECT_FALSE(plain.failed);
    EXPECT_EQ(25, plain.controls);
    // The painted skin: the white product tiles over the background.
    EXPECT_EQ(0xFFFFFFFFu, surface.Pixel(68 + 200, 50 + 20 + 80) | 0xFF000000u);

    SkinFuzz::Random rnd(0xB17D5EEDu);
    int built = 0;
    const int kInputs = 1500;
    for (int i = 0; i < kInputs; ++i) {
        const std::wstring skin = SkinFuzz::Mutate(SkinTest::LauncherSkin(), rnd);
        const SkinFuzz::Outcome outcome = SkinFuzz::RunOne(skin, window.Handle(), &surface);
        if (outcome.built) ++built;
        ASSERT_FALSE(outcome.failed) << "input " << i;
        if (i % 100 == 0) {
            ASSERT_TRUE(SkinFuzz::HeapsValid()) << "input " << i;
        }
    }
    EXPECT_TRUE(SkinFuzz::HeapsValid());
    // Most mutations keep the document well-formed; some must not.
    EXPECT_GT(built, kInputs / 2);
    EXPECT_LT(built, kInputs);
}

}  // namespace
