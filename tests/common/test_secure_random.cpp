#include "common/SecureRandom.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using cv::SecureRandom;

// The generator's calls, counted: OpenSSL asks for the process's id on every call (to notice a
// fork), and this test program's own getpid stands before the C library's.
namespace {
thread_local bool countIds = false;
thread_local int ids = 0;
} // namespace

extern "C" pid_t getpid() noexcept
{
    if (countIds)
        ++ids;
    return static_cast<pid_t>(::syscall(SYS_getpid));
}

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

TEST(SecureRandom, NamesComeFromAReserveNotFromOneGeneratorCallEach)
{
    // A walk draws a name per entry: thousands of names cost a few calls of the generator.
    SecureRandom::alphanumeric(1);
    countIds = true;
    ids = 0;
    std::set<std::string> names;
    for (int i = 0; i < 2000; ++i)
        names.insert(SecureRandom::alphanumeric(12));
    countIds = false;
    EXPECT_EQ(names.size(), 2000u);
    EXPECT_LT(ids, 40) << "one generator call per name";
}

TEST(SecureRandom, AForkedChildNeverDrawsWhatItsParentDraws)
{
    SecureRandom::alphanumeric(1); // the reserve is filled before the fork
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string name = SecureRandom::alphanumeric(32);
        const bool sent = ::write(channel[1], name.data(), name.size()) == static_cast<ssize_t>(name.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    const std::string mine = SecureRandom::alphanumeric(32);
    std::string theirs(32, '\0');
    ssize_t got = 0;
    while (got < 32) {
        const ssize_t n = ::read(channel[0], theirs.data() + got, 32 - static_cast<std::size_t>(got));
        if (n <= 0)
            break;
        got += n;
    }
    ::close(channel[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(got, 32);
    EXPECT_NE(mine, theirs) << "the child drew from a copy of the parent's reserve";
}
