// The helper's pure checks and its file work without the bus: what it refuses, how it reads the
// mount table, which mkfs it would run, and what it does to files as root.
#include "PrivateBus.h"
#include "ReplyCatcher.h"
#include "TempDir.h"
#include "TmpfsMount.h"
#include "common/HelperToolProtocol.h"
#include "common/MountTable.h"
#include "helper/ArgumentCheck.h"
#include "helper/FileHandover.h"
#include "helper/FileOperations.h"
#include "helper/PolkitAuthorizer.h"
#include "helper/ReformatPolicy.h"
#include "helper/SnapshotRemover.h"
#include "helper/ToolRunner.h"
#include "helper/VolumeReformatter.h"

#include <QDBusMessage>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using cv::ArgumentCheck;
using cv::HelperError;
using cv::MountEntry;
using cv::ReformatPolicy;
using cv::VolumeReformatter;
using cv::test::TempDir;

namespace {

// A mount of the device 7:minor with the id minor, mounted on the mount parentId.
MountEntry mount(std::string point, unsigned minor, std::string type = "ext4", std::string root = "/",
                 std::uint64_t parentId = 1)
{
    MountEntry entry;
    entry.mountId = minor;
    entry.parentId = parentId;
    entry.mountPoint = std::move(point);
    entry.device = makedev(7, minor);
    entry.fsType = std::move(type);
    entry.root = std::move(root);
    entry.source = "/dev/loop" + std::to_string(minor);
    return entry;
}

std::string refusal(const std::string& path, std::uint64_t mountId, const std::vector<MountEntry>& mounts)
{
    const auto target = VolumeReformatter::findTarget(path, mountId, mounts);
    return target ? std::string() : target.error().message;
}

// A sysfs tree of the test's own: each device a folder with its "dev" file, partitions inside their
// disk's folder, devices made of others with links in "slaves", and /dev/block/MAJ:MIN linking to
// each, as the kernel lays them out.
class FixtureSys
{
public:
    explicit FixtureSys(const std::string& root) : m_root(root)
    {
        cv::test::makeDir(root + "/dev");
        cv::test::makeDir(root + "/dev/block");
    }
    // folder relative to the root, such as "devices/pci/block/sda/sda1".
    void device(const std::string& folder, unsigned major, unsigned minor, bool partition = false,
                const std::vector<std::string>& slaves = {})
    {
        const std::string path = m_root + "/" + folder;
        std::filesystem::create_directories(path + (slaves.empty() ? "" : "/slaves"));
        cv::test::writeFile(path + "/dev", std::to_string(major) + ":" + std::to_string(minor) + "\n");
        if (partition)
            cv::test::writeFile(path + "/partition", std::string("1\n"));
        for (const auto& slave : slaves) {
            const auto target = std::filesystem::path(slave).lexically_relative(folder + "/slaves");
            const auto name = std::filesystem::path(slave).filename();
            EXPECT_EQ(::symlink(target.c_str(), (path + "/slaves/" + name.string()).c_str()), 0);
        }
        EXPECT_EQ(
            ::symlink(("../../" + folder).c_str(),
                      (m_root + "/dev/block/" + std::to_string(major) + ":" + std::to_string(minor)).c_str()),
            0);
    }

private:
    std::string m_root;
};

} // namespace

