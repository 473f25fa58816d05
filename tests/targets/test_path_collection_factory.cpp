#include "TempDir.h"
#include "TmpfsMount.h"
#include "targets/FolderWalker.h"
#include "targets/PathCollectionFactory.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using cv::FolderWalker;
using cv::PathCollection;
using cv::PathCollectionFactory;
using cv::TreeItem;
using cv::test::makeDir;
using cv::test::TempDir;
using cv::test::writeFile;

namespace {

void makeFile(const std::string& path, std::size_t size)
{
    writeFile(path, std::string(size, 'x'));
}

void makeSocket(const std::string& path)
{
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    ::close(sock); // the socket's entry stays
}

const TreeItem* child(const TreeItem& item, const std::string& name)
{
    for (const auto& candidate : item.children()) {
        if (candidate->path().ends_with("/" + name))
            return candidate.get();
    }
    return nullptr;
}

std::vector<std::string> childNames(const TreeItem& item)
{
    std::vector<std::string> names;
    for (const auto& candidate : item.children())
        names.push_back(candidate->path().substr(candidate->path().rfind('/') + 1));
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<PathCollection> scan(std::vector<std::string> paths, std::vector<std::string> excludes = {})
{
    auto collection = std::make_unique<PathCollection>();
    collection->setPaths(std::move(paths));
    collection->setExcludes(std::move(excludes));
    PathCollectionFactory().updatePathCollection(*collection);
    return collection;
}

// sel/ holds a (5 bytes), .b (3), s/c (7), a link l to a folder outside with 1000 bytes in it,
// a FIFO p and a socket k.
struct SmallSelection
{
    TempDir dir;
    std::string sel = dir / "sel";

    SmallSelection()
    {
        makeDir(sel);
        makeFile(sel + "/a", 5);
        makeFile(sel + "/.b", 3);
        makeDir(sel + "/s");
        makeFile(sel + "/s/c", 7);
        makeDir(dir / "outside");
        makeFile(dir / "outside/big", 1000);
        EXPECT_EQ(::symlink((dir / "outside").c_str(), (sel + "/l").c_str()), 0);
        EXPECT_EQ(::mkfifo((sel + "/p").c_str(), 0600), 0);
        makeSocket(sel + "/k");
    }
};

// A chain of folders, each named by 200 characters, too deep for any path to reach its bottom:
// made and removed through descriptors, since path-based calls (and nftw) stop at PATH_MAX.
class DeepChain
{
public:
    static constexpr int kDepth = 30;

    explicit DeepChain(const std::string& base) : m_base(base), m_name(200, 'n')
    {
        int fd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < kDepth; ++i) {
            EXPECT_EQ(::mkdirat(fd, m_name.c_str(), 0755), 0);
            const int next = ::openat(fd, m_name.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(fd);
            fd = next;
        }
        const int file = ::openat(fd, "bottom", O_WRONLY | O_CREAT, 0644);
        EXPECT_EQ(::write(file, "eleven byte", 11), 11);
        ::close(file);
        ::close(fd);
    }

    ~DeepChain()
    {
        std::vector<int> fds{::open(m_base.c_str(), O_RDONLY | O_DIRECTORY)};
        for (int i = 0; i < kDepth; ++i)
            fds.push_back(::openat(fds.back(), m_name.c_str(), O_RDONLY | O_DIRECTORY));
        ::unlinkat(fds.back(), "bottom", 0);
        for (int i = kDepth; i > 0; --i) {
            ::close(fds[i]);
            ::unlinkat(fds[i - 1], m_name.c_str(), AT_REMOVEDIR);
        }
        ::close(fds.front());
    }

private:
    std::string m_base;
    std::string m_name;
};

std::size_t openDescriptors()
{
    std::size_t count = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    while (dir && ::readdir(dir))
        ++count;
    if (dir)
        ::closedir(dir);
    return count;
}

} // namespace

TEST(PathCollectionFactory, CountsSizesAndEntriesOfAFolder)
{
    SmallSelection fixture;
    const auto collection = scan({fixture.sel});
    EXPECT_EQ(collection->totalSize(), 15);
    EXPECT_EQ(collection->fileCount(), 3u);
    EXPECT_EQ(collection->hiddenCount(), 1u);
    EXPECT_EQ(collection->folderCount(), 1u);
    EXPECT_EQ(collection->symlinkCount(), 3u) << "the link, the FIFO and the socket";

    ASSERT_EQ(collection->trees().size(), 1u);
    const TreeItem& root = *collection->trees().front();
    EXPECT_EQ(root.path(), fixture.sel);
    EXPECT_TRUE(root.isFolder());
    EXPECT_EQ(root.totalSize(), 15) << "the link to the outside folder is not followed";
    EXPECT_EQ(childNames(root), (std::vector<std::string>{".b", "a", "s"}))
        << "links and special files stay out";
    const TreeItem* s = child(root, "s");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->level(), 1u);
    EXPECT_EQ(s->parentPath(), fixture.sel);
    EXPECT_EQ(s->totalSize(), 7);
    EXPECT_EQ(s->totalCount(), 1);
    ASSERT_EQ(s->children().size(), 1u);
    EXPECT_EQ(s->children().front()->level(), 2u);
    EXPECT_EQ(s->children().front()->parent(), s);
    EXPECT_TRUE(child(root, ".b")->isHidden());
    EXPECT_TRUE(child(root, "a")->isFile());
    EXPECT_EQ(collection->getSelectedSize(), 15);
    EXPECT_EQ(collection->getSelectedCount(), 3);
}

