#include "app/shred/VolumeTester.h"

#include "common/MountTable.h"
#include "targets/SystemVolumes.h"

#include <chrono>
#include <memory>
#include <unordered_set>
#include <vector>

namespace cv {

VolumeTester VolumeTester::system()
{
    // One read of the mount table serves a whole drop (a drop of thousands of files would read it
    // thousands of times otherwise); a second later it is read afresh.
    struct Mounts
    {
        std::chrono::steady_clock::time_point readAt;
        std::vector<MountEntry> entries;
        std::unordered_set<std::string> points;

        const std::vector<MountEntry>& current()
        {
            const auto now = std::chrono::steady_clock::now();
            if (entries.empty() || now - readAt > std::chrono::seconds(1)) {
                entries = MountTable::read();
                points.clear();
                for (const MountEntry& mount : entries)
                    points.insert(mount.mountPoint);
                readAt = now;
            }
            return entries;
        }
    };
    auto cache = std::make_shared<Mounts>();
    auto isVolume = [cache](const std::string& path) {
        cache->current();
        return cache->points.count(path) > 0;
    };
    auto roleIs = [cache, isVolume](const std::string& path, SystemVolumes::Role role) {
        return isVolume(path) && SystemVolumes::roleOf(path, cache->current()) == role;
    };
    return {isVolume,
            [roleIs](const std::string& path) {
                return path == "/" || roleIs(path, SystemVolumes::Role::Startup);
            },
            [roleIs](const std::string& path) { return roleIs(path, SystemVolumes::Role::System); }};
}

} // namespace cv
