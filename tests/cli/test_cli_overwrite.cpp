#include "ProcessRunner.h"
#include "TempDir.h"
#include "TmpfsMount.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using cv::test::runProcess;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A file's content as text.
std::string contents(const std::string& path)
{
    const auto bytes = cv::test::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

cv::test::ProcessResult cli(std::vector<std::string> args)
{
    args.insert(args.begin(), CINDERVAULT_CLI);
    return runProcess(args);
}

} // namespace

TEST(CliMethods, ListsTheRealMethodsInMenuOrderInTheStoredLanguage)
{
    // Settings of its own: English unless the stored language is German, whatever the desktop's.
    cv::test::TempDir config;
    cv::test::makeDir(config / "Ostrevane");
    const auto methods = [&](const std::string& stored, const std::string& desktop) {
        cv::test::writeFile(config / "Ostrevane/Cindervault.ini",
                            stored.empty() ? "" : "[General]\nAppleLanguages=" + stored + "\n");
        const auto run = runProcess({"env", "XDG_CONFIG_HOME=" + config.path(), "LANG=" + desktop,
                                     "LANGUAGE=", "LC_ALL=", "LC_MESSAGES=", CINDERVAULT_CLI, "methods"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        std::istringstream lines(run.out);
        std::vector<std::string> rows;
        for (std::string line; std::getline(lines, line);)
            rows.push_back(line);
        return rows;
    };
    for (const auto& [stored, desktop] :
         {std::pair<std::string, std::string>{"", "C"}, {"", "de_DE.UTF-8"}, {"en", "de_DE.UTF-8"}}) {
        SCOPED_TRACE("stored \"" + stored + "\", desktop " + desktop);
        const auto rows = methods(stored, desktop);
        ASSERT_EQ(rows.size(), 21u);
        EXPECT_EQ(rows.front(), "1\t50\t50 passes: Ostrevane DWA (2007)");
        EXPECT_EQ(rows[5], "21\t7\t7 passes: Canadian RCMP TSSIT OPS-II") << "leading blank trimmed";
        EXPECT_EQ(rows.back(), "16\t1\t1 pass: random data");
    }
    const auto german = methods("de", "C");
    ASSERT_EQ(german.size(), 21u);
    EXPECT_EQ(german.front(), "1\t50\t50 Runden: Ostrevane DWA (2007)");
    EXPECT_EQ(german.back(), "16\t1\t1 Runde: Zufallswerte");
    EXPECT_EQ(cli({"methods", "extra"}).exitCode, 2);
}

TEST(CliOverwrite, UsageErrors)
{
    cv::test::TempDir dir;
    cv::test::writeFile(dir / "f", "data");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"overwrite", dir / "f"},                   // no method
                                               {"overwrite", "--method", "0", dir / "f"},  // the placeholder
                                               {"overwrite", "--method", "22", dir / "f"}, // unknown
                                               {"overwrite", "--method", "3x", dir / "f"}, // not a number
                                               {"overwrite", "--method", "16"},            // no path
                                               {"overwrite", "--method", "16", "--bogus", dir / "f"},
                                               {"frobnicate"}}) {
        const auto run = cli(args);
        EXPECT_EQ(run.exitCode, 2) << args[1] << ": " << run.err;
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_EQ(contents(dir / "f"), "data") << "a usage error touches nothing";
}

TEST(CliOverwrite, OverwritesInPlaceKeepingNameAndSize)
{
    cv::test::TempDir dir;
    cv::test::writeFile(dir / "a.txt", std::string(3000000, 'x'));
    cv::test::writeFile(dir / "-dash", std::string(10, 'y'));
    const auto run = cli({"overwrite", "--method=7", "--", dir / "a.txt", dir / "-dash"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(cv::test::readFile(dir / "a.txt"), Bytes(3000000, 0x55)) << "the last pass of method 7 is 55";
    EXPECT_EQ(cv::test::readFile(dir / "-dash"), Bytes(10, 0x55));
}

TEST(CliOverwrite, RefusesEverythingThatIsNotARegularFile)
{
    cv::test::TempDir dir;
    const std::string target = dir / "target";
    cv::test::writeFile(target, "keep me");
    ASSERT_EQ(::symlink(target.c_str(), (dir / "link").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0644), 0);
    cv::test::makeDir(dir / "folder");
    const std::string socketPath = dir / "sock";
    ASSERT_EQ(::mknod(socketPath.c_str(), S_IFSOCK | 0600, 0), 0);

    std::vector<std::string> args{"overwrite",  "--method",     "16",       dir / "link",
                                  dir / "fifo", dir / "folder", socketPath, dir / "missing"};
    // A device node of the test's own (the null device): those in /dev are the kernel's anyway.
    const std::string device = dir / "null";
    const bool withDevice = ::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (withDevice)
        args.push_back(device);

    // A FIFO opened for writing would block forever: the command must come back on its own.
    const auto run = cli(args);
    EXPECT_EQ(run.exitCode, 1);
    for (const char* name : {"link", "fifo", "folder", "sock", "missing"})
        EXPECT_NE(run.err.find(dir / name), std::string::npos) << "no failure line for " << name << ":\n"
                                                               << run.err;
    EXPECT_NE(run.err.find("symbolic link"), std::string::npos);
    EXPECT_NE(run.err.find("FIFO"), std::string::npos);
    if (withDevice) {
        EXPECT_NE(run.err.find(device + ": not a regular file (character device)"), std::string::npos)
            << run.err;
    }
    EXPECT_EQ(contents(target), "keep me") << "a link is never followed";
}

TEST(CliOverwrite, AFullFileSystemIsReportedAsAFailure)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    cv::test::TempDir dir;
    cv::test::TmpfsMount mount(dir.path(), "256k");
    ASSERT_TRUE(mount.available());
    // A sparse file claims 4 MB but holds no pages: overwriting it needs space the tmpfs lacks.
    const std::string sparse = dir / "sparse.bin";
    const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 4000000), 0);
    ::close(fd);
    cv::test::writeFile(dir / "small.bin", std::string(1000, 's'));

    const auto run = cli({"overwrite", "--method", "17", sparse, dir / "small.bin"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(sparse + ": write failed: No space left on device"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("small.bin"), std::string::npos) << "the other file is still overwritten";
    EXPECT_NE(cv::test::readFile(dir / "small.bin"), Bytes(1000, 's'));
}
