#pragma once

#include "common/MountTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// The volume a target lies on, with what matters for overwriting in place: the file system, and
// whether that file system writes changed blocks elsewhere (copy-on-write or log-structured), so
// that overwriting a file cannot reach its earlier copies. Only a wipe of the volume's free space
// reaches them.
struct TargetVolume
{
    std::string mountPoint; // where the volume holding the target is mounted
    std::string fileSystem; // "btrfs", "ext4"
    bool copyOnWrite = false;
    bool snapshots = false; // a snapshot folder of that subvolume was found (snapper's .snapshots)

    // btrfs, bcachefs, ZFS, F2FS and NILFS2: file systems that never overwrite a block in place.
    static bool isCopyOnWrite(std::string_view fileSystem);

    // The volume of path: the mount whose mount point is the longest one containing path (the
    // newest mount wins at one mount point). Nothing when no mount contains it.
    static std::optional<TargetVolume> of(const std::string& path, const std::vector<MountEntry>& mounts);

    // The distinct volumes of paths, in the order their first path comes; paths on no known mount
    // are left out. The second form reads the mount table.
    static std::vector<TargetVolume> forPaths(const std::vector<std::string>& paths,
                                              const std::vector<MountEntry>& mounts);
    static std::vector<TargetVolume> forPaths(const std::vector<std::string>& paths);
};

} // namespace cv
