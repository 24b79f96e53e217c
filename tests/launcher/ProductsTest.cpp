#include "launcher/Products.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Launcher;

TEST(Products, UrlsAndSetupNamesFitTheirBuffers)
{
    for (const ProductInfo& p : kProducts) {
        EXPECT_LT(std::strlen(p.downloadUrl), size_t(kPathBufferSize)) << p.downloadUrl;
        EXPECT_EQ('\\', p.setupFileName[0]) << p.setupFileName;
        EXPECT_NE(nullptr, std::strstr(p.downloadUrl, "/{version}/{setupname}/{machineid}"));
    }
}
