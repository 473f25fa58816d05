#include "targets/TargetVolume.h"

#include <algorithm>
#include <array>
#include <sys/stat.h>

namespace cv {

namespace {

// True when mountPoint is path or one of the folders above it, on component boundaries.
bool contains(const std::string& mountPoint, const std::string& path)
{
    if (mountPoint == "/")
        return path.starts_with('/');
    return path.starts_with(mountPoint) &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

// snapper keeps the snapshots of a subvolume in a ".snapshots" subvolume at its top (on openSUSE
// mounted there on its own); either way it is a folder at the mount point.
bool hasSnapshotFolder(const std::string& mountPoint)
{
    struct stat info;
    const std::string folder = (mountPoint == "/" ? std::string() : mountPoint) + "/.snapshots";
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

bool TargetVolume::isCopyOnWrite(std::string_view fileSystem)
{
    static constexpr std::array<std::string_view, 5> kKinds{"btrfs", "bcachefs", "zfs", "f2fs", "nilfs2"};
    return std::find(kKinds.begin(), kKinds.end(), fileSystem) != kKinds.end();
}

std::optional<TargetVolume> TargetVolume::of(const std::string& path, const std::vector<MountEntry>& mounts)
{
    const MountEntry* best = nullptr;
    for (const MountEntry& mount : mounts) {
        // Later lines are newer mounts: at the same mount point they hide the older ones.
        if (contains(mount.mountPoint, path) && (!best || mount.mountPoint.size() >= best->mountPoint.size()))
            best = &mount;
    }
    if (!best)
        return std::nullopt;
    TargetVolume volume;
    volume.mountPoint = best->mountPoint;
    volume.fileSystem = best->fsType;
    volume.copyOnWrite = isCopyOnWrite(best->fsType);
    volume.snapshots = best->fsType == "btrfs" && hasSnapshotFolder(best->mountPoint);
    return volume;
}

std::vector<TargetVolume> TargetVolume::forPaths(const std::vector<std::string>& paths,
                                                 const std::vector<MountEntry>& mounts)
{
    std::vector<TargetVolume> volumes;
    for (const std::string& path : paths) {
        auto volume = of(path, mounts);
        if (volume && std::none_of(volumes.begin(), volumes.end(), [&](const TargetVolume& known) {
                return known.mountPoint == volume->mountPoint;
            }))
            volumes.push_back(std::move(*volume));
    }
    return volumes;
}

std::vector<TargetVolume> TargetVolume::forPaths(const std::vector<std::string>& paths)
{
    return forPaths(paths, MountTable::read());
}

} // namespace cv
