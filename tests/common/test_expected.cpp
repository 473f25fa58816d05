#include "common/Expected.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

using cv::Expected;
using cv::Unexpected;

TEST(Expected, HoldsAValueOrAnErrorAndSaysWhich)
{
    // The same type on both sides (a result in words, or why it failed) must not be mixed up.
    const Expected<std::string, std::string> value = std::string("made");
    const Expected<std::string, std::string> error = Unexpected(std::string("why not"));
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, "made");
    ASSERT_FALSE(error);
    EXPECT_EQ(error.error(), "why not");
    EXPECT_THROW(static_cast<void>(error.value()), std::bad_variant_access);
    EXPECT_THROW(static_cast<void>(value.error()), std::bad_variant_access);

    const Expected<void, std::string> done;
    const Expected<void, std::string> failed = Unexpected(std::string("failed"));
    EXPECT_TRUE(done);
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.error(), "failed");

    // A value that can only move, moved out.
    Expected<std::unique_ptr<int>, std::string> owner = std::make_unique<int>(7);
    const std::unique_ptr<int> taken = std::move(owner).value();
    EXPECT_EQ(*taken, 7);
}