TEST(HelperChecks, PathsMustBeAbsoluteAndFreeOfDotDot)
{
    EXPECT_TRUE(ArgumentCheck::checkPath("/home/user/file"));
    EXPECT_TRUE(ArgumentCheck::checkPath("/home/user/..file/.../x.."));    // names that only look like ..
    EXPECT_TRUE(ArgumentCheck::checkPath(std::string("/tmp/caf\xe9", 9))); // not UTF-8, still a name
    EXPECT_FALSE(ArgumentCheck::checkPath(""));
    EXPECT_FALSE(ArgumentCheck::checkPath("home/user/file"));
    EXPECT_FALSE(ArgumentCheck::checkPath("./file"));
    EXPECT_FALSE(ArgumentCheck::checkPath("/home/user/../../etc/shadow"));
    EXPECT_FALSE(ArgumentCheck::checkPath("/.."));
    EXPECT_FALSE(ArgumentCheck::checkPath("/tmp/.."));
    EXPECT_FALSE(ArgumentCheck::checkPath(std::string("/tmp/a\0/../etc", 14)));
    EXPECT_FALSE(ArgumentCheck::checkPath("/" + std::string(ArgumentCheck::kMaxPathLength, 'a')));
    EXPECT_NE(ArgumentCheck::checkPath("rel").error().find("not absolute"), std::string::npos);

    // Whatever a stranger sends, a refusal and a log line quote a bounded part of it.
    std::string huge(10 << 20, 'a');
    huge.back() = '\0';
    EXPECT_LT(ArgumentCheck::checkPath(huge).error().size(), 100u)
        << "the length is checked before the NUL byte";
    EXPECT_LT(ArgumentCheck::checkPath("relative" + std::string(4000, '\n')).error().size(), 3 * 1024u);
    const std::string shown = ArgumentCheck::shown(huge);
    EXPECT_LT(shown.size(), ArgumentCheck::kMaxShownLength + 40);
    EXPECT_NE(shown.find("(10485760 bytes)"), std::string::npos) << shown.substr(shown.size() - 40);
    EXPECT_EQ(ArgumentCheck::shown("a\nb\x7f"), "a\\x0ab\\x7f") << "no forged log lines";

    EXPECT_EQ(ArgumentCheck::components("/a//b/./c/"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(ArgumentCheck::components("/").empty());
    EXPECT_EQ(ArgumentCheck::normalized("/mnt//usb/./"), "/mnt/usb");
    EXPECT_EQ(ArgumentCheck::normalized("//"), "/");
}

TEST(HelperChecks, OnlyRegularFilesAreOpenedUp)
{
    EXPECT_TRUE(ArgumentCheck::checkPermissionTarget(S_IFREG | 0400));
    EXPECT_NE(ArgumentCheck::checkPermissionTarget(S_IFLNK | 0777).error().find("symbolic link"),
              std::string::npos);
    for (mode_t type : {S_IFDIR, S_IFIFO, S_IFSOCK, S_IFCHR, S_IFBLK})
        EXPECT_FALSE(ArgumentCheck::checkPermissionTarget(type | 0600)) << std::oct << type;
}

TEST(HelperChecks, RefusesToReformatAnythingButAWholeMountedVolume)
{
    const std::vector<MountEntry> mounts = {
        mount("/", 1, "ext4", "/", 0),
        mount("/media/usb", 2, "vfat"),
        mount("/mnt/bound", 3, "ext4", "/some/folder"),
        mount("/mnt/twice", 4),
        [] {
            auto second = mount("/mnt/twice-too", 5);
            second.device = makedev(7, 4);
            return second;
        }(),
        mount("/mnt/outer", 6),
        mount("/mnt/outer/inner", 7, "ext4", "/", 6),
        mount("/mnt/ram", 8, "tmpfs"),
        mount("/mnt/stacked", 9, "ext4"),
        mount("/mnt/stacked", 10, "ext4", "/", 9),
    };
    const auto target = VolumeReformatter::findTarget("/media/usb", 2, mounts);
    ASSERT_TRUE(target) << target.error().message;
    EXPECT_EQ(target->fsType, "vfat");

    // The mount id comes from the resolved folder: a folder inside a volume has the volume's.
    EXPECT_NE(refusal("/media", 1, mounts).find("not a mount point"), std::string::npos);
    EXPECT_NE(refusal("/media/usb/sub", 2, mounts).find("not a mount point"), std::string::npos);
    EXPECT_NE(refusal("/media/gone", 99, mounts).find("not a mount point"), std::string::npos);
    EXPECT_NE(refusal("/mnt/bound", 3, mounts).find("bind mount"), std::string::npos);
    EXPECT_NE(refusal("/mnt/twice", 4, mounts).find("also mounted at /mnt/twice-too"), std::string::npos);
    EXPECT_NE(refusal("/mnt/outer", 6, mounts).find("/mnt/outer/inner is mounted inside"), std::string::npos);
    EXPECT_NE(refusal("/mnt/ram", 8, mounts).find("type tmpfs is not supported"), std::string::npos);
    EXPECT_NE(refusal("/mnt/stacked", 10, mounts).find("mounted over another"), std::string::npos)
        << "unmounting the top one would bare the other, not the folder";
}

TEST(HelperChecks, ReformatsOnlyPluggedInDisksNeverOneTheSystemRunsFrom)
{
    for (const std::string place : {"/media/user/STICK", "/run/media/user/Backup", "/mnt", "/mnt/disk"})
        EXPECT_TRUE(ReformatPolicy::checkPlace(place)) << place;
    for (const std::string place :
         {"/", "/boot/efi", "/home", "/var", "/mntx", "/home/user/mnt", "/run/mediax"})
        EXPECT_FALSE(ReformatPolicy::checkPlace(place)) << place;
    EXPECT_NE(ReformatPolicy::checkPlace("/").error().message.find("startup volume"), std::string::npos);

    // The system disk sda: /boot on sda1, / on LVM (dm-1) over LUKS (dm-0) over sda2; swap on a RAID
    // (md0) of sdb1 and sdd1. Plugged in: sdc with sdc1, and a loop device.
    TempDir dir;
    FixtureSys sys(dir.path());
    sys.device("devices/pci/block/sda", 8, 0);
    sys.device("devices/pci/block/sda/sda1", 8, 1, true);
    sys.device("devices/pci/block/sda/sda2", 8, 2, true);
    sys.device("devices/pci/block/sda/sda3", 8, 3, true);
    sys.device("devices/pci/block/sdb", 8, 16);
    sys.device("devices/pci/block/sdb/sdb1", 8, 17, true);
    sys.device("devices/pci/block/sdb/sdb2", 8, 18, true);
    sys.device("devices/pci/block/sdd", 8, 48);
    sys.device("devices/pci/block/sdd/sdd1", 8, 49, true);
    sys.device("devices/usb/block/sdc", 8, 32);
    sys.device("devices/usb/block/sdc/sdc1", 8, 33, true);
    sys.device("devices/virtual/block/dm-0", 253, 0, false, {"devices/pci/block/sda/sda2"});
    sys.device("devices/virtual/block/dm-1", 253, 1, false, {"devices/virtual/block/dm-0"});
    sys.device("devices/virtual/block/md0", 9, 0, false,
               {"devices/pci/block/sdb/sdb1", "devices/pci/block/sdd/sdd1"});
    sys.device("devices/virtual/block/loop0", 7, 0);

    EXPECT_EQ(ReformatPolicy::wholeDisks(dir.path(), makedev(253, 1)),
              (std::set<std::string>{dir / "devices/pci/block/sda"}))
        << "LVM over LUKS over a partition of sda";
    EXPECT_EQ(ReformatPolicy::wholeDisks(dir.path(), makedev(9, 0)),
              (std::set<std::string>{dir / "devices/pci/block/sdb", dir / "devices/pci/block/sdd"}));
    EXPECT_FALSE(ReformatPolicy::wholeDisks(dir.path(), makedev(8, 99)));

    const std::vector<ReformatPolicy::SystemDevice> system = {
        {"/", makedev(253, 1)}, {"/boot", makedev(8, 1)}, {"swap /dev/md0", makedev(9, 0)}};
    const auto checkDisks = [&](dev_t device) {
        const auto checked = ReformatPolicy::checkDisks("/media/x", device, system, dir.path());
        return checked ? std::string() : checked.error().message;
    };
    EXPECT_EQ(checkDisks(makedev(8, 33)), "") << "a partition of the stick";
    EXPECT_EQ(checkDisks(makedev(8, 32)), "") << "the whole stick";
    EXPECT_EQ(checkDisks(makedev(7, 0)), "") << "a loop device, whatever disk its image lies on";
    EXPECT_NE(checkDisks(makedev(8, 3)).find("the disk that holds /"), std::string::npos)
        << "another partition of the disk under /";
    EXPECT_NE(checkDisks(makedev(8, 0)).find("holds /"), std::string::npos);
    EXPECT_NE(checkDisks(makedev(8, 18)).find("holds swap /dev/md0"), std::string::npos)
        << "a partition beside one of the RAID's";
    EXPECT_NE(checkDisks(makedev(253, 0)).find("holds /"), std::string::npos) << "the LUKS device under /";
    EXPECT_NE(checkDisks(makedev(8, 99)).find("cannot be told"), std::string::npos)
        << "a device sysfs does not know";

    // Where the system's devices come from: its mount points, and swap areas, a file's by the volume
    // it lies on (its name escaped in /proc/swaps).
    cv::test::writeFile(dir / "swap file", std::string("x"));
    ASSERT_EQ(dir.path().find(' '), std::string::npos);
    struct stat swapFile = {};
    ASSERT_EQ(::stat((dir / "swap file").c_str(), &swapFile), 0);
    MountEntry volume = mount("/volume", 0);
    volume.device = swapFile.st_dev;
    const auto devices = ReformatPolicy::systemDevices(
        {mount("/", 1, "ext4", "/", 0), mount("/boot/efi", 2, "vfat"), mount("/media/stick", 3), volume},
        "Filename\tType\tSize\tUsed\tPriority\n" + (dir.path() + "/swap\\040file") + "\tfile\t4\t0\t-2\n");
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].what, "/");
    EXPECT_EQ(devices[0].device, makedev(7, 1));
    EXPECT_EQ(devices[1].what, "/boot/efi");
    EXPECT_EQ(devices[2].what, "swap " + (dir / "swap file"));
    EXPECT_EQ(devices[2].device, swapFile.st_dev);
}

