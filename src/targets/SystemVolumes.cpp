#include "targets/SystemVolumes.h"

#include "common/PathText.h"

#include <algorithm>
#include <array>

namespace cv {

namespace {

// The mount that is visible at mountPoint: the last one mounted there.
const MountEntry* topmostAt(std::string_view mountPoint, const std::vector<MountEntry>& mounts)
{
    const auto found = std::find_if(mounts.rbegin(), mounts.rend(), [mountPoint](const MountEntry& mount) {
        return mount.mountPoint == mountPoint;
    });
    return found == mounts.rend() ? nullptr : &*found;
}

// Two mounts show the same file system when the kernel gives them the same device number; a
// block device mounted twice (btrfs subvolumes carry devices of their own) is known by its source.
bool sameFileSystem(const MountEntry& a, const MountEntry& b)
{
    if (a.device == b.device)
        return true;
    return a.source.starts_with("/dev/") && a.source == b.source && a.fsType == b.fsType;
}

} // namespace

bool SystemVolumes::isSystemMountPoint(std::string_view mountPoint)
{
    // Below these the system keeps its own things only: boot loader, programs, state and logs.
    static constexpr std::array<std::string_view, 4> kTrees{"/boot", "/efi", "/usr", "/var"};
    static constexpr std::array<std::string_view, 12> kFolders{
        "/", "/home", "/etc", "/opt", "/srv", "/root", "/tmp", "/bin", "/sbin", "/lib", "/lib32", "/lib64"};
    if (std::any_of(kTrees.begin(), kTrees.end(),
                    [mountPoint](std::string_view tree) { return isAtOrBelow(mountPoint, tree); }))
        return true;
    if (std::find(kFolders.begin(), kFolders.end(), mountPoint) != kFolders.end())
        return true;
    // What the system mounts to run: /run with what it mounts below (the users' runtime folders,
    // locks, namespaces), where only a user's volume under /run/media is the user's; /dev with
    // /dev/shm, /dev/pts and the like; and /proc and /sys with /sys/fs/cgroup and the like.
    static constexpr std::array<std::string_view, 3> kRuntimeTrees{"/dev", "/proc", "/sys"};
    if (std::any_of(kRuntimeTrees.begin(), kRuntimeTrees.end(),
                    [mountPoint](std::string_view tree) { return isAtOrBelow(mountPoint, tree); }))
        return true;
    if (isAtOrBelow(mountPoint, "/run") && !isAtOrBelow(mountPoint, "/run/media"))
        return true;
    // A home folder of its own (/home/NAME) holds a user's whole life; a stick mounted deeper
    // inside a home is the user's.
    constexpr std::string_view home = "/home/";
    return mountPoint.starts_with(home) && mountPoint.size() > home.size() &&
           mountPoint.find('/', home.size()) == std::string_view::npos;
}

SystemVolumes::Role SystemVolumes::roleOf(std::string_view mountPoint, const std::vector<MountEntry>& mounts)
{
    if (mountPoint == "/")
        return Role::Startup;
    const MountEntry* mount = topmostAt(mountPoint, mounts);
    if (const MountEntry* root = topmostAt("/", mounts); mount && root && sameFileSystem(*mount, *root))
        return mount->root == root->root ? Role::Startup : Role::System;
    if (isSystemMountPoint(mountPoint))
        return Role::System;
    if (!mount)
        return Role::Other;
    // The file system of /boot (or /usr, ...) bind-mounted somewhere else is still that volume.
    for (const MountEntry& other : mounts) {
        if (&other != mount && isSystemMountPoint(other.mountPoint) && sameFileSystem(*mount, other))
            return Role::System;
    }
    return Role::Other;
}

SystemVolumes::Role SystemVolumes::roleOf(std::string_view mountPoint)
{
    return roleOf(mountPoint, MountTable::read());
}

} // namespace cv
