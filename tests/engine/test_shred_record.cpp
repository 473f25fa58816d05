#include "TempDir.h"
#include "common/UniqueFd.h"
#include "engine/ShredRecord.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

using cv::ShredItem;
using cv::ShredRecord;
namespace t = cv::test;

namespace {

using State = ShredItem::State;

ShredRecord::FileId id(ino_t inode)
{
    return {1, inode};
}

// A row of the history as the overwrite walk leaves it: every pass written, or not.
ShredItem row(const std::string& path, ino_t inode, bool overwritten = true)
{
    ShredItem item;
    item.path = path;
    item.device = 1;
    item.inode = inode;
    item.success = overwritten;
    item.state = overwritten ? State::Overwritten : State::NotOverwritten;
    return item;
}

struct stat regularFile(ino_t inode)
{
    struct stat info
    {};
    info.st_dev = 1;
    info.st_ino = inode;
    info.st_mode = S_IFREG | 0600;
    return info;
}

std::string reasonOf(const ShredItem& item)
{
    return item.reasonKey ? item.reasonKey : "";
}

} // namespace

TEST(ShredRecord, SettlesEachFileAsItsRemovalsAndRenamesCameOut)
{
    ShredRecord record;
    for (ino_t inode = 1; inode <= 7; ++inode)
        record.overwritten(id(inode), 10);
    record.overwrittenName(id(7)); // a second name of the same file
    std::vector<ShredItem> history{row("/t/deleted", 1), row("/t/namekept", 2), row("/t/locked", 3),
                                   row("/t/grew", 4),    row("/t/left", 5),     row("/t/failed", 6, false),
                                   row("/t/link1", 7),   row("/t/link2", 7)};
    ShredItem part = row("/t/part", 8, false);
    part.state = State::OverwrittenInPart;
    history.push_back(part);
    ShredItem folder;
    folder.kind = ShredItem::Kind::Folder;
    folder.path = "/t/unread";
    folder.because("Folder could not be read");
    history.push_back(folder);

    record.nameRemoved(id(1));
    record.keepsItsName(regularFile(2));
    record.nameRemoved(id(2));
    record.removalFailed(id(3), EACCES);
    record.grewSince(id(4));
    record.nameRemoved(id(7)); // one of its two names only

    const auto check = [&](bool cancelled) {
        std::vector<ShredItem> settled = history;
        record.settle(settled, cancelled);
        EXPECT_EQ(settled[0].state, State::Deleted);
        EXPECT_FALSE(settled[0].error.has_value());
        EXPECT_EQ(settled[1].state, State::NameKept);
        EXPECT_EQ(reasonOf(settled[1]), "Deleted, but its name could not be removed first");
        EXPECT_EQ(settled[2].state, State::Overwritten);
        EXPECT_EQ(reasonOf(settled[2]), "Overwritten, but could not be deleted");
        EXPECT_EQ(settled[2].detail, std::strerror(EACCES));
        EXPECT_EQ(settled[3].state, State::Overwritten);
        EXPECT_EQ(reasonOf(settled[3]), "Overwritten, but it grew since: left in place");
        EXPECT_EQ(settled[4].state, State::Overwritten);
        EXPECT_EQ(settled[4].cancelled, cancelled) << "only a cancel excuses a file left in place";
        EXPECT_EQ(reasonOf(settled[4]), cancelled ? "Overwritten, not deleted: the job was cancelled"
                                                  : "Overwritten, but could not be deleted");
        EXPECT_EQ(settled[5].state, State::NotOverwritten);
        for (const std::size_t link : {6, 7}) {
            EXPECT_EQ(settled[link].state, State::Overwritten)
                << "a file whose other name is still there is not deleted";
        }
        EXPECT_EQ(settled[8].state, State::OverwrittenInPart) << "a cancel in its passes stays told";
        EXPECT_EQ(reasonOf(settled[9]), "Folder could not be read") << "only files are settled";
        EXPECT_EQ(settled[9].state, State::NotOverwritten);

        // Settling again gives the same rows: each reason once, nothing promoted or demoted.
        std::vector<ShredItem> again = settled;
        record.settle(again, cancelled);
        for (std::size_t i = 0; i < again.size(); ++i) {
            EXPECT_EQ(again[i].state, settled[i].state) << settled[i].path.str();
            EXPECT_EQ(again[i].error, settled[i].error) << settled[i].path.str();
        }
    };
    {
        SCOPED_TRACE("a job that ran to its end");
        check(false);
    }
    {
        SCOPED_TRACE("a cancelled job");
        check(true);
    }
    {
        SCOPED_TRACE("once its second name went too, the linked file is deleted under both");
        record.nameRemoved(id(7));
        record.settle(history, false);
        EXPECT_EQ(history[6].state, State::Deleted);
        EXPECT_EQ(history[7].state, State::Deleted);
    }
}