TEST(HelperChecks, MakesTheSameTypeWithTheSameLabel)
{
    using Args = std::vector<std::string>;
    auto ext4 = VolumeReformatter::mkfsCommand("ext4", "Backup Disk", "/dev/sdb1");
    ASSERT_TRUE(ext4);
    EXPECT_EQ(ext4->program, "mkfs.ext4");
    EXPECT_EQ(ext4->arguments, (Args{"-F", "-q", "-L", "Backup Disk", "/dev/sdb1"}));
    EXPECT_EQ(VolumeReformatter::mkfsCommand("vfat", "STICK", "/dev/sdc")->arguments,
              (Args{"-I", "-n", "STICK", "/dev/sdc"}));
    EXPECT_EQ(VolumeReformatter::mkfsCommand("ntfs3", "Win", "/dev/sdd1")->program, "mkfs.ntfs");
    EXPECT_EQ(VolumeReformatter::mkfsCommand("ntfs3", "Win", "/dev/sdd1")->arguments,
              (Args{"-Q", "-F", "-L", "Win", "/dev/sdd1"}));
    EXPECT_EQ(VolumeReformatter::mkfsCommand("f2fs", "", "/dev/sde1")->arguments, (Args{"-f", "/dev/sde1"}))
        << "no label, no label option";
    EXPECT_FALSE(VolumeReformatter::mkfsCommand("tmpfs", "", "tmpfs"));
    EXPECT_FALSE(VolumeReformatter::mkfsCommand("nfs4", "", "server:/export"));

    EXPECT_EQ(VolumeReformatter::mountAttributes("rw,nosuid,nodev,noexec,relatime"),
              unsigned{MOUNT_ATTR_NOSUID | MOUNT_ATTR_NODEV | MOUNT_ATTR_NOEXEC | MOUNT_ATTR_RELATIME});
    EXPECT_EQ(VolumeReformatter::mountAttributes("ro,noatime"),
              unsigned{MOUNT_ATTR_RDONLY | MOUNT_ATTR_NOATIME});
    using Options = std::vector<VolumeReformatter::FileSystemOption>;
    EXPECT_EQ(VolumeReformatter::fileSystemOptions("rw,uid=1000,utf8,errors=remount-ro"),
              (Options{{"uid", "1000"}, {"utf8", std::nullopt}, {"errors", "remount-ro"}}));
    EXPECT_EQ(VolumeReformatter::fileSystemOptions("ro"), (Options{{"ro", std::nullopt}}))
        << "a read-only file system stays one";
}

