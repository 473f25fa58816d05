#pragma once

#include "common/MountTable.h"
#include "helper/HelperError.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace cv {

// Which mounted volumes the helper may reformat: only those mounted where desktops and people mount
// the disks they plug in (at or below /media, /run/media and /mnt), and never one whose device lies on
// a disk that holds part of the running system (/, /boot, /usr and the like, or swap). A disk counts
// whole: a second partition of the system disk is refused too, and so is a device made of others
// (LVM, LUKS, RAID) when one of them lies on that disk. The decision is a pure function of the mount
// point, the devices and a sysfs tree, so that tests can hand it fixture trees.
class ReformatPolicy
{
public:
    // A device the running system lives on, and what it is for there ("/", "swap /dev/vda3").
    struct SystemDevice
    {
        std::string what;
        dev_t device = 0;
    };

    static const std::vector<std::string>& allowedRoots();
    // The mount points whose devices are the running system's.
    static const std::vector<std::string>& systemMountPoints();

    // Refuses a mount point (a normalized path) that does not lie at or below one of the allowed
    // roots, and the startup volume.
    static HelperResult checkPlace(const std::string& mountPoint);
    // Refuses the volume at mountPoint when its device shares a whole disk with one of the system's
    // devices, or lies on a disk that cannot be told. sysRoot is where sysfs is ("/sys").
    static HelperResult checkDisks(const std::string& mountPoint, dev_t device,
                                   const std::vector<SystemDevice>& systemDevices,
                                   const std::string& sysRoot);
    // The whole disks device lies on, named by their folders in the sysfs tree at sysRoot: its own
    // disk for a partition, and for a device made of others (its "slaves") the disks of each of them.
    // Nothing when the tree does not know the device.
    static std::optional<std::set<std::string>> wholeDisks(const std::string& sysRoot, dev_t device);

    // The devices of the system's mount points among mounts and of the swap areas that the text of
    // /proc/swaps lists.
    static std::vector<SystemDevice> systemDevices(const std::vector<MountEntry>& mounts,
                                                   std::string_view swaps);
    // The block device number of a mounted file system: its device number, or for file systems on
    // an anonymous device (btrfs) the device of its source.
    static std::optional<dev_t> deviceOf(const MountEntry& mount);
};

} // namespace cv