TEST(PathCollectionFactory, ExcludesCoverWholePathComponentsOnly)
{
    {
        SCOPED_TRACE("an excluded folder and everything in it are deselected and uncounted");
        SmallSelection fixture;
        const auto collection = scan({fixture.sel}, {fixture.sel + "/s"});
        EXPECT_EQ(collection->totalSize(), 8);
        EXPECT_EQ(collection->fileCount(), 2u);
        EXPECT_EQ(collection->folderCount(), 0u);
        const TreeItem& root = *collection->trees().front();
        EXPECT_EQ(root.totalSize(), 15) << "the root's own total includes excluded entries";
        const TreeItem* s = child(root, "s");
        EXPECT_TRUE(s->deselected());
        EXPECT_TRUE(s->children().front()->deselected());
        EXPECT_EQ(collection->getSelectedSize(), 8);
    }
    {
        SCOPED_TRACE("excluding /x/ab leaves /x/abc selected");
        TempDir dir;
        makeDir(dir / "ab");
        makeFile(dir / "ab/f", 10);
        makeDir(dir / "abc");
        makeFile(dir / "abc/g", 20);
        makeFile(dir / "ab.txt", 40);
        for (const std::string& exclude : {dir / "ab", dir / "ab/", dir / "./ab"}) {
            const auto collection = scan({dir.path()}, {exclude});
            EXPECT_EQ(collection->totalSize(), 60) << exclude;
            EXPECT_EQ(collection->fileCount(), 2u) << exclude;
            EXPECT_FALSE(child(*collection->trees().front(), "abc")->deselected()) << exclude;
            EXPECT_TRUE(child(*collection->trees().front(), "ab")->deselected()) << exclude;
            const cv::PreparedExcludes excludes(collection->excludes());
            EXPECT_TRUE(excludes.covers(dir / "ab/f"));
            EXPECT_FALSE(excludes.covers(dir / "abc/g"));
        }
    }
    {
        SCOPED_TRACE("an exclude at or above the selected folder covers all below it, not the root");
        SmallSelection fixture;
        for (const std::string& exclude : {fixture.sel, fixture.dir.path()}) {
            const auto collection = scan({fixture.sel}, {exclude});
            EXPECT_EQ(collection->totalSize(), 0);
            EXPECT_EQ(collection->fileCount(), 0u);
            EXPECT_EQ(collection->hiddenCount(), 0u);
            const TreeItem& root = *collection->trees().front();
            EXPECT_FALSE(root.deselected());
            EXPECT_TRUE(child(root, "a")->deselected());
            EXPECT_TRUE(child(root, "s")->children().front()->deselected());
        }
    }
    {
        SCOPED_TRACE("a selected file below an exclude is deselected; one beside it is not");
        SmallSelection fixture;
        const auto collection = scan({fixture.sel + "/s/c", fixture.sel + "/a"}, {fixture.sel + "/s"});
        EXPECT_EQ(collection->fileCount(), 1u);
        EXPECT_EQ(collection->totalSize(), 5);
        EXPECT_TRUE(collection->trees()[0]->deselected());
        EXPECT_FALSE(collection->trees()[1]->deselected());
    }
}