TEST(HelperChecks, ReadsSnapperListings)
{
    EXPECT_EQ(cv::SnapshotRemover::parseSnapshotNumbers("number\n0\n1\n2\n15\n"),
              (std::vector<unsigned long>{1, 2, 15}));
    EXPECT_EQ(cv::SnapshotRemover::parseSnapshotNumbers("number\r\n0\r\n7\r\n"),
              (std::vector<unsigned long>{7}));
    EXPECT_TRUE(cv::SnapshotRemover::parseSnapshotNumbers("number\n0\n").empty());
    EXPECT_TRUE(cv::SnapshotRemover::parseSnapshotNumbers("").empty());
    EXPECT_TRUE(cv::SnapshotRemover::parseSnapshotNumbers("Unknown config.\n-1\n3a\n").empty());
}

TEST(HelperChecks, TakesOnlyAWellFormedYesFromPolkit)
{
    const QString action = QString::fromLatin1(cv::HelperToolProtocol::fileAction);
    const QDBusMessage request =
        cv::PolkitAuthorizer::request({QStringLiteral(":1.42"), action, {}}, false, QString());
    const auto error = cv::PolkitAuthorizer::readAnswer(
        request.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
                                 QStringLiteral("no polkit")),
        action);
    ASSERT_FALSE(error.authorized);
    EXPECT_FALSE(error.challenge);
    EXPECT_TRUE(error.error.contains(QStringLiteral("no polkit")));
    EXPECT_FALSE(cv::PolkitAuthorizer::readAnswer(request.createReply(QVariant(true)), action).authorized)
        << "a bare true";
    EXPECT_FALSE(cv::PolkitAuthorizer::readAnswer(QDBusMessage(), action).authorized);
    EXPECT_FALSE(
        cv::PolkitAuthorizer::authorization(cv::PolkitAuthorizer::readAnswer(QDBusMessage(), action)));
}

