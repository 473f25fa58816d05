#include "LoopMount.h"
#include "TempDir.h"
#include "TmpfsMount.h"
#include "common/MountTable.h"
#include "targets/SystemVolumes.h"
#include "targets/TargetVolume.h"
#include "targets/Volume.h"
#include "targets/VolumeMonitor.h"
#include "targets/VolumeProbe.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using cv::MountEntry;
using cv::MountTable;
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

TEST(VolumeProbe, TheSystemsProbeKnowsMountPointsOnly)
{
    // Only asked: no real volume is selected or wiped by any test.
    TempDir dir;
    const cv::VolumeProbe system = cv::VolumeProbe::system();
    EXPECT_TRUE(system.isVolume("/"));
    EXPECT_TRUE(system.isHdd("/"));
    EXPECT_FALSE(system.isSystemVolume("/")) << "the startup volume is a role of its own";
    EXPECT_FALSE(system.isVolume(dir.path()));
    EXPECT_FALSE(system.isHdd(dir.path()));
    EXPECT_FALSE(system.isSystemVolume(dir.path()));
    EXPECT_EQ(system.volumeName(dir.path()), "");
    EXPECT_FALSE(system.isVolume("/proc/"));
    EXPECT_TRUE(system.isVolume("/proc"));
    EXPECT_FALSE(system.isHdd("/proc"));
    EXPECT_EQ(system.volumeName("/proc"), "") << "a hidden mount is no volume the user works on";
    EXPECT_EQ(system.freeBytes(dir / "missing"), 0);
    EXPECT_GT(system.freeBytes(dir.path()), 0);
}

TEST(Volume, MountedTmpfsIsAVolumeAndChangesAreTold)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";

    TempDir dir;
    const std::string point = dir / "Stick";
    cv::test::makeDir(point);
    cv::VolumeMonitor monitor;
    ASSERT_TRUE(monitor.valid());
    EXPECT_FALSE(monitor.waitForChange(0));
    // A probe answers from a mount table up to a second old: each step asks a new one.
    EXPECT_FALSE(cv::VolumeProbe::system().isVolume(point));
    {
        cv::test::TmpfsMount mount(point, "4m");
        ASSERT_TRUE(mount.available());
        EXPECT_TRUE(monitor.waitForChange(10000)) << "mounting must be told";
        EXPECT_FALSE(monitor.waitForChange(0)) << "and told once";

        const cv::VolumeProbe probe = cv::VolumeProbe::system();
        EXPECT_TRUE(probe.isVolume(point));
        EXPECT_FALSE(probe.isHdd(point));
        EXPECT_FALSE(probe.isSystemVolume(point));
        EXPECT_FALSE(probe.isVolume(point + "/"));
        EXPECT_FALSE(probe.isVolume(point + "/inside"));
        EXPECT_FALSE(probe.isVolume(dir.path()));
        EXPECT_EQ(probe.volumeName(point), "Stick");
        EXPECT_GT(probe.freeBytes(point), 0);
        EXPECT_LE(probe.freeBytes(point), 4 * 1024 * 1024);
        // What a screen names before a job empties or reformats it.
        const cv::VolumeFacts facts = probe.describe(point);
        EXPECT_EQ(facts.mountPoint, point);
        EXPECT_EQ(facts.fileSystem, "tmpfs");
        EXPECT_FALSE(facts.device.empty()) << "the mount's source stands for the device";
        EXPECT_TRUE(facts.label.empty()) << "a tmpfs has no label";
        EXPECT_EQ(facts.size, 4 * 1024 * 1024);
        EXPECT_EQ(probe.describe(dir.path()).fileSystem, "") << "no volume: only the path";

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
    EXPECT_FALSE(cv::VolumeProbe::system().isVolume(point));
    EXPECT_TRUE(listedAt(point).empty());

    {
        SCOPED_TRACE("a pseudo file system is a volume for isVolume but not listed");
        const std::string queues = dir / "queues";
        cv::test::makeDir(queues);
        if (::mount("cindervault-test", queues.c_str(), "mqueue", MS_NOSUID | MS_NODEV | MS_NOEXEC,
                    nullptr) != 0)
            GTEST_SKIP() << "cannot mount an mqueue file system here";
        EXPECT_TRUE(cv::VolumeProbe::system().isVolume(queues));
        EXPECT_TRUE(listedAt(queues).empty());
        ::umount2(queues.c_str(), MNT_DETACH);
    }
}

