#include "TempDir.h"
#include "engine/DirectoryWalker.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <set>
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

TEST(DirectoryWalker, DeepTreesKeepDescriptorsBoundedAndVisitEverythingOnce)
{
    t::TempDir dir;
    const std::size_t depth = 150;
    std::string path = dir.path();
    for (std::size_t i = 0; i < depth; ++i) {
        path += "/d" + std::to_string(i);
        t::makeDir(path);
        t::writeFile(path + "/f", "x"); // a file beside every folder, visited after climbing back
    }
    const std::size_t before = openDescriptors();
    std::size_t peak = 0;
    std::multiset<std::string> pre;
    std::multiset<std::string> post;
    std::size_t deepest = 0;
    cv::DirectoryWalker walker(dir.path());
    ASSERT_TRUE(walker.walk(
        [&](const cv::DirectoryWalker::Entry& e) {
            pre.insert(e.path);
            peak = std::max(peak, openDescriptors());
            deepest = std::max(deepest, e.depth);
            return true;
        },
        [&](const cv::DirectoryWalker::Entry& e) {
            post.insert(e.path);
            // The descriptor handed over must really be the entry's folder.
            struct stat viaFd, viaPath;
            EXPECT_EQ(::fstatat(e.dirFd, e.name.c_str(), &viaFd, AT_SYMLINK_NOFOLLOW), 0) << e.path;
            EXPECT_EQ(::lstat(e.path.c_str(), &viaPath), 0);
            EXPECT_EQ(viaFd.st_ino, viaPath.st_ino) << e.path;
        }));
    EXPECT_EQ(pre.size(), 2 * depth);
    EXPECT_EQ(pre, post);
    EXPECT_EQ(std::set<std::string>(pre.begin(), pre.end()).size(), pre.size()) << "every entry once";
    EXPECT_EQ(deepest, depth + 1); // the file inside the deepest folder
    EXPECT_LE(peak, before + cv::DirectoryWalker::kMaxOpenLevels + 4);
    EXPECT_EQ(walker.errorCount(), 0u);
    EXPECT_EQ(openDescriptors(), before) << "nothing leaks";
}

TEST(DirectoryWalker, AFolderSwappedForALinkMidWalkIsNotEntered)
{
    t::TempDir dir;
    t::makeDir(dir / "outside");
    t::writeFile(dir / "outside/secret", "s");
    t::makeDir(dir / "root");
    t::makeDir(dir / "root/a");
    t::writeFile(dir / "root/a/file", "f");

    std::vector<std::string> seen;
    cv::DirectoryWalker walker(dir / "root");
    walker.walk(
        [&](const cv::DirectoryWalker::Entry& e) {
            seen.push_back(e.path);
            if (e.name == "a") { // listed as a folder; replaced by a link before it is entered
                t::removeTree(dir / "root/a");
                EXPECT_EQ(::symlink((dir / "outside").c_str(), (dir / "root/a").c_str()), 0);
            }
            return true;
        },
        nullptr);
    EXPECT_EQ(seen, std::vector<std::string>{dir / "root/a"});
    EXPECT_EQ(walker.errorCount(), 1u);
}