namespace {

// Whether the process pid ends within 5 seconds (a zombie waiting for its parent counts as ended).
bool endsSoon(pid_t pid)
{
    return cv::test::waitUntil([pid] { return !cv::test::isProcessRunning(pid); }, 60000);
}

} // namespace

TEST(HelperChecks, RunsToolsWithoutAShellAndStopsThemInTime)
{
    const auto sh = cv::ToolRunner::find("sh", {"/nonexistent", "/bin"});
    ASSERT_TRUE(sh);
    EXPECT_EQ(*sh, "/bin/sh");
    EXPECT_FALSE(cv::ToolRunner::find("../bin/sh", {"/bin"}));
    EXPECT_FALSE(cv::ToolRunner::find("no-such-tool-here", cv::ToolRunner::defaultSearchPath()));

    const auto result =
        cv::ToolRunner::run(*sh, {"-c", "echo \"$PATH\"; read x; echo input=$x >&2; exit 3"}, 30);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.out, "/usr/sbin:/usr/bin:/sbin:/bin\n");
    EXPECT_EQ(result.err, "input=\n") << "no input reaches a tool";
    EXPECT_EQ(result.describeFailure(), "exit status 3: input=");

    const auto stuck = cv::ToolRunner::run(*sh, {"-c", "exec sleep 30"}, 1);
    EXPECT_TRUE(stuck.timedOut);
    EXPECT_FALSE(stuck.succeeded());

    // The deadline counts to the tool's end, also when it closed its output long before.
    const auto silent = cv::ToolRunner::run(*sh, {"-c", "exec >/dev/null 2>&1; exec sleep 30"}, 1);
    EXPECT_TRUE(silent.timedOut);

    // What a tool starts goes with it: at its deadline, and when it ends and leaves it running.
    const auto childOf = [](const cv::ToolRunner::Result& result) {
        return static_cast<pid_t>(std::stoi("0" + result.out));
    };
    const auto forked = cv::ToolRunner::run(*sh, {"-c", "sleep 30 & echo $!; exec sleep 30"}, 1);
    EXPECT_TRUE(forked.timedOut);
    ASSERT_GT(childOf(forked), 0) << forked.out;
    EXPECT_TRUE(endsSoon(childOf(forked))) << "the tool's child lives on";
    const auto leaving = cv::ToolRunner::run(*sh, {"-c", "sleep 30 & echo $!; exit 0"}, 20);
    EXPECT_TRUE(leaving.succeeded()) << leaving.describeFailure();
    ASSERT_GT(childOf(leaving), 0) << leaving.out;
    EXPECT_TRUE(endsSoon(childOf(leaving)));

    EXPECT_FALSE(cv::ToolRunner::run("/nonexistent/tool", {}, 5).started);
}

