#include "SystemCallCount.h"
#include "TempDir.h"
#include "common/UniqueFd.h"
#include "targets/FolderWalker.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace t = cv::test;

namespace {

std::size_t openDescriptors()
{
    std::size_t count = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (::readdir(dir))
            ++count;
        ::closedir(dir);
    }
    return count;
}

} // namespace

TEST(FolderWalker, DeepTreesKeepDescriptorsBoundedAndVisitEverythingOnce)
{
    t::TempDir dir;
    const std::size_t depth = 150;
    std::string path = dir.path();
    for (std::size_t i = 0; i < depth; ++i) {
        path += "/d" + std::to_string(i);
        t::makeDir(path);
        t::writeFile(path + "/f", "x"); // a file beside every folder
    }
    const cv::UniqueFd root(cv::FolderWalker::openFolder(dir.path()));
    const std::size_t before = openDescriptors();
    std::size_t peak = 0;
    std::multiset<std::string> pre;
    std::multiset<std::string> post;
    std::size_t deepest = 0;
    cv::FolderWalker walker;
    walker.walk(
        root.get(), dir.path(),
        [&](const cv::FolderWalker::Entry& e) {
            pre.insert(std::string(e.path));
            peak = std::max(peak, openDescriptors());
            deepest = std::max(deepest, e.depth);
            return true;
        },
        [&](const cv::FolderWalker::Entry& e) {
            const std::string path(e.path);
            post.insert(path);
            // The descriptor handed over must really be the entry's folder.
            struct stat viaFd, viaPath;
            EXPECT_EQ(::fstatat(e.dirFd, e.name.data(), &viaFd, AT_SYMLINK_NOFOLLOW), 0) << path;
            EXPECT_EQ(::lstat(path.c_str(), &viaPath), 0);
            EXPECT_EQ(viaFd.st_ino, viaPath.st_ino) << path;
        });
    EXPECT_EQ(pre.size(), 2 * depth);
    EXPECT_EQ(pre, post);
    EXPECT_EQ(std::set<std::string>(pre.begin(), pre.end()).size(), pre.size()) << "every entry once";
    EXPECT_EQ(deepest, depth + 1); // the file inside the deepest folder
    EXPECT_LE(peak, before + cv::FolderWalker::kMaxOpenLevels + 4) << "descriptors stay bounded";
    EXPECT_EQ(walker.errorCount(), 0u);
    EXPECT_EQ(openDescriptors(), before) << "nothing leaks";
}

TEST(FolderWalker, AFolderSwappedForALinkMidWalkIsNotEntered)
{
    t::TempDir dir;
    t::makeDir(dir / "outside");
    t::writeFile(dir / "outside/secret", "s");
    t::makeDir(dir / "root");
    t::makeDir(dir / "root/a");
    t::writeFile(dir / "root/a/file", "f");

    std::vector<std::string> seen;
    cv::FolderWalker walker;
    const cv::UniqueFd root(cv::FolderWalker::openFolder(dir / "root"));
    walker.walk(root.get(), dir / "root", [&](const cv::FolderWalker::Entry& e) {
        seen.emplace_back(e.path);
        if (e.name == "a") { // listed as a folder; replaced by a link before it is entered
            t::removeTree(dir / "root/a");
            EXPECT_EQ(::symlink((dir / "outside").c_str(), (dir / "root/a").c_str()), 0);
        }
        return true;
    });
    EXPECT_EQ(seen, std::vector<std::string>{dir / "root/a"});
    EXPECT_EQ(walker.errorCount(), 1u);
}

