#include "imageops/image_ops.h"
#include "imageops/scale_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<std::uint8_t> table()
{
    std::vector<std::uint8_t> t(imageops::scaleTableSize);
    imageops::buildScaleTable(t.data());
    return t;
}

TEST(ScaleTable, EntriesWorkedOutByHand)
{
    const auto t = table();
    // 33 * 255 / 255 and 45 * 17 / 255 are exactly 33 and 3, but the rounded
    // factor lands the products just below, so truncation loses one.
    EXPECT_EQ(t[33 * 256 + 255], 32);
    EXPECT_EQ(t[45 * 256 + 17], 2);
    // Ordinary entries: floor(i * j / 255).
    EXPECT_EQ(t[128 * 256 + 255], 128);
    EXPECT_EQ(t[100 * 256 + 200], 78);  // 20000 / 255 = 78.43
    EXPECT_EQ(t[2 * 256 + 127], 0);     // 254 / 255
    EXPECT_EQ(t[2 * 256 + 128], 1);     // 256 / 255
    EXPECT_EQ(t[200 * 256 + 254], 199); // 50800 / 255 = 199.2
}

TEST(ScaleTable, RowZeroIsZeroAndRow255IsTheIdentity)
{
    const auto t = table();
    for (int j = 0; j < 256; ++j) {
        EXPECT_EQ(t[j], 0) << j;
        EXPECT_EQ(t[255 * 256 + j], j) << j;
    }
}

TEST(ScaleTable, Exactly72EntriesFallOneBelowTheExactQuotient)
{
    const auto t = table();
    int exceptions = 0;
    for (int i = 0; i < 256; ++i)
        for (int j = 0; j < 256; ++j) {
            const int exact = i * j / 255;
            const int entry = t[i * 256 + j];
            if (entry == exact)
                continue;
            ++exceptions;
            EXPECT_EQ(entry, exact - 1) << i << " " << j;
            EXPECT_EQ(i * j % 255, 0) << "only whole quotients can fall short: " << i << " " << j;
        }
    EXPECT_EQ(exceptions, 72);
}

TEST(ScaleTable, OnlyThePlainFamilyOwnsOne)
{
    imageops::ImageOps plain(false);
    imageops::ImageOps vector(true);
    EXPECT_FALSE(plain.mmx());
    EXPECT_TRUE(vector.mmx());
    EXPECT_EQ(vector.scaleTable(), nullptr);
    ASSERT_NE(plain.scaleTable(), nullptr);
    const auto t = table();
    EXPECT_TRUE(std::equal(t.begin(), t.end(), plain.scaleTable()));
}

} // namespace