namespace {

// The entry at path as examined now (device and inode 0 when there is none).
cv::FileOperations::Entry entryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    cv::FileOperations::Entry entry{slash == 0 ? std::string("/") : path.substr(0, slash),
                                    path.substr(slash + 1)};
    struct stat info = {};
    if (::lstat(path.c_str(), &info) == 0) {
        entry.device = info.st_dev;
        entry.inode = info.st_ino;
    }
    return entry;
}

} // namespace

TEST(HelperFileOperations, DeletesOneExaminedEntryAndNeverWhatAFolderHolds)
{
    TempDir dir;
    cv::test::makeDir(dir / "tree");
    cv::test::writeFile(dir / "tree/unexamined", std::string("stays"));
    cv::test::makeDir(dir / "empty");
    cv::test::writeFile(dir / "file", std::string("x"));

    // A folder that holds anything stays, with what it holds; the check says so before asking.
    const auto tree = entryOf(dir / "tree");
    const auto checked = cv::FileOperations::checkDeleteEntry(tree);
    ASSERT_FALSE(checked);
    EXPECT_NE(checked.error().message.find("not empty"), std::string::npos) << checked.error().message;
    const auto removed = cv::FileOperations::deleteEntry(tree);
    ASSERT_FALSE(removed);
    EXPECT_NE(removed.error().message.find("not empty"), std::string::npos) << removed.error().message;
    EXPECT_TRUE(cv::test::exists(dir / "tree/unexamined"));

    EXPECT_TRUE(cv::FileOperations::checkDeleteEntry(entryOf(dir / "empty")));
    EXPECT_TRUE(cv::FileOperations::deleteEntry(entryOf(dir / "empty")));
    EXPECT_FALSE(cv::test::exists(dir / "empty"));

    // A name that holds another file than the one examined is left alone.
    const auto examined = entryOf(dir / "file");
    // Made while the examined file still exists, so that the file system cannot give the new file
    // the examined one's inode number again.
    cv::test::writeFile(dir / "other", std::string("somebody else's"));
    ASSERT_EQ(::rename((dir / "other").c_str(), (dir / "file").c_str()), 0);
    ASSERT_NE(entryOf(dir / "file").inode, examined.inode);
    const auto swapped = cv::FileOperations::deleteEntry(examined);
    ASSERT_FALSE(swapped);
    EXPECT_EQ(swapped.error().kind, HelperError::Kind::InvalidArgument);
    EXPECT_TRUE(cv::test::exists(dir / "file"));
    const cv::SystemFolders none(std::vector<std::string>{});
    const auto swappedOpen = cv::FileHandover(none).open(examined);
    EXPECT_FALSE(swappedOpen);

    // One name inside the folder, nothing else.
    for (const std::string name : {"", ".", "..", "a/b"}) {
        auto entry = entryOf(dir / "file");
        entry.name = name;
        const auto refused = cv::FileOperations::deleteEntry(entry);
        ASSERT_FALSE(refused) << name;
        EXPECT_EQ(refused.error().kind, HelperError::Kind::InvalidArgument) << name;
    }
    EXPECT_TRUE(cv::FileOperations::deleteEntry(entryOf(dir / "file")));
    EXPECT_FALSE(cv::test::exists(dir / "file"));
}