namespace {

// Runs body in a child process that may open exactly `spare` more descriptors, and returns its
// exit status: the number of failures body counted (GoogleTest assertions would be lost in the
// child; body prints what went wrong).
int withDescriptorLimit(int spare, const std::function<int()>& body)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Every free slot below a low limit is taken, then `spare` of them given back.
        const rlimit limit{256, 256};
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0)
            ::_exit(99);
        std::vector<int> taken;
        for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
            taken.push_back(fd);
        for (int i = 0; i < spare && !taken.empty(); ++i) {
            ::close(taken.back());
            taken.pop_back();
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int failure(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

} // namespace

TEST(FolderWalker, AFewDescriptorsServeAnyDepthAndRunningOutIsReportedAsSuch)
{
    t::TempDir dir(t::exists("/dev/shm") ? "/dev/shm" : ""); // deep trees are slow to remove from a disk
    const std::string chain = dir / "chain";
    t::makeDir(chain);
    t::makeChain(chain, 3000);

    // Fewer descriptors than the window: the window shrinks, the walk goes on.
    const auto walkAll = [&] {
        const cv::UniqueFd root(cv::FolderWalker::openFolder(chain));
        std::size_t files = 0, folders = 0, failed = 0;
        cv::FolderWalker walker;
        const int error = walker.walk(
            root.get(), chain,
            [&](const cv::FolderWalker::Entry& e) {
                ++(S_ISDIR(e.info.st_mode) ? folders : files);
                return true;
            },
            [&](const cv::FolderWalker::Entry& e) { failed += e.error != 0; });
        int bad = 0;
        if (files != 3000 || folders != 3000)
            bad += failure("not every entry was met");
        if (error != 0 || failed != 0 || walker.errorCount() != 0)
            bad += failure("the walk reported errors");
        return bad;
    };
    EXPECT_EQ(withDescriptorLimit(5, walkAll), 0);

    // No descriptor left for the next folder: an error of that folder, named as it is.
    const auto walkWithOne = [&] {
        const cv::UniqueFd root(cv::FolderWalker::openFolder(chain));
        std::vector<std::pair<std::size_t, int>> folderErrors;
        cv::FolderWalker walker;
        walker.walk(root.get(), chain, nullptr, [&](const cv::FolderWalker::Entry& e) {
            if (e.error != 0)
                folderErrors.emplace_back(e.depth, e.error);
        });
        if (folderErrors != std::vector<std::pair<std::size_t, int>>{{2, EMFILE}}) {
            for (const auto& [depth, error] : folderErrors)
                std::fprintf(stderr, "depth %zu: %s\n", depth, std::strerror(error));
            return failure("the second folder should fail with EMFILE, and only it");
        }
        if (cv::FolderWalker::describeError(EMFILE) != std::strerror(EMFILE))
            return failure("EMFILE is not described as what it is");
        return 0;
    };
    EXPECT_EQ(withDescriptorLimit(2, walkWithOne), 0);
}

TEST(FolderWalker, ClimbingBackFindsAFolderThatWasMovedMidWalk)
{
    t::TempDir dir;
    t::makeDir(dir / "chain");
    t::makeChain(dir / "chain", 10);
    const cv::UniqueFd root(cv::FolderWalker::openFolder(dir / "chain"));
    std::multiset<std::size_t> depths;
    // Every climb back reopens a folder that fell out of the window: the post visits use it.
    cv::FolderWalker walker(2);
    std::size_t left = 0;
    const int error = walker.walk(
        root.get(), dir / "chain",
        [&](const cv::FolderWalker::Entry& e) {
            depths.insert(e.depth);
            // Deep down, the third folder moves away to the top: its folder ".." is no longer the
            // second folder, which is then found again by its name.
            if (e.depth == 8 && S_ISDIR(e.info.st_mode)) {
                EXPECT_EQ(::rename((dir / "chain/d/d/d").c_str(), (dir / "chain/moved").c_str()), 0);
            }
            return true;
        },
        [&](const cv::FolderWalker::Entry& e) {
            struct stat info;
            left += ::fstatat(e.dirFd, e.name.data(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                    info.st_ino == e.info.st_ino;
        });
    EXPECT_EQ(error, 0);
    EXPECT_EQ(walker.errorCount(), 0u);
    for (std::size_t depth = 1; depth <= 10; ++depth)
        EXPECT_EQ(depths.count(depth), 2u) << "the file and the folder at depth " << depth << ", once each";
    EXPECT_EQ(left, 19u) << "every post visit is handed the folder that holds its entry, but for the "
                            "folder that moved away";
}

TEST(FolderWalker, LeavingADeepChainFindsTheWayUpInOneStepOrByNameWhenAFolderMoved)
{
    // Two chains side by side in x. Leaving the first, nothing is reopened until x, which still
    // has the second to visit: x is opened from the bottom of the first chain, or, when a folder
    // of that chain moved away meanwhile, found again by its name from the top.
    for (const bool move : {false, true}) {
        t::TempDir dir;
        t::makeDir(dir / "x");
        t::makeDir(dir / "x/d");
        t::makeDir(dir / "x/e");
        t::makeChain(dir / "x/d", 40);
        t::makeChain(dir / "x/e", 40);
        const cv::UniqueFd root(cv::FolderWalker::openFolder(dir.path()));
        std::set<std::string> seen;
        std::size_t visits = 0;
        bool moved = false;
        cv::FolderWalker walker(2);
        const int error = walker.walk(root.get(), dir.path(), [&](const cv::FolderWalker::Entry& e) {
            seen.emplace(e.path);
            ++visits;
            if (move && !moved && e.depth == 30) {
                const std::string chain(e.path.substr(0, (dir / "x/").size() + 1));
                moved = ::rename((chain + "/d/d").c_str(), (dir / "moved").c_str()) == 0;
            }
            return true;
        });
        EXPECT_EQ(moved, move);
        EXPECT_EQ(error, 0) << move;
        EXPECT_EQ(walker.errorCount(), 0u) << move;
        EXPECT_EQ(visits, 1u + 2u + 2u * 2u * 40u) << move;
        EXPECT_EQ(seen.size(), visits) << "every entry once";
        EXPECT_TRUE(seen.contains(dir / "x/e/d/f") && seen.contains(dir / "x/d/d/f")) << move;
    }
}

TEST(FolderWalker, ADeepChainCostsTheSameFewSystemCallsAtEveryLevel)
{
    // Examining the file and the folder, opening, checking and listing the folder: nothing is
    // opened again on the way back out of a chain far deeper than the window.
    t::TempDir dir(t::exists("/dev/shm") ? "/dev/shm" : "");
    const std::string chain = dir / "chain";
    t::makeDir(chain);
    constexpr std::size_t kLevels = 1000;
    t::makeChain(chain, kLevels);
    const cv::UniqueFd root(cv::FolderWalker::openFolder(chain));
    const auto counted = t::countSystemCalls([&] {
        std::size_t visits = 0;
        cv::FolderWalker walker;
        walker.walk(root.get(), chain, [&](const cv::FolderWalker::Entry&) { return ++visits > 0; });
        return visits == 2 * kLevels ? 0 : 1;
    });
    if (!counted)
        GTEST_SKIP() << "this process may not trace its child";
    EXPECT_EQ(counted->exitCode, 0) << "not every entry was visited";
    const double perLevel = static_cast<double>(counted->calls) / kLevels;
    RecordProperty("calls_per_level", std::to_string(perLevel));
    EXPECT_LT(perLevel, 7.5) << counted->calls << " system calls";
}
