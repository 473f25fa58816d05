#include "TempDir.h"
#include "TmpfsMount.h"
#include "targets/Volume.h"
#include "targets/VolumeMonitor.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using cv::MountEntry;
using cv::test::TempDir;

namespace {

std::vector<cv::Volume> listedAt(const std::string& path)
{
    auto volumes = cv::findVolumes();
    volumes.erase(std::remove_if(volumes.begin(), volumes.end(),
                                 [&path](const cv::Volume& volume) { return volume.path() != path; }),
                  volumes.end());
    return volumes;
}

MountEntry mountAt(const std::string& mountPoint, const std::string& type = "tmpfs")
{
    MountEntry entry;
    entry.mountPoint = mountPoint;
    entry.fsType = type;
    return entry;
}

} // namespace

TEST(Volume, NamesAndCapacitiesOfAMount)
{
    {
        SCOPED_TRACE("unreadable capacities count as 0");
        const auto volume = cv::Volume::fromMount(mountAt("/nonexistent/cindervault/Stick"), {});
        EXPECT_EQ(volume.name(), "Stick");
        EXPECT_EQ(volume.path(), "/nonexistent/cindervault/Stick");
        EXPECT_EQ(volume.size(), 0);
        EXPECT_EQ(volume.freeSpace(), 0);
    }
    EXPECT_EQ(cv::Volume::fromMount(mountAt("/", "ext4"), {}).name(), "/");
    EXPECT_GT(cv::Volume::fromMount(mountAt("/", "ext4"), {}).size(), 0);

    if (!cv::test::isRoot())
        GTEST_SKIP() << "making a block device node needs root";
    TempDir dir;
    ASSERT_EQ(::mknod((dir / "disk").c_str(), S_IFBLK | 0600, makedev(7, 200)), 0);
    cv::test::makeDir(dir / "by-label");
    ASSERT_EQ(::symlink("../disk", (dir / "by-label/My\\x20Stick").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/null", (dir / "by-label/NotABlockDevice").c_str()), 0);
    const auto labels = cv::Volume::readLabels(dir / "by-label");
    ASSERT_EQ(labels.size(), 1u);
    MountEntry labelled = mountAt("/nonexistent/mnt", "vfat");
    labelled.device = makedev(7, 200);
    EXPECT_EQ(cv::Volume::fromMount(labelled, labels).name(), "My Stick");
    EXPECT_TRUE(cv::Volume::readLabels(dir / "missing").empty());
}

TEST(Volume, MountedTmpfsIsAVolumeAndChangesAreTold)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    EXPECT_TRUE(cv::isVolume("/"));
    EXPECT_TRUE(cv::isHdd("/"));

    TempDir dir;
    const std::string point = dir / "Stick";
    cv::test::makeDir(point);
    cv::VolumeMonitor monitor;
    ASSERT_TRUE(monitor.valid());
    EXPECT_FALSE(monitor.waitForChange(0));
    EXPECT_FALSE(cv::isVolume(point));
    {
        cv::test::TmpfsMount mount(point, "4m");
        ASSERT_TRUE(mount.available());
        EXPECT_TRUE(monitor.waitForChange(10000)) << "mounting must be told";
        EXPECT_FALSE(monitor.waitForChange(0)) << "and told once";

        EXPECT_TRUE(cv::isVolume(point));
        EXPECT_FALSE(cv::isHdd(point));
        EXPECT_FALSE(cv::isVolume(point + "/"));
        EXPECT_FALSE(cv::isVolume(point + "/inside"));
        EXPECT_FALSE(cv::isVolume(dir.path()));

        auto listed = listedAt(point);
        ASSERT_EQ(listed.size(), 1u);
        EXPECT_EQ(listed.front().name(), "Stick");
        EXPECT_EQ(listed.front().size(), 4 * 1024 * 1024);
        EXPECT_GT(listed.front().freeSpace(), 0);

        {
            SCOPED_TRACE("a mount point mounted over again is listed once, as it is now");
            cv::test::TmpfsMount over(point, "8m");
            ASSERT_TRUE(over.available());
            listed = listedAt(point);
            ASSERT_EQ(listed.size(), 1u);
            EXPECT_EQ(listed.front().size(), 8 * 1024 * 1024);
        }
        monitor.waitForChange(0);
    }
    EXPECT_TRUE(monitor.waitForChange(10000)) << "unmounting must be told";
    EXPECT_FALSE(cv::isVolume(point));
    EXPECT_TRUE(listedAt(point).empty());

    {
        SCOPED_TRACE("a pseudo file system is a volume for isVolume but not listed");
        const std::string queues = dir / "queues";
        cv::test::makeDir(queues);
        if (::mount("cindervault-test", queues.c_str(), "mqueue", MS_NOSUID | MS_NODEV | MS_NOEXEC,
                    nullptr) != 0)
            GTEST_SKIP() << "cannot mount an mqueue file system here";
        EXPECT_TRUE(cv::isVolume(queues));
        EXPECT_TRUE(listedAt(queues).empty());
        ::umount2(queues.c_str(), MNT_DETACH);
    }
}