TEST(HelperFileOperations, RenamesOneExaminedEntryWithoutReplacingAnother)
{
    TempDir dir;
    cv::test::writeFile(dir / "file", std::string("content"));
    cv::test::writeFile(dir / "taken", std::string("somebody's"));
    const auto examined = entryOf(dir / "file");

    EXPECT_TRUE(cv::FileOperations::checkRenameEntry(examined, "renamed"));
    EXPECT_TRUE(cv::FileOperations::renameEntry(examined, "renamed"));
    EXPECT_EQ(cv::test::listNames(dir.path()), (std::vector<std::string>{"renamed", "taken"}));

    auto moved = entryOf(dir / "renamed");
    const auto clash = cv::FileOperations::renameEntry(moved, "taken");
    ASSERT_FALSE(clash) << "an existing entry was replaced";
    EXPECT_EQ(cv::test::readFile(dir / "taken").size(), 10u);
    for (const std::string name : {"", "..", "a/b"}) {
        const auto refused = cv::FileOperations::renameEntry(moved, name);
        ASSERT_FALSE(refused) << name;
        EXPECT_EQ(refused.error().kind, HelperError::Kind::InvalidArgument) << name;
    }
    moved.inode += 1;
    const auto other = cv::FileOperations::renameEntry(moved, "elsewhere");
    ASSERT_FALSE(other) << "another file than the one examined was renamed";
    EXPECT_EQ(other.error().kind, HelperError::Kind::InvalidArgument);
    EXPECT_EQ(cv::test::listNames(dir.path()), (std::vector<std::string>{"renamed", "taken"}));
}

TEST(HelperFileOperations, NeverDeletesAMountPoint)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "mounting a tmpfs needs root";
    TempDir dir;
    cv::test::makeDir(dir / "tree");
    cv::test::makeDir(dir / "tree/mounted");
    cv::test::TmpfsMount tmpfs(dir / "tree/mounted", "1m");
    ASSERT_TRUE(tmpfs.available());

    const auto mountPoint = cv::FileOperations::deleteEntry(entryOf(dir / "tree/mounted"));
    ASSERT_FALSE(mountPoint);
    EXPECT_EQ(mountPoint.error().kind, HelperError::Kind::InvalidArgument);
    EXPECT_TRUE(cv::test::exists(dir / "tree/mounted"));
}

