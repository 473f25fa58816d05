// The one reading of the kernel's mount table, shared by the volume list and the privileged helper.
#include "TempDir.h"
#include "common/MountTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/sysmacros.h>
#include <tuple>

using cv::MountEntry;
using cv::MountTable;
using cv::test::TempDir;

TEST(MountTable, ParsesTheKernelsLines)
{
    {
        const auto entry = MountTable::parseLine("36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 shared:7 - ext3 "
                                                 "/dev/root rw,errors=continue\n");
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->mountId, 36u);
        EXPECT_EQ(entry->parentId, 35u);
        EXPECT_EQ(entry->device, makedev(98, 0));
        EXPECT_EQ(entry->root, "/mnt1");
        EXPECT_EQ(entry->mountPoint, "/mnt2");
        EXPECT_EQ(entry->mountOptions, "rw,noatime");
        EXPECT_EQ(entry->fsType, "ext3");
        EXPECT_EQ(entry->source, "/dev/root");
        EXPECT_EQ(entry->superOptions, "rw,errors=continue");
    }
    {
        SCOPED_TRACE("no optional fields");
        const auto entry = MountTable::parseLine("27 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard");
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->mountPoint, "/");
        EXPECT_EQ(entry->source, "/dev/vda");
        EXPECT_EQ(entry->superOptions, "rw,discard");
    }
    {
        SCOPED_TRACE("an empty source keeps the fields after it in place");
        const auto entry = MountTable::parseLine("71 22 0:50 / /run/x rw - tmpfs  rw,size=10k");
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->fsType, "tmpfs");
        EXPECT_EQ(entry->source, "");
        EXPECT_EQ(entry->superOptions, "rw,size=10k");
    }
    {
        SCOPED_TRACE("octal escapes in the path-like fields, none in the option lists");
        const auto entry =
            MountTable::parseLine("45 27 0:40 / /media/My\\040Stick\\011tab\\012nl\\134back rw - vfat "
                                  "/dev/sdb\\0401 rw,opt=a\\054b");
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->mountPoint, "/media/My Stick\ttab\nnl\\back");
        EXPECT_EQ(entry->source, "/dev/sdb 1");
        EXPECT_EQ(entry->superOptions, "rw,opt=a\\054b") << "a comma inside a value must not split it";
        EXPECT_EQ(MountTable::decodeEscapes("a\\08b\\1\\12"), "a\\08b\\1\\12")
            << "no escapes: kept as they are";
        EXPECT_EQ(MountTable::decodeEscapes("\\303\\251t\\303\\251"), "\xc3\xa9t\xc3\xa9");
    }
    for (const char* bad :
         {"", "garbage", "1 2 3:4 / /x rw", "x 1 0:1 / /x rw - tmpfs t rw", "-1 1 0:1 / /x rw - tmpfs t rw",
          "1 1 0-1 / /x rw - tmpfs t rw", "1 1 0:1 / /x rw - tmpfs t"})
        EXPECT_FALSE(MountTable::parseLine(bad)) << bad;

    const auto table = MountTable::parse("22 27 0:21 / /proc rw - proc proc rw\n"
                                         "broken line\n"
                                         "27 1 254:0 / / rw - ext4 /dev/vda rw\n");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1].mountPoint, "/");
}

TEST(MountTable, ReadsWhatTheKernelWrites)
{
    const auto current = MountTable::readCurrent();
    ASSERT_TRUE(current) << current.error();
    EXPECT_TRUE(std::any_of(current->begin(), current->end(),
                            [](const MountEntry& entry) { return entry.mountPoint == "/"; }));

    if (!cv::test::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    // A file system mounted with an empty source: the kernel writes an empty field for it.
    TempDir dir;
    const std::string point = dir / "empty source";
    cv::test::makeDir(point);
    ASSERT_EQ(::mount("", point.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m,mode=0700"), 0);
    const auto mounts = MountTable::read();
    ::umount2(point.c_str(), MNT_DETACH);
    const auto mounted = std::find_if(mounts.begin(), mounts.end(),
                                      [&](const MountEntry& entry) { return entry.mountPoint == point; });
    ASSERT_NE(mounted, mounts.end()) << "a mount point with a blank in its name";
    EXPECT_EQ(mounted->fsType, "tmpfs");
    EXPECT_EQ(mounted->source, "");
    EXPECT_EQ(mounted->superOptions.substr(0, 3), "rw,") << mounted->superOptions;
    EXPECT_NE(mounted->superOptions.find("mode=700"), std::string::npos) << mounted->superOptions;
}

TEST(MountTable, PseudoAndSystemMountsAreHidden)
{
    for (const auto& [point, type, hidden] : std::vector<std::tuple<std::string, std::string, bool>>{
             {"/proc", "proc", true},
             {"/sys/fs/cgroup/unified", "cgroup2", true},
             {"/mnt/queues", "mqueue", true},
             {"/media/auto", "autofs", true},
             {"/dev/shm", "tmpfs", true},
             {"/run", "tmpfs", true},
             {"/run/user/1000", "tmpfs", true},
             {"/runner", "tmpfs", false},
             {"/devices", "tmpfs", false},
             {"/", "ext4", false},
             {"/media/Stick", "vfat", false},
             {"/tmp/work", "tmpfs", false},
         }) {
        MountEntry entry;
        entry.mountPoint = point;
        entry.fsType = type;
        EXPECT_EQ(MountTable::isHidden(entry), hidden) << point << " " << type;
    }
}
