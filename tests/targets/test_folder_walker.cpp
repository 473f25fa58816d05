#include "TempDir.h"
#include "common/UniqueFd.h"
#include "targets/FolderWalker.h"

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

TEST(FolderWalker, DeepTreesKeepDescriptorsBoundedAndVisitEverythingOnce)
{
    t::TempDir dir;
    const std::size_t depth = 150;
    std::string path = dir.path();
    for (std::size_t i = 0; i < depth; ++i) {
        path += "/d" + std::to_string(i);
        t::makeDir(path);
        t::writeFile(path + "/f", "x"); // a file beside every folder, visited after climbing back
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