TEST(PathCollectionFactory, TreeHoldsThreeLevelsWithContentTotals)
{
    TempDir dir;
    makeDir(dir / "d1");
    makeDir(dir / "d1/d2");
    makeDir(dir / "d1/d2/d3");
    makeFile(dir / "d1/d2/d3/f", 100);
    makeFile(dir / "d1/d2/empty", 0);
    makeFile(dir / "d1/d2/g", 30);
    makeDir(dir / "d1/.cache");
    makeFile(dir / "d1/.cache/h", 4);
    ::symlink("a-target-of-some-length", (dir / "d1/d2/link").c_str());
    // A file excluded below level 2 leaves the folder totals alone: they are what the explorer shows.
    const auto collection = scan({dir.path() + "/"}, {dir / "d1/d2/g"});

    const TreeItem& root = *collection->trees().front();
    EXPECT_EQ(root.path(), dir.path() + "/") << "the root keeps the path as given";
    ASSERT_EQ(childNames(root), std::vector<std::string>{"d1"})
        << "a trailing slash must not cost the children";
    const TreeItem* d1 = child(root, "d1");
    EXPECT_EQ(d1->totalSize(), 134);
    EXPECT_EQ(d1->totalCount(), 3) << "non-empty files only; links have no size of their own";
    const TreeItem* d2 = child(*d1, "d2");
    ASSERT_NE(d2, nullptr);
    EXPECT_EQ(d2->totalSize(), 130);
    EXPECT_EQ(d2->totalCount(), 2);
    EXPECT_TRUE(d2->children().empty()) << "a level-2 folder has no children";
    EXPECT_TRUE(child(*d1, ".cache")->isHidden());

    EXPECT_EQ(collection->totalSize(), 104);
    EXPECT_EQ(collection->fileCount(), 3u);
    EXPECT_EQ(collection->folderCount(), 4u);
    EXPECT_EQ(collection->hiddenCount(), 1u);
    EXPECT_EQ(collection->symlinkCount(), 1u);
}

TEST(PathCollectionFactory, SelectedLinksFilesAndMissingPaths)
{
    SmallSelection fixture;
    const auto collection = scan({fixture.sel + "/l", fixture.sel + "/a", fixture.dir / "missing"});
    EXPECT_EQ(collection->fileCount(), 3u) << "each path that is no folder counts as a file";
    EXPECT_EQ(collection->totalSize(), 5) << "a selected link to a folder is not followed";
    ASSERT_EQ(collection->trees().size(), 3u);
    for (const auto& root : collection->trees()) {
        EXPECT_FALSE(root->isFolder()) << root->path();
        EXPECT_TRUE(root->children().empty()) << root->path();
    }
    EXPECT_EQ(collection->trees()[1]->totalSize(), 5);
}

TEST(PathCollectionFactory, RescanKeepsExcludesAndMergeFoldsCollections)
{
    SmallSelection fixture;
    PathCollectionFactory factory;
    auto first = factory.createPathCollection({fixture.sel});
    EXPECT_EQ(first->paths(), std::vector<std::string>{fixture.sel});
    first->setExcludes({fixture.sel + "/a"});
    factory.updatePathCollection(*first);
    EXPECT_EQ(first->trees().size(), 1u) << "a rescan replaces the trees";
    EXPECT_EQ(first->totalSize(), 10);
    EXPECT_TRUE(child(*first->trees().front(), "a")->deselected());

    auto second = factory.createPathCollection({fixture.sel + "/s", fixture.sel + "/.b"});
    second->setExcludes({"/elsewhere"});
    auto third = factory.createPathCollection({fixture.dir / "missing"});
    const auto merged = PathCollectionFactory::mergePathCollections({second.get(), third.get()});
    EXPECT_EQ(merged->paths(),
              (std::vector<std::string>{fixture.sel + "/s", fixture.sel + "/.b", fixture.dir / "missing"}));
    EXPECT_EQ(merged->excludes(), std::vector<std::string>{"/elsewhere"});
    EXPECT_EQ(merged->totalSize(), 7 + 3);
    EXPECT_EQ(merged->fileCount(), 2u + 1u);
    EXPECT_EQ(merged->folderCount(), 0u);
    EXPECT_TRUE(merged->trees().empty());

    // Paths inside another collection's paths fold into them: what both hold counts once.
    const auto folded = PathCollectionFactory::mergePathCollections({second.get(), first.get()});
    EXPECT_EQ(folded->paths(), std::vector<std::string>{fixture.sel});
    EXPECT_EQ(folded->excludes(), (std::vector<std::string>{"/elsewhere", fixture.sel + "/a"}));
    EXPECT_EQ(folded->totalSize(), 10) << "a excluded; .b and s/c once";
    EXPECT_EQ(folded->fileCount(), 2u);
}

