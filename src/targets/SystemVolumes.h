#pragma once

#include "common/MountTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace cv {

// Tells the volumes the running system lives on from the others, so that no job empties or
// reformats them: the startup volume, which is the file system mounted at "/" whatever the mount
// point it is seen through (a bind mount of "/" is the same volume), and the volumes the system
// boots and runs from (/boot, /efi, /usr, /var, /home, ...), also when mounted again elsewhere.
// Wiping their free space is harmless and stays allowed.
class SystemVolumes
{
public:
    enum class Role
    {
        Other,   // a volume of the user's: a stick, a disk, an image
        System,  // one the system runs from, or another part of such a file system
        Startup, // the file system mounted at "/"
    };

    // The role of what is mounted at mountPoint now (the topmost mount there), judged against
    // mounts. "/" is the startup volume even when the table says nothing (it could not be read).
    static Role roleOf(std::string_view mountPoint, const std::vector<MountEntry>& mounts);
    // The same, with the mount table of this process read anew.
    static Role roleOf(std::string_view mountPoint);

    // True for the mount points where the system keeps itself: /boot, /efi, /usr and /var with
    // everything below them, /home and each home folder directly in it, the other top-level
    // folders of the running system (/etc, /opt, /root, /srv, /tmp, ...), and the mounts it runs
    // from: /run and below (but a user's volume in /run/media), /dev, /proc and /sys with
    // everything below them (/dev/shm, /sys/fs/cgroup).
    static bool isSystemMountPoint(std::string_view mountPoint);
};

} // namespace cv
