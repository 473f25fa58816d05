#include "tempdata/TempSearcher.h"

#include "TempDir.h"
#include "engine/AlgorithmCollection.h"
#include "job/FileShredder.h"
#include "targets/PathCollectionFactory.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <barrier>
#include <cstdlib>
#include <ftw.h>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <unistd.h>

using cv::PathCollection;
using cv::TempResult;
using cv::TempSearcher;
namespace t = cv::test;

namespace {

// Records what the searcher delivers, and whether it came on the GUI thread.
struct Recorder : cv::TempSearcherDelegate
{
    std::vector<std::string> events;
    std::vector<std::shared_ptr<TempResult>> results;
    int finishedAllCount = 0;
    bool offGuiThread = false;

    void finished(std::shared_ptr<TempResult> result) override
    {
        offGuiThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
        events.push_back("finished " + std::to_string(result->type));
        results.push_back(std::move(result));
    }
    void finishedAll() override
    {
        offGuiThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
        events.push_back("all");
        ++finishedAllCount;
    }

    std::shared_ptr<TempResult> result(std::int32_t type) const
    {
        for (const auto& result : results)
            if (result->type == type)
                return result;
        return nullptr;
    }
};

// Holds every category's scan until all four have scanned, so that they finish at one moment.
class RendezvousSearcher : public TempSearcher
{
public:
    ~RendezvousSearcher() override { waitForScans(); }

protected:
    std::shared_ptr<PathCollection> scan(std::int32_t type,
                                         const std::vector<std::string>& folders) const override
    {
        auto collection = TempSearcher::scan(type, folders);
        m_barrier.arrive_and_wait();
        return collection;
    }

private:
    mutable std::barrier<> m_barrier{cv::TempCategories::count()};
};

// The folders of these tests are ones they name, never the system's or the user's Trash: a job
// made from a search must not reach them.
class NoFoldersOfTheSystem : public ::testing::Environment
{
public:
    void SetUp() override
    {
        for (const cv::TempCategories::Row& row : cv::TempCategories::rows())
            ::setenv(row.folderVariable, "", 1);
    }
};

const auto* const noFolders = ::testing::AddGlobalTestEnvironment(new NoFoldersOfTheSystem);

// Searches only the folders given here; every other category searches none.
void searchOnly(TempSearcher& searcher, const std::map<std::int32_t, std::vector<std::string>>& folders)
{
    for (const cv::TempCategories::Row& row : cv::TempCategories::rows()) {
        const auto given = folders.find(row.type);
        searcher.setFolders(row.type, given != folders.end() ? given->second : std::vector<std::string>{});
    }
}

bool waitForFinishedAll(const Recorder& recorder, int count)
{
    return QTest::qWaitFor([&] { return recorder.finishedAllCount >= count; }, 20000);
}

// Every folder and every other entry below root (root included), links not followed.
struct TreeListing
{
    std::set<std::string> folders;
    std::set<std::string> others;
};

TreeListing listTree(const std::string& root)
{
    static TreeListing* current = nullptr;
    TreeListing listing;
    current = &listing;
    ::nftw(
        root.c_str(),
        [](const char* path, const struct stat* info, int, struct FTW*) {
            (S_ISDIR(info->st_mode) ? current->folders : current->others).insert(path);
            return 0;
        },
        16, FTW_PHYS);
    return listing;
}

} // namespace

