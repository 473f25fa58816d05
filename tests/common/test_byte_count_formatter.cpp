#include "common/ByteCountFormatter.h"

#include <gtest/gtest.h>

using cv::formatByteCount;

TEST(ByteCountFormatter, SmallAmountsAreBytes)
{
    EXPECT_EQ(formatByteCount(0), "Zero KB");
    EXPECT_EQ(formatByteCount(1), "1 byte");
    EXPECT_EQ(formatByteCount(2), "2 bytes");
    EXPECT_EQ(formatByteCount(999), "999 bytes");
}

TEST(ByteCountFormatter, DecimalUnitsWithTheirPrecision)
{
    EXPECT_EQ(formatByteCount(1000), "1 KB");
    EXPECT_EQ(formatByteCount(1499), "1 KB");
    EXPECT_EQ(formatByteCount(1500), "2 KB");
    EXPECT_EQ(formatByteCount(1234567), "1.2 MB");
    EXPECT_EQ(formatByteCount(1000000), "1 MB");
    EXPECT_EQ(formatByteCount(1250000000), "1.25 GB");
    // The unit's decimals in full, so that amounts side by side read alike; a whole one plain.
    EXPECT_EQ(formatByteCount(1200000000), "1.20 GB");
    EXPECT_EQ(formatByteCount(191500000000), "191.50 GB");
    EXPECT_EQ(formatByteCount(79060000000), "79.06 GB");
    EXPECT_EQ(formatByteCount(3000000000000), "3 TB");
    EXPECT_EQ(formatByteCount(3004000), "3 MB");
    EXPECT_EQ(formatByteCount(500000000000), "500 GB");
    EXPECT_EQ(formatByteCount(2345678901234), "2.35 TB");
}

TEST(ByteCountFormatter, RoundingUpCarriesIntoTheNextUnit)
{
    EXPECT_EQ(formatByteCount(999499), "999 KB");
    EXPECT_EQ(formatByteCount(999500), "1 MB");
    EXPECT_EQ(formatByteCount(999960000), "1 GB");
}

TEST(ByteCountFormatter, ExtremesDoNotOverflow)
{
    EXPECT_EQ(formatByteCount(-1500), "-2 KB");
    EXPECT_EQ(formatByteCount(INT64_MAX), "9.22 EB");
    EXPECT_EQ(formatByteCount(INT64_MIN), "-9.22 EB");
}

TEST(ByteCountFormatter, GermanConventions)
{
    const auto german = cv::ByteCountStyle::forLanguage("de-CH");
    EXPECT_EQ(cv::ByteCountFormatter::format(0, german), "Null KB");
    EXPECT_EQ(cv::ByteCountFormatter::format(1, german), "1 Byte");
    EXPECT_EQ(cv::ByteCountFormatter::format(932, german), "932 Byte");
    EXPECT_EQ(cv::ByteCountFormatter::format(2800000, german), "2,8 MB");
    EXPECT_EQ(cv::ByteCountFormatter::format(1000000, german), "1 MB");
    EXPECT_EQ(cv::ByteCountFormatter::format(1250000000, german), "1,25 GB");
    EXPECT_EQ(cv::ByteCountFormatter::format(191500000000, german), "191,50 GB");
    EXPECT_EQ(cv::ByteCountFormatter::format(2800000, cv::ByteCountStyle::forLanguage("fr")), "2.8 MB");
}
