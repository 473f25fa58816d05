#include "tempdata/TrashCan.h"

#include "TempDir.h"
#include "TmpfsMount.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using cv::TrashCan;
namespace t = cv::test;

namespace {

cv::MountEntry mountAt(const std::string& path)
{
    cv::MountEntry entry;
    entry.mountPoint = path;
    entry.fsType = "tmpfs";
    entry.source = "tmpfs";
    return entry;
}

} // namespace

TEST(TrashCan, FindsTheHomeTrashAndTheVolumesTrashesTheWayTheTrashRulesSay)
{
    t::TempDir dir;
    const uid_t uid = ::getuid();
    const std::string id = std::to_string(uid);
    const std::string home = dir / "home-trash";
    t::makeDir(home);
    // A volume with both kinds: $topdir/.Trash (sticky) holding this user's folder, and .Trash-uid.
    const std::string good = dir / "good";
    t::makeDir(good);
    t::makeDir(good + "/.Trash");
    ::chmod((good + "/.Trash").c_str(), 01777);
    t::makeDir(good + "/.Trash/" + id);
    t::makeDir(good + "/.Trash-" + id);
    // A volume whose shared .Trash is not sticky: anybody could have planted the user's folder.
    const std::string loose = dir / "loose";
    t::makeDir(loose);
    t::makeDir(loose + "/.Trash");
    ::chmod((loose + "/.Trash").c_str(), 0777);
    t::makeDir(loose + "/.Trash/" + id);
    // A volume whose .Trash-uid is a link pointing elsewhere: never followed.
    const std::string linked = dir / "linked";
    t::makeDir(linked);
    ASSERT_EQ(::symlink(home.c_str(), (linked + "/.Trash-" + id).c_str()), 0);
    // A volume with no trash at all.
    t::makeDir(dir / "bare");

    const auto found =
        TrashCan::find(uid, home, {mountAt(good), mountAt(loose), mountAt(linked), mountAt(dir / "bare")});
    EXPECT_EQ(found.folders,
              (std::vector<std::string>{home, good + "/.Trash/" + id, good + "/.Trash-" + id}));
    ASSERT_EQ(found.refused.size(), 2u);
    EXPECT_NE(found.refused[0].find(loose + "/.Trash: not a sticky folder"), std::string::npos)
        << found.refused[0];
    EXPECT_NE(found.refused[1].find("is a link"), std::string::npos) << found.refused[1];
    EXPECT_TRUE(TrashCan::refusal(dir / "missing", uid).has_value());
    if (uid == 0) {
        t::makeDir(dir / "theirs");
        ASSERT_EQ(::chown((dir / "theirs").c_str(), 65534, 65534), 0);
        EXPECT_NE(TrashCan::refusal(dir / "theirs", uid).value_or("").find("not the user's"),
                  std::string::npos);
    }
}

TEST(TrashCan, CollectsEachItemWithItsRecordExpungedItemsAndTheSizesCache)
{
    t::TempDir dir;
    const std::string trash = dir / "Trash";
    for (const char* folder : {"", "/files", "/info", "/expunged", "/files/folder"})
        t::makeDir(trash + folder);
    t::writeFile(trash + "/files/a.txt", std::string(100, 'a'));
    t::writeFile(trash + "/info/a.txt.trashinfo", "[Trash Info]\nPath=/home/u/a.txt\n");
    t::writeFile(trash + "/files/folder/inner", std::string(50, 'i'));
    t::writeFile(trash + "/info/folder.trashinfo", "[Trash Info]\nPath=/home/u/folder\n");
    t::writeFile(trash + "/files/no-record", std::string(10, 'n'));
    t::writeFile(trash + "/info/gone.trashinfo", "[Trash Info]\nPath=/home/u/gone\n");
    t::writeFile(trash + "/expunged/half", std::string(7, 'x'));
    t::writeFile(trash + "/directorysizes", "50 1700000000 folder\n");

    const auto collection = TrashCan::collect({trash});
    std::vector<std::string> paths = collection->paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{trash + "/directorysizes", trash + "/expunged/half",
                                               trash + "/files/a.txt", trash + "/files/folder",
                                               trash + "/files/no-record", trash + "/info/gone.trashinfo"}))
        << "a record without its item goes at once; records of items wait for them";
    auto records = collection->records();
    std::sort(records.begin(), records.end());
    EXPECT_EQ(records, (std::vector<std::pair<std::string, std::string>>{
                           {trash + "/files/a.txt", trash + "/info/a.txt.trashinfo"},
                           {trash + "/files/folder", trash + "/info/folder.trashinfo"}}));
    EXPECT_EQ(collection->wholeTargets().size(), paths.size()) << "trashed folders go whole";
    EXPECT_EQ(collection->fileCount(), 8u) << "six files and the two records waiting for their items";
}

TEST(TrashCan, ItsPartsAreNeverTakenThroughALink)
{
    // A Trash whose info, expunged (and, in a second Trash, files) are links to a folder outside:
    // nothing outside is collected, neither as a record nor as an item.
    t::TempDir dir;
    const std::string outside = dir / "outside";
    t::makeDir(outside);
    t::writeFile(outside + "/a.txt.trashinfo", "not the Trash's");
    t::writeFile(outside + "/gone.trashinfo", "not the Trash's");
    t::writeFile(outside + "/a.txt", "not the Trash's");

    const std::string trash = dir / "Trash";
    t::makeDir(trash);
    t::makeDir(trash + "/files");
    t::writeFile(trash + "/files/a.txt", "trashed");
    ASSERT_EQ(::symlink(outside.c_str(), (trash + "/info").c_str()), 0);
    ASSERT_EQ(::symlink(outside.c_str(), (trash + "/expunged").c_str()), 0);
    ASSERT_EQ(::symlink((outside + "/a.txt").c_str(), (trash + "/directorysizes").c_str()), 0);

    const std::string other = dir / "Other";
    t::makeDir(other);
    t::makeDir(other + "/info");
    t::writeFile(other + "/info/a.txt.trashinfo", "[Trash Info]\n");
    ASSERT_EQ(::symlink(outside.c_str(), (other + "/files").c_str()), 0);

    const auto collection = TrashCan::collect({trash, other});
    EXPECT_EQ(collection->paths(), std::vector<std::string>{trash + "/files/a.txt"})
        << "a record whose item lies behind a link is not taken for one whose item is gone";
    EXPECT_TRUE(collection->records().empty());
    for (const char* name : {"/a.txt.trashinfo", "/gone.trashinfo", "/a.txt"}) {
        struct stat info;
        EXPECT_EQ(::lstat((outside + name).c_str(), &info), 0) << name;
    }
}