TEST(TempSearcher, StandardFolders)
{
    using Folders = std::vector<std::string>;
    EXPECT_EQ(TempSearcher::defaultFolders(TempSearcher::Logs, "/home/ann", ""),
              (Folders{"/var/log/", "/home/ann/.local/share/xorg"}));
    EXPECT_EQ(TempSearcher::defaultFolders(TempSearcher::SystemCaches, "/home/ann", ""),
              Folders{"/var/cache/"});
    EXPECT_EQ(TempSearcher::defaultFolders(TempSearcher::UserCaches, "/home/ann/", ""),
              Folders{"/home/ann/.cache"})
        << "home without its trailing slash";
    EXPECT_EQ(TempSearcher::defaultFolders(TempSearcher::UserCaches, "/home/ann", "/srv/cache/ann/"),
              Folders{"/srv/cache/ann"});
    EXPECT_EQ(TempSearcher::defaultFolders(TempSearcher::UserCaches, "/home/ann", "cache"),
              Folders{"/home/ann/.cache"})
        << "a relative XDG_CACHE_HOME is ignored";
    EXPECT_EQ(TempSearcher::defaultFolders(TempSearcher::UserCaches, "/", ""), Folders{"/.cache"});

    TempSearcher searcher;
    searcher.setFolders(TempSearcher::UserCaches, {"/elsewhere"});
    EXPECT_EQ(searcher.folders(TempSearcher::UserCaches), Folders{"/elsewhere"});

    // The environment names a category's folders instead (tests never reach the system's).
    ::setenv("CINDERVAULT_TEMP_LOGS", "/t/a::relative:/t/b", 1);
    ::setenv("CINDERVAULT_TEMP_CACHES", "", 1);
    EXPECT_EQ(TempSearcher::defaultFolders(TempSearcher::Logs), (Folders{"/t/a", "/t/b"}))
        << "empty and relative entries are left out";
    EXPECT_EQ(TempSearcher().folders(TempSearcher::SystemCaches), Folders{}) << "set but empty: none";
    ::unsetenv("CINDERVAULT_TEMP_LOGS");
    ::unsetenv("CINDERVAULT_TEMP_CACHES");
    EXPECT_EQ(TempSearcher::defaultFolders(TempSearcher::SystemCaches), Folders{"/var/cache/"});
}

TEST(TempSearcher, EveryResultThenFinishedAllOnce)
{
    t::TempDir dir;
    t::makeDir(dir / "log");
    t::makeDir(dir / "log/apt");
    t::writeFile(dir / "log/syslog", std::string(100, 'l'));
    t::writeFile(dir / "log/apt/history.log", std::string(20, 'h'));
    t::writeFile(dir / "log/.hidden", std::string(3, '.'));
    t::makeDir(dir / "cache");
    t::makeDir(dir / "cache/apt");
    t::writeFile(dir / "cache/apt/pkgcache.bin", std::string(1000, 'c'));
    t::makeDir(dir / "cache/debconf"); // state, not a cache: kept out of the category
    t::writeFile(dir / "cache/debconf/config.dat", std::string(5000, 'd'));
    t::makeDir(dir / "user-cache");

    RendezvousSearcher searcher;
    searchOnly(searcher, {{TempSearcher::Logs, {dir / "log/", dir / "no-such-xorg"}},
                          {TempSearcher::SystemCaches, {dir / "cache/"}},
                          {TempSearcher::UserCaches, {dir / "user-cache"}}});
    Recorder recorder;
    searcher.setDelegate(&recorder);

    // Many rounds, each with every category finishing at the same moment.
    constexpr int kRounds = 20;
    std::set<std::string> everyCategory;
    for (const cv::TempCategories::Row& row : cv::TempCategories::rows())
        everyCategory.insert("finished " + std::to_string(row.type));
    for (int round = 1; round <= kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        recorder.events.clear();
        recorder.results.clear();
        searcher.startSearch();
        ASSERT_TRUE(waitForFinishedAll(recorder, round));
        ASSERT_EQ(recorder.events.size(), everyCategory.size() + 1)
            << "one result per category and one finishedAll, in that order";
        EXPECT_EQ(recorder.events.back(), "all");
        EXPECT_EQ(searcher.finished(), cv::TempCategories::count());
        EXPECT_EQ(std::set<std::string>(recorder.events.begin(), recorder.events.end() - 1), everyCategory);
    }
    QTest::qWait(50); // a late second finishedAll would arrive now
    EXPECT_EQ(recorder.finishedAllCount, kRounds);
    EXPECT_FALSE(recorder.offGuiThread) << "the delegate must only be called on the GUI thread";

    const auto logs = recorder.result(TempSearcher::Logs)->pathColection;
    EXPECT_EQ(logs->totalSize(), 123);
    EXPECT_EQ(logs->fileCount(), 4u) << "three log files and the missing folder as one file of 0 bytes";
    EXPECT_EQ(logs->paths(), (std::vector<std::string>{dir / "log/", dir / "no-such-xorg"}));
    EXPECT_EQ(logs->trees().size(), 2u);
    const auto caches = recorder.result(TempSearcher::SystemCaches);
    EXPECT_EQ(caches->pathColection->totalSize(), 1000);
    ASSERT_EQ(caches->kept.size(), 1u);
    EXPECT_EQ(caches->kept.front().path, dir / "cache/debconf");
    EXPECT_EQ(caches->pathColection->excludes(), std::vector<std::string>{dir / "cache/debconf"})
        << "and so out of the job made from it";
    const auto user = recorder.result(TempSearcher::UserCaches)->pathColection;
    EXPECT_EQ(user->totalSize(), 0);
    EXPECT_EQ(user->fileCount(), 0u);
}

