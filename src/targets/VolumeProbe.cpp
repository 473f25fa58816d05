#include "targets/VolumeProbe.h"

#include "common/MountTable.h"
#include "targets/SystemVolumes.h"
#include "targets/Volume.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <sys/statvfs.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace cv {

namespace {

// One read of the mount table, with its mount points for quick lookups.
struct MountSnapshot
{
    std::vector<MountEntry> entries;
    std::unordered_set<std::string> points;
};

// The mount table as read at most a second ago.
class RecentMounts
{
public:
    std::shared_ptr<const MountSnapshot> current()
    {
        std::lock_guard lock(m_mutex);
        const auto now = std::chrono::steady_clock::now();
        if (!m_snapshot || now - m_readAt > kMaxAge) {
            auto snapshot = std::make_shared<MountSnapshot>();
            snapshot->entries = MountTable::read();
            for (const MountEntry& mount : snapshot->entries)
                snapshot->points.insert(mount.mountPoint);
            m_snapshot = std::move(snapshot);
            m_readAt = now;
        }
        return m_snapshot;
    }

private:
    static constexpr std::chrono::seconds kMaxAge{1};

    std::mutex m_mutex;
    std::shared_ptr<const MountSnapshot> m_snapshot;
    std::chrono::steady_clock::time_point m_readAt;
};

bool hasRole(const MountSnapshot& mounts, const std::string& path, SystemVolumes::Role role)
{
    return mounts.points.contains(path) && SystemVolumes::roleOf(path, mounts.entries) == role;
}

// What the volume list shows for path: the mount visible there (the last one mounted), or null.
const MountEntry* shownMount(const MountSnapshot& mounts, const std::string& path)
{
    const MountEntry* shown = nullptr;
    for (const MountEntry& mount : mounts.entries) {
        if (mount.mountPoint == path && !MountTable::isHidden(mount))
            shown = &mount;
    }
    return shown;
}

} // namespace

VolumeProbe VolumeProbe::system()
{
    auto mounts = std::make_shared<RecentMounts>();
    VolumeProbe probe;
    probe.isVolume = [mounts](const std::string& path) { return mounts->current()->points.contains(path); };
    probe.isHdd = [mounts](const std::string& path) {
        // "/" is the startup volume even when the mount table cannot be read: it is never a folder
        // to walk through.
        return path == "/" || hasRole(*mounts->current(), path, SystemVolumes::Role::Startup);
    };
    probe.isSystemVolume = [mounts](const std::string& path) {
        return hasRole(*mounts->current(), path, SystemVolumes::Role::System);
    };
    probe.volumeName = [mounts](const std::string& path) {
        const auto snapshot = mounts->current();
        const MountEntry* shown = shownMount(*snapshot, path);
        if (!shown)
            return std::string();
        const std::string name = Volume::fromMount(*shown, Volume::readLabels()).name();
        // "/" is what an unlabelled root is called; that is no name worth showing.
        return name == "/" ? std::string() : name;
    };
    probe.freeBytes = [](const std::string& path) -> std::int64_t {
        struct statvfs info;
        if (::statvfs(path.c_str(), &info) != 0)
            return 0;
        // Root may write the blocks reserved for root, and a wipe that leaves them leaves whatever
        // deleted files they hold; anyone else stops at f_bavail.
        const auto blocks = ::geteuid() == 0 ? info.f_bfree : info.f_bavail;
        return static_cast<std::int64_t>(blocks * info.f_frsize);
    };
    probe.allFreeBytes = [](const std::string& path) -> std::int64_t {
        struct statvfs info;
        if (::statvfs(path.c_str(), &info) != 0)
            return 0;
        return static_cast<std::int64_t>(info.f_bfree * info.f_frsize);
    };
    probe.identify = [](const std::string& path) { return ConfirmedVolume::of(path); };
    probe.describe = [mounts](const std::string& path) {
        VolumeFacts facts;
        facts.mountPoint = path;
        const auto snapshot = mounts->current();
        const MountEntry* shown = shownMount(*snapshot, path);
        if (!shown)
            return facts;
        facts.label = Volume::labelOf(*shown, Volume::readLabels());
        facts.device = shown->source;
        facts.fileSystem = shown->fsType;
        struct statvfs info;
        if (::statvfs(path.c_str(), &info) == 0)
            facts.size = static_cast<std::int64_t>(info.f_blocks * info.f_frsize);
        return facts;
    };
    return probe;
}

} // namespace cv