TEST(SystemVolumes, TheStartupVolumeUnderAnyMountPointAndTheSystemsVolumes)
{
    using Role = cv::SystemVolumes::Role;
    const auto table = MountTable::parse("22 26 0:21 / /proc rw - proc proc rw\n"
                                         "26 1 254:0 / / rw - ext4 /dev/vda rw\n"
                                         "27 26 254:1 / /boot rw - ext4 /dev/vdb rw\n"
                                         "28 27 254:2 / /boot/efi rw - vfat /dev/vdc rw\n"
                                         "29 26 0:30 / /home/ann rw - ext4 /dev/mapper/home rw\n"
                                         "40 26 254:0 / /mnt/rootbind rw - ext4 /dev/vda rw\n"
                                         "41 26 254:0 /srv/data /mnt/data rw - ext4 /dev/vda rw\n"
                                         "42 26 254:1 / /mnt/bootbind rw - ext4 /dev/vdb rw\n"
                                         "43 26 0:44 / /media/ann/Stick rw - vfat /dev/sdb1 rw\n"
                                         "44 29 0:45 / /home/ann/usb rw - vfat /dev/sdc1 rw\n"
                                         "45 26 0:46 / /mnt/rootagain rw - ext4 /dev/vda rw\n"
                                         "46 26 0:47 / /mnt/over rw - tmpfs tmpfs rw\n"
                                         "47 26 254:0 / /mnt/over rw - ext4 /dev/vda rw\n");
    for (const auto& [mountPoint, role] : std::vector<std::pair<std::string, Role>>{
             {"/", Role::Startup},
             {"/mnt/rootbind", Role::Startup},  // a bind mount of "/"
             {"/mnt/rootagain", Role::Startup}, // the same device mounted again
             {"/mnt/over", Role::Startup},      // the mount on top counts
             {"/mnt/data", Role::System},       // a folder of the root file system
             {"/boot", Role::System},
             {"/boot/efi", Role::System},
             {"/mnt/bootbind", Role::System}, // /boot's file system, seen elsewhere
             {"/home/ann", Role::System},
             {"/media/ann/Stick", Role::Other},
             {"/home/ann/usb", Role::Other},
             {"/proc", Role::System}, // a mount the system runs from
             {"/usr", Role::System},  // not mounted in this table: still never a user's volume
         })
        EXPECT_EQ(cv::SystemVolumes::roleOf(mountPoint, table), role) << mountPoint;
    EXPECT_EQ(cv::SystemVolumes::roleOf("/", {}), Role::Startup) << "also without a mount table";
    for (const char* path : {"/var", "/var/lib/docker", "/usr/local", "/efi", "/home", "/tmp", "/etc", "/run",
                             "/run/user/1000", "/run/lock", "/dev", "/dev/shm", "/sys/fs/cgroup", "/proc"})
        EXPECT_TRUE(cv::SystemVolumes::isSystemMountPoint(path)) << path;
    for (const char* path : {"/mnt", "/media/x", "/home/ann/usb", "/tmp/x", "/boots", "/variable",
                             "/run/media/ann/Stick", "/running", "/devices"})
        EXPECT_FALSE(cv::SystemVolumes::isSystemMountPoint(path)) << path;
}

TEST(TargetVolume, EachPathGetsTheInnermostMountAndItsFileSystem)
{
    const std::vector<MountEntry> mounts{mountAt("/", "ext4"), mountAt("/mnt/a", "btrfs"),
                                         mountAt("/mnt/a/b", "xfs"), mountAt("/mnt/c", "ext4"),
                                         mountAt("/mnt/c", "f2fs")};
    const auto volumes = cv::TargetVolume::forPaths(
        {"/mnt/a/x", "/mnt/ab/y", "/mnt/a/b", "/mnt/a/z", "/mnt/c/d", "/home/u/f"}, mounts);
    std::vector<std::string> seen;
    for (const auto& volume : volumes)
        seen.push_back(volume.mountPoint + " " + volume.fileSystem + (volume.copyOnWrite ? " cow" : ""));
    // "/mnt/ab" is not inside "/mnt/a"; a mount point is inside its own mount; the newer of two
    // mounts at one place is the one seen there; each volume once, in the order of its first path.
    EXPECT_EQ(seen,
              (std::vector<std::string>{"/mnt/a btrfs cow", "/ ext4", "/mnt/a/b xfs", "/mnt/c f2fs cow"}));
    for (const char* kind : {"btrfs", "bcachefs", "zfs", "f2fs", "nilfs2"})
        EXPECT_TRUE(cv::TargetVolume::isCopyOnWrite(kind)) << kind;
    for (const char* kind : {"ext4", "xfs", "tmpfs", "vfat", "btrfsx"})
        EXPECT_FALSE(cv::TargetVolume::isCopyOnWrite(kind)) << kind;
}

TEST(TargetVolume, ABtrfsLoopImageIsCopyOnWriteAndItsSnapperFolderIsSeen)
{
    TempDir dir;
    const std::string mountPoint = dir / "btrfs";
    ASSERT_EQ(::mkdir(mountPoint.c_str(), 0755), 0);
    cv::test::LoopMount btrfs(dir / "btrfs.img", mountPoint, "btrfs", "128M");
    if (!btrfs.available())
        GTEST_SKIP() << "needs root and btrfs";
    ASSERT_EQ(::mkdir((mountPoint + "/docs").c_str(), 0755), 0);

    auto volume = cv::TargetVolume::of(mountPoint + "/docs", MountTable::read());
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->mountPoint, mountPoint);
    EXPECT_EQ(volume->fileSystem, "btrfs");
    EXPECT_TRUE(volume->copyOnWrite);
    EXPECT_FALSE(volume->snapshots);

    ASSERT_EQ(::mkdir((mountPoint + "/.snapshots").c_str(), 0755), 0);
    EXPECT_TRUE(cv::TargetVolume::of(mountPoint + "/docs", MountTable::read())->snapshots);
}
