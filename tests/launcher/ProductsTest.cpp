#include "launcher/Products.h"

#include <gtest/gtest.h>

#include <string>

using namespace Launcher;

TEST(Products, SetupNamesAndUrls)
{
    for (const ProductInfo& p : kProducts) {
        EXPECT_EQ(L'\\', p.setupFileName[0]);
        EXPECT_NE(std::wstring::npos,
                  std::wstring(p.downloadUrl).find(L"/{version}/{setupname}/{machineid}"));
    }
}