TEST(ShredRecord, CountsEachFileOnceAndNeverRemovesMoreThanItOverwrote)
{
    ShredRecord record;
    record.overwritten(id(1), 100);
    record.overwrittenName(id(1)); // its hard link, met later in the walk
    record.overwritten(id(2), 40);
    EXPECT_EQ(record.totals().filesOverwritten, 3u);
    EXPECT_EQ(record.totals().bytesOverwritten, 140) << "a file's bytes once, whatever its names";

    // Three names of the first file go: a link made during the job went too, but it was never
    // counted as overwritten.
    for (int i = 0; i < 3; ++i)
        record.nameRemoved(id(1));
    EXPECT_EQ(record.totals().filesRemoved, 2u);
    EXPECT_EQ(record.totals().bytesRemoved, 100);
    record.nameRemoved(id(2));
    EXPECT_EQ(record.totals().filesRemoved, 3u);
    EXPECT_EQ(record.totals().bytesRemoved, 140);
    EXPECT_LE(record.totals().filesRemoved, record.totals().filesOverwritten);
    EXPECT_LE(record.totals().bytesRemoved, record.totals().bytesOverwritten);
}

TEST(ShredRecord, LetsGoOnlyTheVeryFileItOverwroteCompletely)
{
    t::TempDir dir;
    const std::string path = dir / "file";
    t::writeFile(path, std::string(100, 'x'));
    const cv::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(fd.valid());
    struct stat info;
    ASSERT_EQ(::fstat(fd.get(), &info), 0);
    const cv::FileIdentity identity = cv::FileIdentity::of(fd.get());
    const cv::PreparedExcludes none;
    const auto here = none.at(path);

    ShredRecord record;
    EXPECT_EQ(record.overwrittenAt(AT_FDCWD, path.c_str(), info), ShredRecord::Match::NotOverwritten);
    EXPECT_TRUE(record.staysAsItIs(AT_FDCWD, path.c_str(), info, false, here)) << "not overwritten: it stays";
    struct stat folder = info;
    folder.st_mode = S_IFDIR | 0700;
    EXPECT_FALSE(record.staysAsItIs(folder, false, here)) << "a folder is no file that must be overwritten";

    record.overwritten(ShredRecord::idOf(info), info.st_size, identity);
    EXPECT_EQ(record.overwrittenAt(AT_FDCWD, path.c_str(), info), ShredRecord::Match::Overwritten);
    EXPECT_FALSE(record.staysAsItIs(AT_FDCWD, path.c_str(), info, false, here));
    EXPECT_TRUE(record.staysAsItIs(AT_FDCWD, path.c_str(), info, true, here)) << "a mount point stays";
    cv::PreparedExcludes excluded;
    excluded.exclude(path);
    EXPECT_TRUE(record.staysAsItIs(AT_FDCWD, path.c_str(), info, false, excluded.at(path)))
        << "an excluded file stays, whatever happened to it";

    // The file grew after its passes: what was added is not overwritten.
    struct stat grown = info;
    grown.st_size += 1;
    EXPECT_EQ(record.overwrittenAt(AT_FDCWD, path.c_str(), grown), ShredRecord::Match::Grew);
    EXPECT_TRUE(record.staysAsItIs(AT_FDCWD, path.c_str(), grown, false, here));

    // Another file with the same device and inode number, told apart by what the file system
    // keeps (here: a different generation or birth time than the file overwritten).
    if (!identity.generation && !identity.birth)
        GTEST_SKIP() << "the temporary folder's file system keeps neither generation nor birth time";
    cv::FileIdentity other = identity;
    if (other.generation)
        *other.generation += 1;
    if (other.birth)
        other.birth->first -= 1000;
    ShredRecord replaced;
    replaced.overwritten(ShredRecord::idOf(info), info.st_size, other);
    EXPECT_EQ(replaced.overwrittenAt(AT_FDCWD, path.c_str(), info), ShredRecord::Match::Replaced);
    EXPECT_TRUE(replaced.staysAsItIs(AT_FDCWD, path.c_str(), info, false, here))
        << "a file nobody overwrote must not be deleted";
}