TEST(HelperFileOperations, ASystemFolderIsFoundThroughMountsMadeOrRenamedAfterTheFirstCheck)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "mounting needs root";
    // The helper reads the mount table once and keeps it while the kernel reports no change: a
    // mount made since (here in the place, and likely with the number, of one that went) and a
    // mount point renamed with the folder above it still show the system folder for what it is.
    TempDir dir;
    cv::test::makeDir(dir / "system");
    cv::test::writeFile(dir / "system/shadow", std::string("secret"));
    cv::test::makeDir(dir / "above");
    cv::test::makeDir(dir / "above/view");
    const cv::SystemFolders systemFolders(std::vector<std::string>{dir / "system"});
    const cv::FileHandover handover(systemFolders);
    std::optional<cv::test::TmpfsMount> tmpfs(std::in_place, dir / "above/view", "1m");
    ASSERT_TRUE(tmpfs->available());
    cv::test::writeFile(dir / "above/view/file", std::string("mine"));
    const auto plain = handover.open(entryOf(dir / "above/view/file"));
    EXPECT_TRUE(plain) << plain.error().message;

    tmpfs.reset();
    ASSERT_EQ(::mount((dir / "system").c_str(), (dir / "above/view").c_str(), nullptr, MS_BIND, nullptr), 0);
    const auto bound = handover.open(entryOf(dir / "above/view/shadow"));
    ASSERT_FALSE(bound) << "a file of the system folder, bind-mounted after the first check, was handed out";
    EXPECT_NE(bound.error().message.find("a folder of the system's own"), std::string::npos)
        << bound.error().message;

    ASSERT_EQ(::rename((dir / "above").c_str(), (dir / "renamed").c_str()), 0);
    const auto renamed = handover.open(entryOf(dir / "renamed/view/shadow"));
    ::umount2((dir / "renamed/view").c_str(), MNT_DETACH);
    ASSERT_FALSE(renamed);
    EXPECT_NE(renamed.error().message.find("a folder of the system's own"), std::string::npos)
        << renamed.error().message;
}

TEST(HelperFileOperations, HandsOutAFileOnlyWithoutSetIdBitsOtherNamesOrASystemFolder)
{
    if (!cv::test::isRoot())
        GTEST_SKIP() << "the helper runs as root: only then may it open a file its caller may not write";
    // A second name for a protected file (as a hard link of /etc/shadow in a user's folder would be)
    // must not hand that file to the caller: the other names are not what was asked for.
    TempDir dir;
    cv::test::makeDir(dir / "system");
    cv::test::makeDir(dir / "user");
    const cv::SystemFolders systemFolders(std::vector<std::string>{dir / "system"});
    const cv::FileHandover handover(systemFolders);
    const std::string protectedFile = dir / "system/shadow";
    cv::test::writeFile(protectedFile, std::string("root:secret"));
    ASSERT_EQ(::chmod(protectedFile.c_str(), 0400), 0);
    const std::string link = dir / "user/innocent";
    ASSERT_EQ(::link(protectedFile.c_str(), link.c_str()), 0);

    const auto twoNames = handover.open(entryOf(link));
    ASSERT_FALSE(twoNames) << "a file with two names was handed out";
    EXPECT_EQ(twoNames.error().kind, HelperError::Kind::InvalidArgument);
    EXPECT_NE(twoNames.error().message.find("hard links"), std::string::npos);
    ASSERT_EQ(::unlink(link.c_str()), 0);
    const auto system = handover.open(entryOf(protectedFile));
    ASSERT_FALSE(system);
    EXPECT_NE(system.error().message.find("a folder of the system's own"), std::string::npos)
        << system.error().message;
    EXPECT_FALSE(handover.checkListed(entryOf(protectedFile)));

    const std::string setUid = dir / "user/set-uid";
    cv::test::writeFile(setUid, std::string("program"));
    ASSERT_EQ(::chmod(setUid.c_str(), 04755), 0);
    EXPECT_FALSE(handover.open(entryOf(setUid)));
    EXPECT_FALSE(handover.checkListed(entryOf(setUid)));

    // A plain file is handed out open for writing, its owner and mode as they were.
    const std::string plain = dir / "user/plain";
    cv::test::writeFile(plain, std::string("content"));
    ASSERT_EQ(::chmod(plain.c_str(), 0400), 0);
    const auto opened = handover.open(entryOf(plain));
    ASSERT_TRUE(opened) << opened.error().message;
    EXPECT_EQ(::fcntl(opened->get(), F_GETFL) & (O_ACCMODE | O_NONBLOCK), O_RDWR);
    struct stat info = {};
    ASSERT_EQ(::stat(plain.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0400u);
    EXPECT_TRUE(handover.checkListed(entryOf(dir / "user")));

    const auto missing = handover.open(entryOf(dir / "missing"));
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, HelperError::Kind::Failed);
}