TEST(PathCollectionFactory, PreparedExcludesHoldWhatAJobMustLeaveInPlace)
{
    TempDir dir;
    makeDir(dir / "d");
    makeDir(dir / "d/e");
    makeFile(dir / "d/e/f", 1);
    ::symlink("/", (dir / "d/e/root-link").c_str());
    makeDir(dir / "keep");
    makeFile(dir / "keep/x", 1);
    makeFile(dir / "keep/y", 1);
    const cv::PreparedExcludes prepared({dir / "d/", dir / "keep/x", dir / "keep/y", dir / "gone"});

    for (const std::string& path : {dir / "d", dir / "d/e", dir / "d/e/f", dir / "d/e/root-link",
                                    dir / "keep/x", dir / "keep/y", dir / "keep", dir.path(), dir / "gone"})
        EXPECT_TRUE(prepared.contains(path)) << path;
    // Every folder above, up to the top, but never "/" itself, and nothing beside an exclude.
    EXPECT_TRUE(prepared.contains(dir.path().substr(0, dir.path().rfind('/'))));
    EXPECT_FALSE(prepared.contains("/"));
    EXPECT_TRUE(prepared.contains(dir / "d/new"))
        << "what appears in an excluded folder later is covered too";
    EXPECT_FALSE(prepared.contains(dir / "keep/z"));
    EXPECT_FALSE(prepared.contains(dir / "keepsake")) << "whole path components only";
    EXPECT_FALSE(prepared.contains(dir / "d2"));
    EXPECT_TRUE(prepared.covers(dir / "d/e"));
    EXPECT_FALSE(prepared.covers(dir / "keep"))
        << "a folder above an exclude keeps its place, not its contents";
}

TEST(PathCollectionFactory, PathsLongerThanPathMaxAreScanned)
{
    TempDir dir;
    makeFile(dir / "top", 2);
    {
        DeepChain chain(dir.path());
        const auto collection = scan({dir.path()});
        EXPECT_EQ(collection->fileCount(), 2u);
        EXPECT_EQ(collection->totalSize(), 13);
        EXPECT_EQ(collection->folderCount(), static_cast<std::uint64_t>(DeepChain::kDepth));
        const TreeItem* first = child(*collection->trees().front(), std::string(200, 'n'));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->totalSize(), 11);

        // A walk that may hold only 3 descriptors still meets every entry, each folder after
        // its contents, and never holds more.
        const int rootFd = FolderWalker::openFolder(dir.path());
        const std::size_t before = openDescriptors();
        std::size_t most = 0;
        std::size_t longest = 0;
        std::vector<std::size_t> postDepths;
        FolderWalker walker(3);
        walker.walk(
            rootFd, dir.path(),
            [&](const FolderWalker::Entry& entry) {
                most = std::max(most, openDescriptors());
                longest = std::max(longest, entry.path.size());
                return true;
            },
            [&](const FolderWalker::Entry& entry) { postDepths.push_back(entry.depth); });
        ::close(rootFd);
        EXPECT_EQ(walker.errorCount(), 0u);
        EXPECT_GT(longest, static_cast<std::size_t>(PATH_MAX));
        EXPECT_LE(most, before + 3);
        ASSERT_EQ(postDepths.size(), DeepChain::kDepth + 2u);
        const auto bottom = std::find(postDepths.begin(), postDepths.end(), DeepChain::kDepth + 1u);
        ASSERT_NE(bottom, postDepths.end());
        EXPECT_EQ(*(bottom + 1), static_cast<std::size_t>(DeepChain::kDepth))
            << "a folder comes after its file";
        EXPECT_EQ(std::count(postDepths.begin(), postDepths.end(), 1u), 2)
            << "top and the chain's first folder";
    }
}

TEST(PathCollectionFactory, VolumesAreAccountedAndOtherFileSystemsNotEntered)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    TempDir dir;
    makeFile(dir / "here", 3);
    makeDir(dir / "mnt");
    cv::test::TmpfsMount mount(dir / "mnt", "4m");
    ASSERT_TRUE(mount.available());
    makeFile(dir / "mnt/inside", 1000000);

    const auto around = scan({dir.path()});
    EXPECT_EQ(around->totalSize(), 3) << "the walk stays on the selected folder's file system";
    EXPECT_EQ(around->folderCount(), 1u) << "the mount point itself is still a folder met";
    EXPECT_EQ(child(*around->trees().front(), "mnt")->totalSize(), 0);

    const auto volume = scan({dir / "mnt"});
    ASSERT_EQ(volume->trees().size(), 1u);
    EXPECT_TRUE(volume->trees().front()->isVolume());
    EXPECT_GE(volume->totalSize(), 1000000) << "a volume counts with its used space";
    EXPECT_EQ(volume->fileCount(), 0u) << "and is not walked";
    EXPECT_TRUE(volume->trees().front()->children().empty());
}