TEST(TempSearcher, NewSearchSupersedesTheRunningOne)
{
    t::TempDir dir;
    RendezvousSearcher searcher;
    searchOnly(searcher, {{TempSearcher::Logs, {dir.path()}},
                          {TempSearcher::SystemCaches, {dir.path()}},
                          {TempSearcher::UserCaches, {dir.path()}}});
    Recorder recorder;
    searcher.setDelegate(&recorder);

    searcher.startSearch();
    searcher.startSearch(); // before the first could finish
    ASSERT_TRUE(waitForFinishedAll(recorder, 1));
    QTest::qWait(50); // the superseded search's end, if it were reported, would arrive now
    EXPECT_EQ(recorder.finishedAllCount, 1);
    EXPECT_EQ(recorder.events.size(), cv::TempCategories::rows().size() + 1)
        << "the superseded search must not report";
    EXPECT_EQ(searcher.finished(), cv::TempCategories::count());
}

TEST(TempSearcher, FilesOnlyJobEmptiesTheLogTreeAndKeepsEveryFolder)
{
    t::TempDir dir;
    const std::string log = dir / "log";
    t::makeDir(log);
    t::makeDir(log + "/apt");
    t::makeDir(log + "/apt/old");
    t::makeDir(log + "/cups");
    t::makeDir(log + "/journal");
    t::makeDir(log + "/journal/0a1b");
    t::makeDir(log + "/journal/0a1b/deep");
    t::writeFile(log + "/syslog", std::string(5000, 's'));
    t::writeFile(log + "/.hidden.log", std::string(7, 'x'));
    t::writeFile(log + "/apt/history.log", std::string(300, 'h'));
    t::writeFile(log + "/apt/old/history.log.1.gz", std::string(40, 'g'));
    t::writeFile(log + "/journal/0a1b/deep/system.journal", std::string(9000, 'j'));
    const std::string outside = dir / "outside.txt";
    t::writeFile(outside, std::string("keep me"));
    ASSERT_EQ(::symlink(outside.c_str(), (log + "/link.log").c_str()), 0);
    const TreeListing before = listTree(log);

    TempSearcher searcher;
    searchOnly(searcher, {{TempSearcher::Logs, {log + "/"}}});
    Recorder recorder;
    searcher.setDelegate(&recorder);
    searcher.startSearch();
    ASSERT_TRUE(waitForFinishedAll(recorder, 1));
    const auto collection = recorder.result(TempSearcher::Logs)->pathColection;
    EXPECT_EQ(collection->fileCount(), 5u);
    EXPECT_EQ(collection->symlinkCount(), 1u);
    EXPECT_EQ(collection->totalSize(), 5000 + 7 + 300 + 40 + 9000);

    // The job as the temporary-data screen starts it: the categories merged into one collection,
    // with the files-only option.
    std::vector<const PathCollection*> categories;
    for (const auto& result : recorder.results)
        categories.push_back(result->pathColection.get());
    std::shared_ptr<PathCollection> merged = cv::PathCollectionFactory::mergePathCollections(categories);
    auto options = std::make_shared<cv::ShredOptions>();
    options->filesOnly = true;
    static const cv::AlgorithmCollection methods;
    cv::FileShredder job(merged, methods.findByIdentifier(16), options);
    cv::JobEnvironment environment;
    environment.filePause = std::chrono::microseconds(0);
    job.setEnvironment(environment);
    struct Finish : cv::FileShredderDelegate
    {
        std::shared_ptr<cv::ShredResult> result;
        void curProgress(std::shared_ptr<const cv::ShredState>) override {}
        void finished(std::shared_ptr<cv::ShredResult> finished) override { result = std::move(finished); }
    } finish;
    job.setDelegate(&finish);
    job.run();

    ASSERT_TRUE(finish.result);
    EXPECT_EQ(finish.result->errorCount, 0u);
    EXPECT_EQ(finish.result->history.size(), 5u)
        << "every regular file overwritten (the link is removed, not followed)";
    for (const auto& item : finish.result->history)
        EXPECT_TRUE(item.success) << item.path;
    const TreeListing after = listTree(log);
    EXPECT_EQ(after.folders, before.folders) << "every log folder must stay where services expect it";
    EXPECT_TRUE(after.others.empty())
        << after.others.size() << " entries left, first " << *after.others.begin();
    EXPECT_EQ(t::readFile(outside), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
}
