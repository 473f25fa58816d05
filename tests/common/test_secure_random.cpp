#include "common/SecureRandom.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <vector>

using cv::SecureRandom;

TEST(SecureRandom, FillsEveryByteOfLargeBuffers)
{
    // A buffer that only got partly filled keeps runs of its initial zeros.
    std::vector<std::uint8_t> buffer(3 * 1048576 + 17, 0);
    SecureRandom::fill(buffer);
    std::size_t longestZeroRun = 0;
    std::size_t run = 0;
    for (const auto byte : buffer) {
        run = byte == 0 ? run + 1 : 0;
        longestZeroRun = std::max(longestZeroRun, run);
    }
    EXPECT_LT(longestZeroRun, 8u);
}

TEST(SecureRandom, UniformStaysInRangeAndReachesEveryValue)
{
    std::array<int, 62> seen{};
    for (int i = 0; i < 62 * 200; ++i) {
        const auto value = SecureRandom::uniform(62);
        ASSERT_LT(value, 62u);
        ++seen[value];
    }
    for (std::size_t v = 0; v < seen.size(); ++v)
        EXPECT_GT(seen[v], 100) << "value " << v << " is drawn far too rarely";
    EXPECT_EQ(SecureRandom::uniform(0), 0u);
    EXPECT_EQ(SecureRandom::uniform(1), 0u);
}

TEST(SecureRandom, AlphanumericNamesUseOnlyLettersAndDigits)
{
    std::set<std::string> names;
    for (int i = 0; i < 100; ++i) {
        const auto name = SecureRandom::alphanumeric(15);
        ASSERT_EQ(name.size(), 15u);
        for (const char c : name)
            ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 100u);
    EXPECT_EQ(SecureRandom::alphanumeric(0), "");
}
